// The change-password dialog of the shipped program->
#include "driver.h"
#include "event_trace.h"
#include "started_program.h"
#include "support/password_file.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace e2e;
using namespace testsupport;

bool putOnClipboard(const std::wstring &text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory || !OpenClipboard(nullptr))
    return false;
  std::copy(text.c_str(), text.c_str() + text.size() + 1,
            static_cast<wchar_t *>(GlobalLock(memory)));
  GlobalUnlock(memory);
  EmptyClipboard();
  const bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  return put;
}

// The change-password dialog of a running copy, or nullptr.
HWND openDialogOf(const Program &copy, HWND mainWindow) {
  chooseMenuItem(mainWindow, L"パスワード変更(&P)");
  return copy.waitForWindow(L"パスワード変更");
}

void fill(HWND dialog, const std::wstring &old, const std::wstring &fresh,
          const std::wstring &again) {
  const std::wstring texts[3] = {old, fresh, again};
  for (int i = 0; i < 3; ++i)
    typeText(findChildOfClass(dialog, L"Edit", i), texts[i]);
}

// After OK: the prompt of the box that answered, or "" when the dialog
// closed without one.
std::wstring outcomeOf(const Program &copy, HWND dialog) {
  std::wstring prompt;
  waitUntil([&] { return copy.messageBox() || !IsWindow(dialog); }, 30000);
  if (HWND box = copy.messageBox()) {
    prompt = readMessageBox(box).prompt;
    EXPECT_EQ(readMessageBox(box).title, L"エラー");
    pressOk(box);
  }
  EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); })) << "every OK closes the dialog";
  return prompt;
}

class PasswordDialogTest : public StartedProgramTest {
protected:
  HWND openDialog() { return openDialogOf(*program, window); }
  // Opens the dialog, fills the three fields and presses OK; returns the
  // prompt of the box that answered, or "" when the dialog closed silently.
  std::wstring change(const std::wstring &old, const std::wstring &fresh,
                      const std::wstring &again) {
    HWND dialog = openDialog();
    if (!dialog)
      return L"<no dialog>";
    fill(dialog, old, fresh, again);
    click(findChild(dialog, L"Button", L"OK"));
    return outcomeOf(*program, dialog);
  }
  // Execute with a typed password: the title of the box that answers.
  std::wstring executeWith(const std::wstring &typed) {
    HWND field = findChildOfClass(window, L"Edit");
    clearText(field);
    typeText(field, typed);
    click(findChild(window, L"Button", L"実行"));
    HWND box = program->waitForMessageBox();
    if (!box)
      return L"<no box>";
    const std::wstring title = readMessageBox(box).title;
    pressOk(box);
    return title;
  }
};

