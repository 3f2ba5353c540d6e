#pragma once
// Device modes in memory: a map of service keys and their Start values.
// Every read and write can be made to fail through the fault plan, by the
// names "readStart(SERVICE)" and "writeStart(SERVICE)".
#include "platform/service_start_values.h"
#include "platform/sim/fault_plan.h"

#include <map>
#include <optional>
#include <string>

namespace sim {

class SimDeviceModes final : public platform::ServiceStartValues {
public:
  explicit SimDeviceModes(FaultPlan &faults) : faults_(faults) {}

  // The service's key, with value as its Start (none when absent).
  void install(const std::string &service, platform::StartValue value = {});
  void putStart(const std::string &service, std::uint32_t start) {
    install(service, platform::StartValue::dword(start));
  }
  bool installed(const std::string &service) const;
  // The Start value of an installed service (absent when it has none).
  std::optional<platform::StartValue> start(const std::string &service) const;
  // The Start value when it is a REG_DWORD.
  std::optional<std::uint32_t> dword(const std::string &service) const;

protected:
  platform::Status readStart(const char *service, platform::StartValue *value) override;
  platform::Status writeStart(const char *service, const platform::StartValue &value,
                              bool createKey) override;

private:
  FaultPlan &faults_;
  std::map<std::string, platform::StartValue> keys_; // by lower-case service name
};

} // namespace sim
