// Commands another process posts in bursts: each reaches the window while
// the box or the dialog that the first one opened is up, and none may run
// its handler again inside the first. A close posted meanwhile (taskkill
// without /f, the task manager) waits for it, then ends the program as
// Exit does.
#include "driver.h"
#include "event_trace.h"
#include "started_program.h"
#include "support/password_file.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;
using namespace testsupport;

// The value once it has stayed the same for a second.
int settled(const std::function<int()> &value) {
  int last = value(), same = 0;
  for (int i = 0; i < 200 && same < 5; ++i) {
    Sleep(200);
    const int now = value();
    same = now == last ? same + 1 : 0;
    last = now;
  }
  return last;
}

void postClicks(HWND button, int count) {
  for (int i = 0; i < count; ++i)
    click(button);
}

class CommandBurstTest : public StartedProgramTest {
protected:
  // Presses OK on every box that comes until none has come for a while.
  int dismissBoxes() {
    int boxes = 0;
    while (HWND box = program->waitForMessageBox(1500)) {
      pressOk(box);
      waitUntil([&] { return !IsWindow(box); });
      ++boxes;
    }
    return boxes;
  }
};

TEST_F(CommandBurstTest, ChangePasswordCommandsOpenOneDialog) {
  const UINT command = menuCommand(menuBarOf(programPath()), L"パスワード変更(&P)");
  ASSERT_NE(command, 0u);
  for (int i = 0; i < 200; ++i)
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  ASSERT_NE(program->waitForWindow(L"パスワード変更"), nullptr);
  EXPECT_EQ(settled([&] { return program->countWindows(L"パスワード変更"); }), 1);
  // With no password file the empty field would pass, write and end.
  postClicks(findChild(window, L"Button", L"実行"), 10);
  EXPECT_EQ(program->waitForMessageBox(1500), nullptr) << "Execute ran under the dialog";

  HWND dialog = program->waitForWindow(L"パスワード変更");
  click(findChild(dialog, L"Button", L"ｷｬﾝｾﾙ"));
  EXPECT_EQ(settled([&] { return program->countWindows(L"パスワード変更"); }), 0);
  EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(CommandBurstTest, ExecuteClicksRunExecuteOnce) {
  writePasswordFile("Secret\r\n");
  typeText(findChildOfClass(window, L"Edit"), L"wrong");
  postClicks(findChild(window, L"Button", L"実行"), 100);
  EXPECT_EQ(dismissBoxes(), 1);
  const auto events = trace.events();
  expectOnlyEvent(events, 2, EVENTLOG_WARNING_TYPE, "warn",
                  {L"入力されたパスワードが一致しません"});
  EXPECT_TRUE(program->running());
}

TEST_F(CommandBurstTest, OkClicksInTheDialogGiveOneRefusal) {
  writePasswordFile("Old\r\n");
  chooseMenuItem(window, L"パスワード変更(&P)");
  HWND dialog = program->waitForWindow(L"パスワード変更");
  ASSERT_NE(dialog, nullptr);
  const wchar_t *typed[3] = {L"Old", L"New", L"new"};
  for (int i = 0; i < 3; ++i)
    typeText(findChildOfClass(dialog, L"Edit", i), typed[i]);
  postClicks(findChild(dialog, L"Button", L"OK"), 100);
  EXPECT_EQ(dismissBoxes(), 1);
  expectOnlyEvent(trace.events(), 5, EVENTLOG_WARNING_TYPE, "warn",
                  {L"(011) 新パスワードと新パスワード確認が一致しません"});
  EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(readPasswordFile(), "Old\r\n");
}

TEST_F(CommandBurstTest, ACloseWhileABoxIsUpEndsTheProgramOnceTheBoxGoes) {
  click(optionButtons(window)[1]); // choices Execute would write, with no
  click(optionButtons(window)[3]); // password file and the field empty
  chooseMenuItem(window, L"ﾊﾞｰｼﾞｮﾝ情報(&A)");
  HWND box = program->waitForMessageBox();
  ASSERT_NE(box, nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);
  Sleep(500);
  EXPECT_TRUE(IsWindow(box)) << "the box stays until it is answered";
  pressOk(box);
  EXPECT_TRUE(program->waitForExit());
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(3));
  EXPECT_EQ(startValue("USBSTOR"), std::optional<DWORD>(3));
  EXPECT_TRUE(trace.events().empty()) << "Exit reports nothing";
}

TEST_F(CommandBurstTest, ACloseWhileTheDialogIsUpEndsTheProgramOnceItCloses) {
  writePasswordFile("Old\r\n");
  chooseMenuItem(window, L"パスワード変更(&P)");
  HWND dialog = program->waitForWindow(L"パスワード変更");
  ASSERT_NE(dialog, nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);
  Sleep(500);
  EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays until it is answered";
  click(findChild(dialog, L"Button", L"ｷｬﾝｾﾙ"));
  EXPECT_TRUE(program->waitForExit());
  EXPECT_EQ(readPasswordFile(), "Old\r\n");
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(3));
}

} // namespace
