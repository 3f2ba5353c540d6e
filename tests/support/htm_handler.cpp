#include "support/htm_handler.h"

#include <windows.h>

namespace testsupport {
namespace {

constexpr wchar_t kLog[] = L"C:\\help-handler.log";

std::wstring besideThisProgram(const wchar_t *name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring self(path);
  return self.substr(0, self.rfind(L'\\') + 1) + name;
}

void setDefault(HKEY root, const std::wstring &key, const std::wstring &value) {
  HKEY handle = nullptr;
  RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr);
  RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
}

} // namespace

void registerHtmHandler() {
  const std::wstring command = L"\"" + besideThisProgram(L"help_handler.exe") + L"\" \"%1\"";
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    setDefault(root, L"Software\\Classes\\.htm", L"KestrovaTest.htm");
    setDefault(root, L"Software\\Classes\\KestrovaTest.htm\\shell\\open\\command", command);
  }
}

void removeHtmAssociation() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    RegDeleteTreeW(root, L"Software\\Classes\\.htm");
}

std::wstring htmHandlerLog() {
  HANDLE file = CreateFileW(kLog, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return L"";
  std::wstring text(4096, L'\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
  CloseHandle(file);
  text.resize(read / sizeof(wchar_t));
  return text;
}

void forgetHtmHandlerLog() { DeleteFileW(kLog); }

} // namespace testsupport
