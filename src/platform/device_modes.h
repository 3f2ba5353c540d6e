#pragma once
// Whether a device may be used, as the Start values of its driver services
// under HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services say it.
#include "platform/status.h"

#include <vector>

namespace platform {

enum class DeviceMode { Allowed, Prohibited };

// The driver services behind one device. The main one says whether the
// device may be used and is written whether or not its key is there; the
// companion, when a device has one, is written only where it is installed.
struct DriverServices {
  const char *main;
  const char *companion = nullptr;
};

// What a write did.
struct ModeWrite {
  Status status = kDone;
  const char *failedService = nullptr; // the service whose write failed
  // The services that hold the new mode now: all that are installed when
  // the write succeeded; after a failure, none, unless one could not be put
  // back.
  std::vector<const char *> written;
};

class DeviceModes {
public:
  virtual ~DeviceModes() = default;
  // Prohibited when the main service's Start is any value but 3 and the
  // companion is not installed or prohibited too; otherwise Allowed. Fails
  // only when the main service's key or value is missing or can't be read;
  // never creates a key.
  virtual Status readMode(const DriverServices &services, DeviceMode *mode) = 0;
  // Writes the mode to every installed service of the device, all or none:
  // when one fails, those written before it get their old value back.
  virtual ModeWrite writeMode(const DriverServices &services, DeviceMode mode) = 0;
};

} // namespace platform
