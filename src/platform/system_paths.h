#pragma once
// Where the system keeps things. Paths are bytes in the ANSI code page.

namespace platform {

class SystemPaths {
public:
  virtual ~SystemPaths() = default;
  // As GetWindowsDirectoryA: the length copied without the NUL, the size
  // needed when the buffer is too small, 0 on failure.
  virtual unsigned windowsDirectory(char *buffer, unsigned size) = 0;
};

} // namespace platform
