#pragma once
// The change-password dialog's event handlers, free of any window system.
#include "password/password_owner.h"
#include "platform/event_log.h"
#include "platform/window_ops.h"

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

private:
  // Reports the refusal with its reason, then shows the prompt.
  void refuse(const char *prompt, const char *reason);

  DialogControls &controls_;
  platform::WindowOps &window_;
  PasswordOwner &owner_;
  platform::EventLog &events_;
};

} // namespace password
