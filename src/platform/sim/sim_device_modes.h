#pragma once
// Device modes in memory: a map of service keys and their Start values, and
// the install restriction as a plain record. Every read and write can be
// made to fail through the fault plan, by the names "readStart(SERVICE)",
// "writeStart(SERVICE)", "readRestriction" and "writeRestriction(switch)",
// "writeRestriction(list)" or "writeRestriction(entry NAME)".
#include "platform/registry_device_modes.h"
#include "platform/sim/fault_plan.h"

#include <map>
#include <optional>
#include <string>

namespace sim {

class SimDeviceModes final : public platform::RegistryDeviceModes {
public:
  explicit SimDeviceModes(FaultPlan &faults) : faults_(faults) {}

  // The service's key, with value as its Start (none when absent).
  void install(const std::string &service, platform::RegistryValue value = {});
  void putStart(const std::string &service, std::uint32_t start) {
    install(service, platform::RegistryValue::dword(start));
  }
  bool installed(const std::string &service) const;
  // The Start value of an installed service (absent when it has none).
  std::optional<platform::RegistryValue> start(const std::string &service) const;
  // The Start value when it is a REG_DWORD.
  std::optional<std::uint32_t> dword(const std::string &service) const;

  platform::InstallRestriction restriction;

protected:
  platform::Status readStart(const char *service, platform::RegistryValue *value) override;
  platform::Status writeStart(const char *service, const platform::RegistryValue &value,
                              bool createKey) override;
  platform::Status readRestriction(platform::InstallRestriction *held) override;
  platform::Status writeRestriction(platform::RestrictionChange::Target target,
                                    const std::string &entry,
                                    const platform::RegistryValue &value) override;

private:
  FaultPlan &faults_;
  std::map<std::string, platform::RegistryValue> keys_; // by lower-case service name
};

} // namespace sim
