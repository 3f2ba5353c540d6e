#include "password/dialog.h"

#include "password/dialog_texts.h"

namespace password {

void Dialog::OKButton_Click() {
  const auto stored = owner_.getPasswd();
  if (!stored || *stored != controls_.fieldText(0))
    showError(texts::kOldPasswordWrong);
  else if (controls_.fieldText(2) != controls_.fieldText(1))
    showError(texts::kConfirmationDiffers);
  else if (!owner_.putPasswd(controls_.fieldText(1)))
    showError(texts::kNotStored);
  window_.unload();
}

void Dialog::showError(const char *prompt) {
  window_.messageBox(prompt, texts::kErrorTitle, platform::MessageIcon::Exclamation);
}

} // namespace password
