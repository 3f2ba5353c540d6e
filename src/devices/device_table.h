#pragma once
// The two devices, in the order they are read and written: floppy first.
// USB storage has two inbox drivers: USBSTOR for drives that speak
// Bulk-Only Transport, and since Windows 8 UASPStor for USB Attached SCSI
// (most USB 3 SSDs and enclosures); Windows 7 has no UASPStor. USB shows as
// prohibited only while every one of them that is installed is. Every USB
// mass-storage interface, Bulk-Only and UAS alike, carries the compatible ID
// USB\Class_08: while USB is prohibited Windows is told to install no device
// that has it, so that a drive the PC has never seen can't bring its driver
// back. A floppy drive needs none: the internal one is installed with
// Windows, and a USB one is USB mass storage.
#include "platform/device_modes.h"

#include <array>

namespace devices {

struct Device {
  const char *name; // the caption of its frame, and its name in the audit trail
  platform::DriverServices services;
  int allowedOption; // index of the main window's option buttons
  int prohibitedOption;
  const char *writeFailed; // the error when its mode can't be written
};

constexpr std::array<Device, 2> kDevices = {{
    {"フロッピー", {"Flpydisk"}, 0, 1, "設定が出来ませんでした。(003)"},
    {"ＵＳＢ", {"USBSTOR", "UASPStor", "USB\\Class_08"}, 2, 3, "設定が出来ませんでした。(004)"},
}};

} // namespace devices
