#pragma once
// The password file in the Windows directory, through kernel32's and
// advapi32's W functions.
#include "platform/password_file.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

class Win32PasswordFile final : public PasswordFile {
public:
  FirstLine readFirstLine(std::size_t maxBytes) override;
  // A file in the Windows directory, opened by one copy at a time: only
  // administrators may create or open it, and one owned by anyone else is
  // refused, so no other user can squat it.
  ChangeLock lockChanges() override;
  Status replace(const std::string &content) override;
  Status restrictToAdministrators() override;

private:
  void unlockChanges() override { changeLock_.reset(); }

  UniqueHandle changeLock_;
};

} // namespace platform::win32
