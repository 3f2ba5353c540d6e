// The audit trail: each outcome of the main window and the change-password
// dialog leaves its one event in the event log, and nothing else does.
#include "password/password_dialog_handlers.h"
#include "sim_world.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_world;
using platform::EventType;

constexpr char kAccount[] = "PC01\\tanaka";

struct Expected {
  std::uint16_t id;
  EventType type;
  std::vector<std::string> strings;
};

class AuditTrailTest : public ::testing::Test, protected SimWorld {
protected:
  void expectOnlyEvent(const Expected &expected) {
    ASSERT_EQ(events.events.size(), 1u);
    EXPECT_EQ(events.events[0].id, expected.id);
    EXPECT_EQ(events.events[0].type, expected.type);
    EXPECT_EQ(events.events[0].strings, expected.strings);
    events.events.clear();
  }
  void loadWith(const std::string &password, int floppyOption, int usbOption) {
    writePasswordFile(password + "\r\n");
    seed(3, 3);
    handlers.onLoad();
    controls.selectOption(floppyOption);
    controls.selectOption(usbOption);
  }
  void changePassword(const std::string &old, const std::string &fresh, const std::string &again) {
    struct Fields : password::DialogControls {
      std::string fieldText(int index) const override {
        return texts[static_cast<std::size_t>(index)];
      }
      std::array<std::string, 3> texts;
    } fields;
    fields.texts = {old, fresh, again};
    sim::RecordingWindow dialogWindow;
    password::PasswordDialogHandlers(fields, dialogWindow, passwordFile, codec, events).onOk();
  }
};

TEST_F(AuditTrailTest, ExecuteReportsEachDevicesNewStateAndTheServicesThatHoldIt) {
  loadWith("pw", 1, 2);
  controls.password = "pw";
  handlers.onExecute();
  expectOnlyEvent(
      {1, EventType::Information, {"使用禁止（Flpydisk）", "使用可（USBSTOR）", kAccount}});
  deviceModes.putStart("UASPStor", 4);
  handlers.onExecute();
  expectOnlyEvent({1,
                   EventType::Information,
                   {"使用禁止（Flpydisk）", "使用可（USBSTOR、UASPStor）", kAccount}});
  controls.selectOption(3);
  handlers.onExecute();
  expectOnlyEvent({1,
                   EventType::Information,
                   {"使用禁止（Flpydisk）",
                    "使用禁止（USB\\Class_08 のインストール禁止、USBSTOR、UASPStor）", kAccount}});
  controls.selectOption(2);
  handlers.onExecute();
  expectOnlyEvent(
      {1,
       EventType::Information,
       {"使用禁止（Flpydisk）",
        "使用可（USBSTOR、UASPStor、USB\\Class_08 のインストール禁止を解除）", kAccount}});
}

TEST_F(AuditTrailTest, RefusedExecuteSaysWhyButNeverWhatWasTyped) {
  loadWith("Secret", 0, 3);
  controls.password = "secret";
  handlers.onExecute();
  expectOnlyEvent({2, EventType::Warning, {"入力されたパスワードが一致しません", kAccount}});
  faults.failNext("ReadPasswordFile", 32);
  controls.password = "Secret";
  handlers.onExecute();
  expectOnlyEvent({2,
                   EventType::Warning,
                   {"パスワードファイルを読み込めません（エラーコード: 32）", kAccount}});
  faults.failNext("ReadPasswordFile", 5);
  handlers.onExecute();
  expectOnlyEvent({2,
                   EventType::Warning,
                   {"パスワードファイルを開く権限がありません（エラーコード: 5）", kAccount}});
  writePasswordFile("\x83\r\n");
  handlers.onExecute();
  expectOnlyEvent({2,
                   EventType::Warning,
                   {"パスワードファイルの内容が正しくありません（エラーコード: 1113）", kAccount}});
}

TEST_F(AuditTrailTest, FailedWritesNameTheDeviceTheCodeAndWhatStaysWritten) {
  loadWith("", 0, 3);
  deviceModes.putStart("UASPStor", 3);
  faults.failNext("writeStart(Flpydisk)", 5);
  handlers.onExecute();
  expectOnlyEvent({3, EventType::Error, {"フロッピー（Flpydisk）", "5", "なし", kAccount}});
  faults.failNext("writeStart(USBSTOR)", 1021);
  handlers.onExecute();
  expectOnlyEvent({3,
                   EventType::Error,
                   {"ＵＳＢ（USBSTOR）", "1021", "フロッピー: 使用可（Flpydisk）", kAccount}});
  faults.failNext("writeStart(UASPStor)", 5);
  handlers.onExecute();
  expectOnlyEvent({3,
                   EventType::Error,
                   {"ＵＳＢ（UASPStor）", "5", "フロッピー: 使用可（Flpydisk）", kAccount}});
  // USBSTOR was written before UASPStor failed; had it not been put back,
  // the event would say it holds the new state.
  faults.failNext("writeStart(UASPStor)", 5);
  faults.failCall("writeStart(USBSTOR)", faults.count("writeStart(USBSTOR)") + 2, 1021);
  handlers.onExecute();
  expectOnlyEvent({3,
                   EventType::Error,
                   {"ＵＳＢ（UASPStor）", "5",
                    "フロッピー: 使用可（Flpydisk）、ＵＳＢ: 使用禁止（USBSTOR）", kAccount}});
  faults.failNext("writeRestriction(entry 1)", 1021);
  handlers.onExecute();
  expectOnlyEvent({3,
                   EventType::Error,
                   {"ＵＳＢ（USB\\Class_08 のインストール禁止）", "1021",
                    "フロッピー: 使用可（Flpydisk）", kAccount}});
}

