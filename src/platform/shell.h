#pragma once
// Opening a document with the program the shell associates with it.
#include <cstdint>
#include <string>

namespace platform {

using WindowHandle = std::uintptr_t;

constexpr int kShowNormal = 1; // SW_SHOWNORMAL

class Shell {
public:
  virtual ~Shell() = default;
  // As ShellExecute with the default verb and no parameters: a result
  // greater than 32 means the document was opened. Paths are UTF-8, so a
  // folder of any name works.
  virtual std::intptr_t open(WindowHandle parent, const std::string &file,
                             const std::string &directory, int show) = 0;
};

} // namespace platform
