#include "platform/win32/win32_files.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace platform::win32 {

bool Win32Files::isNormalFile(const std::string &utf8Path) {
  const DWORD attributes = GetFileAttributesW(widen(utf8Path).c_str());
  constexpr DWORD notNormal =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & notNormal);
}

std::string Win32SystemPaths::executableDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
         path.size())
    path.resize(path.size() * 2);
  path.resize(length);
  std::size_t cut = path.rfind(L'\\');
  if (cut == std::wstring::npos)
    return {};
  if (cut == 2 && path[1] == L':')
    ++cut; // the root of a drive keeps its backslash
  return narrow(path.substr(0, cut));
}

} // namespace platform::win32
