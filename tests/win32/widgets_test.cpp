// The widget helpers against real windows: a window made at the outer size
// computed for its client area is not resized again, any other window gets
// its client area even when its menu bar wraps, and controls are born in
// their place.
#include "platform/win32/dpi.h"
#include "platform/win32/widgets.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::win32;
using platform::twipsToPixels;
using platform::win32::ControlFont;
using platform::win32::ControlRow;

constexpr wchar_t kClassName[] = L"WidgetsTestWindow";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
int positionChanges = 0;

// Every SetWindowPos asks the window first, even one that changes nothing.
LRESULT CALLBACK countPositionChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_WINDOWPOSCHANGING)
    ++positionChanges;
  return DefWindowProcW(window, message, wParam, lParam);
}

HMENU menuBar(int items) {
  HMENU menu = CreateMenu();
  for (int i = 0; i < items; ++i)
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(100 + i), L"パスワード変更(&P)");
  return menu;
}

SIZE clientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

RECT rectInParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT *>(&r), 2);
  return r;
}

class WidgetsTest : public ::testing::Test {
protected:
  void SetUp() override {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = countPositionChanges;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass); // fails harmlessly once it is registered
    positionChanges = 0;
  }
  void TearDown() override {
    if (window)
      DestroyWindow(window);
  }
  HWND create(int width, int height, HMENU menu) {
    window = CreateWindowExW(0, kClassName, L"test", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, width,
                             height, nullptr, menu, GetModuleHandleW(nullptr), nullptr);
    return window;
  }
  HWND window = nullptr;
};

TEST_F(WidgetsTest, AWindowMadeAtItsSizeIsNotResizedAgain) {
  const UINT dpi = systemDpi();
  const platform::PixelSize outer = windowSizeForClientTwips(3465, 2115, kStyle, 0, true, dpi);
  ASSERT_NE(create(outer.width, outer.height, menuBar(1)), nullptr);
  ASSERT_EQ(dpiForWindow(window), dpi);
  EXPECT_EQ(clientSize(window).cx, twipsToPixels(3465, dpi));
  EXPECT_EQ(clientSize(window).cy, twipsToPixels(2115, dpi));

  const int changesAtCreation = positionChanges;
  sizeClientInTwips(window, 3465, 2115, dpi);
  EXPECT_EQ(positionChanges, changesAtCreation) << "resized although it had its size";
}

TEST_F(WidgetsTest, AnyOtherWindowGetsItsClientAreaEvenWhenItsMenuBarWraps) {
  ASSERT_NE(create(CW_USEDEFAULT, CW_USEDEFAULT, menuBar(4)), nullptr);
  const UINT dpi = dpiForWindow(window);
  sizeClientInTwips(window, 2400, 1500, dpi); // under half the items' width
  EXPECT_EQ(clientSize(window).cx, twipsToPixels(2400, dpi));
  EXPECT_EQ(clientSize(window).cy, twipsToPixels(1500, dpi));

  MENUBARINFO bar{};
  bar.cbSize = sizeof bar;
  ASSERT_TRUE(GetMenuBarInfo(window, OBJID_MENU, 0, &bar));
  EXPECT_GT(bar.rcBar.bottom - bar.rcBar.top, 2 * GetSystemMetrics(SM_CYMENU) - 2)
      << "the menu bar did not wrap, so this test proves nothing";
}

TEST_F(WidgetsTest, ControlsAreBornInTheirPlaceWithTheirText) {
  ASSERT_NE(create(400, 300, nullptr), nullptr);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  constexpr auto font = ControlFont::Message;
  constexpr platform::TwipsRect buttonPlace{120, 1560, 975, 495};
  constexpr ControlRow buttonRow{L"Button", BS_PUSHBUTTON, 0, "実行", 312, buttonPlace, font};
  constexpr DWORD edge = WS_EX_CLIENTEDGE;
  constexpr ControlRow fieldRow{L"Edit", ES_PASSWORD, edge, "", 311, {1200, 1200, 1815, 270}, font};
  HWND button = createControl(window, instance, buttonRow, 96);
  HWND field = createControl(window, instance, fieldRow, 144);
  ASSERT_NE(button, nullptr);
  ASSERT_NE(field, nullptr);

  const RECT buttonRect = rectInParent(button);
  EXPECT_EQ(buttonRect.left, 8);
  EXPECT_EQ(buttonRect.top, 104);
  EXPECT_EQ(buttonRect.right, 73);
  EXPECT_EQ(buttonRect.bottom, 137);
  EXPECT_EQ(windowText(button), "実行");
  EXPECT_EQ(GetDlgCtrlID(button), 312);

  const RECT fieldRect = rectInParent(field);
  EXPECT_EQ(fieldRect.left, 120);
  EXPECT_EQ(fieldRect.top, 120);
  EXPECT_EQ(fieldRect.right, 302); // 301.5
  EXPECT_EQ(fieldRect.bottom, 147);
  EXPECT_TRUE(GetWindowLongW(field, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(SendMessageW(field, EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_EQ(SendMessageW(field, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE) << "no limit of its own";
}

} // namespace
