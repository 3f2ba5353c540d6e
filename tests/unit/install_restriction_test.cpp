// The device installation restriction that keeps a new USB drive's driver
// install from undoing 使用禁止: which entries a write adds and removes,
// that everything else in the list stays byte for byte, the order against
// the Start values, and the put-back when any part fails.
#include "platform/install_restriction.h"
#include "platform/sim/sim_device_modes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>

namespace {

using platform::DeviceMode;
using platform::InstallRestriction;
using platform::RegistryValue;
using platform::RestrictionEntry;

constexpr platform::DriverServices kUsb{"USBSTOR", "UASPStor", "USB\\Class_08"};
constexpr char kId[] = "USB\\Class_08";

// A REG_SZ as Windows stores it, "USB\Class_08" written out by hand so that
// the test does not lean on the code it checks.
const RegistryValue kStoredId{true, 1,
                              std::string("U\0S\0B\0\\\0C\0l\0a\0s\0s\0_\0000\0008\0\0\0", 26)};
const RegistryValue kOn{true, 4, std::string("\1\0\0\0", 4)};

RegistryValue utf16(const std::u16string &text, std::uint32_t type = 1) {
  std::string bytes;
  for (const char16_t unit : text + u'\0')
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return {true, type, bytes};
}

class InstallRestrictionTest : public ::testing::Test {
protected:
  void SetUp() override {
    modes.putStart("USBSTOR", 3);
    modes.putStart("UASPStor", 3);
  }
  platform::ModeWrite write(DeviceMode mode) { return modes.writeMode(kUsb, mode); }
  // An administrator's list: another ID, a name that is no number, a gap.
  void seedOthers() {
    modes.restriction = {kOn,
                         true,
                         {{"1", utf16(u"PCI\\CC_0C0A")},
                          {"3", utf16(u"USB\\VID_0781&PID_5567")},
                          {"社内", utf16(u"USBPRINT\\機器")}}};
  }
  std::vector<std::string> writesInOrder() const {
    std::vector<std::string> writes;
    std::copy_if(faults.calls().begin(), faults.calls().end(), std::back_inserter(writes),
                 [](const std::string &call) { return call.rfind("write", 0) == 0; });
    return writes;
  }

