#include "driver.h"

#include <algorithm>

namespace e2e {
namespace {

std::wstring g_programPath;

struct ChildSearch {
  std::vector<HWND> found;
  HWND parent;
};

BOOL CALLBACK collectChild(HWND child, LPARAM data) {
  auto *search = reinterpret_cast<ChildSearch *>(data);
  if (GetParent(child) == search->parent)
    search->found.push_back(child);
  return TRUE;
}

std::vector<HWND> directChildren(HWND parent) {
  ChildSearch search{{}, parent};
  EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct TopLevelCount {
  DWORD pid;
  const std::wstring *title;
  int count;
};

BOOL CALLBACK countTopLevel(HWND window, LPARAM data) {
  auto *search = reinterpret_cast<TopLevelCount *>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->pid && IsWindowVisible(window) && textOf(window) == *search->title)
    ++search->count;
  return TRUE;
}

struct TopLevelSearch {
  DWORD pid;
  const std::function<bool(HWND)> *match;
  HWND found;
};

BOOL CALLBACK matchTopLevel(HWND window, LPARAM data) {
  auto *search = reinterpret_cast<TopLevelSearch *>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid || !IsWindowVisible(window) || !(*search->match)(window))
    return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK takeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR data) {
  *reinterpret_cast<LPWSTR *>(data) = name; // menus have numeric IDs here
  return FALSE;
}

} // namespace

const std::wstring &programPath() { return g_programPath; }
void setProgramPath(const std::wstring &path) { g_programPath = path; }

bool waitUntil(const std::function<bool()> &condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs)
      return false;
    Sleep(50);
  }
  return true;
}

void spinFor(LONGLONG microseconds) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  do
    QueryPerformanceCounter(&now);
  while ((now.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart < microseconds);
}

Program::Program() : Program(programPath()) {}

Program::Program(const std::wstring &exe) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + exe + L"\"";
  CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                 &startup, &process_);
}

Program::~Program() {
  if (!process_.hProcess)
    return;
  if (running()) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool Program::running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::waitForExit(DWORD timeoutMs) const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

HWND Program::findTopLevel(const std::function<bool(HWND)> &match) const {
  TopLevelSearch search{process_.dwProcessId, &match, nullptr};
  EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Program::waitForMainWindow(DWORD timeoutMs) const {
  HWND found = nullptr;
  waitUntil(
      [&] {
        found = findTopLevel(
            [](HWND w) { return textOf(w) == L"Kestrova" && classOf(w) != L"#32770"; });
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

HWND Program::waitForWindow(const std::wstring &title, DWORD timeoutMs) const {
  HWND found = nullptr;
  waitUntil(
      [&] {
        found = findTopLevel([&](HWND w) { return textOf(w) == title && classOf(w) != L"#32770"; });
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

int Program::countWindows(const std::wstring &title) const {
  TopLevelCount search{process_.dwProcessId, &title, 0};
  EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.count;
}

HWND Program::messageBox() const {
  return findTopLevel([](HWND w) { return classOf(w) == L"#32770" && GetDlgItem(w, 0xFFFF); });
}

HWND Program::waitForMessageBox(DWORD timeoutMs) const {
  HWND found = nullptr;
  waitUntil([&] { return (found = messageBox()) != nullptr; }, timeoutMs);
  return found;
}

std::wstring textOf(HWND window) {
  wchar_t buffer[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      5000, &copied);
  return std::wstring(buffer, copied);
}

std::wstring classOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

HWND findChild(HWND parent, const std::wstring &className, const std::wstring &caption, int nth) {
  for (HWND child : directChildren(parent)) {
    if (_wcsicmp(classOf(child).c_str(), className.c_str()) == 0 && textOf(child) == caption &&
        nth-- == 0)
      return child;
  }
  return nullptr;
}

HWND findChildOfClass(HWND parent, const std::wstring &className, int nth) {
  for (HWND child : directChildren(parent)) {
    if (_wcsicmp(classOf(child).c_str(), className.c_str()) == 0 && nth-- == 0)
      return child;
  }
  return nullptr;
}

std::vector<HWND> optionButtons(HWND mainWindow) {
  std::vector<HWND> options;
  for (HWND child : directChildren(mainWindow)) {
    const LONG style = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
    if (_wcsicmp(classOf(child).c_str(), L"Button") == 0 && style == BS_AUTORADIOBUTTON)
      options.push_back(child);
  }
  std::sort(options.begin(), options.end(), [](HWND a, HWND b) {
    const RECT ra = rectInParent(a), rb = rectInParent(b);
    return ra.left / 60 != rb.left / 60 ? ra.left < rb.left : ra.top < rb.top;
  });
  return options;
}

HWND focusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

bool isChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

RECT rectInParent(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT *>(&rect), 2);
  return rect;
}

SIZE clientSize(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

MessageBoxText readMessageBox(HWND box) {
  return MessageBoxText{textOf(box), textOf(GetDlgItem(box, 0xFFFF))};
}

void pressOk(HWND box) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

// Posted, not sent: a click that opens a modal box must not block the driver.
void click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

int textLength(HWND edit) { return static_cast<int>(SendMessageW(edit, EM_LINELENGTH, 0, 0)); }

void typeText(HWND edit, const std::wstring &text) {
  const int expected = textLength(edit) + static_cast<int>(text.size());
  for (wchar_t c : text)
    PostMessageW(edit, WM_CHAR, c, 1);
  waitUntil([&] { return textLength(edit) == expected; });
}

void clearText(HWND edit) {
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CLEAR, 0, 0);
}

namespace {

std::vector<MenuItem> readMenu(HMENU menu) {
  std::vector<MenuItem> items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t caption[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), caption, 256, MF_BYPOSITION);
    MenuItem item{caption, GetMenuItemID(menu, i), {}};
    if (HMENU sub = GetSubMenu(menu, i))
      item.items = readMenu(sub);
    items.push_back(std::move(item));
  }
  return items;
}

} // namespace

std::vector<MenuItem> menuBarOf(const std::wstring &exe) {
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module)
    return {};
  LPWSTR firstMenu = nullptr;
  EnumResourceNamesW(module, reinterpret_cast<LPCWSTR>(RT_MENU), takeFirstName,
                     reinterpret_cast<LONG_PTR>(&firstMenu));
  std::vector<MenuItem> items;
  if (HMENU menu = firstMenu ? LoadMenuW(module, firstMenu) : nullptr) {
    items = readMenu(menu);
    DestroyMenu(menu);
  }
  FreeLibrary(module);
  return items;
}

UINT menuCommand(const std::vector<MenuItem> &menu, const std::wstring &caption) {
  for (const MenuItem &item : menu) {
    if (item.caption == caption && item.items.empty())
      return item.id;
    if (UINT id = menuCommand(item.items, caption))
      return id;
  }
  return 0;
}

void chooseMenuItem(HWND window, const std::wstring &caption) {
  const UINT id = menuCommand(menuBarOf(programPath()), caption);
  if (id)
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

} // namespace e2e
