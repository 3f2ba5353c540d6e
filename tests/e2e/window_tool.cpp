// window_tool wait|close TITLE, window_tool command TITLE ID: waits up to
// 20 s for a visible top-level window with the title, then asks it to close
// or sends it a menu command. For the run script and screenshots.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t **argv) {
  if (argc < 3)
    return 2;
  HWND window = nullptr;
  for (int tries = 0; tries < 400 && !(window && IsWindowVisible(window)); ++tries) {
    Sleep(50);
    window = FindWindowW(nullptr, argv[2]);
  }
  if (!window)
    return 1;
  if (std::wcscmp(argv[1], L"close") == 0)
    PostMessageW(window, WM_CLOSE, 0, 0);
  else if (std::wcscmp(argv[1], L"command") == 0 && argc == 4)
    PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[3])), 0);
  return 0;
}
