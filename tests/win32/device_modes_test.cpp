// Device modes against the real registry of the test prefix.
#include "platform/win32/win32_device_modes.h"
#include "support/restriction_keys.h"
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
  EXPECT_STREQ(write.failedPart, kCompanion);
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

// The device installation restriction in the real registry: what a USB
// change writes and removes, with an administrator's values around it.
class InstallRestrictionWin32 : public DeviceModesWin32 {
protected:
  static constexpr platform::DriverServices kRestricted{kMain, kCompanion, "USB\\Class_08"};
  void SetUp() override {
    DeviceModesWin32::SetUp();
    InstallRestrictionWin32::TearDown();
    putStart(kMain, 3);
    putStart(kCompanion, 3);
  }
  void TearDown() override {
    allowRestrictionWrites();
    removeRestrictionKeys();
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kRecordKey, KEY_WOW64_64KEY, 0);
    DeviceModesWin32::TearDown();
  }
  static constexpr wchar_t kRecordKey[] = L"SOFTWARE\\Kestrova";
  // The program's record of what it added, read as an administrator would.
  static std::map<std::wstring, StoredValue> record() {
    return readKeyValues(kRecordKey).value_or(std::map<std::wstring, StoredValue>{});
  }
  static bool recordKeyExists() { return readKeyValues(kRecordKey).has_value(); }
  platform::ModeWrite write(DeviceMode mode) { return modes.writeMode(kRestricted, mode); }

  // Another policy's list, values of other types, and other restrictions.
  const RestrictionKeys others{
      std::map<std::wstring, StoredValue>{{L"DenyDeviceIDsRetroactive", dword(1)},
                                          {L"DenyRemovableDevices", dword(0)},
                                          {L"Note", {REG_BINARY, {0, 1, 2, 0xFF}}}},
      std::map<std::wstring, StoredValue>{{L"1", sz(L"PCI\\CC_0C0A")},
                                          {L"3", sz(L"USB\\VID_0781&PID_5567", REG_EXPAND_SZ)},
                                          {L"社内", sz(L"USBPRINT\\機器")},
                                          {L"odd", {REG_SZ, {'U', 0, 'S'}}}}};
};

TEST_F(InstallRestrictionWin32, ProhibitingWritesTheRestrictionAndAllowingTakesItAway) {
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  const RestrictionKeys written = readRestrictionKeys();
  EXPECT_EQ(written.restrictions, (KeyValues{{{L"DenyDeviceIDs", dword(1)}}}))
      << describe(written.restrictions);
  EXPECT_EQ(written.denyList, (KeyValues{{{L"1", sz(L"USB\\Class_08")}}}))
      << describe(written.denyList);
  EXPECT_EQ(startValue(kMain), std::optional<DWORD>(4));

  EXPECT_EQ(record().size(), 5u)
      << "every claim and both marks; no former switch, as there was none";
  EXPECT_EQ(record()[L"DenyListEntry"], sz(L"1"));
  EXPECT_EQ(record()[L"CreatedDenyList"], dword(1));
  EXPECT_EQ(record()[L"DenySwitchChanged"], dword(1));
  EXPECT_EQ(record()[L"RestrictionsWritten"].type, static_cast<DWORD>(REG_QWORD));
  EXPECT_EQ(record()[L"DenyListWritten"].data.size(), 8u);

  ASSERT_EQ(write(DeviceMode::Allowed).status, platform::kDone);
  EXPECT_FALSE(recordKeyExists()) << "taken back whole, the record goes";
  const RestrictionKeys lifted = readRestrictionKeys();
  EXPECT_EQ(lifted.restrictions, KeyValues(std::map<std::wstring, StoredValue>{}))
      << describe(lifted.restrictions);
  EXPECT_EQ(lifted.denyList, std::nullopt) << "the emptied list key goes";
  EXPECT_EQ(startValue(kCompanion), std::optional<DWORD>(3));
}

