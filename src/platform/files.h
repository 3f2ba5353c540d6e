#pragma once
// Files, as the help command needs them.
#include <string>

namespace platform {

class Files {
public:
  virtual ~Files() = default;
  // True when a normal file is at the UTF-8 path: not a directory, not
  // hidden, not a system file.
  virtual bool isNormalFile(const std::string &utf8Path) = 0;
};

} // namespace platform
