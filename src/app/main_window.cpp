#include "app/main_window.h"

#include "app/main_layout.h"
#include "app/main_texts.h"
#include "app/resource_ids.h"
#include "password/password_dialog_window.h"
#include "platform/program.h"
#include "platform/win32/dpi.h"
#include "platform/win32/message_box.h"
#include "platform/win32/wide.h"

#include <commctrl.h>

namespace app {
namespace {

constexpr wchar_t kClassName[] = L"KestrovaMainWindow";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;

platform::TwipsRect placeOf(int controlId) {
  if (controlId >= IDC_OPTION1_FIRST && controlId < IDC_OPTION1_FIRST + 4)
    return layout::kOptions[controlId - IDC_OPTION1_FIRST];
  switch (controlId) {
  case IDC_FRAME1:
    return layout::kFrame1;
  case IDC_FRAME2:
    return layout::kFrame2;
  case IDC_LABEL1:
    return layout::kLabel1;
  case IDC_TEXT1:
    return layout::kText1;
  case IDC_COMMAND1:
    return layout::kCommand1;
  default:
    return layout::kCommand2;
  }
}

} // namespace

using namespace platform::win32;

MainWindow::MainWindow(HINSTANCE instance, devices::StartModeStore &startModes,
                       platform::PasswordFile &passwordFile, const platform::AnsiCodec &codec,
                       help::HelpLauncher &help, platform::EventLog &events)
    : instance_(instance), passwordFile_(passwordFile), codec_(codec), events_(events),
      form_(*this, *this, startModes, passwordFile, codec, help, events) {}

MainWindow::~MainWindow() {
  if (window_)
    DestroyWindow(window_);
}

// The window is made at its final size for the DPI it most likely opens at
// and each control in its final place, so that nothing moves before it is
// first shown; only a window that opened at another DPI, or whose menu bar
// wraps, is resized.
bool MainWindow::load() {
  registerWindowClass(instance_, kClassName, &objectWindowProc<MainWindow>, IDI_APP);
  HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDM_MAIN));
  const platform::PixelSize size = windowSizeForClientTwips(
      layout::kClientWidth, layout::kClientHeight, kStyle, 0, true, systemDpi());
  if (!CreateWindowExW(0, kClassName, widen(texts::kWindowCaption).c_str(), kStyle, CW_USEDEFAULT,
                       CW_USEDEFAULT, size.width, size.height, nullptr, menu, instance_, this))
    return false;
  const UINT dpi = dpiForWindow(window_);
  icons_.apply(window_, instance_, IDI_APP, dpi);
  createControls(dpi);
  sizeClientInTwips(window_, layout::kClientWidth, layout::kClientHeight, dpi);
  applyFonts(dpi);
  form_.Form_Load();
  return window_ != nullptr;
}

void MainWindow::show(int showCommand) {
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  form_.Form_Activate();
}

// Group boxes come before their options, as in dialog templates; the
// focusable controls follow the window's tab order.
void MainWindow::createControls(UINT dpi) {
  auto child = [this, dpi](const wchar_t *className, const char *text, DWORD style, int id) {
    return createControl(window_, instance_, className, text, style, id,
                         platform::toPixels(placeOf(id), dpi));
  };
  constexpr DWORD radio = BS_AUTORADIOBUTTON;
  frames_[0] = child(WC_BUTTONW, texts::kFloppyFrame, BS_GROUPBOX | WS_GROUP, IDC_FRAME1);
  options_[0] =
      child(WC_BUTTONW, texts::kAllowed, radio | WS_GROUP | WS_TABSTOP, IDC_OPTION1_FIRST);
  options_[1] = child(WC_BUTTONW, texts::kProhibited, radio, IDC_OPTION1_FIRST + 1);
  frames_[1] = child(WC_BUTTONW, texts::kUsbFrame, BS_GROUPBOX | WS_GROUP, IDC_FRAME2);
  options_[2] =
      child(WC_BUTTONW, texts::kAllowed, radio | WS_GROUP | WS_TABSTOP, IDC_OPTION1_FIRST + 2);
  options_[3] = child(WC_BUTTONW, texts::kProhibited, radio, IDC_OPTION1_FIRST + 3);
  label_ = child(WC_STATICW, texts::kPasswordLabel, SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_GROUP,
                 IDC_LABEL1);
  text_ = createPasswordField(window_, instance_, IDC_TEXT1,
                              platform::toPixels(placeOf(IDC_TEXT1), dpi));
  command1_ =
      child(WC_BUTTONW, texts::kExecute, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, IDC_COMMAND1);
  command2_ = child(WC_BUTTONW, texts::kExit, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, IDC_COMMAND2);
}

// For a new DPI: every control to its place for it, and fonts to match.
void MainWindow::layout(UINT dpi) {
  for (HWND control : {frames_[0], frames_[1], options_[0], options_[1], options_[2], options_[3],
                       label_, text_, command1_, command2_})
    placeInTwips(control, placeOf(GetDlgCtrlID(control)), dpi);
  applyFonts(dpi);
}

void MainWindow::applyFonts(UINT dpi) {
  fonts_.apply(dpi,
               {frames_[0], frames_[1], options_[0], options_[1], options_[2], options_[3], text_,
                command1_, command2_},
               {{label_, layout::kLabel1}});
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
  if (windowText(command2_) != caption) // spares the button a repaint
    setWindowText(command2_, caption);
}

std::string MainWindow::passwordText() const { return windowText(text_); }

void MainWindow::showPasswordDialog() {
  password::PasswordDialogWindow::showModal(instance_, window_, passwordFile_, codec_, events_);
  form_.Form_Activate();
}

void MainWindow::messageBox(const std::string &prompt, const std::optional<std::string> &title,
                            platform::MessageIcon icon) {
  showMessageBox(window_, prompt, title.value_or(platform::kProgramTitle), icon);
}

void MainWindow::unload() {
  if (window_)
    DestroyWindow(window_);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_COMMAND:
    onCommand(LOWORD(wParam), HIWORD(wParam));
    return 0;
  case WM_ACTIVATE:
    onActivate(LOWORD(wParam) != WA_INACTIVE);
    return 0;
  case WM_GETDPISCALEDSIZE:
    return answerDpiScaledSize(window_, layout::kClientWidth, layout::kClientHeight, wParam,
                               lParam);
  case WM_DPICHANGED:
    moveToSuggestedRect(window_, lParam);
    icons_.apply(window_, instance_, IDI_APP, HIWORD(wParam));
    layout(HIWORD(wParam));
    return 0;
  case WM_DESTROY:
    window_ = nullptr;
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void MainWindow::onCommand(int id, int notification) {
  const bool clicked = notification == BN_CLICKED;
  if (id >= IDC_OPTION1_FIRST && id < IDC_OPTION1_FIRST + 4) {
    if (clicked)
      form_.Option1_Click(id - IDC_OPTION1_FIRST);
    return;
  }
  switch (id) {
  case IDC_COMMAND1:
    if (clicked)
      form_.Command1_Click();
    break;
  case IDC_COMMAND2:
    if (clicked)
      form_.Command2_Click();
    break;
  case IDM_ACTION:
    form_.mnuAction_Click();
    break;
  case IDM_FILE_EXIT:
    form_.mnuFileExit_Click();
    break;
  case IDM_PASSWD:
    form_.mnuPasswd_Click();
    break;
  case IDM_HELP_HELP:
    form_.mnuHelpHelp_Click();
    break;
  case IDM_HELP_ABOUT:
    form_.mnuHelpAbout_Click();
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
