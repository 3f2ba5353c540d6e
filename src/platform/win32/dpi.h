#pragma once
// DPI and fonts for per-monitor DPI awareness, with fallbacks for Windows
// versions that predate the per-window functions.
#include <windows.h>

namespace platform::win32 {

// The primary monitor's DPI at sign-in: the one a new top-level window most
// likely opens at.
UINT systemDpi();
UINT dpiForWindow(HWND window);
// The system's message font at the given DPI; the caller deletes it.
HFONT createMessageFont(UINT dpi);
// A window rectangle for a client area of the given size at the given DPI.
SIZE windowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle,
                         bool hasMenu, UINT dpi);

} // namespace platform::win32
