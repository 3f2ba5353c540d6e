#include "platform/registry_device_modes.h"

#include <algorithm>

namespace platform {

// What one write has made so far and what it replaced, for the put-back:
// the services' old Start values in the order written, and the changes of
// the install restriction, of which the first `restrictionMade` were made.
struct RegistryDeviceModes::Progress {
  std::pair<const char *, RegistryValue> oldStarts[2];
  std::size_t startsMade = 0;
  std::vector<RestrictionChange> restriction;
  std::size_t restrictionMade = 0;
  std::vector<const char *> written;
};

DeviceMode modeOf(const RegistryValue &value) {
  return value == RegistryValue::dword(kStartOnDemand) ? DeviceMode::Allowed
                                                       : DeviceMode::Prohibited;
}

// A device is prohibited only when every driver of it that is installed is:
// a companion left at 3 by a write that never finished, or installed by
// Windows with 3 when its first drive came after the main one was
// prohibited, lets those drives work, and the window must say so. Only the
// main service's read can fail the whole.
Status RegistryDeviceModes::readMode(const DriverServices &services, DeviceMode *mode) {
  RegistryValue value;
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
DeviceMode RegistryDeviceModes::companionMode(const char *service) {
  RegistryValue value;
  const Status status = readStart(service, &value);
  if (status == kFileNotFound)
    return DeviceMode::Prohibited;
  return status == kDone ? modeOf(value) : DeviceMode::Allowed;
}

// The main service, then the companion where it is installed. The window
// shows a device by its services' Start values alone, so a prohibiting write
// puts the install restriction in force before them and an allowing one
// lifts it after them: a write cut off anywhere leaves the device shown
// allowed, never shown prohibited while a new device's install would undo
// it, and the next Execute completes it. Should a part fail, those before it
// get their old values back, newest first.
ModeWrite RegistryDeviceModes::writeMode(const DriverServices &services, DeviceMode mode) {
  const bool allowed = mode == DeviceMode::Allowed;
  const RegistryValue fresh = RegistryValue::dword(allowed ? kStartOnDemand : kStartDisabled);
  const char *const restriction = services.deniedDeviceId;
  const bool restrictionLast = restriction && allowed;
  Progress progress;
  Status status = kDone;
  const char *part = restriction;
  if (restriction && !allowed)
    status = changeRestriction(restriction, mode, progress);
  if (status == kDone) {
    part = services.main;
    status = changeStart(part, fresh, true, services.companion || restrictionLast, progress);
  }
  if (status == kDone && services.companion) {
    part = services.companion;
    status = changeStart(part, fresh, false, restrictionLast, progress);
  }
  if (status == kDone && restrictionLast) {
    part = restriction;
    status = changeRestriction(restriction, mode, progress);
  }
  if (status == kDone)
    return {kDone, nullptr, progress.written};
  return {status, part, takeBack(progress, restriction, restrictionLast)};
}

// Writes a service's Start, keeping its old value where a later part may
// need it put back. Only the main service is written where its key is
// missing; a companion without a key is not installed and is left alone.
Status RegistryDeviceModes::changeStart(const char *service, const RegistryValue &fresh,
                                        bool isMain, bool keepOld, Progress &progress) {
  RegistryValue old;
  if (keepOld) {
    const Status status = readStart(service, &old);
    if (status == kFileNotFound && !isMain)
      return kDone;
    if (status != kDone && status != kFileNotFound) // a missing key has nothing to put back
      return status;
  }
  const Status status = writeStart(service, fresh, isMain);
  if (status == kFileNotFound && !isMain)
    return kDone;
  if (status != kDone)
    return status;
  progress.oldStarts[progress.startsMade++] = {service, old};
  progress.written.push_back(service);
  return kDone;
}

Status RegistryDeviceModes::changeRestriction(const char *deviceId, DeviceMode mode,
                                              Progress &progress) {
  InstallRestriction now;
  if (const Status status = readRestriction(&now); status != kDone)
    return status;
  progress.restriction =
      mode == DeviceMode::Prohibited ? changesToDeny(now, deviceId) : changesToLift(now, deviceId);
  for (const RestrictionChange &change : progress.restriction) {
    if (const Status status = writeRestriction(change.target, change.entry, change.after);
        status != kDone)
      return status;
    ++progress.restrictionMade;
  }
  // In force, it is named; lifted, only where there was something to lift.
  if (mode == DeviceMode::Prohibited || !progress.restriction.empty())
    progress.written.push_back(deviceId);
  return kDone;
}

// Puts back what the write made, newest first; returns the parts that keep
// the new mode because a put-back failed.
std::vector<const char *> RegistryDeviceModes::takeBack(Progress &progress, const char *deviceId,
                                                        bool restrictionLast) {
  std::vector<const char *> kept;
  auto keep = [&](const char *part) {
    if (std::find(kept.begin(), kept.end(), part) == kept.end())
      kept.push_back(part);
  };
  auto takeBackRestriction = [&] {
    while (progress.restrictionMade > 0) {
      const RestrictionChange &change = progress.restriction[--progress.restrictionMade];
      if (writeRestriction(change.target, change.entry, change.before) != kDone)
        keep(deviceId);
    }
  };
  if (restrictionLast)
    takeBackRestriction();
  while (progress.startsMade > 0) {
    const auto &[service, old] = progress.oldStarts[--progress.startsMade];
    if (writeStart(service, old, false) != kDone)
      keep(service);
  }
  takeBackRestriction();
  return kept;
}

} // namespace platform
