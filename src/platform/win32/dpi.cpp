#include "platform/win32/dpi.h"

#include <commctrl.h>

namespace platform::win32 {
namespace {

template <typename Function> Function systemFunction(const wchar_t *module, const char *name) {
  HMODULE loaded = GetModuleHandleW(module);
  return loaded ? reinterpret_cast<Function>(
                      reinterpret_cast<void (*)()>(GetProcAddress(loaded, name)))
                : nullptr;
}

template <typename Function> Function user32Function(const char *name) {
  return systemFunction<Function>(L"user32.dll", name);
}

// The per-monitor DPI calls came with Windows 10, and winuser.h declares
// them only for WINVER 0x0605 and later; the program runs on Windows 7, so
// their types are written out here, WINAPI and all.
static_assert(WINVER < 0x0605, "winuser.h declares the DPI calls now: take decltype(&::Call)");
using GetSystemMetricsForDpiFn = int(WINAPI *)(int, UINT);
using GetDpiForWindowFn = UINT(WINAPI *)(HWND);
using SystemParametersInfoForDpiFn = BOOL(WINAPI *)(UINT, UINT, PVOID, UINT, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT);

} // namespace

UINT systemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

namespace {

int systemMetricForDpi(int index, UINT dpi) {
  static const auto forDpi = user32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (forDpi)
    return forDpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

} // namespace

UINT dpiForWindow(HWND window) {
  static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && window) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi != 0)
      return dpi;
  }
  return systemDpi();
}

HFONT createMessageFont(UINT dpi) {
  static const auto forDpi =
      user32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
    return CreateFontIndirectW(&metrics.lfMessageFont);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  // The plain call answers at the system DPI.
  metrics.lfMessageFont.lfHeight =
      MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi()));
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

platform::PixelSize windowFrameSize(DWORD style, DWORD exStyle, bool hasMenu, UINT dpi) {
  static const auto adjustForDpi =
      user32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  RECT rect{};
  if (!adjustForDpi || !adjustForDpi(&rect, style, hasMenu, exStyle, dpi))
    AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

HICON loadIconForDpi(HINSTANCE instance, int iconId, WPARAM which, UINT dpi) {
  const bool small = which == ICON_SMALL;
  const int width = systemMetricForDpi(small ? SM_CXSMICON : SM_CXICON, dpi);
  const int height = systemMetricForDpi(small ? SM_CYSMICON : SM_CYICON, dpi);
  // Comctl32 6 draws the nearest larger image scaled down, rather than a
  // smaller one blown up; older versions don't have it.
  static const auto scaleDown =
      systemFunction<decltype(&::LoadIconWithScaleDown)>(L"comctl32.dll", "LoadIconWithScaleDown");
  HICON icon = nullptr;
  if (scaleDown && SUCCEEDED(scaleDown(instance, MAKEINTRESOURCEW(iconId), width, height, &icon)))
    return icon;
  return static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

} // namespace platform::win32
