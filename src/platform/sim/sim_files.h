#pragma once
// Files in a real directory of the host, for tests. Backslashes in paths
// count as slashes. Every call can be made to fail through the plan.
#include "platform/files.h"
#include "platform/sim/fault_plan.h"
#include "platform/system_paths.h"

#include <string>

namespace sim {

class SimFiles : public platform::Files {
public:
  explicit SimFiles(FaultPlan &faults) : faults_(faults) {}
  // A regular file; names beginning with a dot count as hidden.
  bool isNormalFile(const std::string &utf8Path) override;

private:
  FaultPlan &faults_;
};

class SimSystemPaths : public platform::SystemPaths {
public:
  std::string executableDirectory() override { return executableDirectory_; }
  void setExecutableDirectory(std::string path) { executableDirectory_ = std::move(path); }

private:
  std::string executableDirectory_ = "C:\\Program Files\\Kestrova";
};

// A host path for a path with backslashes.
std::string hostPath(std::string path);

} // namespace sim
