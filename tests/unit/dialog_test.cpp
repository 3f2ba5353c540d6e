// The change-password dialog's handlers over the in-memory password file.
#include "password/password_dialog_handlers.h"
#include "sim_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace testing_world;

class FakeDialogFields : public password::DialogControls {
public:
  std::string fieldText(int index) const override {
    return fields[static_cast<std::size_t>(index)];
  }
  std::array<std::string, 3> fields;
};

class DialogTest : public ::testing::Test, protected SimWorld {
protected:
  // One opening of the dialog: fields typed, OK pressed. Returns the prompt
  // shown, or "" when none was.
  std::string changeWith(const std::string &old, const std::string &fresh,
                         const std::string &again) {
    FakeDialogFields fields;
    fields.fields = {old, fresh, again};
    LockWatchingWindow dialogWindow(passwordFile);
    password::PasswordDialogHandlers(fields, dialogWindow, passwordFile, codec, events).onOk();
    EXPECT_EQ(dialogWindow.unloads, 1) << "every OK closes the dialog";
    EXPECT_FALSE(passwordFile.locked() || dialogWindow.lockedDuringABox) << "the lock is let go";
    if (dialogWindow.messages.empty())
      return "";
    EXPECT_EQ(dialogWindow.messages.size(), 1u);
    EXPECT_EQ(dialogWindow.messages[0].title, std::optional<std::string>("エラー"));
    EXPECT_EQ(dialogWindow.messages[0].icon, platform::MessageIcon::Exclamation);
    return dialogWindow.messages[0].prompt;
  }
  // The reason of the one refusal the audit trail got since the last call.
  std::string refusalReason() {
    EXPECT_EQ(events.events.size(), 1u);
    const std::string reason = events.events.empty() ? "" : events.events[0].strings.at(0);
    events.events.clear();
    return reason;
  }
};

constexpr char k010[] = "パスワードが登録できませんでした。(010)";
constexpr char k011[] = "パスワードが登録できませんでした。(011)";
constexpr char k012[] = "パスワードが登録できませんでした。(012)";

TEST_F(DialogTest, NoFileAcceptsAnEmptyCurrentPasswordAndStoresTheNewOne) {
  EXPECT_EQ(changeWith("", "new", "new"), "");
  EXPECT_EQ(passwordFileBytes(), "new\r\n");
  EXPECT_EQ(changeWith("new", "", ""), "") << "the empty password is a password";
  EXPECT_EQ(passwordFileBytes(), "\r\n");
}

TEST_F(DialogTest, ChecksRunInOrderAndStopAtTheFirstFailure) {
  writePasswordFile("Old\r\n");
  EXPECT_EQ(changeWith("old", "a", "b"), k010) << "a wrong current password wins over (011)";
  EXPECT_EQ(changeWith("Old", "New", "new"), k011) << "letter case counts";
  EXPECT_EQ(changeWith("Old", "New", "New "), k011);
  EXPECT_EQ(passwordFileBytes(), "Old\r\n");
}

TEST_F(DialogTest, AFirstLineThatHoldsNoPasswordMakesEveryCurrentPasswordWrong) {
  writePasswordFile("\x83\r\n");
  EXPECT_EQ(changeWith("", "x", "x"), k010);
  EXPECT_EQ(refusalReason(),
            "(010) パスワードファイルの内容が正しくありません（エラーコード: 1113）");
  const std::string tooLong((4 << 20) + 1, 'k');
  writePasswordFile(tooLong);
  EXPECT_EQ(changeWith("", "x", "x"), k010);
  EXPECT_EQ(refusalReason(),
            "(010) パスワードファイルの内容が正しくありません（エラーコード: 223）");
  EXPECT_EQ(passwordFileBytes(), tooLong);
}

TEST_F(DialogTest, AFileThatCantBeReadIsToldAsNothingStoredNotAsAWrongPassword) {
  writePasswordFile("old\r\n");
  faults.failNext("ReadPasswordFile", 5);
  EXPECT_EQ(changeWith("old", "new", "new"), k012);
  EXPECT_EQ(refusalReason(), "(012) パスワードファイルを開く権限がありません（エラーコード: 5）");
  faults.failNext("ReadPasswordFile", 32);
  EXPECT_EQ(changeWith("old", "new", "new"), k012) << "another program holds it";
  EXPECT_EQ(refusalReason(), "(012) パスワードファイルを読み込めません（エラーコード: 32）");
  faults.failNext("LockPasswordChanges", 5);
  EXPECT_EQ(changeWith("old", "new", "new"), k012) << "nor may they take the change lock";
  EXPECT_EQ(refusalReason(), "(012) 新パスワードを保存できませんでした（エラーコード: 5）");
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
}

