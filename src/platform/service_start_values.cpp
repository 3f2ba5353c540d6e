#include "platform/service_start_values.h"

namespace platform {

StartValue StartValue::dword(std::uint32_t value) {
  std::string data(4, '\0');
  for (std::size_t i = 0; i < 4; ++i) // REG_DWORD is little-endian
    data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return {true, kRegDword, data};
}

DeviceMode modeOf(const StartValue &value) {
  return value == StartValue::dword(kStartOnDemand) ? DeviceMode::Allowed : DeviceMode::Prohibited;
}

// A device is prohibited only when every driver of it that is installed is:
// a companion left at 3 by a write that never finished, or installed by
// Windows with 3 when its first drive came after the main one was
// prohibited, lets those drives work, and the window must say so. Only the
// main service's read can fail the whole.
Status ServiceStartValues::readMode(const DriverServices &services, DeviceMode *mode) {
  StartValue value;
  if (const Status status = readStart(services.main, &value); status != kDone)
    return status;
  if (!value.present)
    return kFileNotFound; // as RegQueryValueEx says of a missing value
  *mode = modeOf(value);
  if (*mode == DeviceMode::Prohibited && services.companion)
    *mode = companionMode(services.companion);
  return kDone;
}

// Not installed, it lets nothing through; installed, its Start decides (a
// key without Start loads no driver); unreadable, it can't be shown to be
// prohibited.
DeviceMode ServiceStartValues::companionMode(const char *service) {
  StartValue value;
  const Status status = readStart(service, &value);
  if (status == kFileNotFound)
    return DeviceMode::Prohibited;
  return status == kDone ? modeOf(value) : DeviceMode::Allowed;
}

// The main service first, then the companion where it is installed; should
// the companion fail, the main one gets its old value back, so the device
// is left as it was.
ModeWrite ServiceStartValues::writeMode(const DriverServices &services, DeviceMode mode) {
  const StartValue fresh =
      StartValue::dword(mode == DeviceMode::Allowed ? kStartOnDemand : kStartDisabled);
  StartValue old;
  if (services.companion) {
    const Status status = readStart(services.main, &old);
    if (status != kDone && status != kFileNotFound) // a missing key has nothing to put back
      return {status, services.main, {}};
  }
  if (const Status status = writeStart(services.main, fresh, true); status != kDone)
    return {status, services.main, {}};
  if (!services.companion)
    return {kDone, nullptr, {services.main}};

  const Status status = writeStart(services.companion, fresh, false);
  if (status == kFileNotFound) // not installed on this PC
    return {kDone, nullptr, {services.main}};
  if (status == kDone)
    return {kDone, nullptr, {services.main, services.companion}};
  ModeWrite failed{status, services.companion, {}};
  if (writeStart(services.main, old, false) != kDone)
    failed.written.push_back(services.main);
  return failed;
}

} // namespace platform
