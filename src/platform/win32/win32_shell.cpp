#include "platform/win32/win32_shell.h"

#include <windows.h>

#include <shellapi.h> // needs windows.h first

namespace platform::win32 {

std::intptr_t Win32Shell::open(WindowHandle parent, const std::string &file,
                               const std::string &directory, int show) {
  return reinterpret_cast<std::intptr_t>(ShellExecuteA(
      reinterpret_cast<HWND>(parent), nullptr, file.c_str(), nullptr, directory.c_str(), show));
}

} // namespace platform::win32
