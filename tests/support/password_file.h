#pragma once
// The password file in the test prefix's Windows directory, through the
// plain Win32 API.
#include <windows.h>

#include <sddl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace testsupport {

inline std::string windowsDirectory() {
  char buffer[MAX_PATH] = {};
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

inline std::string passwordFilePath() { return windowsDirectory() + "\\vantorel.P01"; }

inline void writeFileInWindowsDirectory(const std::string &name, const std::string &bytes) {
  HANDLE file = CreateFileA((windowsDirectory() + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

inline void writePasswordFile(const std::string &bytes) {
  writeFileInWindowsDirectory("vantorel.P01", bytes);
}

// The names in the Windows directory that match the pattern, sorted.
inline std::vector<std::wstring> namesInWindowsDirectory(const std::wstring &pattern) {
  wchar_t directory[MAX_PATH] = {};
  GetWindowsDirectoryW(directory, MAX_PATH);
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((std::wstring(directory) + L"\\" + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return names;
  do
    names.push_back(found.cFileName);
  while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

inline std::string readPasswordFile() {
  HANDLE file = CreateFileA(passwordFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return "<missing>";
  std::string bytes(65536, '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

// The password file held open as another program may hold it: for reading
// with no sharing at all, or for its attributes alone with every sharing,
// as any user who may list the Windows directory can. The caller closes it.
inline HANDLE holdPasswordFileExclusively() {
  return CreateFileA(passwordFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                     nullptr);
}
inline HANDLE holdPasswordFileAttributes() {
  return CreateFileA(passwordFilePath().c_str(), FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     0, nullptr);
}

inline void removePasswordFile() {
  SetFileAttributesA(passwordFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(passwordFilePath().c_str());
}

// The file's DACL in SDDL ("D:P(A;;FA;;;SY)..."), as Windows reports it;
// empty when it can't be read.
inline std::wstring daclOf(const std::wstring &path) {
  DWORD needed = 0;
  GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
  std::string descriptor(needed, '\0');
  wchar_t *text = nullptr;
  if (!needed ||
      !GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), needed,
                        &needed) ||
      !ConvertSecurityDescriptorToStringSecurityDescriptorW(
          descriptor.data(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr))
    return {};
  std::wstring dacl(text);
  LocalFree(text);
  return dacl;
}

// The owner of the file as "S-1-5-..."; empty when it can't be read.
inline std::wstring ownerOf(const std::string &path) {
  DWORD needed = 0;
  GetFileSecurityA(path.c_str(), OWNER_SECURITY_INFORMATION, nullptr, 0, &needed);
  std::string descriptor(needed, '\0');
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  wchar_t *text = nullptr;
  if (!needed ||
      !GetFileSecurityA(path.c_str(), OWNER_SECURITY_INFORMATION, descriptor.data(), needed,
                        &needed) ||
      !GetSecurityDescriptorOwner(descriptor.data(), &owner, &defaulted) ||
      !ConvertSidToStringSidW(owner, &text))
    return {};
  std::wstring sid(text);
  LocalFree(text);
  return sid;
}

inline std::wstring widePasswordFilePath() {
  wchar_t directory[MAX_PATH] = {};
  GetWindowsDirectoryW(directory, MAX_PATH);
  return std::wstring(directory) + L"\\vantorel.P01";
}

} // namespace testsupport
