#pragma once
// Small helpers for the windows' widget code: each wraps a call or two and
// decides nothing.
#include "platform/win32/control_table.h"

#include <string>
#include <vector>
#include <windows.h>

namespace platform::win32 {

// Registers a window class with the program's icon and the dialog colour.
void registerWindowClass(HINSTANCE instance, const wchar_t *className, WNDPROC procedure,
                         int iconId);
// A visible control of the row, in its place at the DPI.
HWND createControl(HWND parent, HINSTANCE instance, const ControlRow &row, UINT dpi);
std::string windowText(HWND window);
void setWindowText(HWND window, const std::string &text);
// Repaints the control only when it is shown: a hidden one paints when it
// first appears anyway.
void setFont(HWND control, HFONT font);
void placeInTwips(HWND control, const TwipsRect &twips, UINT dpi);
// The outer size, for these styles and menu, of a window whose client area
// is the given twips at the DPI.
PixelSize windowSizeForClientTwips(int widthTwips, int heightTwips, DWORD style, DWORD exStyle,
                                   bool hasMenu, UINT dpi);
// Sizes a window so that its client area is the given twips at its DPI,
// even when its menu bar wraps; leaves one that has that size already.
void sizeClientInTwips(HWND window, int widthTwips, int heightTwips, UINT dpi);
// The window size, for the window's styles and menu, whose client area is
// the given twips at the DPI.
PixelSize windowSizeForClientTwips(HWND window, int widthTwips, int heightTwips, UINT dpi);
// Windows 10 1703 and later send it before WM_DPICHANGED; the headers name
// it only for newer targets.
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif
// Answers WM_GETDPISCALEDSIZE with the size whose client area is the given
// twips at the new DPI: Windows would scale the whole window in proportion,
// frame and menu bar included, and the client area would drift off the twips.
// FALSE, leaving the scaling to Windows, for a window the user has resized.
LRESULT answerDpiScaledSize(HWND window, int widthTwips, int heightTwips, WPARAM newDpi,
                            LPARAM size);
// Moves and sizes a window to the rectangle WM_DPICHANGED suggests.
void moveToSuggestedRect(HWND window, LPARAM suggestedRect);

// A font that shows the control's caption whole on one line in width
// pixels: font itself when it does, else the same face a little smaller.
HFONT createFittingFont(HWND control, HFONT font, int width);

// The fonts of one window's controls at its DPI, as its table gives them.
class WindowFonts {
public:
  WindowFonts() = default;
  WindowFonts(const WindowFonts &) = delete;
  WindowFonts &operator=(const WindowFonts &) = delete;
  ~WindowFonts() { release(); }

  void apply(HWND window, const ControlTable &table, UINT dpi);

private:
  void release();
  HFONT font_ = nullptr;
  std::vector<HFONT> labelFonts_;
};

// A window's small and large icons drawn for its DPI: the class icons are
// the system DPI's.
class WindowIcons {
public:
  WindowIcons() = default;
  WindowIcons(const WindowIcons &) = delete;
  WindowIcons &operator=(const WindowIcons &) = delete;
  ~WindowIcons() { release(); }

  void apply(HWND window, HINSTANCE instance, int iconId, UINT dpi);

private:
  void release();
  HICON small_ = nullptr;
  HICON large_ = nullptr;
};

} // namespace platform::win32
