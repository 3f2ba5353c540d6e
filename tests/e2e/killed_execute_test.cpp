// Execute killed part way, as a power cut or a forced end does it, with the
// UAS driver installed, both ways in turn: whatever the registry holds
// afterwards, the next start shows it, the program's record claims every
// part of the install restriction it wrote that is still there, and one
// more Execute ends as a run without a kill does. USB may read 使用禁止 only
// when USBSTOR and UASPStor both hold a value other than 3, and after a kill
// only while Windows is told to install no new USB drive.
#include "device_state.h"
#include "executing_program.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace e2e;
using namespace testsupport;

// More runs for a longer look: KESTROVA_KILL_RUNS=60.
int runs(int byDefault) {
  const char *runs = std::getenv("KESTROVA_KILL_RUNS");
  const int count = runs ? std::atoi(runs) : 0;
  return count > 0 ? count : byDefault;
}

std::string registryState() {
  auto text = [](const char *service) {
    const auto value = startValue(service);
    return value ? std::to_string(*value) : std::string("-");
  };
  return text("Flpydisk") + "/" + text("USBSTOR") + "/" + text("UASPStor") + "/" +
         restrictionState();
}

class KilledExecuteTest : public ExecutingProgramTest {
protected:
  // Starts a copy, chooses both devices 使用禁止, or both 使用可, presses
  // 実行, waits until begun() says its writes have started (5 s at most),
  // and ends it after a pause drawn from 0 to latest microseconds.
  void killDuringExecute(std::mt19937 &random, bool prohibit, const std::function<bool()> &begun,
                         LONGLONG latest) {
    auto copy = std::make_unique<Program>();
    HWND copyWindow = copy->waitForMainWindow();
    ASSERT_NE(copyWindow, nullptr);
    const int floppy = prohibit ? kFloppyProhibited : kFloppyAllowed;
    const int usb = prohibit ? kUsbProhibited : kUsbAllowed;
    click(optionButtons(copyWindow)[floppy]);
    click(optionButtons(copyWindow)[usb]);
    ASSERT_TRUE(waitUntil([&] { return isChecked(optionButtons(copyWindow)[usb]); }));
    click(findChild(copyWindow, L"Button", L"実行"));
    const DWORD start = GetTickCount();
    while (!begun() && GetTickCount() - start < 5000) {
    }
    spinFor(std::uniform_int_distribution<LONGLONG>(0, latest)(random));
    copy.reset(); // TerminateProcess, as a forced end does
  }

  // Both devices turned from allowed to 使用禁止, or back, from a
  // restriction written by hand, and the program ended at a moment drawn at
  // random.
  void killDuringExecute(std::mt19937 &random, bool prohibit) {
    const DWORD from = prohibit ? 3 : 4, to = prohibit ? 4 : 3;
    seedServices(from, from);
    putStart("UASPStor", from);
    removeRestrictionKeys();
    removeRecord();
    if (!prohibit)
      writeRestrictionKeys({std::map<std::wstring, StoredValue>{{L"DenyDeviceIDs", dword(1)}},
                            std::map<std::wstring, StoredValue>{{L"1", sz(L"USB\\Class_08")}}});
    // Under Wine, prohibiting, the USB part starts a few milliseconds after
    // the floppy's write and takes a fraction of one: the kill is drawn from
    // the restriction's first write on. Allowing, its writes spread over a
    // few milliseconds after the floppy's. Either way the kill lands
    // anywhere from the first write to after the last.
    killDuringExecute(
        random, prohibit,
        [&] {
          return prohibit ? denyListExists() : startValue("Flpydisk") == std::optional<DWORD>(to);
        },
        prohibit ? 3000 : 4000);
  }
};

