#include "platform/win32/win32_shell.h"

#include "platform/win32/wide.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h> // needs windows.h first

namespace platform::win32 {
namespace {

// shell32 and COM are needed only when the help document is opened, which
// most runs never do: load them then, not at every start.
// The SDK's declarations give the types, calling convention and all.
using ShellExecuteWFn = decltype(&::ShellExecuteW);

template <typename Function> Function load(const wchar_t *library, const char *name) {
  HMODULE module = LoadLibraryW(library);
  return module ? reinterpret_cast<Function>(
                      reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                : nullptr;
}

ShellExecuteWFn shellExecute() {
  static const ShellExecuteWFn function = [] {
    // The shell may hand the document to extensions that need COM.
    if (const auto coInitializeEx =
            load<decltype(&::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx"))
      coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    return load<ShellExecuteWFn>(L"shell32.dll", "ShellExecuteW");
  }();
  return function;
}

} // namespace

std::intptr_t Win32Shell::open(WindowHandle parent, const std::string &file,
                               const std::string &directory, int show) {
  const ShellExecuteWFn execute = shellExecute();
  if (!execute)
    return SE_ERR_NOASSOC;
  return reinterpret_cast<std::intptr_t>(execute(reinterpret_cast<HWND>(parent), nullptr,
                                                 widen(file).c_str(), nullptr,
                                                 widen(directory).c_str(), show));
}

} // namespace platform::win32
