// Execute and Exit of the main window, against the substitutes.
#include "sim_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace testing_world;

constexpr char kDone[] = "設定を行いました。\r\n設定を有効にするにはWindowsを再起動してください。";

class ExecuteTest : public ::testing::Test, protected SimWorld {
protected:
  void SetUp() override {
    seed(3, 3);
    handlers.onLoad();
    handlers.onActivate();
  }
  void choose(int index) {
    controls.selectOption(index);
    handlers.onOptionClicked(index);
  }
  std::optional<std::uint32_t> floppy() const { return deviceModes.dword("Flpydisk"); }
  std::optional<std::uint32_t> usb() const { return deviceModes.dword("USBSTOR"); }
  std::optional<std::uint32_t> uas() const { return deviceModes.dword("UASPStor"); }
  void expectOnlyMessage(const std::string &prompt, const std::string &title,
                         platform::MessageIcon icon) {
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].prompt, prompt);
    EXPECT_EQ(window.messages[0].title, std::optional<std::string>(title));
    EXPECT_EQ(window.messages[0].icon, icon);
  }
};

TEST_F(ExecuteTest, NoPasswordFileAndEmptyFieldWritesBothModesAndEnds) {
  choose(1); // floppy prohibited, USB stays allowed
  handlers.onExecute();
  EXPECT_EQ(floppy(), 4u);
  EXPECT_EQ(usb(), 3u);
  expectOnlyMessage(kDone, "設定完了", platform::MessageIcon::Information);
  EXPECT_EQ(window.unloads, 1);
  EXPECT_FALSE(deviceModes.installed("UASPStor")) << "no key for a driver that isn't there";
  const std::vector<std::string> &calls = faults.calls();
  EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
            (std::vector<std::string>{"readRecord", "RegisterEventSource", "ReportEvent"}))
      << "reported once both modes are written and the record of the restriction, last, found "
         "empty";
}

TEST_F(ExecuteTest, WrongPasswordsAreRejectedAndNothingIsWritten) {
  writePasswordFile("Secret\r\n");
  for (const std::string &typed :
       std::vector<std::string>{"", "secret", "Secret ", " Secret", "SECRET"}) {
    window.messages.clear();
    controls.password = typed;
    handlers.onExecute();
    expectOnlyMessage("パスワードが異なります", "エラー", platform::MessageIcon::Exclamation);
    EXPECT_EQ(controls.password, typed) << "the field keeps what was typed";
  }
  EXPECT_EQ(faults.count("writeStart(Flpydisk)"), 0);
  EXPECT_EQ(window.unloads, 0);
  controls.password = "Secret";
  window.messages.clear();
  handlers.onExecute();
  EXPECT_EQ(window.unloads, 1);
}

TEST_F(ExecuteTest, AFirstLineThatHoldsNoPasswordMatchesNothingNotEvenEmpty) {
  for (const std::string &bytes : {std::string("\x83\r\n"), std::string((4 << 20) + 1, 'k')}) {
    window.messages.clear();
    writePasswordFile(bytes);
    handlers.onExecute();
    expectOnlyMessage("パスワードが異なります", "エラー", platform::MessageIcon::Exclamation);
  }
  EXPECT_EQ(faults.count("writeStart(Flpydisk)"), 0);
}

// A file that can't be read says nothing about the password: an
// administrator without elevation, or another program holding it, is told
// what a refused setting tells, never that the right password is wrong.
TEST_F(ExecuteTest, APasswordFileThatCantBeReadGives003AndWritesNothing) {
  writePasswordFile("Secret\r\n");
  controls.password = "Secret";
  choose(1);
  // access denied, sharing and lock violations, a failing disk
  for (const long code : {5L, 32L, 33L, 1117L}) {
    window.messages.clear();
    faults.failNext("ReadPasswordFile", code);
    handlers.onExecute();
    expectOnlyMessage("設定が出来ませんでした。(003)", "エラー",
                      platform::MessageIcon::Exclamation);
  }
  EXPECT_EQ(faults.count("writeStart(Flpydisk)"), 0);
  EXPECT_EQ(floppy(), 3u);
  EXPECT_EQ(window.unloads, 0);
  EXPECT_EQ(controls.password, "Secret");
}

// A file every user may read is given to administrators once the right
// password was typed, before any setting is written; failing to changes
// nothing the administrator sees.
TEST_F(ExecuteTest, TheRightPasswordRestrictsThePasswordFileAndAFailureChangesNothing) {
  writePasswordFile("Secret\r\n");
  controls.password = "secret";
  handlers.onExecute();
  EXPECT_EQ(faults.count("RestrictPasswordFile"), 0) << "not for a wrong password";
  controls.password = "Secret";
  choose(1);
  faults.failNext("RestrictPasswordFile", 5);
  window.messages.clear();
  handlers.onExecute();
  expectOnlyMessage(kDone, "設定完了", platform::MessageIcon::Information);
  EXPECT_EQ(floppy(), 4u);
  EXPECT_EQ(window.unloads, 1);
  const std::vector<std::string> &calls = faults.calls();
  const auto restricted = std::find(calls.begin(), calls.end(), "RestrictPasswordFile");
  ASSERT_NE(restricted, calls.end());
  EXPECT_EQ(std::vector<std::string>(restricted - 2, restricted),
            (std::vector<std::string>{"ReadPasswordFile", "LockPasswordChanges"}));
  EXPECT_EQ(std::find(calls.begin(), calls.end(), "writeStart(Flpydisk)") - restricted, 3)
      << "the note of the failure, then the writes";
}

