// Execute and Exit of the shipped program: the password check, what is
// written, and what the administrator sees.
#include "executing_program.h"

namespace {

using namespace e2e;
using namespace testsupport;

using ExecuteTest = ExecutingProgramTest;

TEST_F(ExecuteTest, NoPasswordFileAndEmptyFieldWritesBothModesThenEnds) {
  ASSERT_TRUE(start());
  click(optionButtons(window)[1]); // floppy: 使用禁止
  click(optionButtons(window)[2]); // USB: 使用可
  click(button(L"実行"));
  HWND box = program->waitForMessageBox();
  ASSERT_NE(box, nullptr);
  const MessageBoxText text = readMessageBox(box);
  EXPECT_EQ(text.title, L"設定完了");
  EXPECT_EQ(text.prompt,
            L"設定を行いました。\r\n設定を有効にするにはWindowsを再起動してください。");
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(4));
  EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(3));
  pressOk(box);
  EXPECT_TRUE(program->waitForExit());
}

TEST_F(ExecuteTest, WrongPasswordsAreRejectedAndTheWindowStays) {
  writePasswordFile("Secret\r\n");
  ASSERT_TRUE(start());
  click(optionButtons(window)[3]);
  for (const wchar_t *typed : {L"secret", L"Secret "}) {
    clearText(field());
    typeText(field(), typed);
    const MessageBoxText text = execute();
    EXPECT_EQ(text.title, L"エラー") << typed;
    EXPECT_EQ(text.prompt, L"パスワードが異なります") << typed;
    EXPECT_TRUE(program->running());
    EXPECT_EQ(textLength(field()), static_cast<int>(wcslen(typed)))
        << "the field keeps what was typed";
  }
  EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(3));
  clearText(field());
  typeText(field(), L"Secret");
  EXPECT_EQ(execute().title, L"設定完了");
  EXPECT_TRUE(program->waitForExit());
  EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(4));
}

TEST_F(ExecuteTest, ExecuteReportsTheNewStatesAndWhoSetThemButNoPassword) {
  writePasswordFile("Kx9-secret\r\n");
  ASSERT_TRUE(start());
  click(optionButtons(window)[1]); // floppy: 使用禁止, USB stays 使用可
  typeText(field(), L"Kx9-secret");
  EXPECT_EQ(execute().title, L"設定完了");
  EXPECT_TRUE(program->waitForExit());
  expectOnlyEvent(trace.events(), 1, EVENTLOG_INFORMATION_TYPE, "trace",
                  {L"使用禁止（Flpydisk）", L"使用可（USBSTOR）"});
  EXPECT_FALSE(trace.mentions("Kx9-secret"));
}

TEST_F(ExecuteTest, AWrongPasswordIsReportedButNotWhatWasTyped) {
  writePasswordFile("Kx9-secret\r\n");
  ASSERT_TRUE(start());
  typeText(field(), L"Kx9-Secret");
  EXPECT_EQ(execute().prompt, L"パスワードが異なります");
  expectOnlyEvent(trace.events(), 2, EVENTLOG_WARNING_TYPE, "warn",
                  {L"入力されたパスワードが一致しません"});
  EXPECT_FALSE(trace.mentions("Kx9-Secret"));
  EXPECT_FALSE(trace.mentions("Kx9-secret"));
}

TEST_F(ExecuteTest, UsbMeansTheUasDriverTooWhereItIsInstalled) {
  putStart("UASPStor", 3);
  ASSERT_TRUE(start());
  click(optionButtons(window)[3]); // USB: 使用禁止
  EXPECT_EQ(execute().title, L"設定完了");
  EXPECT_TRUE(program->waitForExit());
  EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(4));
  EXPECT_EQ(startValue("UASPStor"), std::optional<DWORD>(4));
  expectOnlyEvent(
      trace.events(), 1, EVENTLOG_INFORMATION_TYPE, "trace",
      {L"使用可（Flpydisk）", L"使用禁止（USB\\Class_08 のインストール禁止、USBSTOR、UASPStor）"});

  ASSERT_TRUE(start());
  click(optionButtons(window)[2]); // USB: 使用可
  EXPECT_EQ(execute().title, L"設定完了");
  EXPECT_TRUE(program->waitForExit());
  EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(3));
  EXPECT_EQ(startValue("UASPStor"), std::optional<DWORD>(3));
}