TEST_F(InstallRestrictionWin32, AnAdministratorsValuesStayByteForByte) {
  writeRestrictionKeys(others);
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  RestrictionKeys expected = others;
  (*expected.restrictions)[L"DenyDeviceIDs"] = dword(1);
  (*expected.denyList)[L"2"] = sz(L"USB\\Class_08");
  const RestrictionKeys written = readRestrictionKeys();
  EXPECT_EQ(written, expected) << describe(written.restrictions) << " / "
                               << describe(written.denyList);

  ASSERT_EQ(write(DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(readRestrictionKeys(), others) << "the switch the program added goes too";

  RestrictionKeys switchedOff = others;
  (*switchedOff.restrictions)[L"DenyDeviceIDs"] = dword(0);
  (*switchedOff.denyList)[L"4"] = sz(L"usb\\class_08"); // dormant while the switch is off
  writeRestrictionKeys(switchedOff);
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_TRUE(usbInstallDenied());
  ASSERT_EQ(write(DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(readRestrictionKeys(), switchedOff) << "off again, byte for byte";
}

TEST_F(InstallRestrictionWin32, AnIdListedByOthersIsNeitherDoubledNorLiftedByAllowing) {
  const RestrictionKeys listed{std::map<std::wstring, StoredValue>{{L"DenyDeviceIDs", dword(1)}},
                               std::map<std::wstring, StoredValue>{{L"7", sz(L"usb\\CLASS_08")},
                                                                   {L"1", sz(L"PCI\\CC_0C0A")}}};
  writeRestrictionKeys(listed);
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(readRestrictionKeys(), listed);
  EXPECT_FALSE(recordKeyExists()) << "nothing was the program's to add";
  const platform::ModeWrite allowed = write(DeviceMode::Allowed);
  ASSERT_EQ(allowed.status, platform::kDone);
  EXPECT_TRUE(allowed.refusedByOthers);
  EXPECT_EQ(readRestrictionKeys(), listed);
}

// Names as the registry holds them: a lone surrogate, U+FFFD, a NUL inside.
TEST_F(InstallRestrictionWin32, EntriesAreReadByTheirWholeNames) {
  const std::wstring lone(1, static_cast<wchar_t>(0xD800));
  const RestrictionKeys odd{
      std::map<std::wstring, StoredValue>{{L"DenyDeviceIDs", dword(1)}},
      std::map<std::wstring, StoredValue>{{lone, sz(L"USB\\Class_08")},
                                          {L"\uFFFD", sz(L"PCI\\CC_0C0A")},
                                          {std::wstring(L"1\0x", 3), sz(L"USB\\Class_08")}}};
  writeRestrictionKeys(odd);
  ASSERT_EQ(readRestrictionKeys(), odd) << "the test's own reading";
  unsigned missing = 99;
  ASSERT_EQ(modes.readMissingRestriction(kRestricted, &missing), platform::kDone);
  EXPECT_EQ(missing, 0u);
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(readRestrictionKeys(), odd) << "in force already: no second entry";
  ASSERT_EQ(write(DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(readRestrictionKeys(), odd);
}

// A refresh rewrote the list after the program's write: its keys' times
// tell, and what is there stays.
TEST_F(InstallRestrictionWin32, AListRewrittenSinceIsLeftOn) {
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  const RestrictionKeys prohibited = readRestrictionKeys();
  Sleep(50); // past the clock's tick, which the keys' times are kept in
  writeRestrictionKeys(prohibited);
  const platform::ModeWrite allowed = write(DeviceMode::Allowed);
  ASSERT_EQ(allowed.status, platform::kDone);
  EXPECT_EQ(allowed.leftOn, platform::kEntryPart | platform::kSwitchPart);
  EXPECT_EQ(readRestrictionKeys(), prohibited);
  EXPECT_EQ(record().count(L"DenyListEntry"), 0u) << "someone else's now: never taken back";
  EXPECT_EQ(record()[L"CreatedDenyList"], dword(1)) << "its key, with an entry in it";
  EXPECT_EQ(startValue(kMain), std::optional<DWORD>(3));
}

TEST_F(InstallRestrictionWin32, ADeviceWithoutARestrictionLeavesThePolicyKeysAlone) {
  writeRestrictionKeys(others);
  ASSERT_EQ(modes.writeMode(kProbe, DeviceMode::Prohibited).status, platform::kDone);
  ASSERT_EQ(modes.writeMode(kProbe, DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(readRestrictionKeys(), others);
}

// A list whose rules refuse the change: nothing stays changed when it comes
// first, and the services are put back when it comes after them.
TEST_F(InstallRestrictionWin32, AListThatRefusesTheChangeLeavesEverythingAsItWas) {
  writeRestrictionKeys(others);
  if (!refuseRestrictionWrites())
    GTEST_SKIP() << "this registry keeps no rules on keys";
  platform::ModeWrite write = this->write(DeviceMode::Prohibited);
  EXPECT_EQ(write.status, static_cast<platform::Status>(ERROR_ACCESS_DENIED));
  EXPECT_STREQ(write.failedPart, "USB\\Class_08");
  EXPECT_EQ(startValue(kMain), std::optional<DWORD>(3));
  EXPECT_EQ(readRestrictionKeys(), others);
  EXPECT_FALSE(recordKeyExists()) << "the record as it was: none";

  allowRestrictionWrites();
  ASSERT_EQ(this->write(DeviceMode::Prohibited).status, platform::kDone);
  const RestrictionKeys prohibited = readRestrictionKeys();
  ASSERT_TRUE(refuseRestrictionWrites());
  write = this->write(DeviceMode::Allowed);
  EXPECT_EQ(write.status, static_cast<platform::Status>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(write.written.empty());
  EXPECT_EQ(startValue(kMain), std::optional<DWORD>(4)) << "put back";
  EXPECT_EQ(startValue(kCompanion), std::optional<DWORD>(4)) << "put back";
  EXPECT_EQ(readRestrictionKeys(), prohibited);
}

} // namespace
