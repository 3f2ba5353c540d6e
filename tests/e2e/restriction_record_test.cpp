// The install restriction as the program leaves it to others: 使用可 takes
// back only what its 使用禁止 added and nobody has rewritten since, an
// administrator's entries stay byte for byte whatever their names, and USB
// shown 使用禁止 without the restriction is logged and mended by the next
// Execute.
#include "device_state.h"
#include "executing_program.h"

namespace {

using namespace e2e;
using namespace testsupport;

using Values = std::map<std::wstring, StoredValue>;

constexpr wchar_t kUsbStorage[] = L"USB\\Class_08";
// What the audit event says of USB after 使用可, the UAS driver not there.
constexpr wchar_t kLifted[] = L"使用可（USBSTOR、USB\\Class_08 のインストール禁止を解除）";
constexpr wchar_t kRefusedByOthers[] =
    L"使用可（USBSTOR。新しい USB ストレージは本ツール以外の設定によりインストール禁止のままです）";

class RestrictionRecordTest : public ExecutingProgramTest {
protected:
  // The last event's USB part is text, as far as the trace shows it.
  void expectUsbPart(const std::wstring &text) const {
    const std::vector<TracedEvent> events = trace.events();
    ASSERT_FALSE(events.empty());
    EXPECT_TRUE(reads(events.back(), 1, text))
        << (events.back().strings.size() > 1 ? readable(events.back().strings[1]) : "(none)");
  }
};

// An administrator's block of new USB storage, by an entry of any name and
// a switch in any state: a floppy change leaves it, and 使用禁止 then 使用可
// give it back as it was, with no record left.
TEST_F(RestrictionRecordTest, AnAdministratorsEntryOutlivesAFloppyChangeAndARoundTrip) {
  struct Case {
    const char *what;
    RestrictionKeys keys;
  };
  const Case cases[] = {
      {"in force",
       {Values{{L"DenyDeviceIDs", dword(1)}, {L"DenyDeviceIDsRetroactive", dword(0)}},
        Values{{L"社内", sz(kUsbStorage)}, {L"5", sz(L"usb\\CLASS_08")}}}},
      {"a policy set to 無効",
       {Values{{L"DenyDeviceIDs", dword(0)}},
        Values{{L"5", sz(kUsbStorage)}, {L"1", sz(L"PCI\\CC_0C0A", REG_EXPAND_SZ)}}}},
      {"a switch of another type",
       {Values{{L"DenyDeviceIDs", sz(L"1")}}, Values{{L"社内", sz(kUsbStorage)}}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    writeRestrictionKeys(c.keys);
    const StoredValue former = c.keys.restrictions->at(L"DenyDeviceIDs");
    const bool inForce = former == dword(1);
    ASSERT_TRUE(executeWith(kFloppyProhibited, kUsbAllowed));
    EXPECT_EQ(readRestrictionKeys(), c.keys);
    EXPECT_EQ(readRecord(), std::nullopt);
    expectUsbPart(inForce ? kRefusedByOthers : L"使用可（USBSTOR）");

    ASSERT_TRUE(executeWith(kFloppyAllowed, kUsbProhibited));
    RestrictionKeys prohibited = c.keys;
    (*prohibited.restrictions)[L"DenyDeviceIDs"] = dword(1);
    EXPECT_EQ(readRestrictionKeys(), prohibited) << "the switch on, no entry of the program's";
    const KeyValues changedSwitch =
        finishedRecord({{L"DenySwitchChanged", dword(1)}, {L"FormerDenySwitch", former}});
    EXPECT_EQ(readRecordWithoutTimes(), inForce ? KeyValues() : changedSwitch);

    ASSERT_TRUE(executeWith(kFloppyProhibited, kUsbAllowed));
    EXPECT_EQ(readRestrictionKeys(), c.keys);
    EXPECT_EQ(readRecord(), std::nullopt);
    EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(3));
    expectUsbPart(inForce ? kRefusedByOthers : kLifted);
  }
}

// A policy refresh after the program's 使用禁止 rewrote the list (every
// value deleted, the same entry set again), or the switch: 使用可 leaves
// what was rewritten in force and names it, and from then on it is someone
// else's: the record no longer claims it.
TEST_F(RestrictionRecordTest, WhatAPolicyRefreshRewroteStaysOnAndIsNamed) {
  const Values list{{L"1", sz(kUsbStorage)}};
  const Values on{{L"DenyDeviceIDs", dword(1)}};
  ASSERT_TRUE(executeWith(kFloppyAllowed, kUsbProhibited));
  ASSERT_EQ(readRecordWithoutTimes(), finishedRecord({{L"DenyListEntry", sz(L"1")},
                                                      {L"CreatedDenyList", dword(1)},
                                                      {L"DenySwitchChanged", dword(1)}}));
  rewriteDenyList(list);
  ASSERT_TRUE(executeWith(kFloppyAllowed, kUsbAllowed));
  EXPECT_EQ(readRestrictionKeys(), (RestrictionKeys{on, list}));
  const KeyValues listOnly = Values{{L"CreatedDenyList", dword(1)}};
  EXPECT_EQ(claimsOf(readRecord()), listOnly) << "the list key it made holds others' entry";
  EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(3));
  expectUsbPart(L"使用可（USBSTOR。USB\\Class_08 のインストール禁止のうち、その後ほかで"
                L"書き換えられた部分は残しました: 一覧の項目、DenyDeviceIDs の値。新しい USB "
                L"ストレージは本ツール以外の設定によりインストール禁止のままです）");
  ASSERT_TRUE(executeWith(kFloppyAllowed, kUsbAllowed));
  EXPECT_EQ(readRestrictionKeys(), (RestrictionKeys{on, list}));
  EXPECT_EQ(claimsOf(readRecord()), listOnly);
  expectUsbPart(kRefusedByOthers);

  removeRestrictionKeys();
  removeRecord();
  ASSERT_TRUE(executeWith(kFloppyAllowed, kUsbProhibited));
  rewriteDenySwitch();
  ASSERT_TRUE(executeWith(kFloppyAllowed, kUsbAllowed));
  EXPECT_EQ(readRestrictionKeys(), (RestrictionKeys{on, std::nullopt}))
      << "the entry and the list the program made are taken back";
  EXPECT_EQ(readRecord(), std::nullopt);
  expectUsbPart(L"使用可（USBSTOR、USB\\Class_08 のインストール禁止を解除。USB\\Class_08 の"
                L"インストール禁止のうち、その後ほかで書き換えられた部分は残しました: "
                L"DenyDeviceIDs の値）");
}

// A kill between making the record's key and setting its first value
// leaves the key empty: it claims nothing, and 使用可 leaves no key behind,
// as it does after taking everything back.
TEST_F(RestrictionRecordTest, AnEmptyRecordLeftByAKillIsGoneAfterAllowing) {
  writeRecord({});
  ASSERT_TRUE(executeWith(kFloppyAllowed, kUsbAllowed));
  EXPECT_EQ(readRecord(), std::nullopt);
  EXPECT_EQ(readRestrictionKeys(), RestrictionKeys{});
}

// Start 4/4 without the restriction in force: the window stays on the safe
// side, the start logs what is missing, and one Execute that changes only
// the floppy puts the restriction in force and records what it added.
TEST_F(RestrictionRecordTest, UsbShownProhibitedWithoutTheRestrictionIsLoggedAndMended) {
  struct Case {
    const char *what;
    RestrictionKeys keys;
    std::wstring missing;
    KeyValues record;
  };
  const Case cases[] = {
      {"nothing there",
       {},
       L"DenyDeviceIDs（REG_DWORD 1）、USB\\Class_08 の項目",
       finishedRecord({{L"DenyListEntry", sz(L"1")},
                       {L"CreatedDenyList", dword(1)},
                       {L"DenySwitchChanged", dword(1)}})},
      {"a policy set to 無効",
       {Values{{L"DenyDeviceIDs", dword(0)}}, Values{{L"1", sz(kUsbStorage)}}},
       L"DenyDeviceIDs（REG_DWORD 1）",
       finishedRecord({{L"DenySwitchChanged", dword(1)}, {L"FormerDenySwitch", dword(0)}})},
      {"the entry replaced by a policy",
       {Values{{L"DenyDeviceIDs", dword(1)}}, Values{{L"1", sz(L"PCI\\CC_0C0A")}}},
       L"USB\\Class_08 の項目",
       finishedRecord({{L"DenyListEntry", sz(L"2")}})},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    writeRestrictionKeys(c.keys);
    removeRecord();
    seedServices(3, 4);
    putStart("UASPStor", 4);
    const EventTrace atStart;
    ASSERT_TRUE(start());
    EXPECT_TRUE(isChecked(optionButtons(window)[kUsbProhibited]));
    waitUntil([&] { return !atStart.events().empty(); }, 3000);
    expectOnlyEvent(atStart.events(), 8, EVENTLOG_WARNING_TYPE, "warn", {c.missing});

    click(optionButtons(window)[kFloppyProhibited]);
    EXPECT_EQ(execute().title, L"設定完了");
    EXPECT_TRUE(program->waitForExit());
    EXPECT_TRUE(usbInstallDenied());
    EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(4));
    EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(4));
    EXPECT_EQ(startValue("UASPStor"), std::optional<DWORD>(4));
    EXPECT_EQ(readRecordWithoutTimes(), c.record);

