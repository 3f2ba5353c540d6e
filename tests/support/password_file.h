#pragma once
// The password file in the test prefix's Windows directory, through the
// plain Win32 API.
#include <windows.h>

#include <string>

namespace testsupport {

inline std::string passwordFilePath() {
  char buffer[MAX_PATH] = {};
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return std::string(buffer) + "\\vantorel.P01";
}

inline void writePasswordFile(const std::string &bytes) {
  HANDLE file = CreateFileA(passwordFilePath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
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

inline void removePasswordFile() {
  SetFileAttributesA(passwordFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(passwordFilePath().c_str());
}

} // namespace testsupport
