#include "platform/sim/sim_password_file.h"

namespace sim {
namespace {

// A replace outside the change lock could undo another copy's change.
constexpr platform::Status kNotLocked = 158; // ERROR_NOT_LOCKED

} // namespace

platform::PasswordFile::FirstLine SimPasswordFile::readFirstLine(std::size_t maxBytes) {
  if (const auto code = static_cast<platform::Status>(faults_.check("ReadPasswordFile")))
    return {code, {}};
  if (!content)
    return {platform::kFileNotFound, {}};
  std::string line = content->substr(0, content->find_first_of("\r\n"));
  if (line.size() > maxBytes)
    return {platform::kFileTooLarge, {}};
  return {platform::kDone, std::move(line)};
}

platform::PasswordFile::ChangeLock SimPasswordFile::lockChanges() {
  auto status = static_cast<platform::Status>(faults_.check("LockPasswordChanges"));
  if (status == platform::kDone && heldElsewhere)
    status = platform::kSharingViolation;
  if (status == platform::kDone && lockNeedsElevation)
    return {this, elevationRefusal, true};
  locked_ = status == platform::kDone;
  return {this, status};
}

platform::Status SimPasswordFile::replace(const std::string &bytes) {
  if (const auto code = static_cast<platform::Status>(faults_.check("ReplacePasswordFile")))
    return code;
  if (!locked_)
    return kNotLocked;
  content = bytes;
  return platform::kDone;
}

platform::Status SimPasswordFile::restrictToAdministrators() {
  return static_cast<platform::Status>(faults_.check("RestrictPasswordFile"));
}

} // namespace sim
