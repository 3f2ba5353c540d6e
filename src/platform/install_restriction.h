#pragma once
// The device installation restriction that Group Policy writes for "Prevent
// installation of devices that match any of these device IDs", and the rules
// by which the program puts one device ID in force and later takes back what
// it added, and only that, while every other entry and value stays as it is.
//
// Under HKLM\SOFTWARE\Policies\Microsoft\Windows\DeviceInstall\Restrictions
// the REG_DWORD DenyDeviceIDs = 1 switches the policy on; the key of the same
// name below it lists the hardware and compatible IDs, one REG_SZ each,
// named "1", "2", ... as the policy editor names them. Windows matches the
// IDs without regard to letter case.
//
// The same policy may be IT's: a domain's, the local editor's or an MDM
// policy can set the switch and replace the list at any refresh. So the
// program keeps a record of what its own prohibiting write added, and when
// the keys were last written just after it, and an allowing write takes back
// only a part that is still as the program left it.
#include "platform/device_modes.h"
#include "platform/registry_value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Value names as the registry holds them: UTF-16 units with their length,
// an embedded NUL or a lone surrogate included, one unit to a wchar_t (16
// bits on Windows, where the W functions take them as they are).
using ValueName = std::wstring;

struct RestrictionEntry {
  ValueName name;
  RegistryValue value;
  bool operator==(const RestrictionEntry &) const = default;
};

// When the Restrictions key and the list key were last written (FILETIME
// units; 0 for a key that is not there). Any write there, of a value or of a
// subkey, moves its key's time.
struct WriteMarks {
  std::uint64_t restrictions = 0;
  std::uint64_t list = 0;
  bool operator==(const WriteMarks &) const = default;
};

struct InstallRestriction {
  RegistryValue policySwitch; // the DenyDeviceIDs value
  bool listPresent = false;   // the DenyDeviceIDs key
  std::vector<RestrictionEntry> entries;
  WriteMarks written; // when, not what: left out of ==
  bool operator==(const InstallRestriction &other) const {
    return policySwitch == other.policySwitch && listPresent == other.listPresent &&
           entries == other.entries;
  }
};

// What the program's prohibiting writes added and has not taken back.
struct RestrictionRecord {
  ValueName entry;            // the entry it wrote; empty when an entry held the ID already
  bool createdList = false;   // it created the list key
  bool changedSwitch = false; // it set the switch to 1, from formerSwitch
  RegistryValue formerSwitch; // absent: there was none
  // The keys' times just after its last write there; none while a write is
  // under way, or after one that was cut off.
  std::optional<WriteMarks> marks;
  bool empty() const { return entry.empty() && !createdList && !changedSwitch; }
  bool operator==(const RestrictionRecord &) const = default;
};

// One change to the restriction, with what it replaces so that it can be
// taken back. For the list key, present says whether the key is there.
struct RestrictionChange {
  enum class Target { PolicySwitch, ListKey, Entry };
  Target target;
  ValueName entry; // the entry's name, for Target::Entry
  RegistryValue before;
  RegistryValue after;
};

// A REG_SZ whose text, up to its first NUL, is deviceId in any ASCII letter
// case.
bool holdsDeviceId(const RegistryValue &value, std::string_view deviceId);
// The entry of that name is there and holds deviceId.
bool entryHolds(const InstallRestriction &now, const ValueName &name, std::string_view deviceId);
// What keeps deviceId from being in force (RestrictionPart bits): the
// switch is not a REG_DWORD 1, no entry holds it. 0 when it is in force.
unsigned missingParts(const InstallRestriction &now, std::string_view deviceId);
// "1", "2", ...: the lowest number that names no entry.
ValueName freeEntryName(const std::vector<RestrictionEntry> &entries);

// Puts deviceId in force, in this order: the list key where there is none,
// an entry where none holds the ID (where the record names the program's
// own entry, where that one no longer does), then the switch at 1. record
// is what the program's record says after them.
struct DenyPlan {
  std::vector<RestrictionChange> changes; // none when it is in force
  RestrictionRecord record;
};
DenyPlan planDeny(const InstallRestriction &now, const RestrictionRecord &record,
                  std::string_view deviceId);

// Takes back what the record says the program added, judged from the state
// found now: its entry while the list key is as the program left it and the
// entry still holds the ID; the switch, to its former value, while both keys
// are as the program left it and it reads REG_DWORD 1; the list key it
// created once it is left empty. Without marks the content alone decides. A
// part already gone is taken back.
struct LiftPlan {
  std::vector<RestrictionChange> changes;
  // What the record claims while the changes are made: the parts they take
  // back, without marks, so that a take-back cut off is finished by content.
  RestrictionRecord taking;
  // What it claims after them: a list key it made that others' entries keep.
  RestrictionRecord record;
  unsigned leftOn = 0; // RestrictionPart bits
  // After the changes, an entry that is not the program's still holds the
  // ID and the switch is on: new devices stay refused, not by the program.
  bool refusedByOthers = false;
};
LiftPlan planLift(const InstallRestriction &now, const RestrictionRecord &record,
                  std::string_view deviceId);

} // namespace platform
