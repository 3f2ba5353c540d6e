#include "platform/install_restriction.h"

#include <algorithm>

namespace platform {
namespace {

using Target = RestrictionChange::Target;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

const RestrictionEntry *find(const std::vector<RestrictionEntry> &entries, const ValueName &name) {
  const auto found =
      std::find_if(entries.begin(), entries.end(),
                   [&](const RestrictionEntry &entry) { return entry.name == name; });
  return found == entries.end() ? nullptr : &*found;
}

// An entry other than the one named except (none when it is empty).
bool anyHolds(const std::vector<RestrictionEntry> &entries, std::string_view deviceId,
              const ValueName &except = {}) {
  return std::any_of(entries.begin(), entries.end(), [&](const RestrictionEntry &entry) {
    return (except.empty() || entry.name != except) && holdsDeviceId(entry.value, deviceId);
  });
}

// The program's entry, while it still holds the ID.
bool ownEntryHolds(const InstallRestriction &now, const RestrictionRecord &record,
                   std::string_view deviceId) {
  return !record.entry.empty() && entryHolds(now, record.entry, deviceId);
}

// Whether the keys are as the program left them, by the record's marks; a
// record without marks is judged by content alone.
struct AsLeft {
  bool list;
  bool both;
};
AsLeft asLeft(const InstallRestriction &now, const RestrictionRecord &record) {
  const bool list = !record.marks || record.marks->list == now.written.list;
  return {list, list && (!record.marks || record.marks->restrictions == now.written.restrictions)};
}

// A list key, as a change's value: there or not.
RegistryValue listKey() { return {true, 0, {}}; }

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

bool entryHolds(const InstallRestriction &now, const ValueName &name, std::string_view deviceId) {
  const RestrictionEntry *entry = find(now.entries, name);
  return entry && holdsDeviceId(entry->value, deviceId);
}

unsigned missingParts(const InstallRestriction &now, std::string_view deviceId) {
  return (now.policySwitch == RegistryValue::dword(1) ? 0u : kSwitchPart) |
         (anyHolds(now.entries, deviceId) ? 0u : kEntryPart);
}

ValueName freeEntryName(const std::vector<RestrictionEntry> &entries) {
  for (unsigned number = 1;; ++number) {
    ValueName name;
    for (unsigned rest = number; rest; rest /= 10)
      name.insert(name.begin(), static_cast<wchar_t>(L'0' + rest % 10));
    if (!find(entries, name))
      return name;
  }
}

// The switch comes last, so that the policy never turns on for a list that
// this write has not finished. The switch's former value is kept only when
// the switch is found off: one found on is left on by the take-back too.
DenyPlan planDeny(const InstallRestriction &now, const RestrictionRecord &record,
                  std::string_view deviceId) {
  // A part someone else has written since is theirs: the marks this write
  // takes must not come to cover it.
  const AsLeft left = asLeft(now, record);
  RestrictionRecord own = record;
  if (!left.list)
    own.entry.clear();
  if (!left.both) {
    own.changedSwitch = false;
    own.formerSwitch = {};
  }
  DenyPlan plan{{}, own};
  if (!now.listPresent) {
    plan.changes.push_back({Target::ListKey, {}, {}, listKey()});
    plan.record.createdList = true;
  }
  const bool entryNeeded =
      own.entry.empty() ? !anyHolds(now.entries, deviceId) : !ownEntryHolds(now, own, deviceId);
  if (entryNeeded) {
    plan.record.entry = freeEntryName(now.entries);
    plan.changes.push_back({Target::Entry, plan.record.entry, {}, RegistryValue::string(deviceId)});
  }
  if (const RegistryValue on = RegistryValue::dword(1); !(now.policySwitch == on)) {
    plan.changes.push_back({Target::PolicySwitch, {}, now.policySwitch, on});
    plan.record.changedSwitch = true;
    plan.record.formerSwitch = now.policySwitch;
  }
  if (plan.changes.empty())
    plan.record = record;
  else
    plan.record.marks.reset();
  return plan;
}

// A part left on is someone else's now: the record stops claiming it, so no
// later take-back undoes what they wrote.
LiftPlan planLift(const InstallRestriction &now, const RestrictionRecord &record,
                  std::string_view deviceId) {
  LiftPlan plan;
  const AsLeft left = asLeft(now, record);
  std::size_t entriesLeft = now.entries.size();
  if (ownEntryHolds(now, record, deviceId)) {
    if (left.list) {
      plan.changes.push_back(
          {Target::Entry, record.entry, find(now.entries, record.entry)->value, {}});
      plan.taking.entry = record.entry;
      --entriesLeft;
    } else {
      plan.leftOn |= kEntryPart;
    }
  }
  RegistryValue switchAfter = now.policySwitch;
  if (record.changedSwitch && now.policySwitch == RegistryValue::dword(1)) {
    if (left.both) {
      plan.changes.push_back({Target::PolicySwitch, {}, now.policySwitch, record.formerSwitch});
      plan.taking.changedSwitch = true;
      plan.taking.formerSwitch = switchAfter = record.formerSwitch;
    } else {
      plan.leftOn |= kSwitchPart;
    }
  }
  if (record.createdList && now.listPresent) {
    if (entriesLeft == 0)
      plan.changes.push_back({Target::ListKey, {}, listKey(), {}});
    else
      plan.record.createdList = true; // its key still, with others' entries in it
    plan.taking.createdList = true;
  }
  plan.refusedByOthers =
      switchAfter == RegistryValue::dword(1) && anyHolds(now.entries, deviceId, plan.taking.entry);
  return plan;
}

} // namespace platform
