#include "platform/win32/win32_registry.h"

#include <windows.h>

namespace platform::win32 {
namespace {

HKEY toHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

} // namespace

long Win32Registry::createKey(const std::string &subKey, std::uint32_t access, RegKey *key) {
  HKEY result = nullptr;
  const LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, 0, access,
                                  nullptr, &result, nullptr);
  if (rc == ERROR_SUCCESS)
    *key = reinterpret_cast<RegKey>(result);
  return rc;
}

long Win32Registry::openKey(const std::string &subKey, std::uint32_t access, RegKey *key) {
  HKEY result = nullptr;
  const LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, access, &result);
  if (rc == ERROR_SUCCESS)
    *key = reinterpret_cast<RegKey>(result);
  return rc;
}

long Win32Registry::queryValue(RegKey key, const std::string &name, std::uint32_t *type,
                               std::uint8_t *data, std::uint32_t *size) {
  DWORD valueType = 0;
  DWORD length = *size;
  const LONG rc = RegQueryValueExA(toHkey(key), name.c_str(), nullptr, &valueType, data, &length);
  if (rc == ERROR_SUCCESS)
    *type = valueType;
  if (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA)
    *size = length;
  return rc;
}

long Win32Registry::setDword(RegKey key, const std::string &name, std::uint32_t value) {
  const DWORD data = value;
  return RegSetValueExA(toHkey(key), name.c_str(), 0, REG_DWORD,
                        reinterpret_cast<const BYTE *>(&data), sizeof data);
}

long Win32Registry::closeKey(RegKey key) { return RegCloseKey(toHkey(key)); }

} // namespace platform::win32
