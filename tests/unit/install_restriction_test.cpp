// The device installation restriction that keeps a new USB drive's driver
// install from undoing 使用禁止: what a prohibiting write adds and records,
// that an allowing one takes back only that, and only where nobody has
// written since, that everything else stays byte for byte, the order against
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
using platform::RestrictionRecord;

constexpr char kId[] = "USB\\Class_08";
constexpr platform::DriverServices kUsb{"USBSTOR", "UASPStor", kId};

// A REG_SZ as Windows stores it, "USB\Class_08" written out by hand so that
// the test does not lean on the code it checks.
const RegistryValue kStoredId{true, 1,
                              std::string("U\0S\0B\0\\\0C\0l\0a\0s\0s\0_\0000\0008\0\0\0", 26)};
const RegistryValue kOn{true, 4, std::string("\1\0\0\0", 4)};
const RegistryValue kOff{true, 4, std::string("\0\0\0\0", 4)};

RegistryValue utf16(const std::u16string &text, std::uint32_t type = 1) {
  std::string bytes;
  for (const char16_t unit : text + u'\0')
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return {true, type, bytes};
}

InstallRestriction restriction(RegistryValue policySwitch, bool list,
                               std::vector<RestrictionEntry> entries = {}) {
  return {std::move(policySwitch), list, std::move(entries), {}};
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
    modes.restriction = restriction(kOn, true,
                                    {{L"1", utf16(u"PCI\\CC_0C0A")},
                                     {L"3", utf16(u"USB\\VID_0781&PID_5567")},
                                     {L"社内", utf16(u"USBPRINT\\機器")}});
  }
  std::vector<std::string> writesInOrder() const {
    std::vector<std::string> writes;
    std::copy_if(faults.calls().begin(), faults.calls().end(), std::back_inserter(writes),
                 [](const std::string &call) { return call.rfind("write", 0) == 0; });
    return writes;
  }
  int restrictionWrites() const {
    return static_cast<int>(
        std::count_if(faults.calls().begin(), faults.calls().end(), [](const std::string &call) {
          return call.rfind("writeRestriction", 0) == 0;
        }));
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
  EXPECT_FALSE(platform::holdsDeviceId(
      {true, 1, std::string("U\0S\0B\0\\\0C\0l\0a\0s\0s\0_\0000\0008", 23)}, kId))
      << "an odd byte is half a unit, not the 8";
  EXPECT_FALSE(platform::holdsDeviceId(utf16(u"USB\\Class_08&SubClass_06"), kId));
  EXPECT_FALSE(platform::holdsDeviceId(utf16(u"USB\\Class_0"), kId));
  EXPECT_FALSE(platform::holdsDeviceId(utf16(u"ＵSB\\Class_08"), kId)) << "a full-width letter";
  EXPECT_FALSE(platform::holdsDeviceId(utf16(u"\uFF55sb\\Class_08"), kId))
      << "U+FF55, whose low byte is 'U'";
  EXPECT_FALSE(platform::holdsDeviceId(utf16(u"USB\\Class_08", 2), kId)) << "REG_EXPAND_SZ";
  EXPECT_FALSE(platform::holdsDeviceId(RegistryValue{}, kId));
}

TEST(FreeEntryName, IsTheLowestNumberNoEntryHasExactly) {
  EXPECT_EQ(platform::freeEntryName({}), L"1");
  EXPECT_EQ(platform::freeEntryName({{L"1", {}}, {L"2", {}}, {L"4", {}}}), L"3");
  EXPECT_EQ(platform::freeEntryName({{L"x", {}}, {L"01", {}}}), L"1");
  EXPECT_EQ(platform::freeEntryName({{std::wstring(L"1\0x", 3), {}}}), L"1")
      << "a name with a NUL in it is another name";
  std::vector<RestrictionEntry> nine;
  for (wchar_t digit = L'1'; digit <= L'9'; ++digit)
    nine.push_back({std::wstring(1, digit), {}});
  EXPECT_EQ(platform::freeEntryName(nine), L"10");
}

