#include "password/dialog.h"

#include "password/dialog_texts.h"
#include "product/audit_messages.h"

namespace password {
namespace {

constexpr std::uint16_t kEventPasswordChanged = EVENT_PASSWORD_CHANGED;
constexpr std::uint16_t kEventChangeRefused = EVENT_PASSWORD_CHANGE_REFUSED;

constexpr Dialog::Refusal kOldPasswordWrong{texts::kOldPasswordWrong,
                                            texts::kEventOldPasswordWrong};
constexpr Dialog::Refusal kConfirmationDiffers{texts::kConfirmationDiffers,
                                               texts::kEventConfirmationDiffers};
constexpr Dialog::Refusal kNotStored{texts::kNotStored, texts::kEventNotStored};

} // namespace

void Dialog::OKButton_Click() {
  if (const auto refusal = changePassword())
    refuse(*refusal);
  else
    events_.report(kEventPasswordChanged, platform::EventType::Information, {});
  window_.unload();
}

// The check of the old password and the change are one step for every copy
// of the program: a second copy judges its old password against what the
// first one stored. The lock is let go before any box is shown.
std::optional<Dialog::Refusal> Dialog::changePassword() {
  const ChangeLock lock = owner_.lockPasswd();
  if (!lock)
    return kNotStored;
  const auto stored = owner_.getPasswd();
  if (!stored || *stored != controls_.fieldText(0))
    return kOldPasswordWrong;
  if (controls_.fieldText(2) != controls_.fieldText(1))
    return kConfirmationDiffers;
  if (!owner_.putPasswd(controls_.fieldText(1)))
    return kNotStored;
  return std::nullopt;
}

void Dialog::refuse(const Refusal &refusal) {
  events_.report(kEventChangeRefused, platform::EventType::Warning, {refusal.reason});
  window_.messageBox(refusal.prompt, texts::kErrorTitle, platform::MessageIcon::Exclamation);
}

} // namespace password
