#include "platform/win32/widgets.h"

#include "platform/win32/dpi.h"
#include "platform/win32/wide.h"

namespace platform::win32 {
namespace {

int captionWidth(HWND control, HFONT font) {
  const std::wstring text = widen(windowText(control));
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return extent.cx;
}

} // namespace

void registerWindowClass(HINSTANCE instance, const wchar_t *className, WNDPROC procedure,
                         int iconId) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(iconId));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  RegisterClassExW(&windowClass);
}

HWND createControl(HWND parent, HINSTANCE instance, const ControlRow &row, UINT dpi) {
  const PixelRect r = toPixels(row.place, dpi);
  HWND control = CreateWindowExW(
      row.exStyle, row.className, widen(row.caption).c_str(), WS_CHILD | WS_VISIBLE | row.style,
      r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
  if (isPasswordField(row)) {
    SendMessageW(control, EM_SETPASSWORDCHAR, L'*', 0);
    SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
  }
  return control;
}

std::string windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return narrow(text);
}

void setWindowText(HWND window, const std::string &text) {
  SetWindowTextW(window, widen(text).c_str());
}

void setFont(HWND control, HFONT font) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), IsWindowVisible(control));
}

void placeInTwips(HWND control, const TwipsRect &twips, UINT dpi) {
  const PixelRect r = toPixels(twips, dpi);
  SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void moveToSuggestedRect(HWND window, LPARAM suggestedRect) {
  const auto *r = reinterpret_cast<const RECT *>(suggestedRect);
  SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

PixelSize windowSizeForClientTwips(int widthTwips, int heightTwips, DWORD style, DWORD exStyle,
                                   bool hasMenu, UINT dpi) {
  return platform::windowSizeForClientTwips(widthTwips, heightTwips, dpi, [&](unsigned atDpi) {
    return windowFrameSize(style, exStyle, hasMenu, atDpi);
  });
}

PixelSize windowSizeForClientTwips(HWND window, int widthTwips, int heightTwips, UINT dpi) {
  return windowSizeForClientTwips(
      widthTwips, heightTwips, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
      static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), GetMenu(window) != nullptr, dpi);
}

void sizeClientInTwips(HWND window, int widthTwips, int heightTwips, UINT dpi) {
  const int width = twipsToPixels(widthTwips, dpi);
  const int height = twipsToPixels(heightTwips, dpi);
  RECT client{};
  GetClientRect(window, &client);
  if (client.right - client.left == width && client.bottom - client.top == height)
    return;
  const PixelSize outer = windowSizeForClientTwips(window, widthTwips, heightTwips, dpi);
  constexpr UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(window, nullptr, 0, 0, outer.width, outer.height, flags);
  // A menu bar that wraps onto a second line takes height from the client
  // area; give it back.
  GetClientRect(window, &client);
  const int shortfall = height - (client.bottom - client.top);
  if (shortfall != 0)
    SetWindowPos(window, nullptr, 0, 0, outer.width, outer.height + shortfall, flags);
}

LRESULT answerDpiScaledSize(HWND window, int widthTwips, int heightTwips, WPARAM newDpi,
                            LPARAM size) {
  // A window the user has resized (or maximized) keeps the size Windows
  // scales for it; only one that shows its layout gets the layout again.
  const UINT dpi = dpiForWindow(window);
  RECT client{};
  GetClientRect(window, &client);
  if (client.right - client.left != twipsToPixels(widthTwips, dpi) ||
      client.bottom - client.top != twipsToPixels(heightTwips, dpi))
    return FALSE;
  const PixelSize outer =
      windowSizeForClientTwips(window, widthTwips, heightTwips, static_cast<UINT>(newDpi));
  *reinterpret_cast<SIZE *>(size) = SIZE{outer.width, outer.height};
  return TRUE;
}

HFONT createFittingFont(HWND control, HFONT font, int width) {
  LOGFONTW face{};
  GetObjectW(font, sizeof face, &face);
  HFONT fitting = font;
  for (int attempt = 0; attempt < 8 && captionWidth(control, fitting) > width; ++attempt) {
    if (fitting != font)
      DeleteObject(fitting);
    face.lfHeight = face.lfHeight < 0 ? face.lfHeight + 1 : face.lfHeight - 1;
    fitting = CreateFontIndirectW(&face);
  }
  return fitting;
}

void WindowFonts::apply(HWND window, const ControlTable &table, UINT dpi) {
  HFONT font = createMessageFont(dpi);
  std::vector<HFONT> fitted;
  for (const ControlRow &row : table) {
    HWND control = GetDlgItem(window, row.id);
    HFONT own = font;
    if (row.font == ControlFont::FitCaption) {
      const PixelRect r = toPixels(row.place, dpi);
      own = createFittingFont(control, font, r.right - r.left);
    }
    setFont(control, own);
    if (own != font)
      fitted.push_back(own);
  }
  release(); // only now: the controls no longer use the old fonts
  font_ = font;
  labelFonts_ = std::move(fitted);
}

void WindowFonts::release() {
  for (HFONT font : labelFonts_)
    DeleteObject(font);
  labelFonts_.clear();
  if (font_)
    DeleteObject(font_);
  font_ = nullptr;
}

void WindowIcons::apply(HWND window, HINSTANCE instance, int iconId, UINT dpi) {
  HICON small = loadIconForDpi(instance, iconId, ICON_SMALL, dpi);
  HICON large = loadIconForDpi(instance, iconId, ICON_BIG, dpi);
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
  release(); // only now: the window no longer shows the old ones
  small_ = small;
  large_ = large;
}

void WindowIcons::release() {
  if (small_)
    DestroyIcon(small_);
  if (large_)
    DestroyIcon(large_);
  small_ = large_ = nullptr;
}

} // namespace platform::win32