    const EventTrace mended;
    ASSERT_TRUE(start());
    Sleep(500);
    EXPECT_TRUE(mended.events().empty()) << "nothing missing any more";
    program.reset();
  }
}

// Entry names as the registry gives them, a lone surrogate or a NUL within:
// 使用禁止 sees what each holds and adds no second entry of the ID, and
// 使用可 deletes none of them.
TEST_F(RestrictionRecordTest, EntriesAreTakenByTheNamesTheRegistryGives) {
  const std::wstring surrogate(1, wchar_t{0xD800}), replacement(1, wchar_t{0xFFFD});
  const std::wstring withNul(L"1\0x", 3);
  struct Case {
    const char *what;
    Values list;
    Values added;
  };
  const Case cases[] = {
      {"a lone surrogate",
       {{surrogate, sz(kUsbStorage)}, {replacement, sz(L"USB\\VID_0781&PID_5567")}},
       {}},
      {"a NUL within, holding the ID", {{withNul, sz(kUsbStorage)}}, {}},
      {"a NUL within, holding another",
       {{withNul, sz(L"PCI\\CC_0C0A")}},
       {{L"1", sz(kUsbStorage)}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const RestrictionKeys administrators{Values{}, c.list};
    writeRestrictionKeys(administrators);
    ASSERT_TRUE(executeWith(kFloppyAllowed, kUsbProhibited));
    RestrictionKeys prohibited{Values{{L"DenyDeviceIDs", dword(1)}}, c.list};
    prohibited.denyList->insert(c.added.begin(), c.added.end());
    EXPECT_EQ(readRestrictionKeys(), prohibited);
    Values claims{{L"DenySwitchChanged", dword(1)}};
    if (!c.added.empty())
      claims[L"DenyListEntry"] = sz(c.added.begin()->first);
    EXPECT_EQ(readRecordWithoutTimes(), finishedRecord(claims));

    ASSERT_TRUE(executeWith(kFloppyAllowed, kUsbAllowed));
    EXPECT_EQ(readRestrictionKeys(), administrators);
    EXPECT_EQ(readRecord(), std::nullopt);
  }

  // The switch on and no record: 使用可 changes nothing under Policies and
  // says new drives stay refused.
  const RestrictionKeys inForce{Values{{L"DenyDeviceIDs", dword(1)}}, cases[0].list};
  writeRestrictionKeys(inForce);
  seedServices(3, 4);
  ASSERT_TRUE(executeWith(kFloppyAllowed, kUsbAllowed));
  EXPECT_EQ(readRestrictionKeys(), inForce);
  expectUsbPart(kRefusedByOthers);
}

} // namespace
