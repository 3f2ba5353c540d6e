#include "password/password_store.h"

#include "password/password_format.h"
#include "product/audit_messages.h"

namespace password {
namespace {

// A password no first line can hold: a leading quote, a line break.
constexpr platform::Status kInvalidData = 13; // ERROR_INVALID_DATA

} // namespace

StoredPassword readPassword(platform::PasswordFile &file, const platform::AnsiCodec &codec) {
  const platform::PasswordFile::FirstLine line = file.readFirstLine(kMaxLineBytes);
  if (line.status == platform::kFileNotFound)
    return {platform::kDone, {}};
  if (line.status == platform::kFileTooLarge)
    return {line.status, {}};
  if (line.status != platform::kDone)
    return {line.status, {}, true};
  auto password = decodePassword(line.bytes, codec);
  if (!password)
    return {platform::kNoUnicodeTranslation, {}};
  return {platform::kDone, std::move(*password)};
}

platform::Status storePassword(platform::PasswordFile &file, const platform::AnsiCodec &codec,
                               const std::string &password) {
  const auto field = encodeField(password);
  if (!field)
    return kInvalidData;
  const auto line = codec.toAnsi(*field);
  if (!line)
    return platform::kNoUnicodeTranslation;
  if (line->size() > kMaxLineBytes)
    return platform::kFileTooLarge;
  return file.replace(*line + "\r\n");
}

void restrictPasswordFile(platform::PasswordFile &file, platform::EventLog &events) {
  if (const platform::Status status = file.restrictToAdministrators())
    events.report(EVENT_PASSWORD_FILE_NOT_RESTRICTED, platform::EventType::Warning,
                  {std::to_string(status)});
}

LockTrouble lockTrouble(const platform::PasswordFile::ChangeLock &lock) {
  if (lock.lacksRights())
    return LockTrouble::NoRights;
  if (lock.status() == platform::kSharingViolation)
    return LockTrouble::HeldByAnotherCopy;
  if (lock.status() == platform::kInvalidOwner)
    return LockTrouble::NotTheProgramsFile;
  return LockTrouble::Other;
}

std::string auditReason(const char *reason, platform::Status status) {
  if (status == platform::kDone)
    return reason;
  return std::string(reason) + "（エラーコード: " + std::to_string(status) + "）";
}

} // namespace password