TEST_F(ExecuteTest, WithoutTheUasDriverExecuteSucceedsAndMakesNoKeyForIt) {
  ASSERT_TRUE(start());
  click(optionButtons(window)[3]);
  EXPECT_EQ(execute().title, L"設定完了");
  EXPECT_TRUE(program->waitForExit());
  EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(4));
  EXPECT_FALSE(keyExists("UASPStor"));
}

TEST_F(ExecuteTest, AUasKeyThatRefusesTheWriteGives004WithUsbAsItWas) {
  putStart("UASPStor", 3);
  if (!denySetValue("UASPStor"))
    GTEST_SKIP() << "this registry keeps no rules on keys";
  ASSERT_TRUE(start());
  click(optionButtons(window)[1]); // floppy: 使用禁止
  click(optionButtons(window)[3]); // USB: 使用禁止
  const MessageBoxText text = execute();
  EXPECT_EQ(text.title, L"エラー");
  EXPECT_EQ(text.prompt, L"設定が出来ませんでした。(004)");
  EXPECT_TRUE(program->running());
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(4)) << "written before, and stays";
  EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(3)) << "put back";
  EXPECT_EQ(startValue("UASPStor"), std::optional<DWORD>(3));
  EXPECT_EQ(readRestrictionKeys().denyList, std::nullopt) << "the restriction taken back too";
  EXPECT_FALSE(usbInstallDenied());
  expectOnlyEvent(trace.events(), 3, EVENTLOG_ERROR_TYPE, "err",
                  {L"ＵＳＢ（UASPStor）", L"5", L"フロッピー: 使用禁止（Flpydisk）"});
}

// 使用禁止 also tells Windows to install no USB mass-storage device, so that
// a drive this PC has never seen can't set Start back to 3 with its driver
// install; 使用可 takes back exactly what it added. An administrator's own
// entries, and an entry of the same ID in another case, stay as they are.
TEST_F(ExecuteTest, UsbProhibitedDeniesNewDrivesAndAllowedTakesBackOnlyThat) {
  const RestrictionKeys administrators{
      std::map<std::wstring, StoredValue>{{L"DenyDeviceIDsRetroactive", dword(0)},
                                          {L"DenyRemovableDevices", dword(0)}},
      std::map<std::wstring, StoredValue>{{L"1", sz(L"PCI\\CC_0C0A")},
                                          {L"2", sz(L"USB\\VID_0781&PID_5567")},
                                          {L"社内", sz(L"USBPRINT\\機器", REG_EXPAND_SZ)}}};
  writeRestrictionKeys(administrators);
  ASSERT_TRUE(executeWith(0, 3));
  RestrictionKeys expected = administrators;
  (*expected.restrictions)[L"DenyDeviceIDs"] = dword(1);
  (*expected.denyList)[L"3"] = sz(L"USB\\Class_08");
  EXPECT_EQ(readRestrictionKeys(), expected);

  // A floppy change with USB left 使用禁止 writes nothing under Restrictions:
  // were it to, keys that refuse every write would answer (004).
  ASSERT_TRUE(refuseRestrictionWrites());
  EXPECT_TRUE(executeWith(1, 3)) << "nothing under Restrictions is touched";
  allowRestrictionWrites();

  ASSERT_TRUE(executeWith(1, 2));
  EXPECT_EQ(readRestrictionKeys(), administrators) << "the entry and the switch it added go";
  EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(3));

  (*expected.denyList).erase(L"3");
  (*expected.denyList)[L"5"] = sz(L"usb\\class_08");
  writeRestrictionKeys(expected);
  ASSERT_TRUE(executeWith(1, 3));
  EXPECT_EQ(readRestrictionKeys(), expected) << "listed already, in another case";
}

