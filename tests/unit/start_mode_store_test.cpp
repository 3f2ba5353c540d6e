#include "devices/start_mode_store.h"
#include "platform/sim/cp932_codec.h"
#include "platform/sim/sim_registry.h"

#include <gtest/gtest.h>

namespace {

constexpr char kUsbKey[] = "SYSTEM\\CurrentControlSet\\Services\\USBSTOR";

class StartModeStoreTest : public ::testing::Test {
protected:
  sim::FaultPlan faults;
  sim::SimRegistry registry{faults};
  sim::Cp932Codec codec;
  devices::StartModeStore store{registry, codec};

  void putRaw(std::uint32_t type, std::vector<std::uint8_t> data) {
    registry.putValue(kUsbKey, "Start", sim::RegValue{type, std::move(data)});
  }
};

TEST_F(StartModeStoreTest, ReadsDwordStartModesAsTheyAre) {
  for (std::uint32_t mode : {0u, 2u, 3u, 4u, 255u}) {
    registry.putDword(kUsbKey, "Start", mode);
    EXPECT_EQ(store.fncGetReg("USBSTOR"), static_cast<std::int32_t>(mode)) << mode;
  }
  EXPECT_EQ(registry.openHandles(), 0u);
}

TEST_F(StartModeStoreTest, ValuesThatAreNoStartModeReadAs255) {
  registry.putDword(kUsbKey, "Start", 259); // low byte 3: must not pass for "allowed"
  EXPECT_EQ(store.fncGetReg("USBSTOR"), 255);
  registry.putDword(kUsbKey, "Start", 0xFFFFFFFF);
  EXPECT_EQ(store.fncGetReg("USBSTOR"), 255);
  putRaw(platform::kRegSz, {'3', 0});
  EXPECT_EQ(store.fncGetReg("USBSTOR"), 255);
  putRaw(platform::kRegBinary, {3, 0, 0, 0});
  EXPECT_EQ(store.fncGetReg("USBSTOR"), 255);
  putRaw(platform::kRegDword, {});
  EXPECT_EQ(store.fncGetReg("USBSTOR"), 255);
  putRaw(platform::kRegDword, {3, 0});
  EXPECT_EQ(store.fncGetReg("USBSTOR"), 255);
  putRaw(platform::kRegBinary, std::vector<std::uint8_t>(300, 3)); // larger than the buffer
  EXPECT_EQ(store.fncGetReg("USBSTOR"), 255);
  EXPECT_EQ(registry.openHandles(), 0u);
}

TEST_F(StartModeStoreTest, MissingKeyReadsAsUnreadableAndIsNotCreated) {
  EXPECT_EQ(store.fncGetReg("USBSTOR"), -1);
  EXPECT_FALSE(registry.hasKey(kUsbKey));
  EXPECT_EQ(faults.count("RegCreateKeyEx"), 0);
}

TEST_F(StartModeStoreTest, KeyWithoutStartValueReadsAsUnreadable) {
  registry.addKey(kUsbKey);
  EXPECT_EQ(store.fncGetReg("USBSTOR"), -1);
  EXPECT_EQ(registry.openHandles(), 0u);
}

TEST_F(StartModeStoreTest, EachFailingRegistryCallOfAReadGivesUnreadable) {
  registry.putDword(kUsbKey, "Start", 3);
  faults.failCall("RegOpenKeyEx", 1, platform::kRegAccessDenied);
  EXPECT_EQ(store.fncGetReg("USBSTOR"), -1);
  faults.failCall("RegQueryValueEx", 1, platform::kRegAccessDenied);
  EXPECT_EQ(store.fncGetReg("USBSTOR"), -1);
  EXPECT_EQ(registry.openHandles(), 0u) << "the key is closed after a failed query";
  faults.failCall("RegCloseKey", 2, platform::kRegInvalidHandle);
  EXPECT_EQ(store.fncGetReg("USBSTOR"), 3) << "a failed close doesn't spoil a good read";
}

TEST_F(StartModeStoreTest, WriteCreatesMissingKeyWithDword) {
  ASSERT_TRUE(store.fncSaveReg("Flpydisk", 4));
  EXPECT_EQ(registry.dword("SYSTEM\\CurrentControlSet\\Services\\Flpydisk", "Start"), 4u);
  EXPECT_EQ(store.fncGetReg("Flpydisk"), 4);
  EXPECT_EQ(registry.openHandles(), 0u);
}

TEST_F(StartModeStoreTest, WriteReplacesAnyOldValueAndLeavesOthersAlone) {
  putRaw(platform::kRegSz, {'3', 0});
  registry.putDword(kUsbKey, "Type", 1);
  ASSERT_TRUE(store.fncSaveReg("USBSTOR", 3));
  EXPECT_EQ(registry.value(kUsbKey, "Start")->type, platform::kRegDword);
  EXPECT_EQ(store.fncGetReg("USBSTOR"), 3);
  EXPECT_EQ(registry.dword(kUsbKey, "Type"), 1u);
}

TEST_F(StartModeStoreTest, FailedWriteKeepsThePreviousValue) {
  registry.putDword(kUsbKey, "Start", 3);
  faults.failCall("RegCreateKeyEx", 1, platform::kRegAccessDenied);
  EXPECT_FALSE(store.fncSaveReg("USBSTOR", 4));
  faults.failCall("RegSetValueEx", 1, platform::kRegAccessDenied);
  EXPECT_FALSE(store.fncSaveReg("USBSTOR", 4));
  EXPECT_EQ(registry.dword(kUsbKey, "Start"), 3u);
  EXPECT_EQ(registry.openHandles(), 0u);
}

TEST_F(StartModeStoreTest, ServiceNameOutsideTheCodePageIsRefusedWithoutTouchingTheRegistry) {
  EXPECT_EQ(store.fncGetReg("USB\xF0\x9F\x98\x80"), -1);
  EXPECT_FALSE(store.fncSaveReg("USB\xF0\x9F\x98\x80", 4));
  EXPECT_TRUE(faults.calls().empty());
  EXPECT_EQ(store.lastError(), 1113) << "ERROR_NO_UNICODE_TRANSLATION";
}

TEST_F(StartModeStoreTest, LastErrorIsTheCodeOfTheRegistryCallThatFailed) {
  EXPECT_EQ(store.fncGetReg("USBSTOR"), -1);
  EXPECT_EQ(store.lastError(), 2) << "no key";
  registry.putDword(kUsbKey, "Start", 3);
  faults.failNext("RegQueryValueEx", 1018);
  EXPECT_EQ(store.fncGetReg("USBSTOR"), -1);
  EXPECT_EQ(store.lastError(), 1018);
  faults.failNext("RegCreateKeyEx", 5);
  EXPECT_FALSE(store.fncSaveReg("USBSTOR", 4));
  EXPECT_EQ(store.lastError(), 5);
  faults.failNext("RegSetValueEx", 1021);
  EXPECT_FALSE(store.fncSaveReg("USBSTOR", 4));
  EXPECT_EQ(store.lastError(), 1021);
}

} // namespace
