#pragma once
// Device modes in the real registry, under HKEY_LOCAL_MACHINE.
#include "platform/registry_device_modes.h"

namespace platform::win32 {

class Win32DeviceModes final : public RegistryDeviceModes {
protected:
  Status readStart(const char *service, RegistryValue *value) override;
  Status writeStart(const char *service, const RegistryValue &value, bool createKey) override;
  Status readRestriction(InstallRestriction *restriction) override;
  Status writeRestriction(RestrictionChange::Target target, const ValueName &entry,
                          const RegistryValue &value) override;
  Status readRecord(RestrictionRecord *record) override;
  Status writeRecord(const RestrictionRecord &record) override;
};

} // namespace platform::win32
