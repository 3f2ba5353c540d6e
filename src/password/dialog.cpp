#include "password/dialog.h"

#include "password/dialog_texts.h"

namespace password {

void Dialog::OKButton_Click() {
  if (const char *error = changePassword())
    showError(error);
  window_.unload();
}

// The check of the old password and the change are one step for every copy
// of the program: a second copy judges its old password against what the
// first one stored. The lock is let go before any box is shown.
const char *Dialog::changePassword() {
  const ChangeLock lock = owner_.lockPasswd();
  if (!lock)
    return texts::kNotStored;
  const auto stored = owner_.getPasswd();
  if (!stored || *stored != controls_.fieldText(0))
    return texts::kOldPasswordWrong;
  if (controls_.fieldText(2) != controls_.fieldText(1))
    return texts::kConfirmationDiffers;
  if (!owner_.putPasswd(controls_.fieldText(1)))
    return texts::kNotStored;
  return nullptr;
}

void Dialog::showError(const char *prompt) {
  window_.messageBox(prompt, texts::kErrorTitle, platform::MessageIcon::Exclamation);
}

} // namespace password
