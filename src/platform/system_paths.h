#pragma once
// Where the system keeps things.
#include <string>

namespace platform {

class SystemPaths {
public:
  virtual ~SystemPaths() = default;
  // As GetWindowsDirectoryA: the length copied without the NUL, the size
  // needed when the buffer is too small, 0 on failure.
  // Bytes in the ANSI code page.
  virtual unsigned windowsDirectory(char *buffer, unsigned size) = 0;
  // The directory of the running program's executable in UTF-8, with a
  // trailing backslash only at the root of a drive ("D:\", "C:\Tools").
  virtual std::string executableDirectory() = 0;
};

} // namespace platform
