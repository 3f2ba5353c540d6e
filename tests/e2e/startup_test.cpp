// Start-up: what the main window shows for each registry state, its layout,
// its menu, the Exit caption, and the error path.
#include "driver.h"
#include "support/password_file.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace {

using namespace e2e;
using namespace testsupport;

struct ShownState {
  DWORD floppy, usb;
  // cppcheck-suppress unusedStructMember ; read through GetParam()
  std::array<bool, 4> checked;
};

class StartupTest : public ::testing::TestWithParam<ShownState> {};

TEST_P(StartupTest, ShowsEachDeviceFromTheRegistryAndOpensWithExit) {
  seedServices(GetParam().floppy, GetParam().usb);
  Program program;
  HWND window = program.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  const auto options = optionButtons(window);
  ASSERT_EQ(options.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_EQ(isChecked(options[i]), GetParam().checked[i]) << "option " << i;
  EXPECT_NE(findChild(window, L"Button", L"終了"), nullptr);
  EXPECT_EQ(findChild(window, L"Button", L"キャンセル"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(RegistryStates, StartupTest,
                         ::testing::Values(ShownState{3, 3, {true, false, true, false}},
                                           ShownState{4, 3, {false, true, true, false}},
                                           ShownState{2, 4, {false, true, false, true}},
                                           ShownState{3, 259, {true, false, false, true}}));

// USBSTOR at 4 with the UAS driver at 3, as a cut-off Execute or a UAS
// drive first plugged in after USB was prohibited leaves them: USB 3 drives
// work, so the window shows 使用可.
class UasStartupTest : public ::testing::TestWithParam<std::pair<DWORD, bool>> {
protected:
  void TearDown() override { deleteKey("UASPStor"); }
};

TEST_P(UasStartupTest, ShowsUsbProhibitedOnlyWhenBothDriversAre) {
  seedServices(3, 4);
  putStart("UASPStor", GetParam().first);
  Program program;
  HWND window = program.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  const bool allowed = GetParam().second;
  EXPECT_EQ(isChecked(optionButtons(window)[2]), allowed);
  EXPECT_EQ(isChecked(optionButtons(window)[3]), !allowed);
  EXPECT_EQ(program.messageBox(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(UasStart, UasStartupTest,
                         ::testing::Values(std::pair<DWORD, bool>{3, true},
                                           std::pair<DWORD, bool>{4, false}));

class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    seedServices(3, 3);
    window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr);
  }
  Program program;
  HWND window = nullptr;
};

TEST_F(MainWindowTest, ChoosingAnOptionTurnsExitIntoCancel) {
  click(optionButtons(window)[1]);
  EXPECT_TRUE(waitUntil([&] { return findChild(window, L"Button", L"キャンセル") != nullptr; }));
  EXPECT_TRUE(isChecked(optionButtons(window)[1]));
  EXPECT_FALSE(isChecked(optionButtons(window)[0]));
  EXPECT_TRUE(isChecked(optionButtons(window)[2])) << "the other frame keeps its choice";
}

TEST_F(MainWindowTest, PasswordFieldMasksWithAsterisksAndNoButtonIsDefault) {
  HWND field = findChild(window, L"Edit", L"");
  ASSERT_NE(field, nullptr);
  EXPECT_TRUE(GetWindowLongW(field, GWL_STYLE) & ES_PASSWORD);
  EXPECT_EQ(SendMessageW(field, EM_GETPASSWORDCHAR, 0, 0), L'*');
  for (const wchar_t *caption : {L"実行", L"終了"}) {
    HWND button = findChild(window, L"Button", caption);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON) << caption;
  }
}

TEST_F(MainWindowTest, MenuBarHoldsEveryItemInOrder) {
  ASSERT_NE(GetMenu(window), nullptr);
  const auto menu = menuBarOf(programPath());
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_EQ(menu[0].caption, L"ﾌｧｲﾙ(&F)");
  ASSERT_EQ(menu[0].items.size(), 2u);
  EXPECT_EQ(menu[0].items[0].caption, L"実行(&A)");
  EXPECT_EQ(menu[0].items[1].caption, L"終了(&X)");
  EXPECT_EQ(menu[1].caption, L"パスワード変更(&P)");
  EXPECT_TRUE(menu[1].items.empty());
  EXPECT_EQ(menu[2].caption, L"ﾍﾙﾌﾟ(&H)");
  ASSERT_EQ(menu[2].items.size(), 2u);
  EXPECT_EQ(menu[2].items[0].caption, L"操作説明");
  EXPECT_EQ(menu[2].items[1].caption, L"ﾊﾞｰｼﾞｮﾝ情報(&A)");
}

TEST_F(MainWindowTest, EnterAndEscPressNothing) {
  HWND field = findChild(window, L"Edit", L"");
  PostMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(field, WM_KEYDOWN, VK_ESCAPE, 0);
  Sleep(500);
  EXPECT_TRUE(program.running());
  EXPECT_EQ(program.messageBox(), nullptr);
  EXPECT_NE(findChild(window, L"Button", L"終了"), nullptr);
}

TEST_F(MainWindowTest, CloseBoxEndsTheProgramWithoutWriting) {
  click(optionButtons(window)[1]);
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(program.waitForExit());
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(3));
}

TEST_F(MainWindowTest, ExitMenuItemEndsTheProgram) {
  chooseMenuItem(window, L"終了(&X)");
  EXPECT_TRUE(program.waitForExit());
}

class UnreadableStartModeTest : public ::testing::TestWithParam<const char *> {};

TEST_P(UnreadableStartModeTest, ReportsOnceEndsAndCreatesNoKey) {
  seedServices(3, 3);
  deleteKey(GetParam());
  Program program;
  HWND box = program.waitForMessageBox();
  ASSERT_NE(box, nullptr);
  const MessageBoxText text = readMessageBox(box);
  EXPECT_EQ(text.title, L"エラー");
  EXPECT_EQ(text.prompt, L"設定状況の取得に失敗しました。(001)");
  EXPECT_EQ(program.waitForMainWindow(0), nullptr) << "the main window is never shown";
  pressOk(box);
  EXPECT_TRUE(program.waitForExit()) << "a second box would keep the program running";
  EXPECT_FALSE(keyExists(GetParam()));
}

// The box is up before the window is shown, and what another program posts
// reaches the window meanwhile: Execute must not run with USB unchosen,
// which would write 使用禁止 and make the missing key.
TEST(StartUpBoxTest, AnExecutePostedWhileTheStartUpBoxIsUpRunsNothing) {
  removePasswordFile(); // the empty field would pass
  seedServices(3, 3);
  deleteKey("USBSTOR");
  const UINT execute = menuCommand(menuBarOf(programPath()), L"実行(&A)");
  ASSERT_NE(execute, 0u);
  Program program;
  HWND box = program.waitForMessageBox();
  ASSERT_NE(box, nullptr);
  HWND mainWindow = GetWindow(box, GW_OWNER);
  ASSERT_NE(mainWindow, nullptr);
  for (int i = 0; i < 10; ++i)
    PostMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(execute, 0), 0);
  Sleep(1000);
  EXPECT_FALSE(keyExists("USBSTOR"));
  pressOk(box);
  EXPECT_TRUE(program.waitForExit());
  EXPECT_FALSE(keyExists("USBSTOR"));
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(3));
}

INSTANTIATE_TEST_SUITE_P(EitherService, UnreadableStartModeTest,
                         ::testing::Values("Flpydisk", "USBSTOR"));

} // namespace
