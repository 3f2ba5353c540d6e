#pragma once
// The change-password dialog's event handlers, free of any window system.
#include "password/password_owner.h"
#include "platform/event_log.h"
#include "platform/window_ops.h"

#include <optional>
#include <string>

namespace password {

class DialogControls {
public:
  virtual ~DialogControls() = default;
  // The text of Text1(index): 0 the current password, 1 the new one, 2 again.
  virtual std::string fieldText(int index) const = 0;
};

class Dialog {
public:
  Dialog(DialogControls &controls, platform::WindowOps &window, PasswordOwner &owner,
         platform::EventLog &events)
      : controls_(controls), window_(window), owner_(owner), events_(events) {}

  // Checks the current password, then the confirmation, then stores the new
  // one; closes the dialog whatever the outcome.
  void OKButton_Click();
  void CancelButton_Click() { window_.unload(); }

  // A refused change: the prompt the administrator sees, and the reason the
  // audit trail gives.
  struct Refusal {
    const char *prompt;
    const char *reason;
  };

private:
  // What went wrong, or nullopt when the new password is stored.
  std::optional<Refusal> changePassword();
  // Reports the refusal with its reason, then shows its prompt.
  void refuse(const Refusal &refusal);

  DialogControls &controls_;
  platform::WindowOps &window_;
  PasswordOwner &owner_;
  platform::EventLog &events_;
};

} // namespace password