TEST_F(AuditTrailTest, UnreadableStartModesAtLoadReportTheRegistrysCode) {
  deviceModes.putStart("Flpydisk", 3); // no USBSTOR key at all
  handlers.onLoad();
  expectOnlyEvent({6, EventType::Error, {"2", kAccount}});
  seed(3, 3);
  faults.failNext("readStart(USBSTOR)", 5);
  handlers.onLoad();
  expectOnlyEvent({6, EventType::Error, {"5", kAccount}});
}

TEST_F(AuditTrailTest, PasswordChangesAndRefusalsCarryNoPassword) {
  writePasswordFile("Old\r\n");
  changePassword("Old", "New", "New");
  expectOnlyEvent({4, EventType::Information, {kAccount}});
  changePassword("Old", "A", "A");
  expectOnlyEvent({5, EventType::Warning, {"(010) 元のパスワードが一致しません", kAccount}});
  changePassword("New", "A", "B");
  expectOnlyEvent(
      {5, EventType::Warning, {"(011) 新パスワードと新パスワード確認が一致しません", kAccount}});
  faults.failNext("ReplacePasswordFile", 5);
  changePassword("New", "A", "A");
  expectOnlyEvent({5,
                   EventType::Warning,
                   {"(012) 新パスワードを保存できませんでした（エラーコード: 5）", kAccount}});
  passwordFile.heldElsewhere = true;
  changePassword("New", "A", "A");
  expectOnlyEvent(
      {5, EventType::Warning, {"(012) 他のコピーが変更ロックを保持しています", kAccount}});
}

// A standard user is refused at the lock, and a folder may stand where the
// file should be: each is told as what it is, with the system's code.
TEST_F(AuditTrailTest, ALockRefusedForRightsAndAFolderInTheFilesPlaceAreNamed) {
  writePasswordFile("Old\r\n");
  passwordFile.lockNeedsElevation = true;
  changePassword("Old", "New", "New");
  expectOnlyEvent(
      {5,
       EventType::Warning,
       {"(012) 変更ロックのファイルを開く権限がありません（エラーコード: 5）", kAccount}});
  passwordFile.elevationRefusal = platform::kInvalidOwner; // an administrator not elevated
  changePassword("Old", "New", "New");
  expectOnlyEvent(
      {5,
       EventType::Warning,
       {"(012) 変更ロックのファイルを開く権限がありません（エラーコード: 1307）", kAccount}});
  passwordFile.lockNeedsElevation = false;

  faults.failNext("ReadPasswordFile", 336); // ERROR_DIRECTORY_NOT_SUPPORTED
  changePassword("Old", "New", "New");
  expectOnlyEvent(
      {5,
       EventType::Warning,
       {"(012) パスワードファイルの場所に同じ名前のフォルダーがあります（エラーコード: 336）",
        kAccount}});
  loadWith("Old", 1, 2);
  controls.password = "Old";
  faults.failNext("ReadPasswordFile", 336);
  handlers.onExecute();
  expectOnlyEvent({2,
                   EventType::Warning,
                   {"パスワードファイルの場所に同じ名前のフォルダーがあります（エラーコード: 336）",
                    kAccount}});
  EXPECT_EQ(window.messages.back().prompt, "設定が出来ませんでした。(003)");
}

TEST_F(AuditTrailTest, APasswordFileLeftReadableIsNotedBeforeTheOutcomeWithTheCode) {
  loadWith("pw", 1, 2);
  controls.password = "pw";
  faults.failNext("RestrictPasswordFile", 1336); // ERROR_INVALID_ACL
  handlers.onExecute();
  ASSERT_EQ(events.events.size(), 2u);
  EXPECT_EQ(events.events[0].id, 7);
  EXPECT_EQ(events.events[0].type, EventType::Warning);
  EXPECT_EQ(events.events[0].strings, (std::vector<std::string>{"1336", kAccount}));
  EXPECT_EQ(events.events[1].id, 1);
}

