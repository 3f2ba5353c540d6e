// The change-password dialog's handlers, with the main window as the owner
// of the password and the substitutes below it.
#include "password/dialog.h"
#include "sim_world.h"

#include <gtest/gtest.h>

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
    sim::RecordingWindow dialogWindow;
    password::Dialog dialog(fields, dialogWindow, form, events);
    dialog.OKButton_Click();
    EXPECT_EQ(dialogWindow.unloads, 1) << "every OK closes the dialog";
    if (dialogWindow.messages.empty())
      return "";
    EXPECT_EQ(dialogWindow.messages.size(), 1u);
    EXPECT_EQ(dialogWindow.messages[0].title, std::optional<std::string>("エラー"));
    EXPECT_EQ(dialogWindow.messages[0].icon, platform::MessageIcon::Exclamation);
    return dialogWindow.messages[0].prompt;
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

TEST_F(DialogTest, UnreadablePasswordFileMakesEveryCurrentPasswordWrong) {
  writePasswordFile("\x83\r\n");
  EXPECT_EQ(changeWith("", "x", "x"), k010);
  faults.failNext("CreateFile(read)", 32);
  writePasswordFile("");
  EXPECT_EQ(changeWith("", "x", "x"), k010);
  EXPECT_EQ(passwordFileBytes(), "");
}

TEST_F(DialogTest, APasswordThatCannotBeStoredGives012AndKeepsTheOldOne) {
  writePasswordFile("old\r\n");
  EXPECT_EQ(changeWith("old", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"), k012);
  EXPECT_EQ(changeWith("old", "\"x", "\"x"), k012);
  faults.failNext("MoveFileEx", 5);
  EXPECT_EQ(changeWith("old", "new", "new"), k012);
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
  EXPECT_EQ(filesInWindowsDirectory(), 1u);
}

TEST_F(DialogTest, APasswordWithACommaWorksAtExecuteExactlyAsTyped) {
  EXPECT_EQ(changeWith("", "a,b", "a,b"), "");
  seed(3, 3);
  form.Form_Load();
  controls.password = "a";
  form.Command1_Click();
  EXPECT_EQ(window.messages.at(0).prompt, "パスワードが異なります");
  controls.password = "a,b";
  form.Command1_Click();
  EXPECT_EQ(window.unloads, 1);
}

TEST_F(DialogTest, CancelStoresNothing) {
  writePasswordFile("old\r\n");
  sim::RecordingWindow dialogWindow;
  FakeDialogFields fields;
  fields.fields = {"old", "new", "new"};
  password::Dialog dialog(fields, dialogWindow, form, events);
  dialog.CancelButton_Click();
  EXPECT_EQ(dialogWindow.unloads, 1);
  EXPECT_TRUE(dialogWindow.messages.empty());
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
  EXPECT_EQ(faults.count("CreateFile(read)"), 0);
}

TEST_F(DialogTest, TheMenuItemOpensTheDialog) {
  form.mnuPasswd_Click();
  EXPECT_EQ(controls.dialogsShown, 1);
}

} // namespace
