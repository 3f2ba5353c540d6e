#pragma once
// The event log through advapi32, which the program imports anyway for the
// registry: reporting loads nothing more at start.
#include "platform/event_log.h"

namespace platform::win32 {

class Win32EventLog : public EventLog {
public:
  void report(std::uint16_t id, EventType type,
              std::initializer_list<std::string_view> strings) override;
};

} // namespace platform::win32
