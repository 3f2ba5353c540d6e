#pragma once
// Small helpers for the windows' widget code: each wraps a call or two and
// decides nothing.
#include "platform/twips.h"

#include <string>
#include <utility>
#include <vector>
#include <windows.h>

namespace platform::win32 {

// Registers a window class with the program's icon and the dialog colour.
void registerWindowClass(HINSTANCE instance, const wchar_t *className, WNDPROC procedure,
                         int iconId);
HWND createControl(HWND parent, HINSTANCE instance, const wchar_t *className,
                   const std::string &text, DWORD style, int id);
std::string windowText(HWND window);
void setWindowText(HWND window, const std::string &text);
void setFont(HWND control, HFONT font);
void placeInTwips(HWND control, const TwipsRect &twips, UINT dpi);
// Sizes a window so that its client area is the given twips at its DPI,
// even when its menu bar wraps.
void sizeClientInTwips(HWND window, int widthTwips, int heightTwips, UINT dpi);
// A font that shows the control's caption whole on one line in width
// pixels: font itself when it does, else the same face a little smaller.
HFONT createFittingFont(HWND control, HFONT font, int width);

// The fonts of one window: the system's message font at the window's DPI
// for its controls, and for each label one that fits the label whole.
class WindowFonts {
public:
  WindowFonts() = default;
  WindowFonts(const WindowFonts &) = delete;
  WindowFonts &operator=(const WindowFonts &) = delete;
  ~WindowFonts() { release(); }

  void apply(UINT dpi, const std::vector<HWND> &controls,
             const std::vector<std::pair<HWND, TwipsRect>> &labels);

private:
  void release();
  HFONT font_ = nullptr;
  std::vector<HFONT> labelFonts_;
};

} // namespace platform::win32