TEST_F(DialogTest, APasswordThatCannotBeStoredGives012WithTheCodeAndKeepsTheOldOne) {
  writePasswordFile("old\r\n");
  EXPECT_EQ(changeWith("old", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"), k012);
  EXPECT_EQ(refusalReason(), "(012) 新パスワードを保存できませんでした（エラーコード: 1113）");
  EXPECT_EQ(changeWith("old", "\"x", "\"x"), k012);
  EXPECT_EQ(refusalReason(), "(012) 新パスワードを保存できませんでした（エラーコード: 13）");
  faults.failNext("ReplacePasswordFile", 5);
  EXPECT_EQ(changeWith("old", "new", "new"), k012) << "the file refuses DELETE, say";
  EXPECT_EQ(refusalReason(), "(012) 新パスワードを保存できませんでした（エラーコード: 5）");
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
}

TEST_F(DialogTest, AFileAnotherProgramHoldsOrALockFileNotTheProgramsSayWhoToLookFor) {
  writePasswordFile("old\r\n");
  faults.failNext("ReplacePasswordFile", 32);
  EXPECT_EQ(changeWith("old", "new", "new"), k012);
  EXPECT_EQ(refusalReason(),
            "(012) 他のプログラムがパスワードファイルを開いているため置き換えられま"
            "せん（エラーコード: 32）");
  faults.failNext("LockPasswordChanges", 1307);
  EXPECT_EQ(changeWith("old", "new", "new"), k012);
  EXPECT_EQ(refusalReason(), "(012) 変更ロックのファイル vantorel.lock は本ツールのものではありま"
                             "せん。管理者が削除してかまいません");
  EXPECT_EQ(faults.count("ReadPasswordFile"), 1) << "nothing read without the lock";
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
}

// A right current password gives a file every user may read to
// administrators, whatever the rest of the dialog says; a failure is a note
// in the trail and changes nothing else.
TEST_F(DialogTest, ARightCurrentPasswordRestrictsThePasswordFile) {
  writePasswordFile("old\r\n");
  EXPECT_EQ(changeWith("wrong", "new", "new"), k010);
  EXPECT_EQ(faults.count("RestrictPasswordFile"), 0);
  events.events.clear();
  EXPECT_EQ(changeWith("old", "new", "newer"), k011);
  EXPECT_EQ(faults.count("RestrictPasswordFile"), 1);
  events.events.clear();
  faults.failNext("RestrictPasswordFile", 5);
  EXPECT_EQ(changeWith("old", "new", "new"), "");
  EXPECT_EQ(passwordFileBytes(), "new\r\n");
  ASSERT_EQ(events.events.size(), 2u);
  EXPECT_EQ(events.events[0].id, 7);
  EXPECT_EQ(events.events[1].id, 4);
}

TEST_F(DialogTest, APasswordOverTheFilesLimitGives012AndTheOldOneStillWorks) {
  writePasswordFile("old\r\n");
  const std::string pasted((4 << 20) + 1, 'p');
  EXPECT_EQ(changeWith("old", pasted, pasted), k012);
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
  EXPECT_EQ(changeWith("old", "new", "new"), "");
}

TEST_F(DialogTest, TheCheckAndTheChangeAreOneStepUnderTheChangeLock) {
  writePasswordFile("old\r\n");
  EXPECT_EQ(changeWith("old", "new", "new"), "");
  EXPECT_EQ(faults.calls().front(), "LockPasswordChanges") << "before the old password is read";
  EXPECT_EQ(passwordFileBytes(), "new\r\n") << "the file refuses a replace outside the lock";

  passwordFile.heldElsewhere = true;
  events.events.clear();
  EXPECT_EQ(changeWith("new", "newer", "newer"), k012) << "another copy keeps the lock";
  EXPECT_EQ(refusalReason(), "(012) 他のコピーが変更ロックを保持しています")
      << "contention, told apart from a failed write";
  EXPECT_EQ(passwordFileBytes(), "new\r\n");
}

TEST_F(DialogTest, APasswordWithACommaWorksAtExecuteExactlyAsTyped) {
  EXPECT_EQ(changeWith("", "a,b", "a,b"), "");
  seed(3, 3);
  handlers.onLoad();
  controls.password = "a";
  handlers.onExecute();
  EXPECT_EQ(window.messages.at(0).prompt, "パスワードが異なります");
  controls.password = "a,b";
  handlers.onExecute();
  EXPECT_EQ(window.unloads, 1);
}

TEST_F(DialogTest, CancelStoresNothing) {
  writePasswordFile("old\r\n");
  sim::RecordingWindow dialogWindow;
  FakeDialogFields fields;
  fields.fields = {"old", "new", "new"};
  password::PasswordDialogHandlers(fields, dialogWindow, passwordFile, codec, events).onCancel();
  EXPECT_EQ(dialogWindow.unloads, 1);
  EXPECT_TRUE(dialogWindow.messages.empty());
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
  EXPECT_TRUE(faults.calls().empty());
}

TEST_F(DialogTest, TheMenuItemOpensTheDialog) {
  handlers.onChangePassword();
  EXPECT_EQ(controls.dialogsShown, 1);
}

} // namespace
