#pragma once
// Shared by all substitutes: records every platform call by name and fails
// the ones a test picked, so a test can make each operation fail in turn.
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sim {

class FaultPlan {
public:
  // Makes the n-th call (1-based) of operation fail with code.
  void failCall(const std::string &operation, int occurrence, long code);
  // Makes the next call of operation fail with code.
  void failNext(const std::string &operation, long code) {
    failCall(operation, count(operation) + 1, code);
  }
  // Makes the n-th platform call of any kind (1-based) fail with code.
  void failNthCall(int n, long code);
  // Records a call; returns the code it must fail with, or 0.
  long check(const std::string &operation);

  const std::vector<std::string> &calls() const { return calls_; }
  int count(const std::string &operation) const;

private:
  std::map<std::string, int> counts_;
  std::map<std::pair<std::string, int>, long> planned_;
  std::map<int, long> plannedNth_;
  std::vector<std::string> calls_;
};

} // namespace sim
