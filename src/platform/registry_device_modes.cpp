#include "platform/registry_device_modes.h"

#include <optional>

namespace platform {

using Target = RestrictionChange::Target;

// What one write has made so far and what it replaced, for the put-back and
// for telling afterwards what still holds the new mode: the services' old
// Start values in the order written; the install restriction as it was, the
// changes made to it, and the program's record as it was where the put-back
// must write it again.
struct RegistryDeviceModes::Progress {
  std::pair<const char *, RegistryValue> oldStarts[2];
  std::size_t startsMade = 0;
  InstallRestriction restrictionBefore;
  std::vector<RestrictionChange> restrictionMade;
  std::optional<RestrictionRecord> recordToRestore;
  // The keys were as the record's marks say when this write began: every
  // write there since is this one's, and a put-back may mark them anew.
  bool marksHeld = false;
  std::vector<const char *> written;
  unsigned leftOn = 0;
  bool refusedByOthers = false;
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

Status RegistryDeviceModes::readMissingRestriction(const DriverServices &services,
                                                   unsigned *missing) {
  InstallRestriction now;
  if (!services.deniedDeviceId) {
    *missing = 0; // nothing to be in force
    return kDone;
  }
  if (const Status status = readRestriction(&now); status != kDone)
    return status;
  *missing = missingParts(now, services.deniedDeviceId);
  return kDone;
}

// The main service, then the companion where it is installed. A
// prohibiting write puts the install restriction in force before them, so
// that no moment shows the device prohibited by its Start values alone; an
// allowing one takes back the program's part of it after them, so that a
// write cut off leaves new devices refused. Should a part fail, those before
// it get their old values back, newest first, and what still holds the new
// mode is read from the registry again.
ModeWrite RegistryDeviceModes::writeMode(const DriverServices &services, DeviceMode mode) {
  const bool allowed = mode == DeviceMode::Allowed;
  const RegistryValue fresh = RegistryValue::dword(allowed ? kStartOnDemand : kStartDisabled);
  const char *const restriction = services.deniedDeviceId;
  Progress progress;
  Status status = kDone;
  const bool restrictionLast = restriction && allowed;
  const char *part = restriction;
  if (restriction && !allowed)
    status = denyInstall(restriction, progress);
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
    status = liftInstall(restriction, progress);
  }
  if (status == kDone)
    return {kDone, nullptr, progress.written, progress.leftOn, progress.refusedByOthers};
  takeBack(progress, !allowed);
  return {status, part, stillWritten(progress, restriction, !allowed)};
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

Status RegistryDeviceModes::readRestrictionAndRecord(Progress &progress, InstallRestriction *now,
                                                     RestrictionRecord *record) {
  Status status = readRestriction(now);
  if (status == kDone)
    status = readRecord(record);
  progress.restrictionBefore = *now;
  progress.marksHeld = record->marks == now->written;
  return status;
}

Status RegistryDeviceModes::makeChange(const RestrictionChange &change, Progress &progress) {
  const Status status = writeRestriction(change.target, change.entry, change.after);
  if (status == kDone)
    progress.restrictionMade.push_back(change);
  return status;
}

// The record claims what is about to be added before it is, and is marked
// once it is: a write cut off in between leaves claims without marks, which
// the take-back checks by content alone. A restriction already in force
// writes nothing, the record included, so that its marks still tell a
// refresh since from the program's own write.
Status RegistryDeviceModes::denyInstall(const char *deviceId, Progress &progress) {
  InstallRestriction now;
  RestrictionRecord record;
  if (const Status status = readRestrictionAndRecord(progress, &now, &record))
    return status;
  const DenyPlan plan = planDeny(now, record, deviceId);
  if (!plan.changes.empty()) {
    progress.recordToRestore = record;
    Status status = writeRecord(plan.record);
    for (std::size_t i = 0; i < plan.changes.size() && status == kDone; ++i)
      status = makeChange(plan.changes[i], progress);
    if (status != kDone)
      return status;
    markRecord(plan.record);
  }
  progress.written.push_back(deviceId); // in force, whoever's entry holds it
  return kDone;
}

// What someone else has written since is left on, and said. The record
// first claims only what is being taken back, without marks, so that a
// take-back cut off is finished by content; then only what is left. The list
// key goes as far as it can: an empty list denies nothing, and a key that
// can't be deleted (a subkey below it) must not undo the rest. Where the last
// record write fails, it names parts that are gone, which the next take-back
// counts as taken back. An empty record is written too: a prohibiting write
// killed just after it made the record's key leaves the key without values.
Status RegistryDeviceModes::liftInstall(const char *deviceId, Progress &progress) {
  InstallRestriction now;
  RestrictionRecord record;
  if (const Status status = readRestrictionAndRecord(progress, &now, &record))
    return status;
  const LiftPlan plan = planLift(now, record, deviceId);
  progress.leftOn = plan.leftOn;
  progress.refusedByOthers = plan.refusedByOthers;
  if (!plan.changes.empty()) {
    progress.recordToRestore = record;
    if (const Status status = writeRecord(plan.taking))
      return status;
  }
  RestrictionRecord left = plan.record;
  for (const RestrictionChange &change : plan.changes) {
    Status status = makeChange(change, progress);
    if (status == kFileNotFound && change.target == Target::Entry)
      status = confirmGone(change.entry, deviceId);
    if (status != kDone && change.target == Target::ListKey)
      left.createdList = true; // still there, and still the program's
    else if (status != kDone)
      return status;
  }
  if (!(left == record) || left.empty()) // a key a kill left empty goes too
    writeRecord(left);
  if (!progress.restrictionMade.empty())
    progress.written.push_back(deviceId);
  return kDone;
}

// A delete that found no entry: done if reading the list again finds none
// of that name holding the ID.
Status RegistryDeviceModes::confirmGone(const ValueName &entry, const char *deviceId) {
  InstallRestriction again;
  if (const Status status = readRestriction(&again))
    return status;
  return entryHolds(again, entry, deviceId) ? kFileNotFound : kDone;
}

// Best effort: a record without marks is checked by content alone.
void RegistryDeviceModes::markRecord(RestrictionRecord record) {
  InstallRestriction now;
  if (readRestriction(&now) != kDone)
    return;
  record.marks = now.written;
  writeRecord(record);
}

// Newest first. The record goes back after the restriction, so that it
// claims at least what is there at every moment, and only when all of it
// went back; where only this write had written there since the record was
// marked, it is marked anew.
void RegistryDeviceModes::takeBack(Progress &progress, bool restrictionFirst) {
  auto restriction = [&] {
    bool allBack = true;
    for (std::size_t i = progress.restrictionMade.size(); i-- > 0;) {
      const RestrictionChange &change = progress.restrictionMade[i];
      allBack = writeRestriction(change.target, change.entry, change.before) == kDone && allBack;
    }
    if (!progress.recordToRestore || !allBack)
      return;
    if (progress.marksHeld)
      markRecord(*progress.recordToRestore);
    else
      writeRecord(*progress.recordToRestore);
  };
  if (!restrictionFirst)
    restriction();
  for (std::size_t i = progress.startsMade; i-- > 0;)
    writeStart(progress.oldStarts[i].first, progress.oldStarts[i].second, false);
  if (restrictionFirst)
    restriction();
}

// The parts that differ from what they were, in the order they were
// written; one that can't be read can't be shown to be back.
std::vector<const char *> RegistryDeviceModes::stillWritten(const Progress &progress,
                                                            const char *deviceId,
                                                            bool restrictionFirst) {
  std::vector<const char *> parts;
  auto restriction = [&] {
    InstallRestriction now;
    if (!progress.restrictionMade.empty() &&
        (readRestriction(&now) != kDone || !(now == progress.restrictionBefore)))
      parts.push_back(deviceId);
  };
  if (restrictionFirst)
    restriction();
  for (std::size_t i = 0; i < progress.startsMade; ++i) {
    const auto &[service, old] = progress.oldStarts[i];
    RegistryValue now;
    if (readStart(service, &now) != kDone || !(now == old))
      parts.push_back(service);
  }
  if (!restrictionFirst)
    restriction();
  return parts;
}

} // namespace platform
