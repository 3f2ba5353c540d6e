#include "platform/registry_value.h"

namespace platform {

RegistryValue RegistryValue::dword(std::uint32_t value) {
  std::string data(4, '\0');
  for (std::size_t i = 0; i < 4; ++i) // REG_DWORD is little-endian
    data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return {true, kRegDword, data};
}

RegistryValue RegistryValue::string(std::string_view ascii) {
  std::string data(2 * (ascii.size() + 1), '\0');
  for (std::size_t i = 0; i < ascii.size(); ++i)
    data[2 * i] = ascii[i];
  return {true, kRegSz, data};
}

} // namespace platform
