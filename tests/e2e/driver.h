#pragma once
// A test driver for vantorel.exe: starts it as a process and finds, reads
// and presses its windows the way a person would, by captions, classes and
// positions.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// The program under test, as given on the command line.
const std::wstring &programPath();
void setProgramPath(const std::wstring &path);

bool waitUntil(const std::function<bool()> &condition, DWORD timeoutMs = 10000);
// Waits busily, for pauses finer than Sleep's.
void spinFor(LONGLONG microseconds);

class Program {
public:
  Program();
  explicit Program(const std::wstring &exe);
  ~Program();
  Program(const Program &) = delete;
  Program &operator=(const Program &) = delete;

  // The visible main window "Kestrova", or nullptr after the timeout.
  HWND waitForMainWindow(DWORD timeoutMs = 10000) const;
  // A visible message box of this process, or nullptr after the timeout.
  HWND waitForMessageBox(DWORD timeoutMs = 10000) const;
  HWND messageBox() const;
  // A visible top-level window of this process with the title, or nullptr.
  HWND waitForWindow(const std::wstring &title, DWORD timeoutMs = 10000) const;
  // How many visible top-level windows of this process have the title.
  int countWindows(const std::wstring &title) const;
  bool waitForExit(DWORD timeoutMs = 10000) const;
  bool running() const;

private:
  HWND findTopLevel(const std::function<bool(HWND)> &match) const;
  PROCESS_INFORMATION process_{};
};

std::wstring textOf(HWND window);
std::wstring classOf(HWND window);
// The nth direct child of the class with the caption.
HWND findChild(HWND parent, const std::wstring &className, const std::wstring &caption,
               int nth = 0);
// The nth direct child of the class, whatever its text.
HWND findChildOfClass(HWND parent, const std::wstring &className, int nth = 0);
// The main window's option buttons, floppy allowed and prohibited, then USB
// allowed and prohibited: left frame before right, upper before lower.
std::vector<HWND> optionButtons(HWND mainWindow);
bool isChecked(HWND button);
// The control with the keyboard focus in the window's thread.
HWND focusOf(HWND window);
// A child's rectangle in its parent's client coordinates.
RECT rectInParent(HWND child);
SIZE clientSize(HWND window);

struct MessageBoxText {
  std::wstring title;
  std::wstring prompt;
};
MessageBoxText readMessageBox(HWND box);
void pressOk(HWND box);
void click(HWND button);
// Types into an edit control character by character, as a keyboard would.
void typeText(HWND edit, const std::wstring &text);
void clearText(HWND edit);
// The length of an edit's text; unlike WM_GETTEXT it works for password
// fields of other processes.
int textLength(HWND edit);

struct MenuItem {
  std::wstring caption;
  UINT id = 0;
  std::vector<MenuItem> items;
};
// The menu bar the program loads from its own resources.
std::vector<MenuItem> menuBarOf(const std::wstring &exe);
// The command ID of the menu item with the caption, 0 when there is none.
UINT menuCommand(const std::vector<MenuItem> &menu, const std::wstring &caption);
void chooseMenuItem(HWND window, const std::wstring &caption);

} // namespace e2e