TEST_F(ExecuteTest, FloppyWriteFailureStopsBeforeUsb) {
  choose(1);
  choose(3);
  faults.failNext("writeStart(Flpydisk)", 5);
  handlers.onExecute();
  expectOnlyMessage("設定が出来ませんでした。(003)", "エラー", platform::MessageIcon::Exclamation);
  EXPECT_EQ(floppy(), 3u);
  EXPECT_EQ(usb(), 3u);
  EXPECT_EQ(window.unloads, 0);
}

TEST_F(ExecuteTest, UsbWriteFailureLeavesTheFloppyWritten) {
  choose(1);
  choose(3);
  faults.failNext("writeStart(USBSTOR)", 5);
  handlers.onExecute();
  expectOnlyMessage("設定が出来ませんでした。(004)", "エラー", platform::MessageIcon::Exclamation);
  EXPECT_EQ(floppy(), 4u);
  EXPECT_EQ(usb(), 3u);
  EXPECT_EQ(window.unloads, 0);
}

TEST_F(ExecuteTest, UsbMeansBothStorageDriversWhereTheUasOneIsInstalled) {
  deviceModes.putStart("UASPStor", 3);
  choose(3);
  handlers.onExecute();
  EXPECT_EQ(usb(), 4u);
  EXPECT_EQ(uas(), 4u);
  expectOnlyMessage(kDone, "設定完了", platform::MessageIcon::Information);
}

TEST_F(ExecuteTest, AUasWriteFailureGives004WithBothUsbDriversAsTheyWere) {
  deviceModes.putStart("UASPStor", 3);
  choose(1);
  choose(3);
  faults.failNext("writeStart(UASPStor)", 5);
  handlers.onExecute();
  expectOnlyMessage("設定が出来ませんでした。(004)", "エラー", platform::MessageIcon::Exclamation);
  EXPECT_EQ(floppy(), 4u) << "the floppy written before stays";
  EXPECT_EQ(usb(), 3u) << "put back";
  EXPECT_EQ(uas(), 3u);
  EXPECT_EQ(window.unloads, 0);
}

TEST_F(ExecuteTest, ModesAreWrittenEvenWhenUnchangedAndUnknownOnesBecomeProhibited) {
  SimWorld::seed(2, 3);
  controls.selected = {};
  handlers.onLoad();
  handlers.onExecute();
  EXPECT_EQ(floppy(), 4u) << "shown as prohibited, written as prohibited";
  EXPECT_EQ(usb(), 3u);
}

// One Execute at a time on the PC: the change lock is taken once the
// password is right, held across both devices' writes and let go before the
// box; held by another copy, nothing is written and (003) is shown.
TEST_F(ExecuteTest, ExecuteHoldsTheChangeLockAcrossBothWritesAndNotDuringABox) {
  choose(1);
  choose(3);
  LockWatchingWindow watched(passwordFile);
  app::MainHandlers execute(controls, watched, deviceModes, passwordFile, codec, help, events);
  passwordFile.heldElsewhere = true;
  execute.onExecute();
  ASSERT_EQ(watched.messages.size(), 1u);
  EXPECT_EQ(watched.messages[0].prompt, "設定が出来ませんでした。(003)");
  EXPECT_EQ(watched.unloads, 0);
  EXPECT_EQ(floppy(), 3u);
  EXPECT_EQ(usb(), 3u);
  EXPECT_EQ(deviceModes.restriction, platform::InstallRestriction{});
  EXPECT_EQ(faults.count("RestrictPasswordFile"), 0);

  passwordFile.heldElsewhere = false;
  faults = {};
  execute.onExecute();
  EXPECT_EQ(watched.messages.back().prompt, kDone);
  EXPECT_FALSE(watched.lockedDuringABox || passwordFile.locked());
  const std::vector<std::string> &calls = faults.calls();
  const auto lock = std::find(calls.begin(), calls.end(), "LockPasswordChanges");
  EXPECT_LT(lock, std::find(calls.begin(), calls.end(), "writeStart(Flpydisk)"));
  EXPECT_EQ(std::find(calls.begin(), calls.end(), "ReadPasswordFile") + 1, lock)
      << "once the password is accepted";
}

TEST_F(ExecuteTest, MenuItemsActLikeTheButtons) {
  choose(3);
  handlers.onExit();
  EXPECT_EQ(window.unloads, 1);
  EXPECT_EQ(usb(), 3u) << "Exit writes nothing";
  handlers.onExecute();
  EXPECT_EQ(usb(), 4u);
  EXPECT_EQ(window.unloads, 2);
}

} // namespace
