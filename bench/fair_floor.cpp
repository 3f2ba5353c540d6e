// The fair floor of the start-up bench: the least that vantorel.exe's main
// window can cost. A plain program that shows the same window (the same
// resources, window class, the controls of the window's table with their
// styles and texts, the message font at the window's DPI with labels fitted
// to their width, the two registry reads and the same message loop), each
// thing created once at its final size and place, and nothing more: no
// stores, no handlers, no strings on the heap. It reads the program's own
// table, so the two cannot drift apart, but none of the program's code: a
// floor built on it would hide a slowdown in it.
#include "app/main_layout.h"
#include "product/program.h"

#include <windows.h>

#include <commctrl.h>

namespace {

using platform::PixelRect;
using platform::win32::ControlFont;
using platform::win32::ControlRow;

constexpr wchar_t kClassName[] = L"KestrovaFairFloor";
const platform::win32::ControlTable &kWindow = app::layout::kWindow;

HWND focusOnActivate = nullptr;

HWND createControl(HWND parent, HINSTANCE instance, const ControlRow &row, UINT dpi) {
  wchar_t text[64];
  MultiByteToWideChar(CP_UTF8, 0, row.caption, -1, text, 64);
  const PixelRect r = platform::toPixels(row.place, dpi);
  HWND control =
      CreateWindowExW(row.exStyle, row.className, text, WS_CHILD | WS_VISIBLE | row.style, r.left,
                      r.top, r.right - r.left, r.bottom - r.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
  if (platform::win32::isPasswordField(row)) {
    SendMessageW(control, EM_SETPASSWORDCHAR, L'*', 0);
    SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
  }
  return control;
}

// The start mode of a service: true for on demand (3), that is allowed.
bool readAllowed(const char *subKey, bool *allowed) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return false;
  BYTE data[256];
  DWORD size = sizeof data, type = 0;
  const LONG rc = RegQueryValueExA(key, "Start", nullptr, &type, data, &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS)
    return false;
  *allowed = type == REG_DWORD && size == 4 && *reinterpret_cast<const DWORD *>(data) == 3;
  return true;
}

HFONT messageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

int textWidth(HWND control, HFONT font) {
  wchar_t text[64];
  const int length = GetWindowTextW(control, text, 64);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text, length, &extent);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return extent.cx;
}

// The same face a little smaller until the label's text fits its width.
HFONT fittingFont(HWND label, HFONT font, int width) {
  LOGFONTW face{};
  GetObjectW(font, sizeof face, &face);
  HFONT fitting = font;
  for (int attempt = 0; attempt < 8 && textWidth(label, fitting) > width; ++attempt) {
    if (fitting != font)
      DeleteObject(fitting);
    face.lfHeight = face.lfHeight < 0 ? face.lfHeight + 1 : face.lfHeight - 1;
    fitting = CreateFontIndirectW(&face);
  }
  return fitting;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_ACTIVATE:
    if (LOWORD(wParam) != WA_INACTIVE && focusOnActivate)
      SetFocus(focusOnActivate);
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcW(window, message, wParam, lParam);
  }
}

void registerClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);
}

HWND createMainWindow(HINSTANCE instance, UINT dpi) {
  RECT frame{0, 0, platform::twipsToPixels(kWindow.clientWidth, dpi),
             platform::twipsToPixels(kWindow.clientHeight, dpi)};
  AdjustWindowRectExForDpi(&frame, kWindow.style, TRUE, kWindow.exStyle, dpi);
  wchar_t caption[32];
  MultiByteToWideChar(CP_UTF8, 0, kWindow.caption, -1, caption, 32);
  return CreateWindowExW(kWindow.exStyle, kClassName, caption, kWindow.style, CW_USEDEFAULT,
                         CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                         LoadMenuW(instance, MAKEINTRESOURCEW(IDM_MAIN)), instance, nullptr);
}

// Hidden still: no control needs to repaint for its font.
void setFonts(HWND window, UINT dpi) {
  HFONT font = messageFont(dpi);
  for (const ControlRow &row : kWindow) {
    HWND control = GetDlgItem(window, row.id);
    HFONT own = font;
    if (row.font == ControlFont::FitCaption) {
      const PixelRect place = platform::toPixels(row.place, dpi);
      own = fittingFont(control, font, place.right - place.left);
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);
  }
}

// The controls in place with their fonts, and the options as the registry
// has them; false when a start mode cannot be read.
bool fillWindow(HWND window, HINSTANCE instance, UINT dpi) {
  for (const ControlRow &row : kWindow)
    createControl(window, instance, row, dpi);
  setFonts(window, dpi);

  bool floppyAllowed = false, usbAllowed = false;
  if (!readAllowed(R"(SYSTEM\CurrentControlSet\Services\Flpydisk)", &floppyAllowed) ||
      !readAllowed(R"(SYSTEM\CurrentControlSet\Services\USBSTOR)", &usbAllowed))
    return false;
  HWND floppy = GetDlgItem(window, IDC_FIRST_OPTION + (floppyAllowed ? 0 : 1));
  SendMessageW(floppy, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(GetDlgItem(window, IDC_FIRST_OPTION + (usbAllowed ? 2 : 3)), BM_SETCHECK,
               BST_CHECKED, 0);
  focusOnActivate = floppy;
  return true;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&commonControls);
  registerClass(instance);
  const UINT dpi = GetDpiForSystem();
  HWND window = createMainWindow(instance, dpi);
  if (!window || !fillWindow(window, instance, dpi))
    return 1;
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