TEST_F(ExecuteTest, AFloppyChangeWithUsbAllowedMakesNoPolicyKey) {
  ASSERT_TRUE(executeWith(1, 2));
  EXPECT_EQ(readRestrictionKeys(), RestrictionKeys{});
  ASSERT_TRUE(executeWith(1, 3));
  ASSERT_TRUE(executeWith(1, 2));
  const RestrictionKeys lifted = readRestrictionKeys();
  EXPECT_EQ(lifted.denyList, std::nullopt) << describe(lifted.denyList);
  EXPECT_EQ(lifted.restrictions, KeyValues(std::map<std::wstring, StoredValue>{}))
      << "the switch goes with the list it emptied";
  const std::vector<TracedEvent> events = trace.events();
  ASSERT_EQ(events.size(), 3u);
  expectOnlyEvent(
      {events.back()}, 1, EVENTLOG_INFORMATION_TYPE, "trace",
      {L"使用禁止（Flpydisk）", L"使用可（USBSTOR、USB\\Class_08 のインストール禁止を解除）"});
}

TEST_F(ExecuteTest, AFolderInThePasswordFilesPlaceGives003AndIsNamedSo) {
  ASSERT_TRUE(CreateDirectoryA(passwordFilePath().c_str(), nullptr));
  ASSERT_TRUE(start());
  click(optionButtons(window)[1]);
  const MessageBoxText text = execute();
  RemoveDirectoryA(passwordFilePath().c_str());
  EXPECT_EQ(text.prompt, L"設定が出来ませんでした。(003)");
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(3));
  expectOnlyEvent(
      trace.events(), 2, EVENTLOG_WARNING_TYPE, "warn",
      {L"パスワードファイルの場所に同じ名前のフォルダーがあります（エラーコード: 336）"});
}

TEST_F(ExecuteTest, CancelAfterAChoiceWritesNothing) {
  ASSERT_TRUE(start());
  click(optionButtons(window)[1]);
  click(optionButtons(window)[3]);
  ASSERT_TRUE(waitUntil([&] { return button(L"キャンセル") != nullptr; }));
  click(button(L"キャンセル"));
  EXPECT_TRUE(program->waitForExit());
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(3));
  EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(3));
}

TEST_F(ExecuteTest, TheExecuteMenuItemActsLikeTheButton) {
  writePasswordFile("pw\r\n");
  ASSERT_TRUE(start());
  click(optionButtons(window)[1]);
  chooseMenuItem(window, L"実行(&A)");
  HWND box = program->waitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(readMessageBox(box).prompt, L"パスワードが異なります");
  pressOk(box);
  waitUntil([&] { return program->messageBox() == nullptr; });
  typeText(field(), L"pw");
  chooseMenuItem(window, L"実行(&A)");
  box = program->waitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(readMessageBox(box).title, L"設定完了");
  pressOk(box);
  EXPECT_TRUE(program->waitForExit());
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(4));
}

TEST_F(ExecuteTest, EnterInThePasswordFieldDoesNotExecute) {
  ASSERT_TRUE(start());
  click(optionButtons(window)[1]);
  PostMessageW(field(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PostMessageW(field(), WM_KEYUP, VK_RETURN, 0xC01C0001);
  Sleep(500);
  EXPECT_EQ(program->messageBox(), nullptr);
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(3));
}

// Another program holding the file without sharing says nothing about the
// password: the right one typed gets (003), not 「パスワードが異なります」.
TEST_F(ExecuteTest, APasswordFileHeldByAnotherProgramGives003AndWritesNothing) {
  writePasswordFile("Kx9-secret\r\n");
  ASSERT_TRUE(start());
  click(optionButtons(window)[1]);
  typeText(field(), L"Kx9-secret");
  HANDLE held = holdPasswordFileExclusively();
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const MessageBoxText text = execute();
  CloseHandle(held);
  EXPECT_EQ(text.title, L"エラー");
  EXPECT_EQ(text.prompt, L"設定が出来ませんでした。(003)");
  EXPECT_TRUE(program->running());
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(3));
  expectOnlyEvent(trace.events(), 2, EVENTLOG_WARNING_TYPE, "warn",
                  {L"パスワードファイルを読み込めません（エラーコード: 32）"});
  EXPECT_FALSE(trace.mentions("Kx9-secret"));
}

} // namespace
