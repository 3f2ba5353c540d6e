#pragma once
// The program's record of the install restriction it added, as values of
// HKEY_LOCAL_MACHINE\SOFTWARE\Kestrova (64-bit view), readable in regedit:
//   DenyListEntry        REG_SZ    the entry it wrote in the list ("1", "2", ...)
//   CreatedDenyList      REG_DWORD 1: it created the list key
//   DenySwitchChanged    REG_DWORD 1: it set the switch DenyDeviceIDs to 1 ...
//   FormerDenySwitch     ... from this value, of its own type; absent: from none
//   RestrictionsWritten  REG_QWORD the Restrictions key's last write time and
//   DenyListWritten      REG_QWORD the list key's, just after its last write
// A value that is not as the program writes it claims nothing.
#include "platform/install_restriction.h"

#include <array>
#include <cstddef>
#include <utility>

namespace platform {

enum RecordValue {
  kOwnEntry,
  kCreatedList,
  kSwitchChanged,
  kFormerSwitch,
  kRestrictionsMark,
  kListMark,
  kRecordValueCount
};
constexpr const wchar_t *kRecordValueNames[kRecordValueCount] = {
    L"DenyListEntry",    L"CreatedDenyList",     L"DenySwitchChanged",
    L"FormerDenySwitch", L"RestrictionsWritten", L"DenyListWritten"};
using RecordValues = std::array<RegistryValue, kRecordValueCount>;

RestrictionRecord recordFrom(const RecordValues &values);

// The values to set, or to delete where absent, in the order that keeps the
// record sound wherever the writing is cut off: marks that no longer hold go
// first, new marks last, and a former switch value is there before the
// claim that names it and goes after it.
struct RecordWrite {
  RecordValue which;
  RegistryValue value;
};
class RecordWrites {
public:
  void add(RecordValue which, RegistryValue value) {
    writes_[count_++] = {which, std::move(value)};
  }
  const RecordWrite *begin() const { return writes_; }
  const RecordWrite *end() const { return writes_ + count_; }

private:
  RecordWrite writes_[kRecordValueCount]{}; // each value once
  std::size_t count_ = 0;
};
RecordWrites recordWrites(const RestrictionRecord &record);

} // namespace platform
