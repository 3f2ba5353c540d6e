// The widget helpers against real windows: a window made at the outer size
// computed for its client area is not resized again, any other window gets
// its client area even when its menu bar wraps, and controls are born in
// their place.
#include "platform/win32/dpi.h"
#include "platform/win32/widgets.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::win32;
using platform::PixelRect;
using platform::twipsToPixels;

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
  HWND button = createControl(window, instance, L"Button", "実行", BS_PUSHBUTTON, 312,
                              PixelRect{8, 104, 73, 137});
  HWND field = createPasswordField(window, instance, 311, PixelRect{80, 80, 201, 98});
  ASSERT_NE(button, nullptr);
  ASSERT_NE(field, nullptr);

  const RECT buttonPlace = rectInParent(button);
  EXPECT_EQ(buttonPlace.left, 8);
  EXPECT_EQ(buttonPlace.top, 104);
  EXPECT_EQ(buttonPlace.right, 73);
  EXPECT_EQ(buttonPlace.bottom, 137);
  EXPECT_EQ(windowText(button), "実行");
  EXPECT_EQ(GetDlgCtrlID(button), 312);

  const RECT fieldPlace = rectInParent(field);
  EXPECT_EQ(fieldPlace.left, 80);
  EXPECT_EQ(fieldPlace.top, 80);
  EXPECT_EQ(fieldPlace.right, 201);
  EXPECT_EQ(fieldPlace.bottom, 98);
  EXPECT_EQ(SendMessageW(field, EM_GETPASSWORDCHAR, 0, 0), L'*');
}

} // namespace
