// The change-password dialog's handlers, with the main window as the owner
// of the password and the substitutes below it.
#include "password/dialog.h"
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

// Notes whether the change lock was held while a box was up: another copy
// would wait for it as long as the box stays.
class LockWatchingWindow : public sim::RecordingWindow {
public:
  explicit LockWatchingWindow(const sim::SimFiles &files) : files_(files) {}
  void messageBox(const std::string &prompt, const std::optional<std::string> &title,
                  platform::MessageIcon icon) override {
    lockedDuringABox = lockedDuringABox || files_.changesLocked();
    RecordingWindow::messageBox(prompt, title, icon);
  }
  bool lockedDuringABox = false;

private:
  const sim::SimFiles &files_;
};

class DialogTest : public ::testing::Test, protected SimWorld {
protected:
  // One opening of the dialog: fields typed, OK pressed. Returns the prompt
  // shown, or "" when none was.
  std::string changeWith(const std::string &old, const std::string &fresh,
                         const std::string &again) {
    FakeDialogFields fields;
    fields.fields = {old, fresh, again};
    LockWatchingWindow dialogWindow(files);
    password::Dialog dialog(fields, dialogWindow, form, events);
    dialog.OKButton_Click();
    EXPECT_EQ(dialogWindow.unloads, 1) << "every OK closes the dialog";
    EXPECT_FALSE(files.changesLocked() || dialogWindow.lockedDuringABox) << "the lock is let go";
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
  faults.failNext("SetFileInformationByHandle(rename)", 5);
  EXPECT_EQ(changeWith("old", "new", "new"), k012);
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
  EXPECT_EQ(filesInWindowsDirectory(), 1u);
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
  const std::vector<std::string> &calls = faults.calls();
  const auto at = [&](const char *call) {
    return std::find(calls.begin(), calls.end(), call) - calls.begin();
  };
  EXPECT_LT(at("WaitForSingleObject(change lock)"), at("CreateFile(read)"));
  EXPECT_LT(at("SetFileInformationByHandle(rename)"), at("ReleaseMutex"));
  EXPECT_LT(at("ReleaseMutex"), static_cast<std::ptrdiff_t>(calls.size()));

  files.holdChangesElsewhere(true);
  EXPECT_EQ(changeWith("new", "newer", "newer"), k012) << "another copy keeps the lock";
  EXPECT_EQ(passwordFileBytes(), "new\r\n");
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