TEST_F(KilledExecuteTest, TheNextStartShowsWhatTheRegistryHolds) {
  std::mt19937 random(23);
  std::map<std::string, int> seen; // registry state and what was shown, by count
  for (int run = 0; run < runs(12); ++run) {
    killDuringExecute(random, run % 2 == 0);
    if (HasFatalFailure())
      return;
    const auto floppy = startValue("Flpydisk");
    const auto usb = startValue("USBSTOR");
    const auto uas = startValue("UASPStor");
    ASSERT_TRUE(start()) << "run " << run << ", " << registryState();
    const bool usbAllowed = usb == std::optional<DWORD>(3) || uas == std::optional<DWORD>(3);
    EXPECT_EQ(isChecked(optionButtons(window)[0]), floppy == std::optional<DWORD>(3))
        << "run " << run << ", " << registryState();
    EXPECT_EQ(isChecked(optionButtons(window)[2]), usbAllowed)
        << "run " << run << ", " << registryState();
    EXPECT_TRUE(usbAllowed || usbInstallDenied())
        << "run " << run << ": 使用禁止 shown while a new drive would install, " << registryState();
    ++seen[std::string(run % 2 == 0 ? "prohibiting: " : "allowing:    ") + registryState() +
           " -> USB " + (isChecked(optionButtons(window)[2]) ? "allowed" : "prohibited")];
    program.reset();
  }
  for (const auto &[outcome, count] : seen)
    std::printf("%s: %d\n", outcome.c_str(), count);
  std::printf("(Flpydisk/USBSTOR/UASPStor/restriction after the kill)\n");
}

// Where a PC stands before the program's first 使用禁止: nothing under
// Policies, or an administrator's list (an entry of another ID) with the
// policy set to 無効.
struct Beginning {
  const char *name;
  RestrictionKeys keys;
};

const Beginning kBeginnings[] = {
    {"clean", {}},
    {"administrator's",
     {std::map<std::wstring, StoredValue>{{L"DenyDeviceIDs", dword(0)}},
      std::map<std::wstring, StoredValue>{{L"1", sz(L"PCI\\CC_0C0A")}}}},
};

// The record's value of the name when it is the REG_SZ or DWORD given.
bool recordHolds(const KeyValues &record, const wchar_t *name, const StoredValue &value) {
  return record && record->count(name) && record->at(name) == value;
}

// What the program wrote since the beginning and is still there but the
// record doesn't claim, and what the record claims of the administrator's;
// "" when the record is true.
std::string recordFaults(const Beginning &beginning) {
  const RestrictionKeys keys = readRestrictionKeys();
  const KeyValues record = readRecord();
  const auto administrators =
      beginning.keys.denyList.value_or(std::map<std::wstring, StoredValue>{});
  std::string faults;
  if (keys.denyList && !beginning.keys.denyList &&
      !recordHolds(record, L"CreatedDenyList", dword(1)))
    faults += "the list key unclaimed; ";
  if (beginning.keys.denyList && record && record->count(L"CreatedDenyList"))
    faults += "the administrator's list claimed; ";
  for (const auto &[name, value] : keys.denyList.value_or(std::map<std::wstring, StoredValue>{})) {
    if (!administrators.count(name) && !recordHolds(record, L"DenyListEntry", sz(name)))
      faults += "entry " + readable(name) + " unclaimed; ";
    if (administrators.count(name) && recordHolds(record, L"DenyListEntry", sz(name)))
      faults += "the administrator's entry " + readable(name) + " claimed; ";
  }
  auto switchOf = [](const RestrictionKeys &of) -> std::optional<StoredValue> {
    if (!of.restrictions || !of.restrictions->count(L"DenyDeviceIDs"))
      return std::nullopt;
    return of.restrictions->at(L"DenyDeviceIDs");
  };
  const std::optional<StoredValue> former = switchOf(beginning.keys);
  if (switchOf(keys) != former && !recordHolds(record, L"DenySwitchChanged", dword(1)))
    faults += "the switch unclaimed; ";
  if (record && record->count(L"FormerDenySwitch") &&
      (!former || record->at(L"FormerDenySwitch") != *former))
    faults += "the switch's former value wrong; ";
  return faults;
}

// The parts of the restriction there and what the record holds, for the
// tally of where the kills landed.
std::string partsThere() {
  const KeyValues record = readRecord();
  std::string parts = registryState() + ", record:";
  const std::pair<const wchar_t *, const char *> values[] = {
      {L"DenyListEntry", " entry"},       {L"CreatedDenyList", " list"},
      {L"DenySwitchChanged", " switch"},  {L"FormerDenySwitch", " former"},
      {L"RestrictionsWritten", " marks"}, {L"DenyListWritten", "+"}};
  for (const auto &[name, label] : values)
    parts += record && record->count(name) ? label : "";
  return record ? parts : parts + " none";
}

