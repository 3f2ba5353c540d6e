#pragma once
// The device installation restriction that Group Policy writes for "Prevent
// installation of devices that match any of these device IDs", and the rules
// by which the program puts one device ID in force and takes it out again
// while every other entry and value stays as it is.
//
// Under HKLM\SOFTWARE\Policies\Microsoft\Windows\DeviceInstall\Restrictions
// the REG_DWORD DenyDeviceIDs = 1 switches the policy on; the key of the same
// name below it lists the hardware and compatible IDs, one REG_SZ each,
// named "1", "2", ... as the policy editor names them. Windows matches the
// IDs without regard to letter case.
#include "platform/registry_value.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct RestrictionEntry {
  std::string name; // UTF-8
  RegistryValue value;
  bool operator==(const RestrictionEntry &) const = default;
};

struct InstallRestriction {
  RegistryValue policySwitch; // the DenyDeviceIDs value
  bool listPresent = false;   // the DenyDeviceIDs key
  std::vector<RestrictionEntry> entries;
  bool operator==(const InstallRestriction &) const = default;
};

// One change to the restriction, with what it replaces so that it can be
// taken back. For the list key, present says whether the key is there.
struct RestrictionChange {
  enum class Target { PolicySwitch, ListKey, Entry };
  Target target;
  std::string entry; // the entry's name, for Target::Entry
  RegistryValue before;
  RegistryValue after;
};

// A REG_SZ whose text, up to its first NUL, is deviceId in any letter case.
bool holdsDeviceId(const RegistryValue &value, std::string_view deviceId);
// "1", "2", ...: the lowest number that names no entry.
std::string freeEntryName(const std::vector<RestrictionEntry> &entries);

// Puts deviceId in force: the list key where there is none, an entry for the
// ID where none holds it, then the switch at 1. None when it is in force.
std::vector<RestrictionChange> changesToDeny(const InstallRestriction &now,
                                             std::string_view deviceId);
// Takes deviceId out: every entry that holds it; then, where that leaves the
// list empty, the switch and the list key. None when no entry holds it and
// the list is not empty.
std::vector<RestrictionChange> changesToLift(const InstallRestriction &now,
                                             std::string_view deviceId);

} // namespace platform
