#include "platform/sim/sim_event_log.h"

namespace sim {

void SimEventLog::report(std::uint16_t id, platform::EventType type,
                         std::initializer_list<std::string_view> strings) {
  if (faults_.check("RegisterEventSource") || faults_.check("ReportEvent"))
    return;
  std::vector<std::string> withAccount(strings.begin(), strings.end());
  withAccount.push_back(account);
  events.push_back({id, type, std::move(withAccount)});
}

} // namespace sim
