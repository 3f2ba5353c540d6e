#include "support/restriction_keys.h"

#include "support/key_rules.h"

#include <winternl.h>

#include <cstdio>

// The registry's own calls, which take a name by its length: the Win32 ones
// end it at its first NUL.
extern "C" {
NTSTATUS NTAPI NtSetValueKey(HANDLE key, PUNICODE_STRING name, ULONG titleIndex, ULONG type,
                             PVOID data, ULONG size);
NTSTATUS NTAPI NtDeleteValueKey(HANDLE key, PUNICODE_STRING name);
}

namespace testsupport {
namespace {

constexpr wchar_t kRestrictions[] =
    L"SOFTWARE\\Policies\\Microsoft\\Windows\\DeviceInstall\\Restrictions";
constexpr wchar_t kDenyList[] =
    L"SOFTWARE\\Policies\\Microsoft\\Windows\\DeviceInstall\\Restrictions\\DenyDeviceIDs";
constexpr wchar_t kRecord[] = L"SOFTWARE\\Kestrova";
constexpr REGSAM kView = KEY_WOW64_64KEY;

UNICODE_STRING counted(const std::wstring &name) {
  const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  return {bytes, bytes, const_cast<wchar_t *>(name.data())};
}

// Name and data together, from the enumeration alone: a name holding a NUL
// can't be asked for again.
std::map<std::wstring, StoredValue> valuesOf(HKEY key) {
  DWORD longestName = 0, largestData = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                   &largestData, nullptr, nullptr);
  std::map<std::wstring, StoredValue> values;
  std::wstring name(longestName + 1, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = longestName + 1, type = 0, size = largestData;
    StoredValue value{0, std::vector<BYTE>(largestData)};
    if (RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, value.data.data(),
                      &size) != ERROR_SUCCESS)
      break;
    value.type = type;
    value.data.resize(size);
    values[name.substr(0, nameLength)] = value;
  }
  return values;
}

void setValues(HKEY key, const std::map<std::wstring, StoredValue> &values) {
  for (const auto &[name, value] : values) {
    UNICODE_STRING countedName = counted(name);
    NtSetValueKey(key, &countedName, 0, value.type, const_cast<BYTE *>(value.data.data()),
                  static_cast<ULONG>(value.data.size()));
  }
}

void writeKey(const wchar_t *path, const std::map<std::wstring, StoredValue> &values) {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, &key,
                  nullptr);
  setValues(key, values);
  RegCloseKey(key);
}

// The data's text: its whole UTF-16 units up to the first NUL among them.
std::wstring textOf(const StoredValue &value) {
  std::wstring text(value.data.size() / sizeof(wchar_t), L'\0');
  std::copy(value.data.begin(), value.data.begin() + text.size() * sizeof(wchar_t),
            reinterpret_cast<BYTE *>(text.data()));
  return text.substr(0, text.find(L'\0'));
}

// A REG_SZ whose text, up to its first NUL within the data, is
// USB\Class_08 in any letter case.
bool holdsUsbStorage(const StoredValue &value) {
  const std::wstring text = textOf(value);
  return value.type == REG_SZ && CompareStringOrdinal(text.c_str(), static_cast<int>(text.size()),
                                                      L"USB\\Class_08", -1, TRUE) == CSTR_EQUAL;
}

bool listsUsbStorage(const KeyValues &list) {
  if (!list)
    return false;
  for (const auto &[name, value] : *list)
    if (holdsUsbStorage(value))
      return true;
  return false;
}

} // namespace

KeyValues readKeyValues(const wchar_t *path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | kView, &key) != ERROR_SUCCESS)
    return std::nullopt;
  KeyValues values = valuesOf(key);
  RegCloseKey(key);
  return values;
}

RestrictionKeys readRestrictionKeys() {
  return {readKeyValues(kRestrictions), readKeyValues(kDenyList)};
}

bool denyListExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDenyList, 0, KEY_READ | kView, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

bool usbInstallDenied() {
  const RestrictionKeys keys = readRestrictionKeys();
  return keys.restrictions && keys.restrictions->count(L"DenyDeviceIDs") &&
         keys.restrictions->at(L"DenyDeviceIDs") == dword(1) && listsUsbStorage(keys.denyList);
}

std::string restrictionState() {
  if (usbInstallDenied())
    return "denied";
  const RestrictionKeys keys = readRestrictionKeys();
  std::string parts;
  if (keys.restrictions && keys.restrictions->count(L"DenyDeviceIDs"))
    parts += "switch ";
  if (keys.denyList)
    parts += listsUsbStorage(keys.denyList) ? "list+entry " : "list ";
  return parts.empty() ? "none" : parts.substr(0, parts.size() - 1);
}

void removeRestrictionKeys() {
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kDenyList, kView, 0);
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kRestrictions, kView, 0);
}

