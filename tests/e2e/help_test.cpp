// The Help menu and the version box of the shipped program, with a stand-in
// browser registered for .htm in the test prefix.
#include "driver.h"
#include "support/htm_handler.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;
using namespace testsupport;

// A copy of the program in directory, with or without help.htm beside it.
std::wstring installCopy(const std::wstring &directory, bool withHelp) {
  CreateDirectoryW(directory.c_str(), nullptr);
  const std::wstring exe = directory + (directory.back() == L'\\' ? L"" : L"\\") + L"vantorel.exe";
  CopyFileW(programPath().c_str(), exe.c_str(), FALSE);
  const std::wstring help = exe.substr(0, exe.rfind(L'\\')) + L"\\help.htm";
  if (withHelp) {
    HANDLE file = CreateFileW(help.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "<!DOCTYPE html>", 15, &written, nullptr);
    CloseHandle(file);
  } else {
    DeleteFileW(help.c_str());
  }
  return exe;
}

class HelpTest : public ::testing::Test {
protected:
  void SetUp() override {
    seedServices(3, 3);
    forgetHtmHandlerLog();
    registerHtmHandler();
  }
  // Starts the copy and chooses 操作説明; the window, or nullptr.
  HWND startAndAskForHelp(const std::wstring &exe) {
    program = std::make_unique<Program>(exe);
    HWND window = program->waitForMainWindow();
    if (window)
      chooseMenuItem(window, L"操作説明");
    return window;
  }
  std::unique_ptr<Program> program;
};

TEST_F(HelpTest, AMissingDocumentIsNamedWithItsPath) {
  ASSERT_NE(startAndAskForHelp(installCopy(L"C:\\kestrova-nohelp", false)), nullptr);
  HWND box = program->waitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(readMessageBox(box).title, L"vantorel");
  EXPECT_EQ(readMessageBox(box).prompt, L"C:\\kestrova-nohelp\\help.htmがありません。");
}

TEST_F(HelpTest, TheAssociatedProgramReceivesTheDocument) {
  ASSERT_NE(startAndAskForHelp(installCopy(L"C:\\kestrova", true)), nullptr);
  ASSERT_TRUE(waitUntil([] { return !htmHandlerLog().empty(); }));
  EXPECT_EQ(htmHandlerLog(), L"C:\\kestrova\\help.HTM\n");
  EXPECT_EQ(program->messageBox(), nullptr);
}

TEST_F(HelpTest, AFolderNamedOutsideTheCodePageWorksAsAnyOther) {
  ASSERT_NE(startAndAskForHelp(installCopy(L"C:\\emoji\U0001F600", true)), nullptr);
  ASSERT_TRUE(waitUntil([] { return !htmHandlerLog().empty(); }));
  EXPECT_EQ(htmHandlerLog(), L"C:\\emoji\U0001F600\\help.HTM\n");
  EXPECT_EQ(program->messageBox(), nullptr);

  ASSERT_NE(startAndAskForHelp(installCopy(L"C:\\\u00E9-accent", false)), nullptr);
  HWND box = program->waitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(readMessageBox(box).prompt, L"C:\\\u00E9-accent\\help.htmがありません。")
      << "the folder shown as it is named";
}

TEST_F(HelpTest, ADottedFolderStillOpensItOnTheSecondAttempt) {
  ASSERT_NE(startAndAskForHelp(installCopy(L"C:\\kestrova-1.0", true)), nullptr);
  ASSERT_TRUE(waitUntil([] { return !htmHandlerLog().empty(); }));
  EXPECT_EQ(htmHandlerLog(), L"C:\\kestrova-1.0\\help.HTM\n");
}

TEST_F(HelpTest, WithoutAnAssociationTheThreeLineMessageComesOnce) {
  removeHtmAssociation();
  ASSERT_NE(startAndAskForHelp(installCopy(L"C:\\kestrova", true)), nullptr);
  HWND box = program->waitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(readMessageBox(box).title, L"vantorel");
  EXPECT_EQ(readMessageBox(box).prompt, L"ヘルプを表示するにはＨＴＭＬ対応のブラウザが必要です。\r"
                                        L" インターネットエクスプローラなどを準備してください。\r"
                                        L"   とりあえず 表示しますが、正しく表示できません");
  pressOk(box);
  Sleep(500);
  EXPECT_EQ(program->messageBox(), nullptr) << "shown once";
  EXPECT_TRUE(htmHandlerLog().empty());
}

TEST_F(HelpTest, AtTheRootOfADriveThePathHasOneBackslash) {
  ASSERT_NE(GetDriveTypeW(L"D:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << "the bench maps D:";
  ASSERT_NE(startAndAskForHelp(installCopy(L"D:\\", false)), nullptr);
  HWND box = program->waitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(readMessageBox(box).prompt, L"D:\\help.htmがありません。");
}

TEST_F(HelpTest, VersionBox) {
  program = std::make_unique<Program>();
  HWND window = program->waitForMainWindow();
  ASSERT_NE(window, nullptr);
  chooseMenuItem(window, L"ﾊﾞｰｼﾞｮﾝ情報(&A)");
  HWND box = program->waitForMessageBox();
  ASSERT_NE(box, nullptr);
  const MessageBoxText text = readMessageBox(box);
  EXPECT_EQ(text.title, L"Version infometion");
  EXPECT_EQ(text.prompt.substr(0, 20), L"Kestrova Ver 1.0.0\r\r");
  EXPECT_GT(text.prompt.size(), 20u);
  pressOk(box);
  EXPECT_TRUE(waitUntil([&] { return program->messageBox() == nullptr; }));
  EXPECT_TRUE(program->running());
}

} // namespace
