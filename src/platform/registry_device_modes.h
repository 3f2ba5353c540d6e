#pragma once
// Device modes kept in the registry: the Start values of the driver
// services, which value reads as which mode, and, where a device has one, the
// device installation restriction that keeps a new device's driver install
// from setting Start back to 3. Writes are all or none, with put-back. How a
// value reaches the registry is left to the calls below.
#include "platform/device_modes.h"
#include "platform/install_restriction.h"
#include "platform/registry_value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

constexpr std::uint32_t kStartOnDemand = 3; // the driver loads when a device comes
constexpr std::uint32_t kStartDisabled = 4; // the driver never loads

// Allowed for a REG_DWORD of 3 only: a value the program did not write
// (2 for a driver that starts with Windows, a string, odd bytes) shows as
// prohibited, so that Execute writes a mode the program knows.
DeviceMode modeOf(const RegistryValue &value);

class RegistryDeviceModes : public DeviceModes {
public:
  Status readMode(const DriverServices &services, DeviceMode *mode) final;
  Status readMissingRestriction(const DriverServices &services, unsigned *missing) final;
  ModeWrite writeMode(const DriverServices &services, DeviceMode mode) final;

protected:
  // The service's Start value, absent when its key has none; kFileNotFound
  // when the service has no key. *value is untouched on failure.
  virtual Status readStart(const char *service, RegistryValue *value) = 0;
  // Stores value as the service's Start, or deletes Start when value is
  // absent. Creates the key only when createKey; otherwise a missing key
  // fails with kFileNotFound.
  virtual Status writeStart(const char *service, const RegistryValue &value, bool createKey) = 0;
  // The restriction as the registry holds it, with its keys' write times;
  // missing keys read as no switch and no list. *restriction is untouched on
  // failure.
  virtual Status readRestriction(InstallRestriction *restriction) = 0;
  // Gives one part of the restriction the value, or deletes it when the
  // value is absent: the switch (creating the keys above it), an entry
  // (kFileNotFound when the list key or, to be deleted, the entry is
  // missing), or the list key itself (created empty, or deleted while it
  // holds no values). Deleting a switch or a list key that is not there
  // succeeds.
  virtual Status writeRestriction(RestrictionChange::Target target, const ValueName &entry,
                                  const RegistryValue &value) = 0;
  // The program's record of what it added; none reads as an empty record.
  // *record is untouched on failure.
  virtual Status readRecord(RestrictionRecord *record) = 0;
  // Replaces the record, or removes it when it is empty. Claims and marks
  // are written so that a write cut off anywhere leaves a record without
  // marks whose claims are the old ones or the new ones, or both.
  virtual Status writeRecord(const RestrictionRecord &record) = 0;

private:
  struct Progress;
  DeviceMode companionMode(const char *service);
  Status changeStart(const char *service, const RegistryValue &fresh, bool isMain, bool keepOld,
                     Progress &progress);
  Status denyInstall(const char *deviceId, Progress &progress);
  Status liftInstall(const char *deviceId, Progress &progress);
  Status readRestrictionAndRecord(Progress &progress, InstallRestriction *now,
                                  RestrictionRecord *record);
  Status makeChange(const RestrictionChange &change, Progress &progress);
  Status confirmGone(const ValueName &entry, const char *deviceId);
  void markRecord(RestrictionRecord record);
  void takeBack(Progress &progress, bool restrictionFirst);
  std::vector<const char *> stillWritten(const Progress &progress, const char *deviceId,
                                         bool restrictionFirst);
};

} // namespace platform
