#pragma once
// An event log that records what reached it. Opening the source and writing
// the event are separate operations of the fault plan, as in Windows.
#include "platform/event_log.h"
#include "platform/sim/fault_plan.h"

#include <string>
#include <vector>

namespace sim {

struct LoggedEvent {
  std::uint16_t id;
  platform::EventType type;
  std::vector<std::string> strings; // the account name last
};

class SimEventLog : public platform::EventLog {
public:
  explicit SimEventLog(FaultPlan &faults) : faults_(faults) {}

  void report(std::uint16_t id, platform::EventType type,
              std::initializer_list<std::string_view> strings) override;

  std::string account = "PC01\\tanaka";
  std::vector<LoggedEvent> events;

private:
  FaultPlan &faults_;
};

} // namespace sim
