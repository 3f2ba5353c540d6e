#pragma once
// The password file in memory, for tests. Each call can be made to fail
// through the plan: "ReadPasswordFile", "LockPasswordChanges",
// "ReplacePasswordFile", "RestrictPasswordFile".
#include "platform/password_file.h"
#include "platform/sim/fault_plan.h"

#include <optional>
#include <string>

namespace sim {

class SimPasswordFile final : public platform::PasswordFile {
public:
  explicit SimPasswordFile(FaultPlan &faults) : faults_(faults) {}

  FirstLine readFirstLine(std::size_t maxBytes) override;
  ChangeLock lockChanges() override;
  platform::Status replace(const std::string &bytes) override;
  platform::Status restrictToAdministrators() override;

  std::optional<std::string> content; // nullopt: there is no file
  bool heldElsewhere = false;         // another copy holds the change lock
  bool lockNeedsElevation = false;    // the lock refuses this process for its rights ...
  platform::Status elevationRefusal = platform::kAccessDenied; // ... with this code
  bool locked() const { return locked_; }

private:
  void unlockChanges() override { locked_ = false; }

  FaultPlan &faults_;
  bool locked_ = false;
};

} // namespace sim