void writeRestrictionKeys(const RestrictionKeys &keys) {
  removeRestrictionKeys();
  if (keys.restrictions)
    writeKey(kRestrictions, *keys.restrictions);
  if (keys.denyList)
    writeKey(kDenyList, *keys.denyList);
}

void rewriteDenyList(const std::map<std::wstring, StoredValue> &values) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDenyList, 0, KEY_ALL_ACCESS | kView, &key) !=
      ERROR_SUCCESS)
    return;
  for (const auto &[name, value] : valuesOf(key)) {
    UNICODE_STRING countedName = counted(name);
    NtDeleteValueKey(key, &countedName);
  }
  setValues(key, values);
  RegCloseKey(key);
}

void rewriteDenySwitch() {
  const KeyValues restrictions = readKeyValues(kRestrictions);
  if (!restrictions || !restrictions->count(L"DenyDeviceIDs"))
    return;
  HKEY key = nullptr;
  RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRestrictions, 0, KEY_ALL_ACCESS | kView, &key);
  RegDeleteValueW(key, L"DenyDeviceIDs");
  setValues(key, {{L"DenyDeviceIDs", restrictions->at(L"DenyDeviceIDs")}});
  RegCloseKey(key);
}

// KEY_SET_VALUE, KEY_CREATE_SUB_KEY and DELETE refused.
constexpr wchar_t kRefuseWrites[] = L"D:(D;;0x10006;;;WD)(A;;KA;;;WD)";

bool refuseRestrictionWrites() {
  if (setKeyRules(kRestrictions, kRefuseWrites, kView) &&
      setRulesThatRefuse(kDenyList, kRefuseWrites, KEY_SET_VALUE, kView))
    return true;
  allowRestrictionWrites();
  return false;
}

void allowRestrictionWrites() {
  setKeyRules(kRestrictions, kOpenToAll, kView);
  setKeyRules(kDenyList, kOpenToAll, kView);
}

KeyValues readRecord() { return readKeyValues(kRecord); }

void writeRecord(const std::map<std::wstring, StoredValue> &values) {
  removeRecord();
  writeKey(kRecord, values);
}

void removeRecord() { RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kRecord, kView, 0); }

StoredValue sz(const std::wstring &text, DWORD type) {
  const auto *bytes = reinterpret_cast<const BYTE *>(text.c_str());
  return {type, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t))};
}

StoredValue dword(DWORD value) {
  const auto *bytes = reinterpret_cast<const BYTE *>(&value);
  return {REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof value)};
}

std::string readable(const std::wstring &text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t unit = text[i];
    const bool paired =
        IS_HIGH_SURROGATE(unit) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
    const bool lone = (IS_HIGH_SURROGATE(unit) && !paired) || IS_LOW_SURROGATE(unit);
    if (unit < 0x20 || unit == 0xFFFD || lone) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
      out += escaped;
      continue;
    }
    char bytes[8];
    const int length = WideCharToMultiByte(CP_UTF8, 0, &text[i], paired ? 2 : 1, bytes,
                                           sizeof bytes, nullptr, nullptr);
    out.append(bytes, static_cast<std::size_t>(length > 0 ? length : 0));
    i += paired ? 1 : 0;
  }
  return out;
}

namespace {

std::string dataOf(const StoredValue &value) {
  unsigned long long number = 0;
  std::copy(value.data.begin(), value.data.begin() + std::min<std::size_t>(value.data.size(), 8),
            reinterpret_cast<BYTE *>(&number));
  if ((value.type == REG_SZ || value.type == REG_EXPAND_SZ) && value.data.size() % 2 == 0) {
    std::wstring units(value.data.size() / 2, L'\0');
    std::copy(value.data.begin(), value.data.end(), reinterpret_cast<BYTE *>(units.data()));
    if (!units.empty() && units.back() == L'\0')
      units.pop_back();
    return (value.type == REG_SZ ? "sz:\"" : "expand_sz:\"") + readable(units) + "\"";
  }
  if (value.type == REG_DWORD && value.data.size() == 4)
    return "dword:" + std::to_string(number);
  if (value.type == REG_QWORD && value.data.size() == 8)
    return "qword:" + std::to_string(number);
  std::string bytes = "type " + std::to_string(value.type) + ":";
  for (BYTE byte : value.data) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", byte);
    bytes += hex;
  }
  return bytes;
}

} // namespace

std::string describe(const KeyValues &values) {
  if (!values)
    return "(no key)";
  std::string text;
  for (const auto &[name, value] : *values)
    text += (text.empty() ? "" : "; ") + readable(name) + " = " + dataOf(value);
  return text.empty() ? "(empty)" : text;
}

void PrintTo(const StoredValue &value, std::ostream *out) { *out << dataOf(value); }

void PrintTo(const RestrictionKeys &keys, std::ostream *out) {
  *out << "Restrictions: " << describe(keys.restrictions)
       << ", DenyDeviceIDs: " << describe(keys.denyList);
}

} // namespace testsupport
