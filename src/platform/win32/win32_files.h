#pragma once
// The help document's file and the program's directory, through kernel32's
// W functions.
#include "platform/files.h"
#include "platform/system_paths.h"

namespace platform::win32 {

class Win32Files : public Files {
public:
  bool isNormalFile(const std::string &utf8Path) override;
};

class Win32SystemPaths : public SystemPaths {
public:
  std::string executableDirectory() override;
};

} // namespace platform::win32