TEST_F(InstallRestrictionTest, ProhibitingOnAPcWithoutThePolicyWritesItWholeAndRecordsIt) {
  EXPECT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(modes.restriction, restriction(kOn, true, {{L"1", kStoredId}}));
  EXPECT_EQ(modes.dword("USBSTOR"), 4u);
  EXPECT_EQ(modes.dword("UASPStor"), 4u);
  EXPECT_EQ(modes.record.entry, L"1");
  EXPECT_TRUE(modes.record.createdList);
  EXPECT_TRUE(modes.record.changedSwitch);
  EXPECT_EQ(modes.record.formerSwitch, RegistryValue{}) << "there was none";
  EXPECT_EQ(modes.record.marks, modes.restriction.written) << "marked after the write";
}

// The record claims the change before it is made and is marked after it: a
// kill in between leaves claims without marks.
TEST_F(InstallRestrictionTest, TheRecordIsWrittenBeforeTheChangeAndMarkedAfterIt) {
  write(DeviceMode::Prohibited);
  EXPECT_EQ(writesInOrder(), (std::vector<std::string>{
                                 "writeRecord", "writeRestriction(list)",
                                 "writeRestriction(entry 1)", "writeRestriction(switch)",
                                 "writeRecord", "writeStart(USBSTOR)", "writeStart(UASPStor)"}));
  modes.restriction = {};
  modes.record = {};
  faults = {};
  faults.failNext("writeRestriction(switch)", 5);
  write(DeviceMode::Prohibited);
  EXPECT_EQ(modes.record, RestrictionRecord{}) << "put back as it was";
  EXPECT_EQ(modes.restriction, InstallRestriction{});
}

TEST_F(InstallRestrictionTest, ProhibitingKeepsOthersEntriesAndTakesTheLowestFreeName) {
  seedOthers();
  modes.restriction.policySwitch = kOff;
  InstallRestriction expected = modes.restriction;
  expected.policySwitch = kOn;
  expected.entries.push_back({L"2", kStoredId});
  EXPECT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(modes.restriction, expected);
  EXPECT_EQ(modes.record.entry, L"2");
  EXPECT_FALSE(modes.record.createdList);
  EXPECT_EQ(modes.record.formerSwitch, kOff);
}

TEST_F(InstallRestrictionTest, ARestrictionInForceIsNotWrittenAgainNorRecorded) {
  seedOthers();
  modes.restriction.entries.push_back({L"2", utf16(u"usb\\class_08")});
  modes.restriction.entries.push_back({std::wstring(L"1\0x", 3), kStoredId});
  const InstallRestriction others = modes.restriction;
  const platform::ModeWrite written = write(DeviceMode::Prohibited);
  EXPECT_EQ(written.written, (std::vector<const char *>{kId, "USBSTOR", "UASPStor"}))
      << "in force, it is named all the same";
  EXPECT_EQ(modes.restriction, others);
  EXPECT_EQ(modes.record, RestrictionRecord{});
  EXPECT_EQ(writesInOrder(),
            (std::vector<std::string>{"writeStart(USBSTOR)", "writeStart(UASPStor)"}));
}

TEST_F(InstallRestrictionTest, ProhibitingAgainReusesTheRecordAndReplacesAVanishedEntry) {
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  const RestrictionRecord first = modes.record;
  faults = {};
  write(DeviceMode::Prohibited);
  EXPECT_EQ(modes.record, first) << "nothing written, the marks included";
  EXPECT_EQ(restrictionWrites(), 0);

  // A refresh replaced the list: the program's "1" now holds another ID,
  // and the policy was switched off.
  modes.restriction.entries = {{L"1", utf16(u"PCI\\CC_0C0A")}};
  modes.restriction.policySwitch = kOff;
  modes.touchList();
  write(DeviceMode::Prohibited);
  EXPECT_EQ(modes.restriction,
            restriction(kOn, true, {{L"1", utf16(u"PCI\\CC_0C0A")}, {L"2", kStoredId}}));
  EXPECT_EQ(modes.record.entry, L"2");
  EXPECT_TRUE(modes.record.createdList) << "still the program's key";
  EXPECT_EQ(modes.record.formerSwitch, kOff) << "found off, so off is what goes back";
  EXPECT_EQ(modes.record.marks, modes.restriction.written);
}

