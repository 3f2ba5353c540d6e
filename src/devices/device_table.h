#pragma once
// The two devices, in the order they are read and written: floppy first.
#include <array>

namespace devices {

struct Device {
  const char *service; // the service name under ...\Services
  int allowedOption;   // index into the main window's Option1
  int prohibitedOption;
};

constexpr std::array<Device, 2> kDevices = {{
    {"Flpydisk", 0, 1},
    {"USBSTOR", 2, 3},
}};

inline constexpr const Device &kFloppy = kDevices[0];
inline constexpr const Device &kUsb = kDevices[1];

} // namespace devices
