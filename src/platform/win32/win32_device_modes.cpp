#include "platform/win32/win32_device_modes.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace platform::win32 {
namespace {

constexpr wchar_t kServices[] = L"SYSTEM\\CurrentControlSet\\Services\\";
constexpr wchar_t kStart[] = L"Start";
// A key is opened for its values only: creating a missing key is checked on
// its parent, and a key whose rules let its values be set but no subkey be
// made must still take the write.
constexpr REGSAM kValueRights = KEY_QUERY_VALUE | KEY_SET_VALUE;
// A value that keeps changing size between two reads is given up on.
constexpr int kQueryAttempts = 3;

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

std::wstring keyPath(const char *service) { return kServices + widen(service); }

LSTATUS queryStart(HKEY key, StartValue *value) {
  DWORD type = 0, size = 0;
  LSTATUS rc = ERROR_MORE_DATA;
  std::string data;
  for (int attempt = 0; attempt < kQueryAttempts && rc == ERROR_MORE_DATA; ++attempt) {
    data.resize(size);
    rc =
        RegQueryValueExW(key, kStart, nullptr, &type, reinterpret_cast<BYTE *>(data.data()), &size);
  }
  if (rc == ERROR_FILE_NOT_FOUND) { // the key is there, its Start isn't
    *value = StartValue{};
    return ERROR_SUCCESS;
  }
  if (rc == ERROR_SUCCESS) {
    data.resize(size);
    *value = {true, type, data};
  }
  return rc;
}

} // namespace

Status Win32DeviceModes::readStart(const char *service, StartValue *value) {
  RegistryKey key;
  const LSTATUS rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath(service).c_str(), 0, KEY_QUERY_VALUE,
                                   key.receive());
  return static_cast<Status>(rc == ERROR_SUCCESS ? queryStart(key.get(), value) : rc);
}

Status Win32DeviceModes::writeStart(const char *service, const StartValue &value, bool createKey) {
  RegistryKey key;
  const std::wstring path = keyPath(service);
  LSTATUS rc =
      createKey ? RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, kValueRights,
                                  nullptr, key.receive(), nullptr)
                : RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, kValueRights, key.receive());
  if (rc != ERROR_SUCCESS)
    return static_cast<Status>(rc);
  if (!value.present) {
    rc = RegDeleteValueW(key.get(), kStart);
    return rc == ERROR_FILE_NOT_FOUND ? kDone : static_cast<Status>(rc);
  }
  return static_cast<Status>(RegSetValueExW(key.get(), kStart, 0, value.type,
                                            reinterpret_cast<const BYTE *>(value.data.data()),
                                            static_cast<DWORD>(value.data.size())));
}

} // namespace platform::win32
