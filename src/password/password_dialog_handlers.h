#pragma once
// The change-password dialog's event handlers, free of any window system.
#include "platform/ansi_codec.h"
#include "platform/event_log.h"
#include "platform/password_file.h"
#include "platform/window_ops.h"

#include <optional>
#include <string>

namespace password {

class DialogControls {
public:
  virtual ~DialogControls() = default;
  // The text of a field: 0 the current password, 1 the new one, 2 again.
  virtual std::string fieldText(int index) const = 0;
};

class PasswordDialogHandlers {
public:
  PasswordDialogHandlers(DialogControls &controls, platform::WindowOps &window,
                         platform::PasswordFile &file, const platform::AnsiCodec &codec,
                         platform::EventLog &events)
      : controls_(controls), window_(window), file_(file), codec_(codec), events_(events) {}

  // Checks the current password, then the confirmation, then stores the new
  // one; closes the dialog whatever the outcome.
  void onOk();
  void onCancel() { window_.unload(); }

  // A refused change: the prompt the administrator sees, and the reason and
  // Win32 error code the audit trail gives.
  struct Refusal {
    const char *prompt;
    const char *reason;
    platform::Status status = platform::kDone;
  };

private:
  // What went wrong, or nullopt when the new password is stored.
  std::optional<Refusal> changePassword();
  // Reports the refusal with its reason, then shows its prompt.
  void refuse(const Refusal &refusal);

  DialogControls &controls_;
  platform::WindowOps &window_;
  platform::PasswordFile &file_;
  const platform::AnsiCodec &codec_;
  platform::EventLog &events_;
};

} // namespace password
