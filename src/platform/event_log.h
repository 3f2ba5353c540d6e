#pragma once
// The Application event log, where the program leaves its audit trail.
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace platform {

enum class EventType { Information, Warning, Error };

class EventLog {
public:
  virtual ~EventLog() = default;
  // Writes one event under the program's source. The user running the
  // program is attached: their SID, and their account name as the last
  // string after the given ones (UTF-8). Failures are not reported: the
  // trail must never change what the program does.
  virtual void report(std::uint16_t id, EventType type,
                      std::initializer_list<std::string_view> strings) = 0;
};

} // namespace platform
