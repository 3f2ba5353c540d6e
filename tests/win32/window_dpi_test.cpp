// Window sizes and icons for a DPI, on real windows: Wine doesn't move
// windows between monitors, but it does measure frames and load icons at any
// DPI it is asked for.
#include "platform/win32/dpi.h"
#include "platform/win32/widgets.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::win32;

constexpr int kIconId = 1; // window_icon.rc

class WindowDpiTest : public ::testing::Test {
protected:
  void TearDown() override {
    if (window)
      DestroyWindow(window);
  }
  HWND createWindow(DWORD style, DWORD exStyle, bool withMenu) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KestrovaDpiTest";
    RegisterClassW(&windowClass);
    HMENU menu = nullptr;
    if (withMenu) {
      menu = CreateMenu();
      AppendMenuW(menu, MF_STRING, 1, L"ﾌｧｲﾙ(&F)");
    }
    window = CreateWindowExW(exStyle, L"KestrovaDpiTest", L"", style, 0, 0, 100, 100, nullptr, menu,
                             GetModuleHandleW(nullptr), nullptr);
    return window;
  }
  // The client area after the window, shown at its layout as the program's
  // windows are, takes the size WM_GETDPISCALEDSIZE is answered with.
  SIZE clientAfterAnsweredSize(int widthTwips, int heightTwips) {
    sizeClientInTwips(window, widthTwips, heightTwips, dpiForWindow(window));
    SIZE size{};
    EXPECT_EQ(answerDpiScaledSize(window, widthTwips, heightTwips, dpiForWindow(window),
                                  reinterpret_cast<LPARAM>(&size)),
              TRUE);
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
  }
  LONG iconWidth(WPARAM which) const {
    auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
      return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
  }
  HWND window = nullptr;
};

TEST_F(WindowDpiTest, BenchRunsAt96Dpi) { ASSERT_EQ(dpiForWindow(nullptr), 96u); }

TEST_F(WindowDpiTest, AnsweredSizeHoldsTheTwipsLayoutBelowCaptionAndMenu) {
  ASSERT_NE(createWindow(WS_OVERLAPPEDWINDOW, 0, true), nullptr);
  const SIZE client = clientAfterAnsweredSize(3465, 2115);
  EXPECT_EQ(client.cx, 231);
  EXPECT_EQ(client.cy, 141);
}

TEST_F(WindowDpiTest, AnsweredSizeHoldsTheTwipsLayoutInADialogFrame) {
  ASSERT_NE(createWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, false), nullptr);
  const SIZE client = clientAfterAnsweredSize(5460, 1650);
  EXPECT_EQ(client.cx, 364);
  EXPECT_EQ(client.cy, 110);
}

// The frame grows with the DPI; the client area is the layout at that DPI.
TEST_F(WindowDpiTest, AnswerForAnotherDpiHasThatDpisFrame) {
  ASSERT_NE(createWindow(WS_OVERLAPPEDWINDOW, 0, true), nullptr);
  sizeClientInTwips(window, 3465, 2115, dpiForWindow(window));
  SIZE at96{}, at144{};
  answerDpiScaledSize(window, 3465, 2115, 96, reinterpret_cast<LPARAM>(&at96));
  answerDpiScaledSize(window, 3465, 2115, 144, reinterpret_cast<LPARAM>(&at144));
  const LONG frameWidth96 = at96.cx - 231, frameWidth144 = at144.cx - 347;
  EXPECT_GT(frameWidth96, 0);
  EXPECT_GT(frameWidth144, frameWidth96);
  EXPECT_GT(at144.cy - 212, at96.cy - 141); // caption and menu bar grow too
}

TEST_F(WindowDpiTest, AWindowTheUserResizedIsLeftToWindowsScaling) {
  ASSERT_NE(createWindow(WS_OVERLAPPEDWINDOW, 0, true), nullptr);
  sizeClientInTwips(window, 3465, 2115, dpiForWindow(window));
  RECT outer{};
  GetWindowRect(window, &outer);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + 40, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER);
  SIZE size{};
  EXPECT_EQ(answerDpiScaledSize(window, 3465, 2115, 144, reinterpret_cast<LPARAM>(&size)), FALSE);
}

TEST_F(WindowDpiTest, IconsAreDrawnForTheWindowsDpi) {
  ASSERT_NE(createWindow(WS_OVERLAPPEDWINDOW, 0, false), nullptr);
  WindowIcons icons;
  icons.apply(window, GetModuleHandleW(nullptr), kIconId, 96);
  EXPECT_EQ(iconWidth(ICON_SMALL), 16);
  EXPECT_EQ(iconWidth(ICON_BIG), 32);
  icons.apply(window, GetModuleHandleW(nullptr), kIconId, 144);
  EXPECT_EQ(iconWidth(ICON_SMALL), 24);
  EXPECT_EQ(iconWidth(ICON_BIG), 48);
}

} // namespace
