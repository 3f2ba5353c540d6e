#pragma once
// Device modes kept in the Start values of driver services: which value
// reads as which mode, and the all-or-none write with its put-back. How a
// value reaches the registry is left to the two calls below.
#include "platform/device_modes.h"

#include <cstdint>
#include <string>

namespace platform {

constexpr std::uint32_t kRegDword = 4;      // REG_DWORD
constexpr std::uint32_t kStartOnDemand = 3; // the driver loads when a device comes
constexpr std::uint32_t kStartDisabled = 4; // the driver never loads

// A Start value as the registry holds it, of any type and size, or none.
struct StartValue {
  bool present = false;
  std::uint32_t type = 0;
  std::string data;

  static StartValue dword(std::uint32_t value);
  bool operator==(const StartValue &other) const {
    return present == other.present && type == other.type && data == other.data;
  }
};

// Allowed for a REG_DWORD of 3 only: a value the program did not write
// (2 for a driver that starts with Windows, a string, odd bytes) shows as
// prohibited, so that Execute writes a mode the program knows.
DeviceMode modeOf(const StartValue &value);

class ServiceStartValues : public DeviceModes {
public:
  Status readMode(const DriverServices &services, DeviceMode *mode) final;
  ModeWrite writeMode(const DriverServices &services, DeviceMode mode) final;

protected:
  // The service's Start value, absent when its key has none; kFileNotFound
  // when the service has no key. *value is untouched on failure.
  virtual Status readStart(const char *service, StartValue *value) = 0;
  // Stores value as the service's Start, or deletes Start when value is
  // absent. Creates the key only when createKey; otherwise a missing key
  // fails with kFileNotFound.
  virtual Status writeStart(const char *service, const StartValue &value, bool createKey) = 0;

private:
  DeviceMode companionMode(const char *service);
};

} // namespace platform
