#pragma once
// The password file vantorel.P01 in the Windows directory, in the program's
// terms: its first line, a lock every copy on the PC honours around a
// change, and the replacement of the whole file.
#include "platform/status.h"

#include <cstddef>
#include <string>

namespace platform {

constexpr Status kSharingViolation = 32; // ERROR_SHARING_VIOLATION
constexpr Status kFileTooLarge = 223;    // ERROR_FILE_TOO_LARGE
constexpr Status kInvalidOwner = 1307;   // ERROR_INVALID_OWNER
constexpr Status kFolderInPlace = 336;   // ERROR_DIRECTORY_NOT_SUPPORTED

class PasswordFile {
public:
  // Held while it lives; the system lets go of it when the holder ends, so
  // a crash never leaves it held.
  class ChangeLock {
  public:
    ChangeLock(PasswordFile *holder, Status status, bool lacksRights = false)
        : holder_(status == kDone ? holder : nullptr), status_(status), lacksRights_(lacksRights) {}
    ChangeLock(ChangeLock &&other) noexcept
        : holder_(other.holder_), status_(other.status_), lacksRights_(other.lacksRights_) {
      other.holder_ = nullptr;
    }
    ChangeLock(const ChangeLock &) = delete;
    ChangeLock &operator=(const ChangeLock &) = delete;
    ChangeLock &operator=(ChangeLock &&) = delete;
    ~ChangeLock() {
      if (holder_)
        holder_->unlockChanges();
    }
    // kDone while held; kSharingViolation when another copy kept it;
    // kInvalidOwner when its file is not the program's but someone else's.
    Status status() const { return status_; }
    // Refused because this process lacks the rights (no elevated
    // administrator); status() is the system's answer then.
    bool lacksRights() const { return lacksRights_; }

  private:
    PasswordFile *holder_;
    Status status_;
    bool lacksRights_;
  };

  struct FirstLine {
    Status status;
    std::string bytes; // before the first CR or LF
  };

  virtual ~PasswordFile() = default;
  // kFileNotFound when there is no file, kFileTooLarge when the line is
  // longer than maxBytes, kFolderInPlace when a folder has the file's name;
  // waits a moment for a file another program holds.
  virtual FirstLine readFirstLine(std::size_t maxBytes) = 0;
  // Waits about a second for another copy's change to end.
  virtual ChangeLock lockChanges() = 0;
  // Puts a file holding content in the old one's place in one step, or
  // leaves the old one as it was; kSharingViolation when another program
  // holds the old one open. Call it under the change lock.
  virtual Status replace(const std::string &content) = 0;
  // Gives a file that has only the rules it inherited from the Windows
  // directory, which let every user read it, the rules a new file gets:
  // SYSTEM and Administrators only. kDone too when there is nothing this
  // process may do: no file, rules an administrator set, rights it lacks.
  virtual Status restrictToAdministrators() = 0;

private:
  virtual void unlockChanges() = 0;
};

} // namespace platform
