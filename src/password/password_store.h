#pragma once
// The password as the password file keeps it: the first field of its first
// line, in the ANSI code page.
#include "platform/ansi_codec.h"
#include "platform/event_log.h"
#include "platform/password_file.h"

#include <string>

namespace password {

struct StoredPassword {
  // kDone, or why the password can't be known; then it matches nothing.
  platform::Status status;
  std::string password; // the empty string when there is no file
  // The file is there but could not be read (status says why), as against
  // a first line that holds no password: too long, or not in the code page.
  bool unreadable = false;
};

StoredPassword readPassword(platform::PasswordFile &file, const platform::AnsiCodec &codec);

// Stores password so that readPassword gives exactly it, or leaves the old
// file as it was. Call it under the change lock.
platform::Status storePassword(platform::PasswordFile &file, const platform::AnsiCodec &codec,
                               const std::string &password);

// Once the right password was typed: a file every user may read is given to
// administrators only. A failure changes nothing the user sees; the audit
// trail says it.
void restrictPasswordFile(platform::PasswordFile &file, platform::EventLog &events);

// Why the change lock was not had, for each window to say in its words.
enum class LockTrouble {
  HeldByAnotherCopy,
  NotTheProgramsFile, // someone else's file has the lock's name
  NoRights,           // this process may not open it (no elevation)
  Other,              // the system's code says what
};
LockTrouble lockTrouble(const platform::PasswordFile::ChangeLock &lock);

// An audit trail's reason, with the Win32 error code when there is one.
std::string auditReason(const char *reason, platform::Status status);

} // namespace password