// Kills in both directions, from both beginnings: afterwards the record
// claims every part the program wrote that is still there, and one more
// Execute, either way, ends as one without a kill does.
TEST_F(KilledExecuteTest, TheRecordClaimsWhatIsLeftAndOneMoreExecuteFinishes) {
  std::map<std::string, DeviceState> finished; // by beginning and direction
  auto key = [](const Beginning &beginning, bool prohibit) {
    return std::string(beginning.name) + (prohibit ? " prohibiting" : " allowing");
  };
  auto executeAlone = [&](bool prohibit) {
    return prohibit ? executeWith(kFloppyProhibited, kUsbProhibited)
                    : executeWith(kFloppyAllowed, kUsbAllowed);
  };
  auto begin = [](const Beginning &beginning) {
    seedServices(3, 3);
    putStart("UASPStor", 3);
    writeRestrictionKeys(beginning.keys);
    removeRecord();
  };
  for (const Beginning &beginning : kBeginnings) {
    begin(beginning);
    ASSERT_TRUE(executeAlone(true));
    finished[key(beginning, true)] = readDeviceState();
    ASSERT_TRUE(executeAlone(false));
    finished[key(beginning, false)] = readDeviceState();
  }

  // The USB part follows the floppy's write at once and takes about a
  // millisecond, more or less with the load: the kills are drawn from up
  // to latest microseconds after the test sees the floppy's write, widened
  // after a kill that came before the USB part's first write and narrowed
  // after one that came after its last, so that they spread over it.
  LONGLONG latest[2] = {2000, 2000}; // allowing, prohibiting
  int landed[3] = {};                // before the USB part, within it, after it
  std::mt19937 random(31);
  std::map<std::string, int> seen;
  for (int run = 0; run < runs(40); ++run) {
    const Beginning &beginning = kBeginnings[run % 2];
    const bool prohibit = run / 2 % 2 == 0, thenProhibit = run / 4 % 2 == 0;
    SCOPED_TRACE("run " + std::to_string(run) + ", " + key(beginning, prohibit));
    begin(beginning);
    if (!prohibit) {
      ASSERT_TRUE(executeAlone(true));
    }
    const DeviceState before = readDeviceState();
    const DWORD floppy = prohibit ? 4 : 3;
    killDuringExecute(
        random, prohibit, [&] { return startValue("Flpydisk") == std::optional<DWORD>(floppy); },
        latest[prohibit]);
    if (HasFatalFailure())
      return;
    DeviceState after = readDeviceState();
    const bool complete = after == finished[key(beginning, prohibit)];
    after.floppy = before.floppy;
    const bool untouched = after == before;
    ++landed[untouched ? 0 : complete ? 2 : 1];
    latest[prohibit] = std::clamp<LONGLONG>(untouched  ? latest[prohibit] * 5 / 4
                                            : complete ? latest[prohibit] * 4 / 5
                                                       : latest[prohibit],
                                            100, 50000);
    const std::string faults = recordFaults(beginning);
    EXPECT_EQ(faults, "") << partsThere() << "; record: " << describe(readRecord());
    ++seen[key(beginning, prohibit) + ": " + partsThere()];

    // An Execute that finds the restriction in force writes nothing, so
    // the last-write times a kill cut off stay away: the claims compare.
    ASSERT_TRUE(executeAlone(thenProhibit));
    DeviceState expected = finished[key(beginning, thenProhibit)], found = readDeviceState();
    expected.record = claimsOf(expected.record);
    found.record = claimsOf(found.record);
    EXPECT_EQ(found, expected) << "then " << (thenProhibit ? "prohibiting" : "allowing")
                               << ", as without a kill";
  }
  for (const auto &[outcome, count] : seen)
    std::printf("%s: %d\n", outcome.c_str(), count);
  std::printf("(Flpydisk/USBSTOR/UASPStor/restriction after the kill, and the record's values)\n"
              "kills before the USB part: %d, within it: %d, after it: %d; "
              "last windows: %lld us allowing, %lld us prohibiting\n",
              landed[0], landed[1], landed[2], latest[0], latest[1]);
}

} // namespace
