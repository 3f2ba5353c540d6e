#pragma once
// The password, one line in vantorel.P01 in the Windows directory.
#include "platform/ansi_codec.h"
#include "platform/files.h"
#include "platform/system_paths.h"

#include <optional>
#include <string>

namespace password {

// The Windows directory, or nullopt when it can't be determined (the call
// fails, or the path doesn't fit in 256 bytes).
std::optional<std::string> fncGetWinDir(platform::SystemPaths &paths,
                                        const platform::AnsiCodec &codec);

// Holds every other copy's password change off while it lives.
class ChangeLock {
public:
  explicit ChangeLock(platform::Files *held) : held_(held) {}
  ChangeLock(ChangeLock &&other) noexcept : held_(other.held_) { other.held_ = nullptr; }
  ChangeLock(const ChangeLock &) = delete;
  ChangeLock &operator=(const ChangeLock &) = delete;
  ChangeLock &operator=(ChangeLock &&) = delete;
  ~ChangeLock() {
    if (held_)
      held_->unlockChanges();
  }
  explicit operator bool() const { return held_ != nullptr; }

private:
  platform::Files *held_;
};

class PasswordStore {
public:
  PasswordStore(platform::Files &files, platform::SystemPaths &paths,
                const platform::AnsiCodec &codec)
      : files_(files), paths_(paths), codec_(codec) {}

  // The stored password: the empty string when there is no file (or an
  // empty one), nullopt when the file exists but can't be read or decoded,
  // which must match no typed password.
  std::optional<std::string> getPasswd();

  // Stores strPasswd so that getPasswd returns exactly it; false, with the
  // old file unchanged, when that can't be done. Call it under lockChanges:
  // it clears what changes cut short earlier left behind.
  bool putPasswd(const std::string &strPasswd);

  // For a check of the old password and the change that follows it; an
  // empty lock when another copy kept it for about a second.
  ChangeLock lockChanges();

private:
  std::optional<std::string> filePath();
  std::optional<std::string> readFirstLine(const std::string &path);
  void removeLeftovers(const std::string &directory);
  bool writeReplacing(const std::string &directory, const std::string &target,
                      const std::string &content);

  platform::Files &files_;
  platform::SystemPaths &paths_;
  const platform::AnsiCodec &codec_;
};

} // namespace password
