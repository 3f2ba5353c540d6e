#pragma once
// A shell that records what it was asked to open. It answers a code the test
// chose, or, like Windows, opens what exists as a file, matching names
// without regard to letter case.
#include "platform/shell.h"
#include "platform/sim/fault_plan.h"

#include <optional>
#include <vector>

namespace sim {

struct ShellRequest {
  platform::WindowHandle parent;
  std::string file;
  std::string directory;
  int show;
};

class SimShell : public platform::Shell {
public:
  explicit SimShell(FaultPlan &faults) : faults_(faults) {}

  std::intptr_t open(platform::WindowHandle parent, const std::string &file,
                     const std::string &directory, int show) override;
  // Every request is answered with code from now on.
  void answer(std::intptr_t code) { answer_ = code; }

  std::vector<ShellRequest> requests;

private:
  FaultPlan &faults_;
  std::optional<std::intptr_t> answer_;
};

} // namespace sim
