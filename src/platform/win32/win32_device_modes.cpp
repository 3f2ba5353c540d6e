#include "platform/win32/win32_device_modes.h"

#include "platform/restriction_record.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <algorithm>

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
// Windows reads the restriction from the 64-bit view of HKLM\SOFTWARE.
// Microsoft's table of registry keys affected by WOW64 lists
// HKLM\SOFTWARE\Policies as shared by both views (on Windows 7 and later,
// and on Vista and XP), so a 32-bit program would reach it anyway; the flag is
// kept so that the write never depends on that table, and it goes on every
// create, open and delete below Restrictions. The program's record of what
// it added lives beside it in the same view. 32-bit Windows ignores the flag.
constexpr REGSAM kNativeView = KEY_WOW64_64KEY;
constexpr wchar_t kRecordKey[] = L"SOFTWARE\\Kestrova";
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

// The key's last write time, and the size of its longest value's data.
LSTATUS describeKey(HKEY key, std::uint64_t *written, DWORD *longestData = nullptr) {
  FILETIME time{};
  const LSTATUS rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, longestData, nullptr, &time);
  if (rc == ERROR_SUCCESS)
    *written = static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  return rc;
}

// Each entry's name and data in one call, as the registry gives them: a
// name is never cut at a NUL nor looked up again.
LSTATUS readEntries(HKEY list, InstallRestriction *restriction) {
  DWORD longest = 0;
  LSTATUS rc = describeKey(list, &restriction->written.list, &longest);
  std::wstring name(kLongestValueName + 1, L'\0');
  std::string data(longest, '\0');
  for (DWORD index = 0; rc == ERROR_SUCCESS; ++index) {
    DWORD length = 0, type = 0, size = 0;
    rc = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < kQueryAttempts && rc == ERROR_MORE_DATA; ++attempt) {
      if (attempt) // it grew since the key was described
        data.resize(std::max<std::size_t>(size, 2 * data.size() + 2));
      length = kLongestValueName + 1;
      size = static_cast<DWORD>(data.size());
      rc = RegEnumValueW(list, index, name.data(), &length, nullptr, &type,
                         reinterpret_cast<BYTE *>(data.data()), &size);
    }
    if (rc == ERROR_NO_MORE_ITEMS)
      return ERROR_SUCCESS;
    if (rc == ERROR_SUCCESS)
      restriction->entries.push_back(
          {ValueName(name.data(), name.data() + length), {true, type, {data.data(), size}}});
  }
  return rc;
}

// Only while it holds no values: the key goes with whatever is in it, and
// entries written since it was read are someone else's.
LSTATUS deleteEmptyList(HKEY restrictions) {
  RegistryKey list;
  LSTATUS rc = openKey(kDeny, KEY_QUERY_VALUE | kNativeView, false, list, restrictions);
  DWORD values = 0;
  if (rc == ERROR_SUCCESS)
    rc = RegQueryInfoKeyW(list.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                          nullptr, nullptr, nullptr, nullptr);
  if (rc != ERROR_SUCCESS)
    return rc;
  return values ? ERROR_DIR_NOT_EMPTY : RegDeleteKeyExW(restrictions, kDeny, kNativeView, 0);
}

LSTATUS readRestrictionKeys(InstallRestriction *restriction) {
  RegistryKey restrictions;
  LSTATUS rc = openRestrictions(KEY_QUERY_VALUE, false, restrictions);
  if (rc == ERROR_SUCCESS)
    rc = queryValue(restrictions.get(), kDeny, &restriction->policySwitch);
  if (rc == ERROR_SUCCESS)
    rc = describeKey(restrictions.get(), &restriction->written.restrictions);
  RegistryKey list;
  if (rc == ERROR_SUCCESS)
    rc = openKey(kDeny, KEY_QUERY_VALUE | kNativeView, false, list, restrictions.get());
  if (rc != ERROR_SUCCESS)
    return rc;
  restriction->listPresent = true;
  return readEntries(list.get(), restriction);
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

// A switch or list key to be deleted that is not there, the keys above it
// included, is done with; an entry is not: the caller judges that.
Status Win32DeviceModes::writeRestriction(Target target, const ValueName &entry,
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
    rc = deleteEmptyList(restrictions.get());
  else if (rc == ERROR_SUCCESS && target != Target::PolicySwitch)
    rc = openKey(kDeny, kValueRights | kNativeView, create, list, restrictions.get());
  if (target == Target::ListKey || rc != ERROR_SUCCESS)
    return rc == ERROR_FILE_NOT_FOUND && !value.present && target != Target::Entry
               ? kDone
               : static_cast<Status>(rc);
  if (target == Target::PolicySwitch)
    return storeValue(restrictions.get(), kDeny, value);
  if (!value.present)
    return static_cast<Status>(RegDeleteValueW(list.get(), entry.c_str()));
  return storeValue(list.get(), entry.c_str(), value);
}

// No key reads as an empty record.
Status Win32DeviceModes::readRecord(RestrictionRecord *record) {
  RegistryKey key;
  LSTATUS rc = openKey(kRecordKey, KEY_QUERY_VALUE | kNativeView, false, key);
  if (rc == ERROR_FILE_NOT_FOUND) {
    *record = {};
    return kDone;
  }
  RecordValues values;
  for (std::size_t i = 0; i < values.size() && rc == ERROR_SUCCESS; ++i)
    rc = queryValue(key.get(), kRecordValueNames[i], &values[i]);
  if (rc == ERROR_SUCCESS)
    *record = recordFrom(values);
  return static_cast<Status>(rc);
}

// An empty record takes the key with it.
Status Win32DeviceModes::writeRecord(const RestrictionRecord &record) {
  if (record.empty()) {
    const LSTATUS rc = RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kRecordKey, kNativeView, 0);
    return rc == ERROR_FILE_NOT_FOUND ? kDone : static_cast<Status>(rc);
  }
  RegistryKey key;
  if (const LSTATUS rc = openKey(kRecordKey, kValueRights | kNativeView, true, key))
    return static_cast<Status>(rc);
  for (const auto &[which, value] : recordWrites(record))
    if (const Status status = storeValue(key.get(), kRecordValueNames[which], value))
      return status;
  return kDone;
}

} // namespace platform::win32
