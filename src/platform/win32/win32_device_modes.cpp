#include "platform/win32/win32_device_modes.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace platform::win32 {
namespace {

constexpr wchar_t kServices[] = L"SYSTEM\\CurrentControlSet\\Services\\";
constexpr wchar_t kStart[] = L"Start";
constexpr wchar_t kRestrictions[] =
    L"SOFTWARE\\Policies\\Microsoft\\Windows\\DeviceInstall\\Restrictions";
// The switch, a value of Restrictions, and the list, a key below it.
constexpr wchar_t kDeny[] = L"DenyDeviceIDs";
// A key is opened for its values only: creating a missing key is checked on
// its parent, and a key whose rules let its values be set but no subkey be
// made must still take the write.
constexpr REGSAM kValueRights = KEY_QUERY_VALUE | KEY_SET_VALUE;
// Windows reads the restriction from the 64-bit view of HKLM\SOFTWARE, and
// this 32-bit program would otherwise be sent to the 32-bit one on 64-bit
// Windows. Which keys under Policies the two views share has differed
// between Windows versions (Wine shares all of them), so the restriction's
// keys are opened in the 64-bit view outright: the write then never depends
// on it. 32-bit Windows ignores the flag.
constexpr REGSAM kNativeView = KEY_WOW64_64KEY;
constexpr DWORD kLongestValueName = 16383; // as the registry documents it
// A value that keeps changing size between two reads is given up on.
constexpr int kQueryAttempts = 3;

using Target = RestrictionChange::Target;

// An open key, closed when it goes.
class RegistryKey {
public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey &) = delete;
  RegistryKey &operator=(const RegistryKey &) = delete;
  ~RegistryKey() {
    if (key_)
      RegCloseKey(key_);
  }
  HKEY *receive() { return &key_; }
  HKEY get() const { return key_; }

private:
  HKEY key_ = nullptr;
};

LSTATUS openKey(const wchar_t *path, REGSAM rights, bool create, RegistryKey &key,
                HKEY parent = HKEY_LOCAL_MACHINE) {
  return create
             ? RegCreateKeyExW(parent, path, 0, nullptr, 0, rights, nullptr, key.receive(), nullptr)
             : RegOpenKeyExW(parent, path, 0, rights, key.receive());
}

LSTATUS openRestrictions(REGSAM rights, bool create, RegistryKey &key) {
  return openKey(kRestrictions, rights | kNativeView, create, key);
}

std::wstring servicePath(const char *service) { return kServices + widen(service); }

// The value as it is, or absent where the key has none.
LSTATUS queryValue(HKEY key, const wchar_t *name, RegistryValue *value) {
  DWORD type = 0, size = 0;
  LSTATUS rc = ERROR_MORE_DATA;
  std::string data;
  for (int attempt = 0; attempt < kQueryAttempts && rc == ERROR_MORE_DATA; ++attempt) {
    data.resize(size);
    rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(data.data()), &size);
  }
  if (rc == ERROR_FILE_NOT_FOUND) {
    *value = RegistryValue{};
    return ERROR_SUCCESS;
  }
  if (rc == ERROR_SUCCESS) {
    data.resize(size);
    *value = {true, type, data};
  }
  return rc;
}

// Sets the value, or deletes it when it is absent; deleting what is not
// there succeeds.
Status storeValue(HKEY key, const wchar_t *name, const RegistryValue &value) {
  if (!value.present) {
    const LSTATUS rc = RegDeleteValueW(key, name);
    return rc == ERROR_FILE_NOT_FOUND ? kDone : static_cast<Status>(rc);
  }
  return static_cast<Status>(RegSetValueExW(key, name, 0, value.type,
                                            reinterpret_cast<const BYTE *>(value.data.data()),
                                            static_cast<DWORD>(value.data.size())));
}

LSTATUS readEntries(HKEY list, std::vector<RestrictionEntry> *entries) {
  std::wstring name;
  for (DWORD index = 0;; ++index) {
    name.resize(kLongestValueName + 1);
    DWORD length = kLongestValueName + 1;
    LSTATUS rc =
        RegEnumValueW(list, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS)
      return ERROR_SUCCESS;
    name.resize(length);
    RegistryValue value;
    if (rc == ERROR_SUCCESS)
      rc = queryValue(list, name.c_str(), &value);
    if (rc != ERROR_SUCCESS)
      return rc;
    if (value.present) // unless it went since it was listed
      entries->push_back({narrow(name), value});
  }
}

LSTATUS readRestrictionKeys(InstallRestriction *restriction) {
  RegistryKey restrictions;
  LSTATUS rc = openRestrictions(KEY_QUERY_VALUE, false, restrictions);
  if (rc == ERROR_SUCCESS)
    rc = queryValue(restrictions.get(), kDeny, &restriction->policySwitch);
  RegistryKey list;
  if (rc == ERROR_SUCCESS)
    rc = openKey(kDeny, KEY_QUERY_VALUE | kNativeView, false, list, restrictions.get());
  if (rc != ERROR_SUCCESS)
    return rc;
  restriction->listPresent = true;
  return readEntries(list.get(), &restriction->entries);
}

} // namespace

Status Win32DeviceModes::readStart(const char *service, RegistryValue *value) {
  RegistryKey key;
  const LSTATUS rc = openKey(servicePath(service).c_str(), KEY_QUERY_VALUE, false, key);
  return static_cast<Status>(rc == ERROR_SUCCESS ? queryValue(key.get(), kStart, value) : rc);
}

Status Win32DeviceModes::writeStart(const char *service, const RegistryValue &value,
                                    bool createKey) {
  RegistryKey key;
  const LSTATUS rc = openKey(servicePath(service).c_str(), kValueRights, createKey, key);
  return rc == ERROR_SUCCESS ? storeValue(key.get(), kStart, value) : static_cast<Status>(rc);
}

// A missing key reads as what it would hold: no switch, no list.
Status Win32DeviceModes::readRestriction(InstallRestriction *restriction) {
  InstallRestriction now;
  const LSTATUS rc = readRestrictionKeys(&now);
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
    return static_cast<Status>(rc);
  *restriction = now;
  return kDone;
}

// What is to be deleted and is not there, the keys above it included, is
// done with.
Status Win32DeviceModes::writeRestriction(Target target, const std::string &entry,
                                          const RegistryValue &value) {
  const bool create = value.present && target != Target::Entry;
  // The switch's value is set in Restrictions; the list is opened, made or
  // deleted below it.
  const REGSAM rights = target == Target::PolicySwitch ? kValueRights
                        : create                       ? KEY_CREATE_SUB_KEY
                                                       : KEY_QUERY_VALUE;
  RegistryKey restrictions, list;
  LSTATUS rc = openRestrictions(rights, create, restrictions);
  if (rc == ERROR_SUCCESS && target == Target::ListKey && !value.present)
    rc = RegDeleteKeyExW(restrictions.get(), kDeny, kNativeView, 0);
  else if (rc == ERROR_SUCCESS && target != Target::PolicySwitch)
    rc = openKey(kDeny, kValueRights | kNativeView, create, list, restrictions.get());
  if (target == Target::ListKey || rc != ERROR_SUCCESS)
    return rc == ERROR_FILE_NOT_FOUND && !value.present ? kDone : static_cast<Status>(rc);
  if (target == Target::PolicySwitch)
    return storeValue(restrictions.get(), kDeny, value);
  return storeValue(list.get(), widen(entry).c_str(), value);
}

} // namespace platform::win32
