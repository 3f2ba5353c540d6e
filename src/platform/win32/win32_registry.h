#pragma once
// The registry under HKEY_LOCAL_MACHINE through advapi32's A functions.
#include "platform/registry.h"

namespace platform::win32 {

class Win32Registry : public Registry {
public:
  long createKey(const std::string &subKey, std::uint32_t access, RegKey *key) override;
  long openKey(const std::string &subKey, std::uint32_t access, RegKey *key) override;
  long queryValue(RegKey key, const std::string &name, std::uint32_t *type, std::uint8_t *data,
                  std::uint32_t *size) override;
  long setDword(RegKey key, const std::string &name, std::uint32_t value) override;
  long closeKey(RegKey key) override;
};

} // namespace platform::win32
