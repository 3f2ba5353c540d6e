#pragma once
// The registry under HKEY_LOCAL_MACHINE, as the start-mode store needs it.
// Every call returns a Win32 error code (0 = success); out-parameters are
// untouched on failure. Key paths and value names are bytes in the ANSI code
// page, as the A functions take them.
#include <cstdint>
#include <string>

namespace platform {

using RegKey = std::uintptr_t;

constexpr long kRegSuccess = 0;
constexpr long kRegFileNotFound = 2;
constexpr long kRegAccessDenied = 5;
constexpr long kRegInvalidHandle = 6;
constexpr long kRegMoreData = 234;

constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyCreateSubKey = 0x0004;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

class Registry {
public:
  virtual ~Registry() = default;
  // Opens the key, creating it (and missing parents) when absent.
  virtual long createKey(const std::string &subKey, std::uint32_t access, RegKey *key) = 0;
  // Opens an existing key; fails with kRegFileNotFound when it is absent.
  virtual long openKey(const std::string &subKey, std::uint32_t access, RegKey *key) = 0;
  // Copies the value's data into data (capacity *size). On success *size is
  // the data's length and *type its type; when the buffer is too small the
  // call fails with kRegMoreData and *size is the length needed.
  virtual long queryValue(RegKey key, const std::string &name, std::uint32_t *type,
                          std::uint8_t *data, std::uint32_t *size) = 0;
  virtual long setDword(RegKey key, const std::string &name, std::uint32_t value) = 0;
  virtual long closeKey(RegKey key) = 0;
};

} // namespace platform
