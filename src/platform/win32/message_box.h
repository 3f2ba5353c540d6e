#pragma once
#include "platform/window_ops.h"

#include <windows.h>

namespace platform::win32 {

// A modal box with one OK button, owned by owner; returns when dismissed.
void showMessageBox(HWND owner, const std::string &prompt, const std::string &title,
                    MessageIcon icon);

} // namespace platform::win32
