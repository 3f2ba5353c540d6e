#pragma once
// Whether a device may be used, as the Start values of its driver services
// under HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services say it, and
// for a device Windows may install anew, whether its install is refused.
#include "platform/status.h"

#include <vector>

namespace platform {

enum class DeviceMode { Allowed, Prohibited };

// The driver services behind one device. The main one says whether the
// device may be used and is written whether or not its key is there; the
// companion, when a device has one, is written only where it is installed.
// Windows installs a driver for each new device of a kind the first time it
// comes, and that install sets the service's Start back to 3; where a device
// names the ID every one of its kind carries, a prohibited device's ID is
// also put in Windows' list of devices whose install is refused.
struct DriverServices {
  const char *main;
  const char *companion = nullptr;
  const char *deniedDeviceId = nullptr;
};

// The parts of an install restriction: its entry for the device's ID in the
// list, and the switch that turns the list on.
enum RestrictionPart : unsigned { kEntryPart = 1, kSwitchPart = 2 };

// What a write did.
struct ModeWrite {
  Status status = kDone;
  // The service whose write failed, or the denied device ID when the
  // install restriction's did.
  const char *failedPart = nullptr;
  // The parts that hold the new mode now, services by name and the install
  // restriction by its device ID: all that are installed, in the order they
  // were written, when the write succeeded; after a failure, none, unless
  // one could not be put back.
  std::vector<const char *> written;
  // After allowing a device with an install restriction: the parts of the
  // program's own restriction left on because someone else has written
  // them since (RestrictionPart bits), and whether new devices stay refused
  // by an entry that is not the program's.
  unsigned leftOn = 0;
  bool refusedByOthers = false;
};

class DeviceModes {
public:
  virtual ~DeviceModes() = default;
  // Prohibited when the main service's Start is any value but 3 and the
  // companion is not installed or prohibited too; otherwise Allowed. Fails
  // only when the main service's key or value is missing or can't be read;
  // never creates a key.
  virtual Status readMode(const DriverServices &services, DeviceMode *mode) = 0;
  // For a device with an install restriction: the parts not in force
  // (RestrictionPart bits; 0 when it is in force). *missing is untouched on
  // failure.
  virtual Status readMissingRestriction(const DriverServices &services, unsigned *missing) = 0;
  // Writes the mode to every installed service of the device, and puts its
  // install restriction in force or takes back what the program added of it,
  // all or none: when one part fails, those written before it get their old
  // value back.
  virtual ModeWrite writeMode(const DriverServices &services, DeviceMode mode) = 0;
};

} // namespace platform
