#include "password/password_dialog_window.h"

#include "password/dialog_layout.h"
#include "platform/win32/dpi.h"
#include "platform/win32/widgets.h"

#include <algorithm>

namespace password {

using namespace platform::win32;

PasswordDialogWindow::PasswordDialogWindow(HINSTANCE instance, HWND owner,
                                           platform::PasswordFile &file,
                                           const platform::AnsiCodec &codec,
                                           platform::EventLog &events)
    : TableWindow(instance, L"KestrovaPasswordDialog", layout::kWindow), owner_(owner),
      handlers_(*this, *this, file, codec, events) {}

void PasswordDialogWindow::showModal(HINSTANCE instance, HWND owner, platform::PasswordFile &file,
                                     const platform::AnsiCodec &codec, platform::EventLog &events) {
  PasswordDialogWindow dialog(instance, owner, file, codec, events);
  if (!dialog.create())
    return;
  EnableWindow(owner, FALSE);
  ShowWindow(dialog.handle(), SW_SHOW);
  SetFocus(dialog.control(layout::kFieldIds[0]));
  dialog.runModalLoop();
}

// Created where it stands, at its owner's DPI: a window made elsewhere and
// then moved could change DPI on the way. Owned, so it stays out of the
// taskbar.
bool PasswordDialogWindow::create() {
  const platform::PixelSize size = outerSize(false, dpiForWindow(owner_));
  return TableWindow::create(owner_, nullptr, centredOnOwner(size), size);
}

POINT PasswordDialogWindow::centredOnOwner(const platform::PixelSize &size) const {
  RECT owner{};
  GetWindowRect(owner_, &owner);
  const int width = size.width, height = size.height;
  int left = (owner.left + owner.right - width) / 2;
  int top = (owner.top + owner.bottom - height) / 2;
  // Keep it on the owner's monitor.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT &area = monitor.rcWork;
    left = std::max<int>(area.left, std::min<int>(left, area.right - width));
    top = std::max<int>(area.top, std::min<int>(top, area.bottom - height));
  }
  return POINT{left, top};
}

void PasswordDialogWindow::runModalLoop() {
  MSG message;
  while (handle()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      PostQuitMessage(static_cast<int>(message.wParam)); // for the main loop to see
      break;
    }
    // GetMessageW may have dispatched a sent message that closed the dialog.
    // cppcheck-suppress knownConditionTrueFalse
    if (handle() && IsDialogMessageW(handle(), &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

std::string PasswordDialogWindow::fieldText(int index) const {
  return windowText(control(layout::kFieldIds[index]));
}

// The owner is enabled before the dialog goes, so that Windows hands the
// activation back to it and not to another program.
void PasswordDialogWindow::unload() {
  if (!handle())
    return;
  EnableWindow(owner_, TRUE);
  SetActiveWindow(owner_);
  DestroyWindow(handle());
}

void PasswordDialogWindow::onCommand(int id, int notification) {
  if (notification == BN_CLICKED && id == layout::kOkId)
    handlers_.onOk();
  else if (notification == BN_CLICKED && id == layout::kCancelId)
    handlers_.onCancel();
  // IDOK and IDCANCEL from Enter and Esc do nothing
}

} // namespace password
