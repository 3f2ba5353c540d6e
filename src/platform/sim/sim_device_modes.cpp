#include "platform/sim/sim_device_modes.h"

#include <algorithm>
#include <cctype>

namespace sim {
namespace {

// Key names compare without regard to letter case.
std::string keyOf(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

} // namespace

void SimDeviceModes::install(const std::string &service, platform::StartValue value) {
  keys_[keyOf(service)] = std::move(value);
}

bool SimDeviceModes::installed(const std::string &service) const {
  return keys_.count(keyOf(service)) != 0;
}

std::optional<platform::StartValue> SimDeviceModes::start(const std::string &service) const {
  const auto key = keys_.find(keyOf(service));
  if (key == keys_.end())
    return std::nullopt;
  return key->second;
}

std::optional<std::uint32_t> SimDeviceModes::dword(const std::string &service) const {
  const auto value = start(service);
  if (!value || !value->present || value->type != platform::kRegDword || value->data.size() != 4)
    return std::nullopt;
  std::uint32_t result = 0;
  for (std::size_t i = 4; i-- > 0;)
    result = (result << 8) | static_cast<unsigned char>(value->data[i]);
  return result;
}

platform::Status SimDeviceModes::readStart(const char *service, platform::StartValue *value) {
  if (const long code = faults_.check(std::string("readStart(") + service + ")"))
    return static_cast<platform::Status>(code);
  const auto key = keys_.find(keyOf(service));
  if (key == keys_.end())
    return platform::kFileNotFound;
  *value = key->second;
  return platform::kDone;
}

platform::Status SimDeviceModes::writeStart(const char *service, const platform::StartValue &value,
                                            bool createKey) {
  if (const long code = faults_.check(std::string("writeStart(") + service + ")"))
    return static_cast<platform::Status>(code);
  if (!createKey && !installed(service))
    return platform::kFileNotFound;
  install(service, value);
  return platform::kDone;
}

} // namespace sim
