#include "platform/restriction_record.h"

namespace platform {
namespace {

constexpr std::uint32_t kRegQword = 11; // REG_QWORD

RegistryValue qword(std::uint64_t value) {
  std::string data(8, '\0');
  for (std::size_t i = 0; i < 8; ++i)
    data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return {true, kRegQword, data};
}

std::optional<std::uint64_t> qwordOf(const RegistryValue &value) {
  if (!value.present || value.type != kRegQword || value.data.size() != 8)
    return std::nullopt;
  std::uint64_t result = 0;
  for (std::size_t i = 8; i-- > 0;)
    result = (result << 8) | static_cast<unsigned char>(value.data[i]);
  return result;
}

// Only a name the program gives an entry: digits, with the string's NUL.
ValueName entryNameOf(const RegistryValue &value) {
  const std::string &data = value.data;
  if (!value.present || value.type != kRegSz || data.size() < 4 || data.size() % 2)
    return {};
  ValueName name;
  for (std::size_t at = 0; at < data.size(); at += 2) {
    const auto unit = static_cast<wchar_t>(static_cast<unsigned char>(data[at]) |
                                           static_cast<unsigned char>(data[at + 1]) << 8);
    const bool last = at + 2 == data.size();
    if (last ? unit != 0 : unit < L'0' || unit > L'9')
      return {};
    if (!last)
      name += unit;
  }
  return name;
}

} // namespace

RestrictionRecord recordFrom(const RecordValues &values) {
  RestrictionRecord record;
  record.entry = entryNameOf(values[kOwnEntry]);
  record.createdList = values[kCreatedList] == RegistryValue::dword(1);
  record.changedSwitch = values[kSwitchChanged] == RegistryValue::dword(1);
  if (record.changedSwitch)
    record.formerSwitch = values[kFormerSwitch];
  const auto restrictions = qwordOf(values[kRestrictionsMark]);
  const auto list = qwordOf(values[kListMark]);
  if (restrictions && list)
    record.marks = WriteMarks{*restrictions, *list};
  return record;
}

// Claims dropped go first, under the old marks: a record that claims less
// is sound under them. Then marks that no longer hold, then the claims kept
// or added, then new marks.
RecordWrites recordWrites(const RestrictionRecord &record) {
  RecordWrites writes;
  if (!record.changedSwitch) {
    writes.add(kSwitchChanged, {});
    writes.add(kFormerSwitch, {});
  }
  if (!record.createdList)
    writes.add(kCreatedList, {});
  if (record.entry.empty())
    writes.add(kOwnEntry, {});
  if (!record.marks) {
    writes.add(kRestrictionsMark, {});
    writes.add(kListMark, {});
  }
  if (record.changedSwitch) {
    writes.add(kFormerSwitch, record.formerSwitch);
    writes.add(kSwitchChanged, RegistryValue::dword(1));
  }
  if (record.createdList)
    writes.add(kCreatedList, RegistryValue::dword(1));
  if (!record.entry.empty()) // the program's names are digits
    writes.add(kOwnEntry,
               RegistryValue::string(std::string(record.entry.begin(), record.entry.end())));
  if (record.marks) {
    writes.add(kRestrictionsMark, qword(record.marks->restrictions));
    writes.add(kListMark, qword(record.marks->list));
  }
  return writes;
}

} // namespace platform
