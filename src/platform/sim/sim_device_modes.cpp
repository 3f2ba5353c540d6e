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

void SimDeviceModes::install(const std::string &service, platform::RegistryValue value) {
  keys_[keyOf(service)] = std::move(value);
}

bool SimDeviceModes::installed(const std::string &service) const {
  return keys_.count(keyOf(service)) != 0;
}

std::optional<platform::RegistryValue> SimDeviceModes::start(const std::string &service) const {
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

platform::Status SimDeviceModes::readStart(const char *service, platform::RegistryValue *value) {
  if (const long code = faults_.check(std::string("readStart(") + service + ")"))
    return static_cast<platform::Status>(code);
  const auto key = keys_.find(keyOf(service));
  if (key == keys_.end())
    return platform::kFileNotFound;
  *value = key->second;
  return platform::kDone;
}

platform::Status SimDeviceModes::writeStart(const char *service,
                                            const platform::RegistryValue &value, bool createKey) {
  if (const long code = faults_.check(std::string("writeStart(") + service + ")"))
    return static_cast<platform::Status>(code);
  if (!createKey && !installed(service))
    return platform::kFileNotFound;
  install(service, value);
  return platform::kDone;
}

platform::Status SimDeviceModes::readRestriction(platform::InstallRestriction *held) {
  if (const long code = faults_.check("readRestriction"))
    return static_cast<platform::Status>(code);
  *held = restriction;
  return platform::kDone;
}

platform::Status SimDeviceModes::writeRestriction(platform::RestrictionChange::Target target,
                                                  const platform::ValueName &entry,
                                                  const platform::RegistryValue &value) {
  using Target = platform::RestrictionChange::Target;
  const std::string part = target == Target::PolicySwitch ? "switch"
                           : target == Target::ListKey
                               ? "list"
                               : "entry " + std::string(entry.begin(), entry.end());
  if (const long code = faults_.check("writeRestriction(" + part + ")"))
    return static_cast<platform::Status>(code);
  auto &entries = restriction.entries;
  switch (target) {
  case Target::PolicySwitch:
    restriction.policySwitch = value;
    touchRestrictions();
    break;
  case Target::ListKey:
    if (restriction.listPresent == value.present)
      break;
    if (!value.present && !entries.empty())
      return 145; // ERROR_DIR_NOT_EMPTY: it goes only empty
    restriction.listPresent = value.present;
    entries.clear();
    touchRestrictions();
    restriction.written.list = value.present ? restriction.written.restrictions : 0;
    break;
  case Target::Entry: {
    const auto named = std::find_if(entries.begin(), entries.end(),
                                    [&](const auto &held) { return held.name == entry; });
    if (!restriction.listPresent || (named == entries.end() && !value.present))
      return platform::kFileNotFound;
    if (named != entries.end())
      entries.erase(named);
    if (value.present)
      entries.push_back({entry, value});
    touchList();
    break;
  }
  }
  return platform::kDone;
}

platform::Status SimDeviceModes::readRecord(platform::RestrictionRecord *held) {
  if (const long code = faults_.check("readRecord"))
    return static_cast<platform::Status>(code);
  *held = record;
  return platform::kDone;
}

platform::Status SimDeviceModes::writeRecord(const platform::RestrictionRecord &written) {
  if (const long code = faults_.check("writeRecord"))
    return static_cast<platform::Status>(code);
  record = written.empty() ? platform::RestrictionRecord{} : written;
  return platform::kDone;
}

} // namespace sim
