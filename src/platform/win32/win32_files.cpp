#include "platform/win32/win32_files.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace platform::win32 {
namespace {

HANDLE toHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// Virus scanners and indexers open new files for a moment; give them that
// moment, as git and SQLite do, before a replace counts as failed.
constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplaceRetryMs = 100;

// Decimal digits without the C library's formatting machinery.
std::string decimal(unsigned long value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

bool isTransient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION;
}

// The old file's access rules go with the password: a file an administrator
// locked down stays locked down. False only when they exist and can't be kept.
bool carryOverAccessRules(const std::string &from, const std::string &to) {
  const SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION;
  DWORD needed = 0;
  GetFileSecurityA(from.c_str(), what, nullptr, 0, &needed);
  if (needed == 0)
    return true; // no file yet, or a file system without access rules
  std::string descriptor(needed, '\0');
  if (!GetFileSecurityA(from.c_str(), what, descriptor.data(), needed, &needed))
    return true;
  return SetFileSecurityA(to.c_str(), what, descriptor.data()) != FALSE;
}

} // namespace

OpenStatus Win32Files::openForReading(const std::string &path, FileHandle *file) {
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? OpenStatus::NotFound : OpenStatus::Failed;
  }
  *file = reinterpret_cast<FileHandle>(handle);
  return OpenStatus::Opened;
}

bool Win32Files::read(FileHandle file, char *buffer, std::size_t size, std::size_t *got) {
  DWORD count = 0;
  if (!ReadFile(toHandle(file), buffer, static_cast<DWORD>(size), &count, nullptr))
    return false;
  *got = count;
  return true;
}

void Win32Files::closeRead(FileHandle file) { CloseHandle(toHandle(file)); }

bool Win32Files::createTemporary(const std::string &directory, std::string *path,
                                 FileHandle *file) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::string name = directory + "\\vantorel.P01." + decimal(GetCurrentProcessId()) + "." +
                             decimal(GetTickCount() + attempt) + ".tmp";
    HANDLE handle = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      *path = name;
      *file = reinterpret_cast<FileHandle>(handle);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS)
      return false;
  }
  return false;
}

bool Win32Files::write(FileHandle file, const std::string &bytes) {
  DWORD written = 0;
  return WriteFile(toHandle(file), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) &&
         written == bytes.size();
}

bool Win32Files::flush(FileHandle file) { return FlushFileBuffers(toHandle(file)) != FALSE; }

bool Win32Files::closeWritten(FileHandle file) { return CloseHandle(toHandle(file)) != FALSE; }

bool Win32Files::replace(const std::string &source, const std::string &target) {
  // MoveFileEx would replace a read-only file under some systems; Windows
  // itself refuses, and so do we everywhere.
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return false;
  if (!carryOverAccessRules(target, source))
    return false;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    if (attempt == kReplaceAttempts || !isTransient(GetLastError()))
      return false;
    Sleep(kReplaceRetryMs);
  }
}

bool Win32Files::remove(const std::string &path) { return DeleteFileA(path.c_str()) != FALSE; }

bool Win32Files::isNormalFile(const std::string &path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  constexpr DWORD notNormal =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & notNormal);
}

unsigned Win32SystemPaths::windowsDirectory(char *buffer, unsigned size) {
  return GetWindowsDirectoryA(buffer, size);
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
