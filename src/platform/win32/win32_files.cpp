#include "platform/win32/win32_files.h"

#include "platform/win32/wide.h"

#include <windows.h>

#include <algorithm>

namespace platform::win32 {
namespace {

HANDLE toHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// Virus scanners, indexers and backups open files for a moment; give them
// that moment, as git and SQLite do, before a read or a replace counts as
// failed.
constexpr int kAttempts = 10;
constexpr DWORD kRetryMs = 100;

// Shared by every session of the PC, as the password file is.
constexpr wchar_t kChangeLockName[] = L"Global\\Kestrova.vantorel.P01";

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Decimal digits without the C library's formatting machinery.
std::string decimal(unsigned long value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

bool isBusy(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// A file that is being replaced or deleted answers "access denied" for a
// moment too.
bool isTransient(DWORD error) { return isBusy(error) || error == ERROR_ACCESS_DENIED; }

// Tries again while the failure is one that passes; GetLastError() tells the
// last failure's reason afterwards.
template <typename Attempt> bool retrying(Attempt attempt, bool (*passes)(DWORD)) {
  for (int made = 1;; ++made) {
    if (attempt())
      return true;
    if (made == kAttempts || !passes(GetLastError()))
      return false;
    Sleep(kRetryMs);
  }
}

// The access rules of one open file given to another, as they are.
bool copyAccessRules(HANDLE from, HANDLE to) {
  DWORD needed = 0;
  if (!GetKernelObjectSecurity(from, DACL_SECURITY_INFORMATION, nullptr, 0, &needed) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    const DWORD error = GetLastError();
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION; // no rules to keep
  }
  std::string descriptor(needed, '\0');
  return GetKernelObjectSecurity(from, DACL_SECURITY_INFORMATION, descriptor.data(), needed,
                                 &needed) &&
         SetKernelObjectSecurity(to, DACL_SECURITY_INFORMATION, descriptor.data());
}

bool copyHiddenAndSystem(HANDLE from, HANDLE to) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(from, &info))
    return false;
  FILE_BASIC_INFO basic{}; // times of 0 stay as they are
  basic.FileAttributes = info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  return basic.FileAttributes == 0 ||
         SetFileInformationByHandle(to, FileBasicInfo, &basic, sizeof basic);
}

// Rules that let anyone delete the file and nothing else; as a file's owner
// we may set them whatever rules it has.
bool allowDeleting(const std::string &path) {
  // A link named like a leftover is opened itself, not what it points to.
  HANDLE file = CreateFileA(path.c_str(), WRITE_DAC, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  alignas(DWORD) BYTE aclBuffer[64];
  auto *acl = reinterpret_cast<ACL *>(aclBuffer);
  SECURITY_DESCRIPTOR descriptor{};
  const bool allowed =
      AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone) &&
      InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) &&
      AddAccessAllowedAce(acl, ACL_REVISION, DELETE, everyone) &&
      InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
      SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) &&
      SetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION, &descriptor);
  if (everyone)
    FreeSid(everyone);
  CloseHandle(file);
  return allowed;
}

} // namespace

Win32Files::~Win32Files() {
  if (changeLock_)
    releaseChangeLock();
}

OpenStatus Win32Files::openForReading(const std::string &path, FileHandle *file) {
  HANDLE handle = INVALID_HANDLE_VALUE;
  const bool opened = retrying(
      [&] {
        handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        return handle != INVALID_HANDLE_VALUE;
      },
      isBusy);
  if (!opened)
    return GetLastError() == ERROR_FILE_NOT_FOUND ? OpenStatus::NotFound : OpenStatus::Failed;
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

bool Win32Files::lockChanges(unsigned timeoutMs) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kChangeLockName);
  if (!mutex) // made by another user, with rules of its own
    mutex = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kChangeLockName);
  if (!mutex)
    return false;
  // An abandoned mutex is one whose holder ended mid-change: it is ours now.
  const DWORD waited = WaitForSingleObject(mutex, timeoutMs);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return false;
  }
  changeLock_ = mutex;
  return true;
}

void Win32Files::unlockChanges() { releaseChangeLock(); }

void Win32Files::releaseChangeLock() {
  ReleaseMutex(changeLock_);
  CloseHandle(changeLock_);
  changeLock_ = nullptr;
}

bool Win32Files::listNames(const std::string &directory, const std::string &prefix,
                           std::vector<std::string> *names) {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((directory + "\\" + prefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  do
    names->push_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return true;
}

bool Win32Files::remove(const std::string &path) {
  if (DeleteFileA(path.c_str()))
    return true;
  return GetLastError() == ERROR_ACCESS_DENIED && allowDeleting(path) && DeleteFileA(path.c_str());
}

bool Win32Files::createTemporary(const std::string &prefix, const std::string &suffix,
                                 std::string *path, FileHandle *file) {
  // DELETE and WRITE_DAC are granted now, while the file is ours alone, so
  // that rules it takes later can't keep us from renaming or deleting it.
  constexpr DWORD access = GENERIC_WRITE | DELETE | WRITE_DAC;
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix;
    name += decimal(GetCurrentProcessId()) + '.';
    name += decimal(GetTickCount() + attempt);
    name += suffix;
    HANDLE handle =
        CreateFileA(name.c_str(), access, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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

bool Win32Files::mayWrite(const std::string &path) {
  // Windows refuses to write a read-only file; root under some systems would
  // not, so the attribute is looked at first.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  if (attributes & FILE_ATTRIBUTE_READONLY)
    return false;
  HANDLE handle =
      CreateFileA(path.c_str(), FILE_WRITE_DATA, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) // rights are checked before sharing
    return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(handle);
  return true;
}

bool Win32Files::copyProtection(const std::string &path, FileHandle file) {
  HANDLE source = CreateFileA(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (source == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  const bool kept =
      copyAccessRules(source, toHandle(file)) && copyHiddenAndSystem(source, toHandle(file));
  CloseHandle(source);
  return kept;
}

bool Win32Files::replace(FileHandle file, const std::string &target) {
  // Renamed through its own handle: the rules it took from the old file may
  // deny the path-based rename its DELETE right.
  const std::wstring name = widenAnsi(target);
  const std::size_t nameBytes = name.size() * sizeof(wchar_t);
  std::string buffer(sizeof(FILE_RENAME_INFO) + nameBytes, '\0');
  auto *info = reinterpret_cast<FILE_RENAME_INFO *>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::copy(name.begin(), name.end(), info->FileName);
  return retrying(
      [&] {
        return SetFileInformationByHandle(toHandle(file), FileRenameInfo, info,
                                          static_cast<DWORD>(buffer.size())) != FALSE;
      },
      isTransient);
}

void Win32Files::closeWritten(FileHandle file) { CloseHandle(toHandle(file)); }

void Win32Files::discard(FileHandle file) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  SetFileInformationByHandle(toHandle(file), FileDispositionInfo, &disposition, sizeof disposition);
  CloseHandle(toHandle(file));
}

bool Win32Files::isNormalFile(const std::string &utf8Path) {
  const DWORD attributes = GetFileAttributesW(widen(utf8Path).c_str());
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
