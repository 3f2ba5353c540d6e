// A window made from a control table, on real windows: its controls come
// from the rows, in place and with their fonts, follow a DPI change, no
// command runs inside another, and a close waits for the one running.
#include "platform/win32/table_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <functional>

namespace {

using namespace platform::win32;
using platform::PixelRect;
using platform::toPixels;

constexpr int kLabelId = 501, kFieldId = 502, kButtonId = 503;
constexpr platform::TwipsRect kNarrowLabel{120, 240, 900, 255};
constexpr platform::TwipsRect kField{1200, 120, 2175, 375};
constexpr platform::TwipsRect kButton{120, 600, 1215, 375};
constexpr DWORD kPassword = ES_PASSWORD | WS_TABSTOP;
// The label is too narrow for its caption in the message font.
constexpr ControlRow kRows[] = {
    {WC_STATICW, SS_LEFTNOWORDWRAP, 0, "新パスワード確認：", kLabelId, kNarrowLabel,
     ControlFont::FitCaption},
    {WC_EDITW, kPassword, WS_EX_CLIENTEDGE, "", kFieldId, kField, ControlFont::Message},
    {WC_BUTTONW, BS_PUSHBUTTON, 0, "OK", kButtonId, kButton, ControlFont::Message},
};
constexpr ControlTable kTable =
    controlTable("table", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 3600, 1200, kRows);

class ProbeWindow final : public TableWindow {
public:
  ProbeWindow() : TableWindow(GetModuleHandleW(nullptr), L"TableWindowTest", kTable) {}
  bool open() { return create(nullptr, nullptr, POINT{0, 0}, outerSize(false, 96)); }
  using TableWindow::control;
  using TableWindow::outerSize;
  using TableWindow::runHandler;
  void unload() override { DestroyWindow(handle()); }

  int commands = 0, closes = 0;
  std::function<void()> duringCommand;

private:
  void onCommand(int, int) override {
    ++commands;
    if (duringCommand)
      duringCommand();
  }
  void onClose() override { ++closes; }
};

RECT rectInParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT *>(&r), 2);
  return r;
}

void expectPlace(HWND control, const PixelRect &place) {
  const RECT r = rectInParent(control);
  EXPECT_EQ(r.left, place.left);
  EXPECT_EQ(r.top, place.top);
  EXPECT_EQ(r.right, place.right);
  EXPECT_EQ(r.bottom, place.bottom);
}

LONG fontHeight(HWND control) {
  LOGFONTW face{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof face, &face);
  return face.lfHeight < 0 ? -face.lfHeight : face.lfHeight;
}

// What a modal box does meanwhile: its loop dispatches what was posted.
void dispatchPosted() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageW(&message);
}

class TableWindowTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(window.open()); }
  ProbeWindow window;
};

TEST_F(TableWindowTest, ControlsComeFromTheRowsInPlaceWithTheirFonts) {
  RECT client{};
  GetClientRect(window.handle(), &client);
  EXPECT_EQ(client.right, 240);
  EXPECT_EQ(client.bottom, 80);
  for (const ControlRow &row : kRows) {
    SCOPED_TRACE(row.id);
    expectPlace(window.control(row.id), toPixels(row.place, 96));
  }
  EXPECT_EQ(SendMessageW(window.control(kFieldId), EM_GETPASSWORDCHAR, 0, 0), L'*');
  const LONG message = fontHeight(window.control(kButtonId));
  EXPECT_GT(message, 0);
  EXPECT_EQ(fontHeight(window.control(kFieldId)), message);
  EXPECT_LT(fontHeight(window.control(kLabelId)), message) << "the label's font fits its width";
}

TEST_F(TableWindowTest, ANewDpiMovesEveryControlAndGrowsTheFonts) {
  const LONG at96 = fontHeight(window.control(kButtonId));
  const platform::PixelSize outer = window.outerSize(false, 144);
  SIZE answered{};
  EXPECT_EQ(
      SendMessageW(window.handle(), WM_GETDPISCALEDSIZE, 144, reinterpret_cast<LPARAM>(&answered)),
      TRUE);
  EXPECT_EQ(answered.cx, outer.width);
  EXPECT_EQ(answered.cy, outer.height);

  RECT suggested{10, 20, 10 + outer.width, 20 + outer.height};
  SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  RECT placed{};
  GetWindowRect(window.handle(), &placed);
  EXPECT_EQ(placed.left, 10);
  EXPECT_EQ(placed.bottom, suggested.bottom);
  for (const ControlRow &row : kRows) {
    SCOPED_TRACE(row.id);
    expectPlace(window.control(row.id), toPixels(row.place, 144));
  }
  EXPECT_GT(fontHeight(window.control(kButtonId)), at96);
}

// Another program's burst reaches the window while a command's box is up.
TEST_F(TableWindowTest, CommandsWhileACommandRunsAreIgnoredAndACloseWaitsForIt) {
  HWND handle = window.handle();
  int closesDuring = -1;
  window.duringCommand = [&] {
    SendMessageW(handle, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), 0);
    for (int i = 0; i < 5; ++i)
      PostMessageW(handle, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), 0);
    PostMessageW(handle, WM_CLOSE, 0, 0);
    PostMessageW(handle, WM_CLOSE, 0, 0);
    dispatchPosted();
    closesDuring = window.closes;
  };
  SendMessageW(handle, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), 0);
  EXPECT_EQ(window.commands, 1);
  EXPECT_EQ(closesDuring, 0) << "never inside the command";
  EXPECT_EQ(window.closes, 1) << "carried out once, when the command ends";

  window.duringCommand = nullptr;
  SendMessageW(handle, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), 0);
  EXPECT_EQ(window.closes, 1) << "a close is kept only until it is carried out";
  SendMessageW(handle, WM_CLOSE, 0, 0);
  EXPECT_EQ(window.commands, 2) << "the next command runs once the first is done";
  EXPECT_EQ(window.closes, 2);
}

// Start-up runs as a handler too: its box keeps commands out, not a close.
TEST_F(TableWindowTest, AHandlerRunByTheWindowItselfIsGuardedAlike) {
  HWND handle = window.handle();
  window.runHandler([&] {
    PostMessageW(handle, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), 0);
    PostMessageW(handle, WM_CLOSE, 0, 0);
    dispatchPosted();
  });
  EXPECT_EQ(window.commands, 0);
  EXPECT_EQ(window.closes, 1);
}

TEST_F(TableWindowTest, AHandlerThatClosesTheWindowDropsAPendingClose) {
  HWND handle = window.handle();
  window.duringCommand = [&] {
    PostMessageW(handle, WM_CLOSE, 0, 0);
    dispatchPosted();
    DestroyWindow(handle);
  };
  SendMessageW(handle, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), 0);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(window.closes, 0);
}

} // namespace
