// The fair floor of the start-up bench: the least that vantorel.exe's main
// window can cost. A plain program that shows the same window (the same
// resources, window class, the ten controls with their styles and texts, the
// message font at the window's DPI with the label fitted to its width, the
// two registry reads and the same message loop), each thing created once at
// its final size and place, and nothing more: no stores, no handlers, no
// strings on the heap. Texts, places and IDs come from the program's own
// headers, so the two cannot drift apart.
#include "app/main_layout.h"
#include "app/main_texts.h"
#include "app/resource_ids.h"
#include "product/program.h"

#include <windows.h>

#include <commctrl.h>

namespace {

using platform::PixelRect;
using platform::TwipsRect;

constexpr wchar_t kClassName[] = L"KestrovaFairFloor";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;

struct Control {
  DWORD exStyle;
  const wchar_t *className;
  const char *text;
  DWORD style;
  int id;
  TwipsRect place;
};

// In the program's creation order: each frame before its options, then the
// tab order.
namespace layout = app::layout;
namespace texts = app::texts;
constexpr Control kControls[] = {
    {0, WC_BUTTONW, texts::kFloppyFrame, BS_GROUPBOX | WS_GROUP, IDC_FRAME1, layout::kFrame1},
    {0, WC_BUTTONW, texts::kAllowed, kRadio | WS_GROUP | WS_TABSTOP, IDC_OPTION1_FIRST,
     layout::kOptions[0]},
    {0, WC_BUTTONW, texts::kProhibited, kRadio, IDC_OPTION1_FIRST + 1, layout::kOptions[1]},
    {0, WC_BUTTONW, texts::kUsbFrame, BS_GROUPBOX | WS_GROUP, IDC_FRAME2, layout::kFrame2},
    {0, WC_BUTTONW, texts::kAllowed, kRadio | WS_GROUP | WS_TABSTOP, IDC_OPTION1_FIRST + 2,
     layout::kOptions[2]},
    {0, WC_BUTTONW, texts::kProhibited, kRadio, IDC_OPTION1_FIRST + 3, layout::kOptions[3]},
    {0, WC_STATICW, texts::kPasswordLabel, SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_GROUP, IDC_LABEL1,
     layout::kLabel1},
    {WS_EX_CLIENTEDGE, WC_EDITW, "", ES_PASSWORD | ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP,
     IDC_TEXT1, layout::kText1},
    {0, WC_BUTTONW, texts::kExecute, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, IDC_COMMAND1,
     layout::kCommand1},
    {0, WC_BUTTONW, texts::kExit, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, IDC_COMMAND2,
     layout::kCommand2},
};
constexpr int kControlCount = sizeof kControls / sizeof kControls[0];
enum Index {
  kFloppyAllowed = 1,
  kFloppyProhibited,
  kUsbAllowed = 4,
  kUsbProhibited,
  kLabel,
  kField
};

HWND focusOnActivate = nullptr;

HWND createControl(HWND parent, HINSTANCE instance, const Control &control, UINT dpi) {
  wchar_t text[64];
  MultiByteToWideChar(CP_UTF8, 0, control.text, -1, text, 64);
  const PixelRect r = platform::toPixels(control.place, dpi);
  return CreateWindowExW(
      control.exStyle, control.className, text, WS_CHILD | WS_VISIBLE | control.style, r.left,
      r.top, r.right - r.left, r.bottom - r.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
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
  RECT frame{0, 0, platform::twipsToPixels(layout::kClientWidth, dpi),
             platform::twipsToPixels(layout::kClientHeight, dpi)};
  AdjustWindowRectExForDpi(&frame, kWindowStyle, TRUE, 0, dpi);
  wchar_t caption[32];
  MultiByteToWideChar(CP_UTF8, 0, texts::kWindowCaption, -1, caption, 32);
  return CreateWindowExW(0, kClassName, caption, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr,
                         LoadMenuW(instance, MAKEINTRESOURCEW(IDM_MAIN)), instance, nullptr);
}

// The controls in place with their fonts, and the options as the registry
// has them; false when a start mode cannot be read.
bool fillWindow(HWND window, HINSTANCE instance, UINT dpi) {
  HWND controls[kControlCount];
  for (int i = 0; i < kControlCount; ++i)
    controls[i] = createControl(window, instance, kControls[i], dpi);
  SendMessageW(controls[kField], EM_SETPASSWORDCHAR, L'*', 0);
  SendMessageW(controls[kField], EM_SETLIMITTEXT, 0, 0);

  // Hidden still: no control needs to repaint for its font.
  HFONT font = messageFont(dpi);
  for (int i = 0; i < kControlCount; ++i)
    if (i != kLabel)
      SendMessageW(controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  const PixelRect label = platform::toPixels(layout::kLabel1, dpi);
  HFONT labelFont = fittingFont(controls[kLabel], font, label.right - label.left);
  SendMessageW(controls[kLabel], WM_SETFONT, reinterpret_cast<WPARAM>(labelFont), FALSE);

  bool floppyAllowed = false, usbAllowed = false;
  if (!readAllowed(R"(SYSTEM\CurrentControlSet\Services\Flpydisk)", &floppyAllowed) ||
      !readAllowed(R"(SYSTEM\CurrentControlSet\Services\USBSTOR)", &usbAllowed))
    return false;
  HWND floppy = controls[floppyAllowed ? kFloppyAllowed : kFloppyProhibited];
  SendMessageW(floppy, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(controls[usbAllowed ? kUsbAllowed : kUsbProhibited], BM_SETCHECK, BST_CHECKED, 0);
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
