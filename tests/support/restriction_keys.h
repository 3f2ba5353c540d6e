#pragma once
// Sets up and inspects the device installation restriction in the test
// prefix's registry, with the plain Win32 API rather than the code under
// test: HKLM\SOFTWARE\Policies\Microsoft\Windows\DeviceInstall\Restrictions
// and its DenyDeviceIDs list key; and the program's own record of what it
// added there, HKLM\SOFTWARE\Kestrova. Value names are counted, as the
// registry keeps them: one may hold a NUL.
#include <windows.h>

#include <map>
#include <optional>
#include <ostream>
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
// holds USB\Class_08 as a REG_SZ, in any letter case, its text read no
// further than its data.
bool usbInstallDenied();
// What a Execute cut short left: "denied", "none", or the parts there are.
std::string restrictionState();
// Both keys as given (a nullopt key is removed), every other value gone.
void writeRestrictionKeys(const RestrictionKeys &keys);
void removeRestrictionKeys();
// The list's values all deleted, then these set, into the key that is
// there, as a policy refresh rewrites it.
void rewriteDenyList(const std::map<std::wstring, StoredValue> &values);
// The switch deleted and set again to the same value, as a refresh of the
// policy that owns it does.
void rewriteDenySwitch();
// Rules on both keys that refuse everyone setting or deleting a value, and
// making or deleting a key; false (and the keys left open to all) where the
// registry doesn't enforce them.
bool refuseRestrictionWrites();
void allowRestrictionWrites();

// The program's record, HKLM\SOFTWARE\Kestrova; nullopt when there is none.
KeyValues readRecord();
// The record's key with these values and no others.
void writeRecord(const std::map<std::wstring, StoredValue> &values);
void removeRecord();

// A REG_SZ as RegSetValueExW stores it.
StoredValue sz(const std::wstring &text, DWORD type = REG_SZ);
StoredValue dword(DWORD value);
// Text for a failure message: UTF-8, with surrogates that pair nothing,
// U+FFFD and control characters as \uXXXX.
std::string readable(const std::wstring &text);
// The values as "name = data; name = data", names and texts readable:
// "sz:" or "expand_sz:" and the text in quotes, "dword:" and "qword:" in
// decimal, anything else its type and bytes in hex; "(no key)" or "(empty)"
// when there is nothing.
std::string describe(const KeyValues &values);
// How GoogleTest prints them in a failure message.
void PrintTo(const StoredValue &value, std::ostream *out);
void PrintTo(const RestrictionKeys &keys, std::ostream *out);

} // namespace testsupport
