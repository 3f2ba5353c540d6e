#pragma once
// In-memory registry: typed values under case-insensitive key paths, with
// access checks on handles and planned failures for every operation.
#include "platform/registry.h"
#include "platform/sim/fault_plan.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct RegValue {
  std::uint32_t type = platform::kRegDword;
  std::vector<std::uint8_t> data;
};

class SimRegistry : public platform::Registry {
public:
  explicit SimRegistry(FaultPlan &faults) : faults_(faults) {}

  void addKey(const std::string &path);
  void putValue(const std::string &path, const std::string &name, RegValue value);
  void putDword(const std::string &path, const std::string &name, std::uint32_t value);
  bool hasKey(const std::string &path) const;
  std::optional<RegValue> value(const std::string &path, const std::string &name) const;
  std::optional<std::uint32_t> dword(const std::string &path, const std::string &name) const;
  std::size_t openHandles() const { return handles_.size(); }

  long createKey(const std::string &subKey, std::uint32_t access, platform::RegKey *key) override;
  long openKey(const std::string &subKey, std::uint32_t access, platform::RegKey *key) override;
  long queryValue(platform::RegKey key, const std::string &name, std::uint32_t *type,
                  std::uint8_t *data, std::uint32_t *size) override;
  long setDword(platform::RegKey key, const std::string &name, std::uint32_t value) override;
  long closeKey(platform::RegKey key) override;

private:
  struct Handle {
    std::string path;
    std::uint32_t access;
  };
  using Values = std::map<std::string, RegValue>;

  platform::RegKey newHandle(const std::string &path, std::uint32_t access);
  const Handle *handle(platform::RegKey key) const;

  FaultPlan &faults_;
  std::map<std::string, Values> keys_; // by lower-case path
  std::map<platform::RegKey, Handle> handles_;
  platform::RegKey nextHandle_ = 0x100;
};

} // namespace sim
