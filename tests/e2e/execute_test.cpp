// Execute and Exit of the shipped program: the password check, what is
// written, and what the administrator sees.
#include "driver.h"
#include "event_trace.h"
#include "support/password_file.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;
using namespace testsupport;

class ExecuteTest : public ::testing::Test {
protected:
  void SetUp() override {
    removePasswordFile();
    seedServices(3, 3);
    deleteKey("UASPStor");
  }
  void TearDown() override {
    removePasswordFile();
    allowSetValue("UASPStor");
    deleteKey("UASPStor");
  }

  // Starts the program; false when its window didn't come.
  bool start() {
    program = std::make_unique<Program>();
    window = program->waitForMainWindow();
    return window != nullptr;
  }
  HWND field() const { return findChildOfClass(window, L"Edit"); }
  HWND button(const wchar_t *caption) const { return findChild(window, L"Button", caption); }
  // Presses Execute and returns the box that answers it.
  MessageBoxText execute() {
    click(button(L"実行"));
    HWND box = program->waitForMessageBox();
    if (!box)
      return {};
    const MessageBoxText text = readMessageBox(box);
    pressOk(box);
    waitUntil([&] { return program->messageBox() == nullptr; });
    return text;
  }

  EventTrace trace; // from before the program starts
  std::unique_ptr<Program> program;
  HWND window = nullptr;
};

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
  expectOnlyEvent(trace.events(), 1, EVENTLOG_INFORMATION_TYPE, "trace",
                  {L"使用可（Flpydisk）", L"使用禁止（USBSTOR、UASPStor）"});

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
  expectOnlyEvent(trace.events(), 3, EVENTLOG_ERROR_TYPE, "err",
                  {L"ＵＳＢ（UASPStor）", L"5", L"フロッピー: 使用禁止（Flpydisk）"});
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
