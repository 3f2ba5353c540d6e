// Device modes in the services' Start values: what reads as which mode,
// and the write of a device that has two drivers, all or none.
#include "platform/sim/sim_device_modes.h"

#include <gtest/gtest.h>

namespace {

using platform::DeviceMode;
using platform::RegistryValue;

constexpr platform::DriverServices kUsb{"USBSTOR", "UASPStor"};
constexpr platform::DriverServices kFloppy{"Flpydisk"};

class DeviceModesTest : public ::testing::Test {
protected:
  platform::Status read(DeviceMode *mode) { return modes.readMode(kUsb, mode); }
  std::optional<DeviceMode> modeOfStored(RegistryValue value) {
    modes.install("USBSTOR", std::move(value));
    DeviceMode mode{};
    if (read(&mode) != platform::kDone)
      return std::nullopt;
    return mode;
  }

  sim::FaultPlan faults;
  sim::SimDeviceModes modes{faults};
};

TEST_F(DeviceModesTest, OnlyADwordOf3ReadsAsAllowed) {
  EXPECT_EQ(modeOfStored(RegistryValue::dword(3)), DeviceMode::Allowed);
  for (std::uint32_t other : {0u, 1u, 2u, 4u, 259u, 0xFFFFFFFFu})
    EXPECT_EQ(modeOfStored(RegistryValue::dword(other)), DeviceMode::Prohibited) << other;
  EXPECT_EQ(modeOfStored({true, 1, std::string("3\0", 2)}), DeviceMode::Prohibited) << "REG_SZ";
  EXPECT_EQ(modeOfStored({true, 3, std::string("\3\0\0\0", 4)}), DeviceMode::Prohibited)
      << "REG_BINARY";
  EXPECT_EQ(modeOfStored({true, 4, std::string("\3\0", 2)}), DeviceMode::Prohibited)
      << "a short DWORD";
  EXPECT_EQ(modeOfStored({true, 4, std::string(300, '\3')}), DeviceMode::Prohibited);
}

TEST_F(DeviceModesTest, AMissingKeyOrValueOrARefusedReadFailsWithItsCode) {
  DeviceMode mode = DeviceMode::Allowed;
  EXPECT_EQ(read(&mode), platform::kFileNotFound);
  EXPECT_FALSE(modes.installed("USBSTOR")) << "reading creates no key";
  modes.install("USBSTOR");
  EXPECT_EQ(read(&mode), platform::kFileNotFound) << "a key without Start";
  modes.putStart("USBSTOR", 4);
  faults.failNext("readStart(USBSTOR)", 5);
  EXPECT_EQ(read(&mode), 5u);
  EXPECT_EQ(mode, DeviceMode::Allowed) << "untouched on failure";
  modes.putStart("UASPStor", 3);
  modes.install("USBSTOR");
  EXPECT_EQ(read(&mode), platform::kFileNotFound) << "an allowed companion can't stand in";
}

TEST_F(DeviceModesTest, UsbIsProhibitedOnlyWhileEveryInstalledDriverIs) {
  struct Case {
    const char *what;
    std::uint32_t usbstor;
    std::optional<RegistryValue> uas; // nullopt: not installed
    DeviceMode shown;
  };
  const Case cases[] = {
      {"no UAS driver", 4, std::nullopt, DeviceMode::Prohibited},
      {"both prohibited", 4, RegistryValue::dword(4), DeviceMode::Prohibited},
      {"a write cut short, or a new UAS driver", 4, RegistryValue::dword(3), DeviceMode::Allowed},
      {"an odd USBSTOR", 2, RegistryValue::dword(3), DeviceMode::Allowed},
      {"USBSTOR allowed", 3, RegistryValue::dword(4), DeviceMode::Allowed},
      {"an odd UAS value is not 3", 4, RegistryValue::dword(2), DeviceMode::Prohibited},
      {"a UAS key without Start loads nothing", 4, RegistryValue{}, DeviceMode::Prohibited},
  };
  for (const Case &c : cases) {
    sim::FaultPlan plan;
    sim::SimDeviceModes world(plan);
    world.putStart("USBSTOR", c.usbstor);
    if (c.uas)
      world.install("UASPStor", *c.uas);
    DeviceMode mode{};
    EXPECT_EQ(world.readMode(kUsb, &mode), platform::kDone) << c.what;
    EXPECT_EQ(mode, c.shown) << c.what;
  }
}

TEST_F(DeviceModesTest, AnUnreadableUasDriverShowsUsbAllowedAndFailsNothing) {
  modes.putStart("USBSTOR", 4);
  modes.putStart("UASPStor", 4);
  faults.failNext("readStart(UASPStor)", 5);
  DeviceMode mode = DeviceMode::Prohibited;
  EXPECT_EQ(read(&mode), platform::kDone);
  EXPECT_EQ(mode, DeviceMode::Allowed) << "prohibited only where it can be shown";
  modes.putStart("Flpydisk", 4);
  EXPECT_EQ(modes.readMode(kFloppy, &mode), platform::kDone);
  EXPECT_EQ(mode, DeviceMode::Prohibited);
  EXPECT_EQ(faults.count("readStart(UASPStor)"), 1) << "the floppy has no companion to read";
}

TEST_F(DeviceModesTest, BothUsbDriversGetTheModeWhereBothAreInstalled) {
  modes.putStart("USBSTOR", 3);
  modes.putStart("UASPStor", 3);
  const platform::ModeWrite write = modes.writeMode(kUsb, DeviceMode::Prohibited);
  EXPECT_EQ(write.status, platform::kDone);
  EXPECT_EQ(write.written, (std::vector<const char *>{"USBSTOR", "UASPStor"}));
  EXPECT_EQ(modes.dword("USBSTOR"), 4u);
  EXPECT_EQ(modes.dword("UASPStor"), 4u);
  EXPECT_EQ(modes.writeMode(kUsb, DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(modes.dword("UASPStor"), 3u);
}

TEST_F(DeviceModesTest, WithoutTheUasDriverOnlyUsbstorIsWrittenAndNoKeyIsMade) {
  const platform::ModeWrite write = modes.writeMode(kUsb, DeviceMode::Prohibited);
  EXPECT_EQ(write.status, platform::kDone);
  EXPECT_EQ(write.written, (std::vector<const char *>{"USBSTOR"}));
  EXPECT_EQ(modes.dword("USBSTOR"), 4u) << "the main driver's key is made if need be";
  EXPECT_FALSE(modes.installed("UASPStor"));
}

TEST_F(DeviceModesTest, AFailingUasDriverPutsUsbstorBackExactlyAsItWas) {
  const RegistryValue odd{true, 1, std::string("3\0", 2)}; // whatever was there, type and all
  modes.install("USBSTOR", odd);
  modes.putStart("UASPStor", 3);
  faults.failNext("writeStart(UASPStor)", 5);
  const platform::ModeWrite write = modes.writeMode(kUsb, DeviceMode::Prohibited);
  EXPECT_EQ(write.status, 5u);
  EXPECT_STREQ(write.failedPart, "UASPStor");
  EXPECT_TRUE(write.written.empty());
  EXPECT_EQ(modes.start("USBSTOR"), odd);
  EXPECT_EQ(modes.dword("UASPStor"), 3u);

  modes.install("USBSTOR"); // a key without Start gets none back
  faults.failNext("writeStart(UASPStor)", 5);
  EXPECT_EQ(modes.writeMode(kUsb, DeviceMode::Prohibited).status, 5u);
  EXPECT_EQ(modes.start("USBSTOR"), RegistryValue{});
}

TEST_F(DeviceModesTest, APutBackThatFailsIsReportedAsStillWritten) {
  modes.putStart("USBSTOR", 3);
  modes.putStart("UASPStor", 3);
  faults.failNext("writeStart(UASPStor)", 5);
  faults.failCall("writeStart(USBSTOR)", 2, 1021);
  const platform::ModeWrite write = modes.writeMode(kUsb, DeviceMode::Prohibited);
  EXPECT_EQ(write.status, 5u) << "the first failure is the one reported";
  EXPECT_EQ(write.written, (std::vector<const char *>{"USBSTOR"}));
  EXPECT_EQ(modes.dword("USBSTOR"), 4u);
}

TEST_F(DeviceModesTest, AFailingMainDriverWritesNothingElse) {
  modes.putStart("USBSTOR", 3);
  modes.putStart("UASPStor", 3);
  faults.failNext("writeStart(USBSTOR)", 5);
  platform::ModeWrite write = modes.writeMode(kUsb, DeviceMode::Prohibited);
  EXPECT_EQ(write.status, 5u);
  EXPECT_STREQ(write.failedPart, "USBSTOR");
  EXPECT_EQ(faults.count("writeStart(UASPStor)"), 0);
  faults.failNext("readStart(USBSTOR)", 5); // its old value can't be kept for a put-back
  write = modes.writeMode(kUsb, DeviceMode::Prohibited);
  EXPECT_EQ(write.status, 5u);
  EXPECT_EQ(modes.dword("USBSTOR"), 3u);
  EXPECT_EQ(modes.dword("UASPStor"), 3u);
}

TEST_F(DeviceModesTest, ADeviceWithOneDriverIsWrittenWithoutReadingIt) {
  const platform::ModeWrite write = modes.writeMode(kFloppy, DeviceMode::Allowed);
  EXPECT_EQ(write.status, platform::kDone);
  EXPECT_EQ(write.written, (std::vector<const char *>{"Flpydisk"}));
  EXPECT_EQ(modes.dword("Flpydisk"), 3u);
  EXPECT_EQ(faults.calls(), (std::vector<std::string>{"writeStart(Flpydisk)"}));
}

} // namespace
