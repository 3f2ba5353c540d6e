#pragma once
#include "platform/shell.h"

namespace platform::win32 {

class Win32Shell : public Shell {
public:
  std::intptr_t open(WindowHandle parent, const std::string &file, const std::string &directory,
                     int show) override;
};

} // namespace platform::win32
