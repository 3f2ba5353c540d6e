#include "password/password_dialog_window.h"

#include "password/dialog_layout.h"
#include "password/dialog_texts.h"
#include "platform/program.h"
#include "platform/win32/dpi.h"
#include "platform/win32/message_box.h"
#include "platform/win32/wide.h"

#include <algorithm>
#include <commctrl.h>
#include <iterator>

namespace password {
namespace {

constexpr wchar_t kClassName[] = L"KestrovaPasswordDialog";
// A fixed dialog frame without minimize and maximize; owned, so it stays
// out of the taskbar.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

// Control IDs stay clear of IDOK and IDCANCEL, which Enter and Esc send.
struct FieldRow {
  int fieldId;
  int labelId;
  const char *caption;
};
constexpr FieldRow kRows[3] = {{401, 404, texts::kOldPasswordLabel},
                               {402, 405, texts::kNewPasswordLabel},
                               {403, 406, texts::kConfirmLabel}};
constexpr int kOkId = 407;
constexpr int kCancelId = 408;

} // namespace

using namespace platform::win32;

PasswordDialogWindow::PasswordDialogWindow(HINSTANCE instance, HWND owner,
                                           platform::PasswordFile &file,
                                           const platform::AnsiCodec &codec,
                                           platform::EventLog &events)
    : instance_(instance), owner_(owner), handlers_(*this, *this, file, codec, events) {}

void PasswordDialogWindow::showModal(HINSTANCE instance, HWND owner, platform::PasswordFile &file,
                                     const platform::AnsiCodec &codec, platform::EventLog &events) {
  PasswordDialogWindow dialog(instance, owner, file, codec, events);
  if (!dialog.create())
    return;
  EnableWindow(owner, FALSE);
  ShowWindow(dialog.window_, SW_SHOW);
  SetFocus(dialog.fields_[0]);
  dialog.runModalLoop();
}

// Created where it stands, at its owner's DPI: a window made elsewhere and
// then moved could change DPI on the way.
bool PasswordDialogWindow::create() {
  registerWindowClass(instance_, kClassName, &objectWindowProc<PasswordDialogWindow>, IDI_APP);
  const platform::PixelSize size = windowSizeForClientTwips(
      layout::kClientWidth, layout::kClientHeight, kStyle, kExStyle, false, dpiForWindow(owner_));
  const POINT place = centredOnOwner(size);
  if (!CreateWindowExW(kExStyle, kClassName, widen(texts::kCaption).c_str(), kStyle, place.x,
                       place.y, size.width, size.height, owner_, nullptr, instance_, this))
    return false;
  createControls();
  const UINT dpi = dpiForWindow(window_);
  icons_.apply(window_, instance_, IDI_APP, dpi);
  sizeClientInTwips(window_, layout::kClientWidth, layout::kClientHeight, dpi);
  layout(dpi);
  return true;
}

// In the tab order: the three fields, OK, Cancel; the labels take no focus.
void PasswordDialogWindow::createControls() {
  static_assert(std::size(kRows) == std::tuple_size_v<decltype(fields_)>);
  std::transform(std::begin(kRows), std::end(kRows), fields_.begin(), [this](const FieldRow &row) {
    return createPasswordField(window_, instance_, row.fieldId);
  });
  constexpr DWORD button = BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP;
  okButton_ = createControl(window_, instance_, WC_BUTTONW, texts::kOk, button, kOkId);
  cancelButton_ = createControl(window_, instance_, WC_BUTTONW, texts::kCancel, button, kCancelId);
  std::transform(std::begin(kRows), std::end(kRows), labels_.begin(), [this](const FieldRow &row) {
    return createControl(window_, instance_, WC_STATICW, row.caption,
                         SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_GROUP, row.labelId);
  });
}

void PasswordDialogWindow::layout(UINT dpi) {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    placeInTwips(fields_[i], layout::kFields[i], dpi);
    placeInTwips(labels_[i], layout::kLabels[i], dpi);
  }
  placeInTwips(okButton_, layout::kOkButton, dpi);
  placeInTwips(cancelButton_, layout::kCancelButton, dpi);
  fonts_.apply(dpi, {fields_[0], fields_[1], fields_[2], okButton_, cancelButton_},
               {{labels_[0], layout::kLabels[0]},
                {labels_[1], layout::kLabels[1]},
                {labels_[2], layout::kLabels[2]}});
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
  while (window_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      PostQuitMessage(static_cast<int>(message.wParam)); // for the main loop to see
      break;
    }
    // GetMessageW may have dispatched a sent message that closed the dialog.
    // cppcheck-suppress knownConditionTrueFalse
    if (window_ && IsDialogMessageW(window_, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

std::string PasswordDialogWindow::fieldText(int index) const {
  return windowText(fields_[static_cast<std::size_t>(index)]);
}

void PasswordDialogWindow::messageBox(const std::string &prompt,
                                      const std::optional<std::string> &title,
                                      platform::MessageIcon icon) {
  showMessageBox(window_, prompt, title.value_or(platform::kProgramTitle), icon);
}

// The owner is enabled before the dialog goes, so that Windows hands the
// activation back to it and not to another program.
void PasswordDialogWindow::unload() {
  if (!window_)
    return;
  EnableWindow(owner_, TRUE);
  SetActiveWindow(owner_);
  DestroyWindow(window_);
}

LRESULT PasswordDialogWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_COMMAND:
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kOkId)
      handlers_.onOk();
    else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kCancelId)
      handlers_.onCancel();
    return 0; // IDOK and IDCANCEL from Enter and Esc do nothing
  case WM_CLOSE:
    handlers_.onCancel();
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
    return 0;
  default:
    return DefWindowProcW(window_, message, wParam, lParam);
  }
}

} // namespace password
