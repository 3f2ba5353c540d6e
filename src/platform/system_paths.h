#pragma once
// Where the system keeps things.
#include <string>

namespace platform {

class SystemPaths {
public:
  virtual ~SystemPaths() = default;
  // The directory of the running program's executable in UTF-8, with a
  // trailing backslash only at the root of a drive ("D:\", "C:\Tools").
  virtual std::string executableDirectory() = 0;
};

} // namespace platform