TEST_F(PasswordDialogTest, OpensFreshOwnedAndModalWithFocusInTheFirstField) {
  HWND dialog = openDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), window) << "owned: stays out of the taskbar";
  EXPECT_FALSE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_FALSE(GetWindowLongW(dialog, GWL_STYLE) &
               (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_FALSE(IsWindowEnabled(window)) << "the main window waits";
  for (int i = 0; i < 3; ++i) {
    HWND field = findChildOfClass(dialog, L"Edit", i);
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(GetWindowLongW(field, GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(textLength(field), 0);
  }
  EXPECT_EQ(focusOf(dialog), findChildOfClass(dialog, L"Edit", 0));
  for (const wchar_t *label : {L"元のパスワード：", L"新パスワード：", L"新パスワード確認："})
    EXPECT_NE(findChild(dialog, L"Static", label), nullptr) << label;
  ASSERT_NE(findChild(dialog, L"Button", L"ｷｬﾝｾﾙ"), nullptr);

  typeText(findChildOfClass(dialog, L"Edit", 0), L"typed");
  click(findChild(dialog, L"Button", L"ｷｬﾝｾﾙ"));
  ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(IsWindowEnabled(window));
  dialog = openDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(textLength(findChildOfClass(dialog, L"Edit", 0)), 0) << "fields start empty each time";
}

TEST_F(PasswordDialogTest, ChangedPasswordIsTheOnlyOneExecuteAccepts) {
  EXPECT_EQ(change(L"", L"Neu-1", L"Neu-1"), L"");
  EXPECT_EQ(readPasswordFile(), "Neu-1\r\n");
  EXPECT_EQ(executeWith(L""), L"エラー");
  EXPECT_EQ(executeWith(L"Neu-1"), L"設定完了");
  EXPECT_TRUE(program->waitForExit());
}

// Wine maps the rules a program sets onto the file's mode, and a file left
// with the directory's rules reads back with an Everyone entry.
TEST_F(PasswordDialogTest, AFirstPasswordIsForSystemAndAdministratorsOnly) {
  EXPECT_EQ(change(L"", L"Erst-1", L"Erst-1"), L"");
  EXPECT_EQ(readPasswordFile(), "Erst-1\r\n");
  const std::wstring dacl = daclOf(widePasswordFilePath());
  ASSERT_FALSE(dacl.empty());
  EXPECT_EQ(dacl.find(L";WD)"), std::wstring::npos) << "Everyone: " << dacl.c_str();
  EXPECT_EQ(dacl.find(L";BU)"), std::wstring::npos) << "Users: " << dacl.c_str();
}

// Any user may create a mutex of any name: the old lock's name held by
// someone else no longer blocks a change.
TEST_F(PasswordDialogTest, AMutexSquattingTheOldLocksNameBlocksNothing) {
  HANDLE squatted = CreateMutexW(nullptr, TRUE, L"Global\\Kestrova.vantorel.P01");
  ASSERT_NE(squatted, nullptr);
  EXPECT_EQ(change(L"", L"Neu-2", L"Neu-2"), L"");
  CloseHandle(squatted);
  EXPECT_EQ(readPasswordFile(), "Neu-2\r\n");
}

TEST_F(PasswordDialogTest, WrongCurrentPasswordAndMismatchAreReported) {
  writePasswordFile("Old\r\n");
  EXPECT_EQ(change(L"old", L"a", L"b"), L"パスワードが登録できませんでした。(010)");
  EXPECT_EQ(change(L"Old", L"New", L"new"), L"パスワードが登録できませんでした。(011)");
  EXPECT_EQ(readPasswordFile(), "Old\r\n");
}

TEST_F(PasswordDialogTest, ChangesAndRefusalsAreReportedWithoutAnyPassword) {
  writePasswordFile("Alt-7pw\r\n");
  const EventTrace changed;
  EXPECT_EQ(change(L"Alt-7pw", L"Neu-8pw", L"Neu-8pw"), L"");
  expectOnlyEvent(changed.events(), 4, EVENTLOG_INFORMATION_TYPE, "trace", {});
  const EventTrace refused;
  EXPECT_EQ(change(L"Alt-7pw", L"Xyz-9pw", L"Xyz-9pw"), L"パスワードが登録できませんでした。(010)");
  expectOnlyEvent(refused.events(), 5, EVENTLOG_WARNING_TYPE, "warn",
                  {L"(010) 元のパスワードが一致しません"});
  for (const char *password : {"Alt-7pw", "Neu-8pw", "Xyz-9pw"})
    EXPECT_FALSE(trace.mentions(password));
}

// Told as nothing stored, not as a wrong current password.
TEST_F(PasswordDialogTest, APasswordFileHeldOpenExclusivelyChangesNothing) {
  writePasswordFile("\r\n");
  HANDLE held = holdPasswordFileExclusively();
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::wstring prompt = change(L"", L"x", L"x");
  CloseHandle(held);
  EXPECT_EQ(prompt, L"パスワードが登録できませんでした。(012)");
  EXPECT_EQ(readPasswordFile(), "\r\n");
  expectOnlyEvent(trace.events(), 5, EVENTLOG_WARNING_TYPE, "warn",
                  {L"(012) パスワードファイルを読み込めません（エラーコード: 32）"});
}

// A handle for the file's attributes alone, which any user may keep open.
// Wine has no POSIX rename, so the change is refused and the trail says
// that another program holds the file.
TEST_F(PasswordDialogTest, APasswordFileHeldForItsAttributesGives012AndTheTrailSaysItIsHeld) {
  writePasswordFile("Alt-7pw\r\n");
  HANDLE held = holdPasswordFileAttributes();
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const EventTrace refused;
  const std::wstring prompt = change(L"Alt-7pw", L"Neu-8pw", L"Neu-8pw");
  CloseHandle(held);
  EXPECT_EQ(prompt, L"パスワードが登録できませんでした。(012)");
  expectOnlyEvent(refused.events(), 5, EVENTLOG_WARNING_TYPE, "warn",
                  {L"(012) 他のプログラムがパスワードファイルを開いているため置き換えられません"
                   L"（エラーコード: 32）"});
  EXPECT_EQ(readPasswordFile(), "Alt-7pw\r\n");
  EXPECT_EQ(change(L"Alt-7pw", L"Neu-8pw", L"Neu-8pw"), L"") << "let go";
}

// Opening a folder as a file answers access denied, as missing rights do;
// the trail says which it is.
TEST_F(PasswordDialogTest, AFolderInThePasswordFilesPlaceGives012AndIsNamedSo) {
  ASSERT_TRUE(CreateDirectoryA(passwordFilePath().c_str(), nullptr));
  const std::wstring prompt = change(L"", L"x", L"x");
  RemoveDirectoryA(passwordFilePath().c_str());
  EXPECT_EQ(prompt, L"パスワードが登録できませんでした。(012)");
  expectOnlyEvent(
      trace.events(), 5, EVENTLOG_WARNING_TYPE, "warn",
      {L"(012) パスワードファイルの場所に同じ名前のフォルダーがあります（エラーコード: 336）"});
}

TEST_F(PasswordDialogTest, CommaAndCharactersOutsideShiftJis) {
  EXPECT_EQ(change(L"", L"a,b", L"a,b"), L"");
  EXPECT_EQ(readPasswordFile(), "\"a,b\"\r\n");
  const std::wstring emoji = L"\xD83D\xDE00"; // U+1F600
  EXPECT_EQ(change(L"a,b", emoji, emoji), L"パスワードが登録できませんでした。(012)");
  EXPECT_EQ(readPasswordFile(), "\"a,b\"\r\n");
  EXPECT_EQ(executeWith(L"a"), L"エラー");
  EXPECT_EQ(executeWith(L"a,b"), L"設定完了");
}

TEST_F(PasswordDialogTest, APastedPasswordOverTheLimitGives012AndTheOldOneStillWorks) {
  writePasswordFile("Old\r\n");
  HWND dialog = openDialog();
  ASSERT_NE(dialog, nullptr);
  typeText(findChildOfClass(dialog, L"Edit", 0), L"Old");
  const std::wstring pasted((4 << 20) + 1, L'p');
  ASSERT_TRUE(putOnClipboard(pasted));
  for (int i : {1, 2}) {
    HWND field = findChildOfClass(dialog, L"Edit", i);
    SendMessageW(field, WM_PASTE, 0, 0);
    ASSERT_EQ(textLength(field), static_cast<int>(pasted.size()));
  }
  click(findChild(dialog, L"Button", L"OK"));
  EXPECT_EQ(outcomeOf(*program, dialog), L"パスワードが登録できませんでした。(012)");
  EXPECT_EQ(readPasswordFile(), "Old\r\n");
  EXPECT_EQ(executeWith(L"Old"), L"設定完了");
}

TEST_F(PasswordDialogTest, TwoCopiesChangingAtOnceGiveOneSuccessAndOne010) {
  writePasswordFile("Old\r\n");
  Program other;
  HWND otherWindow = other.waitForMainWindow();
  ASSERT_NE(otherWindow, nullptr);
  HWND dialogs[2] = {openDialog(), openDialogOf(other, otherWindow)};
  ASSERT_TRUE(dialogs[0] && dialogs[1]);
  fill(dialogs[0], L"Old", L"First", L"First");
  fill(dialogs[1], L"Old", L"Second", L"Second");
  for (HWND dialog : dialogs)
    click(findChild(dialog, L"Button", L"OK"));
  const std::wstring outcomes[2] = {outcomeOf(*program, dialogs[0]), outcomeOf(other, dialogs[1])};
  const std::wstring k010 = L"パスワードが登録できませんでした。(010)";
  ASSERT_TRUE((outcomes[0].empty() && outcomes[1] == k010) ||
              (outcomes[1].empty() && outcomes[0] == k010))
      << "got \"" << outcomes[0].size() << "\" and \"" << outcomes[1].size() << "\" characters";
  EXPECT_EQ(readPasswordFile(), outcomes[0].empty() ? "First\r\n" : "Second\r\n");
}

TEST_F(PasswordDialogTest, NoTemporaryOutlivesTheChangeAfterAKilledOne) {
  writePasswordFile("Old\r\n");
  writeFileInWindowsDirectory("vantorel.P01.260.1340031.tmp", "Leaked\r\n");
  {
    Program victim;
    HWND victimWindow = victim.waitForMainWindow();
    ASSERT_NE(victimWindow, nullptr);
    HWND dialog = openDialogOf(victim, victimWindow);
    ASSERT_NE(dialog, nullptr);
    fill(dialog, L"Old", L"Killed", L"Killed");
    click(findChild(dialog, L"Button", L"OK"));
  } // killed at once, wherever it was
  const std::string left = readPasswordFile();
  ASSERT_TRUE(left == "Old\r\n" || left == "Killed\r\n") << left;
  const std::wstring old = left == "Old\r\n" ? L"Old" : L"Killed";
  EXPECT_EQ(change(old, L"Next", L"Next"), L"");
  EXPECT_EQ(readPasswordFile(), "Next\r\n");
  EXPECT_EQ(namesInWindowsDirectory(L"vantorel.P01*"), std::vector<std::wstring>{L"vantorel.P01"});
}

TEST_F(PasswordDialogTest, EnterAndEscLeaveTheDialogOpen) {
  HWND dialog = openDialog();
  ASSERT_NE(dialog, nullptr);
  HWND field = findChildOfClass(dialog, L"Edit", 0);
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    PostMessageW(field, WM_KEYDOWN, key, 0);
    PostMessageW(field, WM_KEYUP, key, 0xC0000001);
  }
  Sleep(500);
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_EQ(program->messageBox(), nullptr);
  PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); })) << "the close box is Cancel";
}

TEST_F(PasswordDialogTest, AfterTheDialogExitReadsExitAgainAndTheChoiceStays) {
  click(optionButtons(window)[1]);
  ASSERT_TRUE(waitUntil([&] { return findChild(window, L"Button", L"キャンセル") != nullptr; }));
  HWND dialog = openDialog();
  ASSERT_NE(dialog, nullptr);
  click(findChild(dialog, L"Button", L"ｷｬﾝｾﾙ"));
  EXPECT_TRUE(waitUntil([&] { return findChild(window, L"Button", L"終了") != nullptr; }));
  EXPECT_TRUE(isChecked(optionButtons(window)[1]));
  EXPECT_EQ(readPasswordFile(), "<missing>");
}

} // namespace