  sim::FaultPlan faults;
  sim::SimDeviceModes modes{faults};
};

TEST(HoldsDeviceId, MatchesAStringOfTheIdInAnyCaseUpToItsFirstNul) {
  EXPECT_TRUE(platform::holdsDeviceId(kStoredId, kId));
  EXPECT_TRUE(platform::holdsDeviceId(utf16(u"usb\\CLASS_08"), kId));
  EXPECT_TRUE(platform::holdsDeviceId(utf16(u"USB\\Class_08\0junk"), kId));
  EXPECT_TRUE(platform::holdsDeviceId(
      {true, 1, std::string("U\0S\0B\0\\\0C\0l\0a\0s\0s\0_\0000\0008\0", 24)}, kId))
      << "without its NUL";
  EXPECT_FALSE(platform::holdsDeviceId(utf16(u"USB\\Class_08&SubClass_06"), kId));
  EXPECT_FALSE(platform::holdsDeviceId(utf16(u"USB\\Class_0"), kId));
  EXPECT_FALSE(platform::holdsDeviceId(utf16(u"ＵSB\\Class_08"), kId)) << "a full-width letter";
  EXPECT_FALSE(platform::holdsDeviceId(utf16(u"USB\\Class_08", 2), kId)) << "REG_EXPAND_SZ";
  EXPECT_FALSE(platform::holdsDeviceId(RegistryValue{}, kId));
}

TEST(FreeEntryName, IsTheLowestNumberNoEntryHas) {
  EXPECT_EQ(platform::freeEntryName({}), "1");
  EXPECT_EQ(platform::freeEntryName({{"1", {}}, {"2", {}}, {"4", {}}}), "3");
  EXPECT_EQ(platform::freeEntryName({{"x", {}}, {"01", {}}}), "1");
  std::vector<RestrictionEntry> nine;
  for (char digit = '1'; digit <= '9'; ++digit)
    nine.push_back({std::string(1, digit), {}});
  EXPECT_EQ(platform::freeEntryName(nine), "10");
}

TEST_F(InstallRestrictionTest, ProhibitingOnAPcWithoutThePolicyWritesItWhole) {
  EXPECT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(modes.restriction, (InstallRestriction{kOn, true, {{"1", kStoredId}}}));
  EXPECT_EQ(modes.dword("USBSTOR"), 4u);
  EXPECT_EQ(modes.dword("UASPStor"), 4u);
}

TEST_F(InstallRestrictionTest, ProhibitingKeepsOthersEntriesAndTakesTheLowestFreeName) {
  seedOthers();
  modes.restriction.policySwitch = {};
  InstallRestriction expected = modes.restriction;
  expected.policySwitch = kOn;
  expected.entries.push_back({"2", kStoredId});
  EXPECT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(modes.restriction, expected);
}

TEST_F(InstallRestrictionTest, AnIdAlreadyListedInAnotherCaseIsNotDoubled) {
  seedOthers();
  modes.restriction.entries.push_back({"2", utf16(u"usb\\class_08")});
  modes.restriction.policySwitch = RegistryValue::dword(0); // the policy switched off
  InstallRestriction expected = modes.restriction;
  expected.policySwitch = kOn;
  EXPECT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(modes.restriction, expected);
  faults = {};
  EXPECT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(writesInOrder(),
            (std::vector<std::string>{"writeStart(USBSTOR)", "writeStart(UASPStor)"}))
      << "a restriction in force is not written again";
}

TEST_F(InstallRestrictionTest, AllowingRemovesOnlyTheIdsEntriesAndKeepsAListThatHasOthers) {
  seedOthers();
  const InstallRestriction others = modes.restriction;
  modes.restriction.entries.push_back({"2", kStoredId});
  modes.restriction.entries.push_back({"9", utf16(u"Usb\\Class_08")});
  modes.putStart("USBSTOR", 4);
  EXPECT_EQ(write(DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(modes.restriction, others) << "the switch stays on for the others' IDs";
  EXPECT_EQ(modes.dword("USBSTOR"), 3u);
}

TEST_F(InstallRestrictionTest, AllowingRemovesTheSwitchAndTheListOnlyWhenTheListIsLeftEmpty) {
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(write(DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(modes.restriction, InstallRestriction{});

  modes.restriction = {kOn, true, {}}; // a lift cut off before the switch went
  EXPECT_EQ(write(DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(modes.restriction, InstallRestriction{}) << "the next Execute completes it";

  modes.restriction = {kOn, false, {}}; // a switch with no list is not the program's to remove
  faults = {};
  EXPECT_EQ(write(DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(modes.restriction.policySwitch, kOn);
  EXPECT_EQ(
      std::count_if(faults.calls().begin(), faults.calls().end(),
                    [](const std::string &call) { return call.rfind("writeRestriction", 0) == 0; }),
      0);
}

// The window shows USB by the Start values alone: a write cut off at any
// point must never show 使用禁止 while a new drive would still install.
TEST_F(InstallRestrictionTest, TheRestrictionIsInForceBeforeTheStartValuesAndLiftedAfterThem) {
  write(DeviceMode::Prohibited);
  EXPECT_EQ(writesInOrder(),
            (std::vector<std::string>{"writeRestriction(list)", "writeRestriction(entry 1)",
                                      "writeRestriction(switch)", "writeStart(USBSTOR)",
                                      "writeStart(UASPStor)"}));
  faults = {};
  write(DeviceMode::Allowed);
  EXPECT_EQ(writesInOrder(),
            (std::vector<std::string>{"writeStart(USBSTOR)", "writeStart(UASPStor)",
                                      "writeRestriction(entry 1)", "writeRestriction(switch)",
                                      "writeRestriction(list)"}));
}

// Every call of either direction fails in turn: the services and the
// restriction are then exactly as before, and the failed part is named.
TEST(InstallRestrictionPutBack, AnyFailingPartPutsBackEverythingWrittenBeforeIt) {
  for (const DeviceMode mode : {DeviceMode::Prohibited, DeviceMode::Allowed}) {
    const bool allowing = mode == DeviceMode::Allowed;
    const std::uint32_t oldStart = allowing ? 4 : 3;
    const InstallRestriction old =
        allowing
            ? InstallRestriction{kOn, true, {{"1", kStoredId}}}
            : InstallRestriction{RegistryValue::dword(0), true, {{"1", utf16(u"PCI\\CC_0C0A")}}};
    auto seeded = [&](sim::FaultPlan &plan) {
      auto world = std::make_unique<sim::SimDeviceModes>(plan);
      world->putStart("USBSTOR", oldStart);
      world->putStart("UASPStor", oldStart);
      world->restriction = old;
      return world;
    };
    sim::FaultPlan clean;
    seeded(clean)->writeMode(kUsb, mode);
    const std::vector<std::string> calls = clean.calls();
    EXPECT_GE(calls.size(), 6u) << "a read and the writes of both parts";
    for (std::size_t n = 1; n <= calls.size(); ++n) {
      sim::FaultPlan plan;
      const auto world = seeded(plan);
      plan.failNthCall(static_cast<int>(n), 5);
      const platform::ModeWrite result = world->writeMode(kUsb, mode);
      const std::string &call = calls[n - 1];
      const std::string where = call + (allowing ? ", allowing" : ", prohibiting");
      EXPECT_EQ(result.status, 5u) << where;
      EXPECT_TRUE(result.written.empty()) << where;
      const char *part = call.find("Restriction") != std::string::npos ? kId
                         : call.find("UASPStor") != std::string::npos  ? "UASPStor"
                                                                       : "USBSTOR";
      EXPECT_STREQ(result.failedPart, part) << where;
      EXPECT_EQ(world->dword("USBSTOR"), oldStart) << where;
      EXPECT_EQ(world->dword("UASPStor"), oldStart) << where;
      EXPECT_EQ(world->restriction, old) << where;
    }
  }
}

TEST_F(InstallRestrictionTest, ARestrictionThatCanNotBePutBackIsReportedAsStillInForce) {
  faults.failNext("writeStart(UASPStor)", 5);
  faults.failCall("writeRestriction(entry 1)", 2, 1021); // its removal in the put-back
  const platform::ModeWrite write = modes.writeMode(kUsb, DeviceMode::Prohibited);
  EXPECT_EQ(write.status, 5u);
  EXPECT_STREQ(write.failedPart, "UASPStor");
  ASSERT_EQ(write.written.size(), 1u);
  EXPECT_STREQ(write.written[0], kId);
  EXPECT_EQ(modes.dword("USBSTOR"), 3u) << "the service was put back all the same";
}

} // namespace
