// launch_timer [--block N] [--gap MS] EXE TITLE RUNS WARMUPS OPTIONS [EXE TITLE RUNS WARMUPS
// OPTIONS]...
//
// Times, inside Wine, how long a program takes from CreateProcessW to a
// visible top-level window of its own with the given title that answers a
// message (its message loop is running, so it has painted and takes input);
// with OPTIONS = 1 the window must also have at least two checked option
// buttons (one per group). Each run then closes the window with WM_CLOSE and waits for the
// process to end. WARMUPS runs come first and are not counted. With more than
// one program the runs alternate in blocks of N (5 by default), so that a
// slow spell of the machine weighs on all of them alike; MS (250 by default)
// is the pause after each run.
//
// Prints one line per run and one per program:
//   run LABEL I MS
//   median LABEL MS min MS max MS n COUNT
// where LABEL is the file name of EXE. Exits with 1 if a run fails.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kRunTimeoutMs = 20000;  // for the window to appear
constexpr DWORD kExitTimeoutMs = 10000; // for the process to end after WM_CLOSE

struct Target {
  std::wstring exe;
  std::wstring title;
  int runs = 0;
  int warmups = 0;
  bool requireOptions = false;
  std::wstring label;
  std::vector<double> times;
};

struct Search {
  DWORD processId;
  const std::wstring *title;
  bool requireOptions;
  HWND found;
};

LARGE_INTEGER frequency;

double millisecondsSince(const LARGE_INTEGER &start) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

BOOL CALLBACK countCheckedOption(HWND child, LPARAM param) {
  wchar_t className[16];
  if (GetClassNameW(child, className, 16) == 0 || lstrcmpiW(className, L"Button") != 0)
    return TRUE;
  if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_AUTORADIOBUTTON)
    return TRUE;
  DWORD_PTR state = 0;
  if (SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 1000, &state) &&
      state == BST_CHECKED)
    ++*reinterpret_cast<int *>(param);
  return TRUE;
}

BOOL CALLBACK findReadyWindow(HWND window, LPARAM param) {
  auto &search = *reinterpret_cast<Search *>(param);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search.processId || !IsWindowVisible(window))
    return TRUE;
  // Reads the title without sending the program a message.
  wchar_t text[128];
  InternalGetWindowText(window, text, 128);
  if (*search.title != text)
    return TRUE;
  // Every program is held to this, not only those whose options are asked
  // for: asking a button answers only once the message loop runs, too.
  DWORD_PTR reply = 0;
  if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &reply))
    return TRUE;
  if (search.requireOptions) {
    int checked = 0;
    EnumChildWindows(window, countCheckedOption, reinterpret_cast<LPARAM>(&checked));
    if (checked < 2)
      return TRUE;
  }
  search.found = window;
  return FALSE;
}

std::wstring directoryOf(const std::wstring &path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Milliseconds to a ready window, or a negative number when the run failed.
double timeOneRun(const Target &target) {
  std::wstring commandLine = L"\"" + target.exe + L"\"";
  const std::wstring directory = directoryOf(target.exe);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};

  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(target.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
    std::fwprintf(stderr, L"launch_timer: cannot start %ls (error %lu)\n", target.exe.c_str(),
                  GetLastError());
    return -1;
  }
  Search search{process.dwProcessId, &target.title, target.requireOptions, nullptr};
  double elapsed = -1;
  for (;;) {
    search.found = nullptr;
    EnumWindows(findReadyWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      elapsed = millisecondsSince(start);
      break;
    }
    // Doubles as the 1 ms poll interval.
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) {
      std::fwprintf(stderr, L"launch_timer: %ls ended before its window was ready\n",
                    target.label.c_str());
      break;
    }
    if (millisecondsSince(start) > kRunTimeoutMs) {
      std::fwprintf(stderr, L"launch_timer: no ready window titled \"%ls\" from %ls in %lu ms\n",
                    target.title.c_str(), target.label.c_str(), kRunTimeoutMs);
      break;
    }
  }
  if (search.found)
    PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, search.found ? kExitTimeoutMs : 0) != WAIT_OBJECT_0) {
    if (search.found)
      std::fwprintf(stderr, L"launch_timer: %ls did not end after WM_CLOSE\n",
                    target.label.c_str());
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kExitTimeoutMs);
    elapsed = -1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int usage() {
  std::fwprintf(stderr, L"usage: launch_timer [--block N] [--gap MS] EXE TITLE RUNS WARMUPS "
                        L"OPTIONS [EXE TITLE RUNS WARMUPS OPTIONS]...\n");
  return 2;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
  int block = 5;
  DWORD gapMs = 250;
  int arg = 1;
  for (; arg + 1 < argc && argv[arg][0] == L'-' && argv[arg][1] == L'-'; arg += 2) {
    if (std::wcscmp(argv[arg], L"--block") == 0)
      block = std::max(1, _wtoi(argv[arg + 1]));
    else if (std::wcscmp(argv[arg], L"--gap") == 0)
      gapMs = static_cast<DWORD>(std::max(0, _wtoi(argv[arg + 1])));
    else
      return usage();
  }
  std::vector<Target> targets;
  for (; arg + 5 <= argc; arg += 5) {
    Target target;
    target.exe = argv[arg];
    target.title = argv[arg + 1];
    target.runs = _wtoi(argv[arg + 2]);
    target.warmups = _wtoi(argv[arg + 3]);
    target.requireOptions = _wtoi(argv[arg + 4]) != 0;
    const auto slash = target.exe.find_last_of(L"\\/");
    target.label = slash == std::wstring::npos ? target.exe : target.exe.substr(slash + 1);
    targets.push_back(target);
  }
  if (arg != argc || targets.empty())
    return usage();
  QueryPerformanceFrequency(&frequency);

  bool failed = false;
  auto runOnce = [&](Target &target, bool counted) {
    const double ms = timeOneRun(target);
    if (ms < 0)
      failed = true;
    else if (counted) {
      target.times.push_back(ms);
      std::wprintf(L"run %ls %zu %.2f\n", target.label.c_str(), target.times.size(), ms);
    } else
      std::wprintf(L"warmup %ls %.2f\n", target.label.c_str(), ms);
    std::fflush(stdout);
    Sleep(gapMs);
  };

  // Warm-ups alternate one by one, then the counted runs in blocks.
  for (int round = 0; !failed; ++round) {
    bool any = false;
    for (Target &target : targets)
      if (round < target.warmups && !failed) {
        runOnce(target, false);
        any = true;
      }
    if (!any)
      break;
  }
  for (bool any = true; any && !failed;) {
    any = false;
    for (Target &target : targets)
      for (int i = 0; i < block && static_cast<int>(target.times.size()) < target.runs && !failed;
           ++i) {
        runOnce(target, true);
        any = true;
      }
  }
  if (failed)
    return 1;
  for (const Target &target : targets) {
    if (target.times.empty())
      continue;
    const auto [low, high] = std::minmax_element(target.times.begin(), target.times.end());
    std::wprintf(L"median %ls %.2f min %.2f max %.2f n %zu\n", target.label.c_str(),
                 median(target.times), *low, *high, target.times.size());
  }
  return 0;
}
