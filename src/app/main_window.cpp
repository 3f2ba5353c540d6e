#include "app/main_window.h"

#include "app/main_layout.h"
#include "app/main_texts.h"
#include "app/resource_ids.h"
#include "platform/win32/dpi.h"
#include "platform/win32/message_box.h"
#include "platform/win32/wide.h"

#include <commctrl.h>

namespace app {
namespace {

constexpr wchar_t kClassName[] = L"KestrovaMainWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE;

void registerClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
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

void setFont(HWND control, HFONT font) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

int textWidth(HWND control, HFONT font) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), length, &extent);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return extent.cx;
}

// The password label's caption must show whole on one line inside its fixed
// rectangle; where the message font is too wide for it, the label alone gets
// the same face a little smaller.
HFONT createFittingFont(HWND control, HFONT font, int width) {
  LOGFONTW face{};
  GetObjectW(font, sizeof face, &face);
  for (int attempt = 0; attempt < 8 && textWidth(control, font) > width; ++attempt) {
    if (attempt > 0)
      DeleteObject(font);
    face.lfHeight = face.lfHeight < 0 ? face.lfHeight + 1 : face.lfHeight - 1;
    font = CreateFontIndirectW(&face);
  }
  return font;
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance, devices::StartModeStore &startModes,
                       password::PasswordStore &passwords)
    : instance_(instance), form_(*this, *this, startModes, passwords) {}

MainWindow::~MainWindow() {
  if (window_)
    DestroyWindow(window_);
  if (labelFont_ != font_)
    DeleteObject(labelFont_);
  DeleteObject(font_);
}

bool MainWindow::load() {
  registerClass(instance_, &MainWindow::windowProc);
  HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDM_MAIN));
  CreateWindowExW(0, kClassName, platform::win32::widen(texts::kWindowCaption).c_str(),
                  kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                  menu, instance_, this);
  if (!window_)
    return false;
  createControls();
  const UINT dpi = platform::win32::dpiForWindow(window_);
  sizeToClientArea(dpi);
  layout(dpi);
  form_.Form_Load();
  return window_ != nullptr;
}

void MainWindow::show(int showCommand) {
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  form_.Form_Activate();
}