TEST_F(InstallRestrictionTest, ARoundTripLeavesThePcAsItWasByteForByte) {
  struct Case {
    const char *what;
    InstallRestriction before;
  };
  const Case cases[] = {
      {"no policy", {}},
      {"an enabled, empty list", restriction(kOn, true)},
      {"a switch set to 0 over dormant entries", restriction(kOff, true, {{L"1", kStoredId}})},
      {"a switch of another type", restriction(utf16(u"1"), false)},
      {"others' entries and a switch on", restriction(kOn, true, {{L"5", utf16(u"PCI\\X")}})},
  };
  for (const Case &c : cases) {
    modes.restriction = c.before;
    modes.record = {};
    ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone) << c.what;
    EXPECT_EQ(platform::missingParts(modes.restriction, kId), 0u) << c.what;
    const platform::ModeWrite allowed = write(DeviceMode::Allowed);
    EXPECT_EQ(allowed.status, platform::kDone) << c.what;
    EXPECT_EQ(modes.restriction, c.before) << c.what;
    EXPECT_EQ(modes.record, RestrictionRecord{}) << c.what;
    EXPECT_EQ(allowed.leftOn, 0u) << c.what;
  }
}

TEST_F(InstallRestrictionTest, AllowingWithoutARecordLeavesThePoliciesAlone) {
  seedOthers();
  modes.restriction.entries.push_back({L"2", kStoredId}); // IT's block of new USB storage
  const InstallRestriction its = modes.restriction;
  modes.putStart("USBSTOR", 4);
  const platform::ModeWrite allowed = write(DeviceMode::Allowed);
  EXPECT_EQ(allowed.status, platform::kDone);
  EXPECT_EQ(modes.restriction, its);
  EXPECT_EQ(restrictionWrites(), 0);
  EXPECT_TRUE(allowed.refusedByOthers);
  EXPECT_EQ(allowed.written, (std::vector<const char *>{"USBSTOR", "UASPStor"}))
      << "nothing lifted, nothing named";
  modes.restriction.policySwitch = kOff;
  EXPECT_FALSE(write(DeviceMode::Allowed).refusedByOthers) << "a dormant entry refuses nothing";
}

TEST_F(InstallRestrictionTest, APartSomeoneElseWroteSinceIsLeftOnAndNamed) {
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  // A refresh deleted every value and set the same entry again.
  modes.touchList();
  platform::ModeWrite allowed = write(DeviceMode::Allowed);
  EXPECT_EQ(allowed.status, platform::kDone);
  EXPECT_EQ(allowed.leftOn, platform::kEntryPart | platform::kSwitchPart)
      << "the switch too: the list it turns on is not as the program left it";
  EXPECT_EQ(modes.restriction, restriction(kOn, true, {{L"1", kStoredId}}));
  EXPECT_TRUE(allowed.refusedByOthers) << "the entry left on is someone else's now";
  EXPECT_TRUE(modes.record.entry.empty()) << "someone else's now: never taken back later";
  EXPECT_FALSE(modes.record.changedSwitch);
  EXPECT_TRUE(modes.record.createdList) << "the key the program made, with an entry in it";
  EXPECT_EQ(modes.dword("USBSTOR"), 3u);
  EXPECT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(modes.restriction, restriction(kOn, true, {{L"1", kStoredId}}))
      << "in force by the refresh's entry: nothing added";

  modes.record = {};
  modes.restriction = {};
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  modes.touchRestrictions(); // a value of Restrictions rewritten, the list as left
  allowed = write(DeviceMode::Allowed);
  EXPECT_EQ(allowed.leftOn, platform::kSwitchPart);
  EXPECT_EQ(modes.restriction, restriction(kOn, false)) << "the entry and the empty list went";
  EXPECT_EQ(modes.record, RestrictionRecord{});
}

