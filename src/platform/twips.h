#pragma once
// Window geometry is given in twips (1/1440 inch); this is the one place
// that turns it into pixels. At 96 dpi 15 twips make one pixel.
namespace platform {

struct TwipsRect {
  int left, top, width, height;
};

struct PixelRect {
  int left, top, right, bottom;
};

constexpr int kTwipsPerInch = 1440;

constexpr int twipsToPixels(int twips, unsigned dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>((scaled + kTwipsPerInch / 2) / kTwipsPerInch);
}

// Each edge is rounded on its own, so neighbouring controls never overlap
// or drift apart by a rounding pixel.
constexpr PixelRect toPixels(const TwipsRect &r, unsigned dpi) {
  return {twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi),
          twipsToPixels(r.left + r.width, dpi), twipsToPixels(r.top + r.height, dpi)};
}

struct PixelSize {
  int width, height;
};

// The outer size of a window whose client area is the twips layout at dpi.
// frameAt(dpi) gives the PixelSize that the window's borders, caption and
// menu bar take at a DPI: they don't grow in proportion to it, so a window's
// size at one DPI can't simply be scaled to another.
template <typename FrameAt>
PixelSize windowSizeForClientTwips(int widthTwips, int heightTwips, unsigned dpi,
                                   const FrameAt &frameAt) {
  const PixelSize frame = frameAt(dpi);
  return {twipsToPixels(widthTwips, dpi) + frame.width,
          twipsToPixels(heightTwips, dpi) + frame.height};
}

// A control placed inside a frame is given relative to the frame.
constexpr TwipsRect inFrame(const TwipsRect &frame, const TwipsRect &child) {
  return {frame.left + child.left, frame.top + child.top, child.width, child.height};
}

} // namespace platform
