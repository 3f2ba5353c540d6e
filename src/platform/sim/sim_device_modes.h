#pragma once
// Device modes in memory: a map of service keys and their Start values, and
// the install restriction and the program's record of it as plain records.
// The restriction's keys get a new write time, from a counter, at each write
// as the registry's would. Every read and write can be made to fail through
// the fault plan, by the names "readStart(SERVICE)", "writeStart(SERVICE)",
// "readRestriction", "writeRestriction(switch)", "writeRestriction(list)",
// "writeRestriction(entry NAME)" (an ASCII name), "readRecord" and
// "writeRecord".
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
  platform::RestrictionRecord record;
  // Someone else writes the list, or a value of Restrictions: their keys'
  // times move as they would.
  void touchList() { restriction.written.list = ++clock_; }
  void touchRestrictions() { restriction.written.restrictions = ++clock_; }

protected:
  platform::Status readStart(const char *service, platform::RegistryValue *value) override;
  platform::Status writeStart(const char *service, const platform::RegistryValue &value,
                              bool createKey) override;
  platform::Status readRestriction(platform::InstallRestriction *held) override;
  platform::Status writeRestriction(platform::RestrictionChange::Target target,
                                    const platform::ValueName &entry,
                                    const platform::RegistryValue &value) override;
  platform::Status readRecord(platform::RestrictionRecord *held) override;
  platform::Status writeRecord(const platform::RestrictionRecord &written) override;

private:
  FaultPlan &faults_;
  std::uint64_t clock_ = 0;
  std::map<std::string, platform::RegistryValue> keys_; // by lower-case service name
};

} // namespace sim
