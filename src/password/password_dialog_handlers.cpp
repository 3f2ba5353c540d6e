#include "password/password_dialog_handlers.h"

#include "password/dialog_texts.h"
#include "password/password_store.h"
#include "product/audit_messages.h"

namespace password {
namespace {

using Refusal = PasswordDialogHandlers::Refusal;

// A file that can't be read (rights that fall short, another program
// holding it) is told as nothing stored, as when the file can't be written,
// never as a right password that is wrong; a first line that holds no
// password matches none.
Refusal readRefusal(const StoredPassword &stored) {
  if (!stored.unreadable)
    return {texts::kOldPasswordWrong, texts::kEventUnusable, stored.status};
  if (stored.status == platform::kAccessDenied)
    return {texts::kNotStored, texts::kEventNoRights, stored.status};
  if (stored.status == platform::kFolderInPlace)
    return {texts::kNotStored, texts::kEventIsFolder, stored.status};
  return {texts::kNotStored, texts::kEventUnreadable, stored.status};
}

Refusal lockRefusal(const platform::PasswordFile::ChangeLock &lock) {
  switch (lockTrouble(lock)) {
  case LockTrouble::HeldByAnotherCopy:
    return {texts::kNotStored, texts::kEventLockHeld};
  case LockTrouble::NotTheProgramsFile:
    return {texts::kNotStored, texts::kEventLockNotOurs};
  case LockTrouble::NoRights:
    return {texts::kNotStored, texts::kEventLockNoRights, lock.status()};
  case LockTrouble::Other:
    break;
  }
  return {texts::kNotStored, texts::kEventNotStored, lock.status()};
}

// The administrator is told where to look when a program holds the file.
Refusal storeRefusal(platform::Status status) {
  if (status == platform::kSharingViolation)
    return {texts::kNotStored, texts::kEventFileHeld, status};
  return {texts::kNotStored, texts::kEventNotStored, status};
}

} // namespace

void PasswordDialogHandlers::onOk() {
  if (const auto refusal = changePassword())
    refuse(*refusal);
  else
    events_.report(EVENT_PASSWORD_CHANGED, platform::EventType::Information, {});
  window_.unload();
}

// The check of the old password and the change are one step for every copy
// of the program: a second copy judges its old password against what the
// first one stored. The lock is let go before any box is shown.
std::optional<Refusal> PasswordDialogHandlers::changePassword() {
  const platform::PasswordFile::ChangeLock lock = file_.lockChanges();
  if (lock.status() != platform::kDone)
    return lockRefusal(lock);
  const StoredPassword stored = readPassword(file_, codec_);
  if (stored.status != platform::kDone)
    return readRefusal(stored);
  if (stored.password != controls_.fieldText(0))
    return Refusal{texts::kOldPasswordWrong, texts::kEventOldPasswordWrong};
  restrictPasswordFile(file_, events_);
  if (controls_.fieldText(2) != controls_.fieldText(1))
    return Refusal{texts::kConfirmationDiffers, texts::kEventConfirmationDiffers};
  if (const platform::Status status = storePassword(file_, codec_, controls_.fieldText(1)))
    return storeRefusal(status);
  return std::nullopt;
}

void PasswordDialogHandlers::refuse(const Refusal &refusal) {
  events_.report(EVENT_PASSWORD_CHANGE_REFUSED, platform::EventType::Warning,
                 {auditReason(refusal.reason, refusal.status)});
  window_.messageBox(refusal.prompt, texts::kErrorTitle, platform::MessageIcon::Exclamation);
}

} // namespace password
