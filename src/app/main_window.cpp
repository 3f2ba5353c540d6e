#include "app/main_window.h"

#include "app/main_layout.h"
#include "app/resource_ids.h"
#include "password/password_dialog_window.h"
#include "platform/win32/dpi.h"
#include "platform/win32/widgets.h"

namespace app {

using namespace platform::win32;

MainWindow::MainWindow(HINSTANCE instance, platform::DeviceModes &deviceModes,
                       platform::PasswordFile &passwordFile, const platform::AnsiCodec &codec,
                       help::HelpLauncher &help, platform::EventLog &events)
    : TableWindow(instance, L"KestrovaMainWindow", layout::kWindow), passwordFile_(passwordFile),
      codec_(codec), events_(events),
      handlers_(*this, *this, deviceModes, passwordFile, codec, help, events) {}

bool MainWindow::load() {
  HMENU menu = LoadMenuW(instance(), MAKEINTRESOURCEW(IDM_MAIN));
  if (!create(nullptr, menu, POINT{CW_USEDEFAULT, CW_USEDEFAULT}, outerSize(true, systemDpi())))
    return false;
  // Start-up is a handler too: while its error box is up, a command posted
  // to the window must not run Execute with nothing chosen.
  runHandler([&] { handlers_.onLoad(); });
  return handle() != nullptr;
}

void MainWindow::show(int showCommand) {
  ShowWindow(handle(), showCommand);
  UpdateWindow(handle());
  handlers_.onActivate();
}

HWND MainWindow::option(int index) const { return control(IDC_FIRST_OPTION + index); }

void MainWindow::selectOption(int index) {
  // Options come in pairs, one pair per frame; checking one by program does
  // not uncheck its partner, so do it here.
  SendMessageW(option(index ^ 1), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageW(option(index), BM_SETCHECK, BST_CHECKED, 0);
}

bool MainWindow::isOptionSelected(int index) const {
  return SendMessageW(option(index), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::setExitCaption(const std::string &caption) {
  HWND exit = control(IDC_EXIT);
  if (windowText(exit) != caption) // spares the button a repaint
    setWindowText(exit, caption);
}

std::string MainWindow::passwordText() const { return windowText(control(IDC_PASSWORD_FIELD)); }

void MainWindow::showPasswordDialog() {
  password::PasswordDialogWindow::showModal(instance(), handle(), passwordFile_, codec_, events_);
  handlers_.onActivate();
}

void MainWindow::unload() {
  if (handle())
    DestroyWindow(handle());
}

void MainWindow::onCommand(int id, int notification) {
  const bool clicked = notification == BN_CLICKED;
  if (id >= IDC_FIRST_OPTION && id < IDC_FIRST_OPTION + 4) {
    if (clicked)
      handlers_.onOptionClicked(id - IDC_FIRST_OPTION);
    return;
  }
  switch (id) {
  case IDC_EXECUTE:
    if (clicked)
      handlers_.onExecute();
    break;
  case IDC_EXIT:
    if (clicked)
      handlers_.onExit();
    break;
  case IDM_EXECUTE:
    handlers_.onExecute();
    break;
  case IDM_EXIT:
    handlers_.onExit();
    break;
  case IDM_CHANGE_PASSWORD:
    handlers_.onChangePassword();
    break;
  case IDM_HELP:
    handlers_.onHelp();
    break;
  case IDM_ABOUT:
    handlers_.onAbout();
    break;
  default: // IDOK and IDCANCEL from Enter and Esc land here and do nothing
    break;
  }
}

void MainWindow::onDestroy() { PostQuitMessage(0); }

LRESULT MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_ACTIVATE)
    return TableWindow::onMessage(message, wParam, lParam);
  onActivate(LOWORD(wParam) != WA_INACTIVE);
  return 0;
}

// Keeps the keyboard focus on the control that had it, as dialogs do; the
// first time, that is the selected floppy option, first in the tab order.
void MainWindow::onActivate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(handle(), focus))
      lastFocus_ = focus;
    return;
  }
  if (!lastFocus_)
    lastFocus_ = isOptionSelected(1) ? option(1) : option(0);
  SetFocus(lastFocus_);
}

} // namespace app
