// Where the windows and their controls sit: at 96 dpi exactly the pixels the
// twips make (15 twips a pixel); at any other DPI the same scaled, within a
// pixel. The bench runs this file at 96 and at 144 dpi.
#include "driver.h"
#include "started_program.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace e2e;

struct Box {
  LONG left, top, width, height; // at 96 dpi
};

double screenScale() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi / 96.0;
}

// Each value within a pixel of its 96-dpi size times the scale.
void expectScaled(const char *what, LONG actual, LONG at96) {
  const double expected = at96 * screenScale();
  EXPECT_LE(std::fabs(actual - expected), 1.0) << what << ": " << actual << " for " << expected;
}

void expectBox(HWND control, const Box &box, const wchar_t *name) {
  ASSERT_NE(control, nullptr) << name;
  const RECT r = rectInParent(control);
  SCOPED_TRACE(testing::Message() << "control " << static_cast<const void *>(name));
  expectScaled("left", r.left, box.left);
  expectScaled("top", r.top, box.top);
  expectScaled("width", r.right - r.left, box.width);
  expectScaled("height", r.bottom - r.top, box.height);
}

using LayoutTest = StartedProgramTest;

TEST_F(LayoutTest, BenchRunsAtTheDpiItWasAskedFor) {
  wchar_t wanted[16] = {};
  if (!GetEnvironmentVariableW(L"KESTROVA_BENCH_DPI", wanted, 16))
    GTEST_SKIP() << "no DPI asked for";
  EXPECT_DOUBLE_EQ(screenScale() * 96, _wtoi(wanted));
}

TEST_F(LayoutTest, MainWindow) {
  const SIZE client = clientSize(window);
  expectScaled("client width", client.cx, 231);
  expectScaled("client height", client.cy, 141);
  expectBox(findChild(window, L"Button", L"フロッピー"), {8, 8, 97, 65}, L"floppy group");
  expectBox(findChild(window, L"Button", L"ＵＳＢ"), {120, 8, 97, 65}, L"USB group");
  const auto options = optionButtons(window);
  ASSERT_EQ(options.size(), 4u);
  expectBox(options[0], {24, 24, 65, 17}, L"option 0");
  expectBox(options[1], {24, 48, 73, 17}, L"option 1");
  expectBox(options[2], {136, 24, 65, 17}, L"option 2");
  expectBox(options[3], {136, 48, 73, 17}, L"option 3");
  expectBox(findChild(window, L"Static", L"パスワード："), {8, 80, 65, 17}, L"password label");
  expectBox(findChildOfClass(window, L"Edit"), {80, 80, 121, 18}, L"password field");
  expectBox(findChild(window, L"Button", L"実行"), {8, 104, 65, 33}, L"Execute");
  expectBox(findChild(window, L"Button", L"終了"), {80, 104, 65, 33}, L"Exit");
}

TEST_F(LayoutTest, PasswordDialog) {
  chooseMenuItem(window, L"パスワード変更(&P)");
  HWND dialog = program->waitForWindow(L"パスワード変更");
  ASSERT_NE(dialog, nullptr);
  const SIZE client = clientSize(dialog);
  expectScaled("client width", client.cx, 364);
  expectScaled("client height", client.cy, 110);
  for (int i = 0; i < 3; ++i)
    expectBox(findChildOfClass(dialog, L"Edit", i), {120, 8 + 32 * i, 145, 25}, L"field i");
  expectBox(findChild(dialog, L"Static", L"元のパスワード："), {8, 16, 105, 17}, L"label 0");
  expectBox(findChild(dialog, L"Static", L"新パスワード："), {8, 48, 105, 17}, L"label 1");
  expectBox(findChild(dialog, L"Static", L"新パスワード確認："), {8, 80, 105, 17}, L"label 2");
  expectBox(findChild(dialog, L"Button", L"OK"), {272, 8, 81, 25}, L"OK");
  expectBox(findChild(dialog, L"Button", L"ｷｬﾝｾﾙ"), {272, 40, 81, 25}, L"Cancel");
}

// Centred on the main window, as far as the work area of its monitor allows.
TEST_F(LayoutTest, PasswordDialogStandsOnItsOwner) {
  chooseMenuItem(window, L"パスワード変更(&P)");
  HWND dialog = program->waitForWindow(L"パスワード変更");
  ASSERT_NE(dialog, nullptr);
  RECT owner{}, self{};
  GetWindowRect(window, &owner);
  GetWindowRect(dialog, &self);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT &area = monitor.rcWork;
  auto centred = [](LONG ownerFrom, LONG ownerTo, LONG size, LONG areaFrom, LONG areaTo) {
    return std::max(areaFrom, std::min((ownerFrom + ownerTo - size) / 2, areaTo - size));
  };
  const LONG width = self.right - self.left, height = self.bottom - self.top;
  EXPECT_NEAR(self.left, centred(owner.left, owner.right, width, area.left, area.right), 1);
  EXPECT_NEAR(self.top, centred(owner.top, owner.bottom, height, area.top, area.bottom), 1);
}

} // namespace