void MainWindow::createControls() {
  constexpr DWORD radio = BS_AUTORADIOBUTTON;
  frames_[0] = createChild(WC_BUTTONW, texts::kFloppyFrame, BS_GROUPBOX | WS_GROUP, IDC_FRAME1);
  options_[0] = createChild(WC_BUTTONW, texts::kAllowed, radio | WS_GROUP | WS_TABSTOP,
                            IDC_OPTION1_FIRST + 0);
  options_[1] = createChild(WC_BUTTONW, texts::kProhibited, radio, IDC_OPTION1_FIRST + 1);
  frames_[1] = createChild(WC_BUTTONW, texts::kUsbFrame, BS_GROUPBOX | WS_GROUP, IDC_FRAME2);
  options_[2] = createChild(WC_BUTTONW, texts::kAllowed, radio | WS_GROUP | WS_TABSTOP,
                            IDC_OPTION1_FIRST + 2);
  options_[3] = createChild(WC_BUTTONW, texts::kProhibited, radio, IDC_OPTION1_FIRST + 3);
  label_ = createChild(WC_STATICW, texts::kPasswordLabel, SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_GROUP,
                       IDC_LABEL1);
  text_ = createChild(WC_EDITW, "", ES_PASSWORD | ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP, IDC_TEXT1);
  SetWindowLongPtrW(text_, GWL_EXSTYLE, GetWindowLongPtrW(text_, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  SendMessageW(text_, EM_SETPASSWORDCHAR, L'*', 0);
  SendMessageW(text_, EM_SETLIMITTEXT, 0, 0); // no limit beyond the control's own
  command1_ = createChild(WC_BUTTONW, texts::kExecute, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP,
                          IDC_COMMAND1);
  command2_ = createChild(WC_BUTTONW, texts::kExit, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP,
                          IDC_COMMAND2);
}

HWND MainWindow::createChild(const wchar_t *className, const char *text, DWORD style, int id) {
  return CreateWindowExW(0, className, platform::win32::widen(text).c_str(), kChildStyle | style, 0,
                         0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         instance_, nullptr);
}

void MainWindow::sizeToClientArea(UINT dpi) {
  const int width = platform::twipsToPixels(layout::kClientWidth, dpi);
  const int height = platform::twipsToPixels(layout::kClientHeight, dpi);
  const SIZE outer = platform::win32::windowSizeForClient(width, height, kWindowStyle, 0, true, dpi);
  SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps onto a second line takes height from the client
  // area; give it back.
  RECT client{};
  GetClientRect(window_, &client);
  const int shortfall = height - (client.bottom - client.top);
  if (shortfall != 0)
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy + shortfall,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::layout(UINT dpi) {
  using platform::toPixels;
  auto place = [dpi](HWND control, const platform::TwipsRect &twips) {
    const platform::PixelRect r = toPixels(twips, dpi);
    platform::win32::placeChild(control, RECT{r.left, r.top, r.right, r.bottom});
  };
  place(frames_[0], layout::kFrame1);
  place(frames_[1], layout::kFrame2);
  for (std::size_t i = 0; i < options_.size(); ++i)
    place(options_[i], layout::kOptions[i]);
  place(label_, layout::kLabel1);
  place(text_, layout::kText1);
  place(command1_, layout::kCommand1);
  place(command2_, layout::kCommand2);
  applyFonts(dpi);
}

void MainWindow::applyFonts(UINT dpi) {
  HFONT oldFont = font_;
  HFONT oldLabelFont = labelFont_;
  font_ = platform::win32::createMessageFont(dpi);
  const platform::PixelRect label = platform::toPixels(layout::kLabel1, dpi);
  labelFont_ = createFittingFont(label_, font_, label.right - label.left);
  for (HWND control : {frames_[0], frames_[1], options_[0], options_[1], options_[2], options_[3],
                       text_, command1_, command2_})
    setFont(control, font_);
  setFont(label_, labelFont_);
  if (oldLabelFont != oldFont)
    DeleteObject(oldLabelFont);
  DeleteObject(oldFont);
}

void MainWindow::selectOption(int index) {
  // Options come in pairs, one pair per frame; checking one by program does
  // not uncheck its partner, so do it here.
  const int partner = index ^ 1;
  SendMessageW(options_[static_cast<std::size_t>(partner)], BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageW(options_[static_cast<std::size_t>(index)], BM_SETCHECK, BST_CHECKED, 0);
}

bool MainWindow::isOptionSelected(int index) const {
  return SendMessageW(options_[static_cast<std::size_t>(index)], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::setExitCaption(const std::string &caption) {
  SetWindowTextW(command2_, platform::win32::widen(caption).c_str());
}

std::string MainWindow::passwordText() const {
  const int length = GetWindowTextLengthW(text_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(text_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied));
  return platform::win32::narrow(text);
}

void MainWindow::messageBox(const std::string &prompt, const std::optional<std::string> &title,
                            platform::MessageIcon icon) {
  platform::win32::showMessageBox(window_, prompt, title.value_or(texts::kAppTitle), icon);
}

void MainWindow::unload() {
  if (window_)
    DestroyWindow(window_);
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto *self = static_cast<MainWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto *self = reinterpret_cast<MainWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self)
    return DefWindowProcW(window, message, wParam, lParam);
  return self->handleMessage(message, wParam, lParam);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_COMMAND:
    onCommand(LOWORD(wParam), HIWORD(wParam));
    return 0;
  case WM_ACTIVATE:
    onActivate(LOWORD(wParam) != WA_INACTIVE);
    return 0;
  case WM_DPICHANGED: {
    const auto *suggested = reinterpret_cast<const RECT *>(lParam);
    SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    layout(HIWORD(wParam));
    return 0;
  }
  case WM_DESTROY:
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void MainWindow::onCommand(int id, int notification) {
  if (id >= IDC_OPTION1_FIRST && id < IDC_OPTION1_FIRST + 4 && notification == BN_CLICKED) {
    form_.Option1_Click(id - IDC_OPTION1_FIRST);
    return;
  }
  switch (id) {
  case IDC_COMMAND1:
    if (notification == BN_CLICKED)
      form_.Command1_Click();
    break;
  case IDM_ACTION:
    form_.mnuAction_Click();
    break;
  case IDC_COMMAND2:
    if (notification == BN_CLICKED)
      form_.Command2_Click();
    break;
  case IDM_FILE_EXIT:
    form_.mnuFileExit_Click();
    break;
  default: // IDOK and IDCANCEL from Enter and Esc land here and do nothing
    break;
  }
}

// Keeps the keyboard focus on the control that had it, as dialogs do; the
// first time, that is the selected floppy option, first in the tab order.
void MainWindow::onActivate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(window_, focus))
      lastFocus_ = focus;
    return;
  }
  if (!lastFocus_)
    lastFocus_ = isOptionSelected(1) ? options_[1] : options_[0];
  SetFocus(lastFocus_);
}

} // namespace app
