#include "platform/win32/message_box.h"

#include "platform/win32/wide.h"

namespace platform::win32 {

void showMessageBox(HWND owner, const std::string &prompt, const std::string &title,
                    MessageIcon icon) {
  const UINT iconFlag = icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
  MessageBoxW(owner, widen(prompt).c_str(), widen(title).c_str(), MB_OK | iconFlag);
}

} // namespace platform::win32