// Execute takes the change lock once the password is right; without it,
// nothing is written and the event says why, as the dialog does.
TEST_F(AuditTrailTest, ExecuteWithoutTheChangeLockSaysWhy) {
  loadWith("pw", 1, 3);
  controls.password = "pw";
  struct Case {
    bool held;
    platform::Status refusal;
    const char *reason;
  };
  const Case cases[] = {
      {true, 0, "他のコピーが変更ロックを保持しています"},
      {false, platform::kAccessDenied,
       "変更ロックのファイルを開く権限がありません（エラーコード: 5）"},
      {false, platform::kInvalidOwner,
       "変更ロックのファイルを開く権限がありません（エラーコード: 1307）"},
  };
  for (const Case &c : cases) {
    passwordFile.heldElsewhere = c.held;
    passwordFile.lockNeedsElevation = !c.held;
    passwordFile.elevationRefusal = c.refusal;
    handlers.onExecute();
    expectOnlyEvent({9, EventType::Warning, {c.reason, kAccount}});
  }
  passwordFile.lockNeedsElevation = false;
  faults.failNext("LockPasswordChanges", platform::kInvalidOwner);
  handlers.onExecute();
  expectOnlyEvent({9,
                   EventType::Warning,
                   {"変更ロックのファイル vantorel.lock は本ツールのものではありません。"
                    "管理者が削除してかまいません",
                    kAccount}});
  faults.failNext("LockPasswordChanges", 3);
  handlers.onExecute();
  expectOnlyEvent(
      {9, EventType::Warning, {"変更ロックを取得できません（エラーコード: 3）", kAccount}});
  EXPECT_EQ(deviceModes.dword("Flpydisk"), 3u);
  EXPECT_EQ(deviceModes.dword("USBSTOR"), 3u);
  EXPECT_EQ(deviceModes.restriction, platform::InstallRestriction{});
}

// USB shown 使用禁止 while a new drive would install: the start says what is
// missing, and the next Execute that keeps USB prohibited mends it.
TEST_F(AuditTrailTest, AMissingRestrictionIsWarnedOfAtTheStart) {
  struct Case {
    platform::InstallRestriction restriction;
    const char *missing;
  };
  const platform::RegistryValue id = platform::RegistryValue::string("usb\\class_08");
  const Case cases[] = {
      {{}, "DenyDeviceIDs（REG_DWORD 1）、USB\\Class_08 の項目"},
      {{platform::RegistryValue::dword(0), true, {{L"1", id}}, {}}, "DenyDeviceIDs（REG_DWORD 1）"},
      {{platform::RegistryValue::dword(1), true, {}, {}}, "USB\\Class_08 の項目"},
  };
  for (const Case &c : cases) {
    deviceModes.putStart("Flpydisk", 3);
    deviceModes.putStart("USBSTOR", 4);
    deviceModes.restriction = c.restriction;
    handlers.onLoad();
    expectOnlyEvent({8, EventType::Warning, {c.missing, kAccount}});
  }
  faults.failNext("readRestriction", 5);
  handlers.onLoad();
  expectOnlyEvent(
      {8, EventType::Warning, {"インストール禁止を読み取れません（エラーコード: 5）", kAccount}});
  EXPECT_TRUE(window.messages.empty()) << "the window opens as it did";

  controls.selectOption(1); // a floppy-only change
  handlers.onExecute();
  events.events.clear();
  EXPECT_EQ(platform::missingParts(deviceModes.restriction, "USB\\Class_08"), 0u);
  handlers.onLoad();
  EXPECT_TRUE(events.events.empty());
}

// 使用可 names what it left on: the program's own parts that someone else
// has written since, and others' entries that keep new drives refused.
TEST_F(AuditTrailTest, AllowingNamesWhatItLeftOfTheRestriction) {
  loadWith("", 0, 3);
  handlers.onExecute();
  deviceModes.touchList(); // a refresh set the same list again
  controls.selectOption(2);
  events.events.clear();
  handlers.onExecute();
  expectOnlyEvent(
      {1,
       EventType::Information,
       {"使用可（Flpydisk）",
        "使用可（USBSTOR。USB\\Class_08 のインストール禁止のうち、その後ほかで書き換え"
        "られた部分は残しました: 一覧の項目、DenyDeviceIDs の値。新しい USB ストレージは"
        "本ツール以外の設定によりインストール禁止のままです）",
        kAccount}});
  deviceModes.record = {};
  handlers.onExecute();
  expectOnlyEvent({1,
                   EventType::Information,
                   {"使用可（Flpydisk）",
                    "使用可（USBSTOR。新しい USB ストレージは本ツール以外の設定によりインストール"
                    "禁止のままです）",
                    kAccount}});
}

TEST_F(AuditTrailTest, LoadingChoosingCancellingAndHelpLeaveNoEvent) {
  seed(3, 4);
  handlers.onLoad();
  handlers.onActivate();
  controls.selectOption(1);
  handlers.onOptionClicked(1);
  handlers.onHelp();
  handlers.onAbout();
  handlers.onExit();
  EXPECT_TRUE(events.events.empty());
}

} // namespace
