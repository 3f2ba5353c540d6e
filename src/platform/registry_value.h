#pragma once
// A registry value as the registry holds it: of any type and size, or none.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

constexpr std::uint32_t kRegSz = 1;    // REG_SZ
constexpr std::uint32_t kRegDword = 4; // REG_DWORD

struct RegistryValue {
  bool present = false;
  std::uint32_t type = 0;
  std::string data; // the bytes the W functions read and write

  static RegistryValue dword(std::uint32_t value);
  // A REG_SZ of ASCII text as the W functions store it: UTF-16LE with its
  // terminating NUL.
  static RegistryValue string(std::string_view ascii);
  bool operator==(const RegistryValue &other) const {
    return present == other.present && type == other.type && data == other.data;
  }
};

} // namespace platform
