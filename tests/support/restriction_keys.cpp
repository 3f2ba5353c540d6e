#include "support/restriction_keys.h"

#include "support/key_rules.h"

#include <cstdio>

namespace testsupport {
namespace {

constexpr wchar_t kRestrictions[] =
    L"SOFTWARE\\Policies\\Microsoft\\Windows\\DeviceInstall\\Restrictions";
constexpr wchar_t kDenyList[] =
    L"SOFTWARE\\Policies\\Microsoft\\Windows\\DeviceInstall\\Restrictions\\DenyDeviceIDs";
constexpr REGSAM kView = KEY_WOW64_64KEY;

} // namespace

// Names and data from the same call: a name with a NUL in it can't be
// looked up again.
KeyValues readKeyValues(const wchar_t *path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | kView, &key) != ERROR_SUCCESS)
    return std::nullopt;
  std::map<std::wstring, StoredValue> values;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    std::vector<BYTE> data(65536);
    DWORD nameLength = 16384, type = 0, size = static_cast<DWORD>(data.size());
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS)
      break;
    data.resize(size);
    values[std::wstring(name, nameLength)] = {type, data};
  }
  RegCloseKey(key);
  return values;
}

namespace {

// RegSetValueExW takes a name up to its first NUL; the native call takes it
// counted, as another program may have written it.
void setValue(HKEY key, const std::wstring &name, const StoredValue &value) {
  struct CountedName {
    USHORT length, capacity;
    const wchar_t *buffer; // cppcheck-suppress unusedStructMember ; read by ntdll
  };
  using SetValueKey = LONG(WINAPI *)(HANDLE, CountedName *, ULONG, ULONG, const void *, ULONG);
  static const auto setValueKey = reinterpret_cast<SetValueKey>(
      reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetValueKey")));
  CountedName counted{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                      static_cast<USHORT>(name.size() * sizeof(wchar_t)), name.data()};
  setValueKey(key, &counted, 0, value.type, value.data.data(),
              static_cast<ULONG>(value.data.size()));
}

void writeKey(const wchar_t *path, const std::map<std::wstring, StoredValue> &values) {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, &key,
                  nullptr);
  for (const auto &[name, value] : values)
    setValue(key, name, value);
  RegCloseKey(key);
}

} // namespace

RestrictionKeys readRestrictionKeys() {
  return {readKeyValues(kRestrictions), readKeyValues(kDenyList)};
}

namespace {

bool listsUsbStorage(const KeyValues &list) {
  if (!list)
    return false;
  for (const auto &[name, value] : *list)
    if (value.type == REG_SZ && value.data.size() >= 2 &&
        _wcsicmp(reinterpret_cast<const wchar_t *>(value.data.data()), L"USB\\Class_08") == 0)
      return true;
  return false;
}

} // namespace

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

StoredValue sz(const std::wstring &text, DWORD type) {
  const auto *bytes = reinterpret_cast<const BYTE *>(text.c_str());
  return {type, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t))};
}

StoredValue dword(DWORD value) {
  const auto *bytes = reinterpret_cast<const BYTE *>(&value);
  return {REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof value)};
}

std::string describe(const KeyValues &values) {
  if (!values)
    return "(no key)";
  std::string text;
  for (const auto &[name, value] : *values) {
    char line[64];
    std::snprintf(line, sizeof line, " [%d bytes, type %lu]", static_cast<int>(value.data.size()),
                  static_cast<unsigned long>(value.type));
    text += std::string(name.begin(), name.end()) + line;
  }
  return text.empty() ? "(empty)" : text;
}

} // namespace testsupport
