#include "devices/start_mode_store.h"

#include <cstring>
#include <optional>

namespace devices {
namespace {

constexpr char kServicesKey[] = R"(SYSTEM\CurrentControlSet\Services\)";
constexpr char kStartValue[] = "Start";
constexpr std::uint32_t kQueryBufferSize = 256;
constexpr long kNoUnicodeTranslation = 1113; // a name the code page can't hold

// The subkey, formed by plain concatenation, in the ANSI code page.
std::optional<std::string> serviceKey(const platform::AnsiCodec &codec, const std::string &kind) {
  return codec.toAnsi(kServicesKey + kind);
}

std::int32_t startModeOf(std::uint32_t type, const std::uint8_t *data, std::uint32_t size) {
  if (type != platform::kRegDword || size != 4)
    return kNotAStartMode;
  std::uint32_t value = 0;
  std::memcpy(&value, data, 4); // REG_DWORD is little-endian, like the host
  return value <= 255 ? static_cast<std::int32_t>(value) : kNotAStartMode;
}

} // namespace

std::int32_t StartModeStore::fncGetReg(const std::string &strKind) {
  const auto subKey = serviceKey(codec_, strKind);
  if (!subKey)
    return unreadable(kNoUnicodeTranslation);
  platform::RegKey key = 0;
  if (const long rc = registry_.openKey(*subKey, platform::kKeyQueryValue, &key);
      rc != platform::kRegSuccess)
    return unreadable(rc);

  std::uint8_t data[kQueryBufferSize] = {};
  std::uint32_t size = kQueryBufferSize;
  std::uint32_t type = 0;
  const long rc = registry_.queryValue(key, kStartValue, &type, data, &size);
  registry_.closeKey(key);

  if (rc == platform::kRegMoreData) // present, but far too long for a DWORD
    return kNotAStartMode;
  if (rc != platform::kRegSuccess)
    return unreadable(rc);
  return startModeOf(type, data, size);
}

bool StartModeStore::fncSaveReg(const std::string &strKind, std::int32_t longValue) {
  const auto subKey = serviceKey(codec_, strKind);
  if (!subKey)
    return notWritten(kNoUnicodeTranslation);
  platform::RegKey key = 0;
  if (const long rc =
          registry_.createKey(*subKey, platform::kKeySetValue | platform::kKeyCreateSubKey, &key);
      rc != platform::kRegSuccess)
    return notWritten(rc);
  const long rc = registry_.setDword(key, kStartValue, static_cast<std::uint32_t>(longValue));
  registry_.closeKey(key);
  return rc == platform::kRegSuccess || notWritten(rc);
}

} // namespace devices
