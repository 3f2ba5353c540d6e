#pragma once
// Device modes in the real registry, under HKEY_LOCAL_MACHINE.
#include "platform/service_start_values.h"

namespace platform::win32 {

class Win32DeviceModes final : public ServiceStartValues {
protected:
  Status readStart(const char *service, StartValue *value) override;
  Status writeStart(const char *service, const StartValue &value, bool createKey) override;
};

} // namespace platform::win32
