#pragma once
// DPI and fonts for per-monitor DPI awareness, with fallbacks for Windows
// versions that predate the per-window functions.
#include "platform/twips.h"

#include <windows.h>

namespace platform::win32 {

// The primary monitor's DPI at sign-in: the one a new top-level window most
// likely opens at.
UINT systemDpi();
UINT dpiForWindow(HWND window);
// The system's message font at the given DPI; the caller deletes it.
HFONT createMessageFont(UINT dpi);
// What a window's borders, caption and one line of menu bar add to its
// client area at the DPI; where Windows predates the DPI-aware call, at the
// system DPI, which is where the frame is drawn there.
platform::PixelSize windowFrameSize(DWORD style, DWORD exStyle, bool hasMenu, UINT dpi);
// The icon resource at the size of a small (ICON_SMALL) or large (ICON_BIG)
// window icon at the DPI; the caller destroys it.
HICON loadIconForDpi(HINSTANCE instance, int iconId, WPARAM which, UINT dpi);

} // namespace platform::win32
