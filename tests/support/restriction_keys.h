#pragma once
// Sets up and inspects the device installation restriction in the test
// prefix's registry, with the plain Win32 API rather than the code under
// test: HKLM\SOFTWARE\Policies\Microsoft\Windows\DeviceInstall\Restrictions
// and its DenyDeviceIDs list key.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct StoredValue {
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const StoredValue &) const = default;
};
// A key's values by name; nullopt when the key is missing.
using KeyValues = std::optional<std::map<std::wstring, StoredValue>>;

struct RestrictionKeys {
  KeyValues restrictions;
  KeyValues denyList;
  bool operator==(const RestrictionKeys &) const = default;
};

RestrictionKeys readRestrictionKeys();
// The values of a key below HKLM in the 64-bit view, as the registry holds them.
KeyValues readKeyValues(const wchar_t *path);
bool denyListExists();
// Windows refuses a new USB drive's install: the switch is 1 and the list
// holds USB\Class_08 as a REG_SZ, in any letter case.
bool usbInstallDenied();
// What a Execute cut short left: "denied", "none", or the parts there are.
std::string restrictionState();
// Both keys as given (a nullopt key is removed), every other value gone.
void writeRestrictionKeys(const RestrictionKeys &keys);
void removeRestrictionKeys();
// Rules on both keys that refuse everyone setting or deleting a value, and
// making or deleting a key; false (and the keys left open to all) where the
// registry doesn't enforce them.
bool refuseRestrictionWrites();
void allowRestrictionWrites();
// A REG_SZ as RegSetValueExW stores it.
StoredValue sz(const std::wstring &text, DWORD type = REG_SZ);
StoredValue dword(DWORD value);
// "1=USB\Class_08(1) 2=..." for a failure message.
std::string describe(const KeyValues &values);

} // namespace testsupport
