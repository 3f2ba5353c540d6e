#include "platform/win32/password_file_rules.h"

#include "platform/password_file.h"

#include <cstddef>
#include <cstring>

namespace platform::win32 {
namespace {

constexpr std::uint32_t kReadOnly = 0x1;       // FILE_ATTRIBUTE_READONLY
constexpr std::uint32_t kDirectory = 0x10;     // FILE_ATTRIBUTE_DIRECTORY
constexpr std::uint32_t kReparsePoint = 0x400; // FILE_ATTRIBUTE_REPARSE_POINT

constexpr Status kInvalidFunction = 1;   // ERROR_INVALID_FUNCTION: STATUS_NOT_IMPLEMENTED
constexpr Status kNotSupported = 50;     // ERROR_NOT_SUPPORTED
constexpr Status kInvalidParameter = 87; // ERROR_INVALID_PARAMETER: STATUS_INVALID_INFO_CLASS
constexpr Status kLockViolation = 33;    // ERROR_LOCK_VIOLATION

wchar_t asciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

// Windows compares names without regard to case.
bool sameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i]))
      return false;
  return true;
}

} // namespace

bool hasOnlyInheritedRules(const DaclFacts &facts) {
  return !facts.present || (!facts.isProtected && facts.explicitEntries == 0);
}

// The directory's inherited rules let every user read the file; a DACL an
// administrator set is theirs to keep.
NewFileRules rulesForNewFile(const std::optional<DaclFacts> &old) {
  return !old || hasOnlyInheritedRules(*old) ? NewFileRules::AdministratorsOnly
                                             : NewFileRules::KeepOld;
}

Status restrictionAnswer(Status opened) {
  return opened == kFileNotFound || opened == kAccessDenied ? kDone : opened;
}

Status replaceCheck(bool readOnly, Status opened) {
  if (opened == kFileNotFound)
    return kDone;
  if (readOnly)
    return kAccessDenied;
  // Rights are judged before sharing: a file someone holds may still be
  // ours to replace once they let go.
  if (opened == kSharingViolation)
    return kDone;
  return opened;
}

// Older Windows refuses the class, some releases of Windows 10 answer that
// it is not implemented (Wine 8 refuses it too); FAT and network shares
// refuse the flag.
bool posixRenameUnsupported(Status answer) {
  return answer == kInvalidParameter || answer == kNotSupported || answer == kInvalidFunction;
}

RenameBuffer::RenameBuffer(std::u16string_view target, std::uint32_t flags)
    : size_(
          static_cast<std::uint32_t>(sizeof(RenameInformation) + target.size() * sizeof(char16_t))),
      storage_(std::make_unique<void *[]>((size_ + sizeof(void *) - 1) / sizeof(void *))) {
  auto *info = static_cast<RenameInformation *>(data());
  info->Flags = flags;
  info->FileNameLength = static_cast<std::uint32_t>(target.size() * sizeof(char16_t));
  std::memcpy(static_cast<char *>(data()) + offsetof(RenameInformation, FileName), target.data(),
              info->FileNameLength);
}

Status renameAnswer(Status renamed) {
  const bool heldElsewhere =
      renamed == kAccessDenied || renamed == kSharingViolation || renamed == kLockViolation;
  return heldElsewhere ? kSharingViolation : renamed;
}

bool isLeftoverName(std::wstring_view name) {
  constexpr std::wstring_view start = kTemporaryPrefix, end = kTemporarySuffix;
  return name.size() > start.size() + end.size() &&
         sameIgnoringCase(name.substr(0, start.size()), start) &&
         sameIgnoringCase(name.substr(name.size() - end.size()), end);
}

bool mayRemoveLeftover(std::uint32_t attributes, std::uint32_t links) {
  return links == 1 && (attributes & (kReadOnly | kDirectory | kReparsePoint)) == 0;
}

bool isProgramsLock(std::wstring_view owner, std::wstring_view self) {
  return owner == kSystemSid || owner == kAdministratorsSid || (!self.empty() && owner == self);
}

bool mayPassInAMoment(Status answer) {
  return answer == kSharingViolation || answer == kLockViolation || answer == kAccessDenied;
}

LockAnswer lockAnswer(Status taken, Status owned, bool elevatedAdministrator) {
  if (owned == kInvalidOwner)
    return {kInvalidOwner};
  const bool refused = taken == kAccessDenied || taken == kInvalidOwner;
  if (refused && !elevatedAdministrator)
    return {taken, true};
  if (taken == kAccessDenied && owned == kAccessDenied)
    return {kInvalidOwner};
  if (taken == kInvalidOwner)
    return {kAccessDenied};
  return {taken == kDone ? owned : taken};
}

} // namespace platform::win32
