#pragma once
// The Start value of a driver service under
// HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services.
#include "platform/ansi_codec.h"
#include "platform/registry.h"

#include <cstdint>
#include <string>

namespace devices {

constexpr std::int32_t kStartOnDemand = 3; // the device may be used
constexpr std::int32_t kStartDisabled = 4; // the device is prohibited
constexpr std::int32_t kUnreadable = -1;
// What a present value reads as when it isn't a REG_DWORD of 0..255: no
// start mode we know, so the device shows as prohibited.
constexpr std::int32_t kNotAStartMode = 255;

class StartModeStore {
public:
  StartModeStore(platform::Registry &registry, const platform::AnsiCodec &codec)
      : registry_(registry), codec_(codec) {}

  // The service's start mode 0..255, or kUnreadable. Never creates a key.
  std::int32_t fncGetReg(const std::string &strKind);
  // Writes longValue as the service's REG_DWORD Start, creating the key if
  // needed; true when written.
  bool fncSaveReg(const std::string &strKind, std::int32_t longValue);
  // The Win32 error code of the last call that failed.
  long lastError() const { return lastError_; }

private:
  std::int32_t unreadable(long code) {
    lastError_ = code;
    return kUnreadable;
  }
  bool notWritten(long code) {
    lastError_ = code;
    return false;
  }

  platform::Registry &registry_;
  const platform::AnsiCodec &codec_;
  long lastError_ = 0;
};

} // namespace devices
