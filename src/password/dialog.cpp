#include "password/dialog.h"

#include "password/dialog_texts.h"

namespace password {
namespace {

// Event IDs of the message table in audit_messages.mc.
constexpr std::uint16_t kEventPasswordChanged = 4;
constexpr std::uint16_t kEventChangeRefused = 5;

} // namespace

void Dialog::OKButton_Click() {
  const auto stored = owner_.getPasswd();
  if (!stored || *stored != controls_.fieldText(0))
    refuse(texts::kOldPasswordWrong, texts::kEventOldPasswordWrong);
  else if (controls_.fieldText(2) != controls_.fieldText(1))
    refuse(texts::kConfirmationDiffers, texts::kEventConfirmationDiffers);
  else if (!owner_.putPasswd(controls_.fieldText(1)))
    refuse(texts::kNotStored, texts::kEventNotStored);
  else
    events_.report(kEventPasswordChanged, platform::EventType::Information, {});
  window_.unload();
}

void Dialog::refuse(const char *prompt, const char *reason) {
  events_.report(kEventChangeRefused, platform::EventType::Warning, {reason});
  window_.messageBox(prompt, texts::kErrorTitle, platform::MessageIcon::Exclamation);
}

} // namespace password