// IT's policy replaced the list and set the switch again after the
// program's write; a later prohibiting write must not take their times for
// its own, or 使用可 would then switch IT's list off.
TEST_F(InstallRestrictionTest, AProhibitingWriteNeverAdoptsWhatSomeoneElseWroteSince) {
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  modes.restriction.entries = {{L"1", utf16(u"PCI\\VEN_1234")}};
  modes.touchList();
  modes.touchRestrictions();
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(modes.record.entry, L"2");
  EXPECT_FALSE(modes.record.changedSwitch) << "the switch is IT's now";
  EXPECT_EQ(write(DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(modes.restriction, restriction(kOn, true, {{L"1", utf16(u"PCI\\VEN_1234")}}));
}

// A take-back cut off after its first write is finished by the next one,
// judged by content: the record claimed just those parts, without marks.
TEST_F(InstallRestrictionTest, ATakeBackCutOffIsFinishedByTheNextOne) {
  seedOthers();
  modes.restriction.policySwitch = kOff;
  const InstallRestriction before = modes.restriction;
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  faults = {};
  faults.failNext("writeRestriction(switch)", 5);
  faults.failCall("writeRestriction(entry 2)", 2, 5); // its put-back too, as a kill would
  EXPECT_EQ(write(DeviceMode::Allowed).status, 5u);
  EXPECT_FALSE(modes.record.marks.has_value());
  EXPECT_EQ(modes.record.formerSwitch, kOff);
  faults = {};
  EXPECT_EQ(write(DeviceMode::Allowed).leftOn, 0u);
  EXPECT_EQ(modes.restriction, before);
  EXPECT_EQ(modes.record, RestrictionRecord{});
}

TEST_F(InstallRestrictionTest, WithoutMarksTheContentAloneDecides) {
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  modes.record.marks.reset(); // cut off before the marks
  modes.touchList();
  modes.touchRestrictions();
  EXPECT_EQ(write(DeviceMode::Allowed).leftOn, 0u);
  EXPECT_EQ(modes.restriction, InstallRestriction{});
  EXPECT_EQ(modes.record, RestrictionRecord{});

  // A record that claims what the cut-off write never made: gone counts as
  // taken back, and a switch someone else set is not the program's.
  modes.record = {L"1", true, true, kOff, std::nullopt};
  modes.restriction = restriction(kOff, true, {{L"1", utf16(u"PCI\\X")}});
  EXPECT_EQ(write(DeviceMode::Allowed).leftOn, 0u);
  EXPECT_EQ(modes.restriction, restriction(kOff, true, {{L"1", utf16(u"PCI\\X")}}));
  EXPECT_TRUE(modes.record.createdList) << "its key, with another's entry in it";
  EXPECT_TRUE(modes.record.entry.empty());
  EXPECT_FALSE(modes.record.changedSwitch);
}

TEST_F(InstallRestrictionTest, AListKeyThatCanNotBeDeletedFailsNothing) {
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  faults.failNext("writeRestriction(list)", 5); // a subkey below it
  const platform::ModeWrite allowed = write(DeviceMode::Allowed);
  EXPECT_EQ(allowed.status, platform::kDone);
  EXPECT_EQ(modes.restriction, restriction({}, true)) << "an empty list denies nothing";
  EXPECT_EQ(modes.dword("USBSTOR"), 3u);
  EXPECT_TRUE(modes.record.createdList) << "still there, still the program's";
  faults = {};
  EXPECT_EQ(write(DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(modes.restriction, InstallRestriction{}) << "the next 使用可 takes it";
  EXPECT_EQ(modes.record, RestrictionRecord{});
}

// Names as the registry gives them: a lone surrogate and U+FFFD are two
// names, and neither is the program's to delete.
TEST_F(InstallRestrictionTest, EntriesWithOddNamesAreKeptAsTheyAre) {
  const std::wstring lone(1, static_cast<wchar_t>(0xD800));
  modes.restriction = restriction(kOn, true, {{lone, kStoredId}, {L"\uFFFD", utf16(u"PCI\\X")}});
  const InstallRestriction theirs = modes.restriction;
  EXPECT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  EXPECT_EQ(modes.restriction, theirs) << "the lone surrogate's entry holds the ID";
  EXPECT_EQ(write(DeviceMode::Allowed).status, platform::kDone);
  EXPECT_EQ(modes.restriction, theirs);
}

TEST_F(InstallRestrictionTest, ADeleteThatFindsNoEntryIsJudgedByReadingTheListAgain) {
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  faults.failNext("writeRestriction(entry 1)", platform::kFileNotFound);
  EXPECT_EQ(write(DeviceMode::Allowed).status, platform::kFileNotFound)
      << "still there when read again";
  EXPECT_EQ(modes.restriction, restriction(kOn, true, {{L"1", kStoredId}}));
  EXPECT_EQ(modes.dword("USBSTOR"), 4u);
}

// The window shows USB by the Start values alone: a prohibiting write puts
// the restriction in force first; an allowing one takes it back last.
TEST_F(InstallRestrictionTest, TheRestrictionIsInForceBeforeTheStartValuesAndLiftedAfterThem) {
  write(DeviceMode::Prohibited);
  faults = {};
  write(DeviceMode::Allowed);
  EXPECT_EQ(writesInOrder(),
            (std::vector<std::string>{"writeStart(USBSTOR)", "writeStart(UASPStor)", "writeRecord",
                                      "writeRestriction(entry 1)", "writeRestriction(switch)",
                                      "writeRestriction(list)", "writeRecord"}));
}

// Every call of either direction fails in turn: the services, the
// restriction and the record are then exactly as before and the failed part
// is named; only the marks, the list key's delete and the record's last
// update go as far as they can.
TEST(InstallRestrictionPutBack, AnyFailingPartPutsBackEverythingWrittenBeforeIt) {
  for (const DeviceMode mode : {DeviceMode::Prohibited, DeviceMode::Allowed}) {
    const bool allowing = mode == DeviceMode::Allowed;
    const std::uint32_t oldStart = allowing ? 4 : 3;
    sim::FaultPlan setup;
    sim::SimDeviceModes prohibited(setup);
    prohibited.restriction = restriction(kOff, true, {{L"1", utf16(u"PCI\\CC_0C0A")}});
    if (allowing)
      prohibited.writeMode(kUsb, DeviceMode::Prohibited);
    auto seeded = [&](sim::FaultPlan &plan) {
      auto world = std::make_unique<sim::SimDeviceModes>(plan);
      world->putStart("USBSTOR", oldStart);
      world->putStart("UASPStor", oldStart);
      world->restriction = prohibited.restriction;
      world->record = prohibited.record;
      return world;
    };
    sim::FaultPlan clean;
    seeded(clean)->writeMode(kUsb, mode);
    const std::vector<std::string> calls = clean.calls();
    EXPECT_GE(calls.size(), 9u) << "reads and the writes of both parts";
    std::map<std::string, int> seen;
    for (std::size_t n = 1; n <= calls.size(); ++n) {
      sim::FaultPlan plan;
      const auto world = seeded(plan);
      plan.failNthCall(static_cast<int>(n), 5);
      const platform::ModeWrite result = world->writeMode(kUsb, mode);
      const std::string &call = calls[n - 1];
      const int occurrence = ++seen[call];
      const std::string where =
          call + " #" + std::to_string(occurrence) + (allowing ? ", allowing" : ", prohibiting");
      const bool asFarAsItCan =
          allowing ? call == "writeRestriction(list)" || (call == "writeRecord" && occurrence == 2)
                   : occurrence == 2 && (call == "readRestriction" || call == "writeRecord");
      if (asFarAsItCan) {
        EXPECT_EQ(result.status, platform::kDone) << where;
        continue;
      }
      EXPECT_EQ(result.status, 5u) << where;
      EXPECT_TRUE(result.written.empty()) << where;
      const char *part = call.find("Re") != std::string::npos         ? kId
                         : call.find("UASPStor") != std::string::npos ? "UASPStor"
                                                                      : "USBSTOR";
      EXPECT_STREQ(result.failedPart, part) << where;
      EXPECT_EQ(world->dword("USBSTOR"), oldStart) << where;
      EXPECT_EQ(world->dword("UASPStor"), oldStart) << where;
      EXPECT_EQ(world->restriction, prohibited.restriction) << where;
      RestrictionRecord record = world->record, before = prohibited.record;
      EXPECT_EQ(record.marks.has_value(), before.marks.has_value()) << where;
      record.marks = before.marks = std::nullopt;
      EXPECT_EQ(record, before) << where;
    }
  }
}

// What a failed write calls still written is read from the registry again,
// and the record keeps claiming what a failed put-back left.
TEST_F(InstallRestrictionTest, WhatAFailureLeavesWrittenIsToldFromWhatIsThere) {
  auto failProhibiting = [&](std::initializer_list<const char *> putBacksFailing) {
    modes.restriction = {};
    modes.record = {};
    faults = {};
    faults.failNext("writeStart(UASPStor)", 5);
    for (const char *putBack : putBacksFailing)
      faults.failCall(putBack, 2, 1021);
    return write(DeviceMode::Prohibited);
  };
  platform::ModeWrite failed = failProhibiting({"writeRestriction(switch)"});
  EXPECT_EQ(failed.status, 5u);
  EXPECT_STREQ(failed.failedPart, "UASPStor");
  EXPECT_EQ(failed.written, (std::vector<const char *>{kId}));
  EXPECT_EQ(modes.dword("USBSTOR"), 3u) << "the service was put back all the same";
  EXPECT_TRUE(modes.record.changedSwitch) << "the record still claims the switch";

  failed = failProhibiting({"writeRestriction(entry 1)"});
  EXPECT_EQ(failed.written, (std::vector<const char *>{kId}));
  EXPECT_EQ(modes.restriction, restriction({}, true, {{L"1", kStoredId}}))
      << "the list key goes only empty";
  EXPECT_EQ(modes.record.entry, L"1");
  EXPECT_TRUE(modes.record.createdList);

  failed = failProhibiting({"writeRestriction(entry 1)", "writeRestriction(switch)"});
  EXPECT_EQ(failed.written, (std::vector<const char *>{kId})) << "two failed put-backs, one ID";

  modes.restriction = {};
  faults = {};
  faults.failCall("writeRestriction(list)", 1, 5);
  faults.failCall("writeRestriction(list)", 2, 5); // were it put back, that would fail too
  failed = write(DeviceMode::Prohibited);
  EXPECT_EQ(failed.status, 5u);
  EXPECT_TRUE(failed.written.empty()) << "nothing was made";
}

TEST_F(InstallRestrictionTest, AFailedAllowingWritePutsTheRestrictionBackBeforeTheServices) {
  ASSERT_EQ(write(DeviceMode::Prohibited).status, platform::kDone);
  const InstallRestriction prohibited = modes.restriction;
  faults = {};
  faults.failNext("writeRestriction(switch)", 5);
  const platform::ModeWrite failed = write(DeviceMode::Allowed);
  EXPECT_EQ(failed.status, 5u);
  EXPECT_STREQ(failed.failedPart, kId);
  std::vector<std::string> writes = writesInOrder();
  writes.erase(writes.begin(), writes.begin() + 5); // services, record, entry, switch
  EXPECT_EQ(writes, (std::vector<std::string>{"writeRestriction(entry 1)", "writeRecord",
                                              "writeStart(UASPStor)", "writeStart(USBSTOR)"}));
  EXPECT_EQ(modes.restriction, prohibited);
  EXPECT_EQ(modes.record.marks, modes.restriction.written)
      << "marked anew: every write since the marks was this one's";
  EXPECT_EQ(write(DeviceMode::Allowed).leftOn, 0u);
}

TEST(MissingParts, NameWhatKeepsTheIdFromBeingInForce) {
  EXPECT_EQ(platform::missingParts(restriction(kOn, true, {{L"1", kStoredId}}), kId), 0u);
  EXPECT_EQ(platform::missingParts(restriction(kOff, true, {{L"1", kStoredId}}), kId),
            platform::kSwitchPart);
  EXPECT_EQ(platform::missingParts(restriction(kOn, true, {{L"1", utf16(u"PCI\\X")}}), kId),
            platform::kEntryPart);
  EXPECT_EQ(platform::missingParts({}, kId), platform::kSwitchPart | platform::kEntryPart);
}

} // namespace
