// Device modes against the real registry of the test prefix.
#include "platform/win32/win32_device_modes.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>

namespace {

using namespace testsupport;
using platform::DeviceMode;

constexpr char kMain[] = "KestrovaProbe";
constexpr char kCompanion[] = "KestrovaProbeUas";
constexpr platform::DriverServices kProbe{kMain, kCompanion};

class DeviceModesWin32 : public ::testing::Test {
protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    deleteKey(kMain);
    deleteKey(kCompanion);
  }
  std::optional<DeviceMode> read() {
    DeviceMode mode{};
    if (modes.readMode(kProbe, &mode) != platform::kDone)
      return std::nullopt;
    return mode;
  }

  platform::win32::Win32DeviceModes modes;
};

TEST_F(DeviceModesWin32, ReadsTheMainDriversStartAndOnly3IsAllowed) {
  putStart(kMain, 3);
  EXPECT_EQ(read(), DeviceMode::Allowed);
  for (DWORD other : {2u, 4u, 259u}) {
    putStart(kMain, other);
    EXPECT_EQ(read(), DeviceMode::Prohibited) << other;
  }
  putValue(kMain, REG_SZ, {'3', 0});
  EXPECT_EQ(read(), DeviceMode::Prohibited);
  putValue(kMain, REG_BINARY, std::vector<BYTE>(300, 3));
  EXPECT_EQ(read(), DeviceMode::Prohibited);
}

// A missing companion key must read as not installed, not as a failure that
// would show the device allowed on every PC without it.
TEST_F(DeviceModesWin32, TheCompanionCountsOnlyWhereItIsInstalled) {
  putStart(kMain, 4);
  EXPECT_EQ(read(), DeviceMode::Prohibited);
  EXPECT_FALSE(keyExists(kCompanion));
  putStart(kCompanion, 3);
  EXPECT_EQ(read(), DeviceMode::Allowed);
  putStart(kCompanion, 4);
  EXPECT_EQ(read(), DeviceMode::Prohibited);
}

TEST_F(DeviceModesWin32, AMissingKeyOrStartFailsAndNoKeyIsMade) {
  DeviceMode mode{};
  EXPECT_EQ(modes.readMode(kProbe, &mode), static_cast<platform::Status>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(keyExists(kMain));
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kServices) + kMain).c_str(), 0, nullptr, 0,
                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(modes.readMode(kProbe, &mode), static_cast<platform::Status>(ERROR_FILE_NOT_FOUND));
}

TEST_F(DeviceModesWin32, WritesBothDriversWhereBothAreInstalledAndOnlyTheMainOneOtherwise) {
  platform::ModeWrite write = modes.writeMode(kProbe, DeviceMode::Prohibited);
  EXPECT_EQ(write.status, platform::kDone);
  EXPECT_EQ(startValue(kMain), std::optional<DWORD>(4)) << "the main driver's key is made";
  EXPECT_FALSE(keyExists(kCompanion));
  putStart(kCompanion, 3);
  write = modes.writeMode(kProbe, DeviceMode::Prohibited);
  EXPECT_EQ(write.written.size(), 2u);
  EXPECT_EQ(startValue(kCompanion), std::optional<DWORD>(4));
  ASSERT_EQ(modes.writeMode(kProbe, DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(startValue(kMain), std::optional<DWORD>(3));
  EXPECT_EQ(startValue(kCompanion), std::optional<DWORD>(3));
}

TEST_F(DeviceModesWin32, ACompanionThatRefusesTheWritePutsTheMainOneBack) {
  putValue(kMain, REG_SZ, {'3', 0});
  putStart(kCompanion, 3);
  if (!denySetValue(kCompanion))
    GTEST_SKIP() << "this registry keeps no rules on keys";
  const platform::ModeWrite write = modes.writeMode(kProbe, DeviceMode::Prohibited);
  allowSetValue(kCompanion);
  EXPECT_EQ(write.status, static_cast<platform::Status>(ERROR_ACCESS_DENIED));
  EXPECT_STREQ(write.failedService, kCompanion);
  EXPECT_TRUE(write.written.empty());
  EXPECT_EQ(startValue(kCompanion), std::optional<DWORD>(3));
  EXPECT_EQ(stringStart(kMain), "3") << "the old value, type and all";
}

TEST_F(DeviceModesWin32, KeysThatLetValuesBeSetButNoSubkeyMadeTakeTheWrite) {
  putStart(kMain, 3);
  putStart(kCompanion, 3);
  if (!grantValuesOnly(kMain) || !grantValuesOnly(kCompanion))
    GTEST_SKIP() << "this registry keeps no rules on keys";
  const platform::ModeWrite write = modes.writeMode(kProbe, DeviceMode::Prohibited);
  EXPECT_EQ(write.status, platform::kDone);
  EXPECT_EQ(startValue(kMain), std::optional<DWORD>(4));
  EXPECT_EQ(startValue(kCompanion), std::optional<DWORD>(4));
}

} // namespace
