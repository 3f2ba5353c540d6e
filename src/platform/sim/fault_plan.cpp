#include "platform/sim/fault_plan.h"

namespace sim {

void FaultPlan::failCall(const std::string &operation, int occurrence, long code) {
  planned_[{operation, occurrence}] = code;
}

void FaultPlan::failNthCall(int n, long code) { plannedNth_[n] = code; }

long FaultPlan::check(const std::string &operation) {
  calls_.push_back(operation);
  const int occurrence = ++counts_[operation];
  if (auto it = plannedNth_.find(static_cast<int>(calls_.size())); it != plannedNth_.end())
    return it->second;
  if (auto it = planned_.find({operation, occurrence}); it != planned_.end())
    return it->second;
  return 0;
}

int FaultPlan::count(const std::string &operation) const {
  auto it = counts_.find(operation);
  return it == counts_.end() ? 0 : it->second;
}

} // namespace sim
