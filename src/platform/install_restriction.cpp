#include "platform/install_restriction.h"

#include <algorithm>

namespace platform {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool named(const std::vector<RestrictionEntry> &entries, const std::string &name) {
  return std::any_of(entries.begin(), entries.end(),
                     [&](const RestrictionEntry &entry) { return entry.name == name; });
}

} // namespace

bool holdsDeviceId(const RegistryValue &value, std::string_view deviceId) {
  if (!value.present || value.type != kRegSz)
    return false;
  std::size_t length = 0; // in UTF-16 units, up to the first NUL
  for (std::size_t at = 0; at + 1 < value.data.size(); at += 2, ++length) {
    const unsigned unit = static_cast<unsigned char>(value.data[at]) |
                          static_cast<unsigned char>(value.data[at + 1]) << 8;
    if (unit == 0)
      break;
    if (length >= deviceId.size() || unit >= 0x80 ||
        lower(static_cast<char>(unit)) != lower(deviceId[length]))
      return false;
  }
  return length == deviceId.size();
}

std::string freeEntryName(const std::vector<RestrictionEntry> &entries) {
  for (unsigned number = 1;; ++number) {
    std::string name;
    for (unsigned rest = number; rest; rest /= 10)
      name.insert(name.begin(), static_cast<char>('0' + rest % 10));
    if (!named(entries, name))
      return name;
  }
}

// The switch comes last, so that the policy never turns on for a list that
// this write has not finished.
std::vector<RestrictionChange> changesToDeny(const InstallRestriction &now,
                                             std::string_view deviceId) {
  using Target = RestrictionChange::Target;
  std::vector<RestrictionChange> changes;
  if (!now.listPresent)
    changes.push_back({Target::ListKey, {}, {}, {true, 0, {}}});
  if (std::none_of(now.entries.begin(), now.entries.end(), [&](const RestrictionEntry &entry) {
        return holdsDeviceId(entry.value, deviceId);
      }))
    changes.push_back(
        {Target::Entry, freeEntryName(now.entries), {}, RegistryValue::string(deviceId)});
  if (const RegistryValue on = RegistryValue::dword(1); !(now.policySwitch == on))
    changes.push_back({Target::PolicySwitch, {}, now.policySwitch, on});
  return changes;
}

// An empty list denies nothing; the switch and the key go with it, also
// where a write cut off before them left the list empty.
std::vector<RestrictionChange> changesToLift(const InstallRestriction &now,
                                             std::string_view deviceId) {
  using Target = RestrictionChange::Target;
  std::vector<RestrictionChange> changes;
  for (const RestrictionEntry &entry : now.entries)
    if (holdsDeviceId(entry.value, deviceId))
      changes.push_back({Target::Entry, entry.name, entry.value, {}});
  if (!now.listPresent || changes.size() < now.entries.size())
    return changes;
  if (now.policySwitch.present)
    changes.push_back({Target::PolicySwitch, {}, now.policySwitch, {}});
  changes.push_back({Target::ListKey, {}, {true, 0, {}}, {}});
  return changes;
}

} // namespace platform
