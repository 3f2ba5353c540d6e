#include "platform/win32/win32_password_file.h"

#include "platform/win32/password_file_rules.h"
#include "platform/win32/process_user.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace platform::win32 {
namespace {

constexpr wchar_t kFileName[] = L"\\vantorel.P01";
// Never named like the password file: nothing but the file itself may be
// left under that name.
constexpr wchar_t kLockName[] = L"\\vantorel.lock";
// SYSTEM and Administrators, full control, protected from the directory's
// rules, which let every user read what is in it.
constexpr wchar_t kAdministratorsOnly[] = L"D:P(A;;FA;;;SY)(A;;FA;;;BA)";
// The same for the lock's file, owned by Administrators whichever of them
// made it: every administrator's copy then knows it for the program's.
constexpr wchar_t kLockRules[] = L"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)";

// The rename that replaces a file others hold open is in newer Windows 10
// and 11. mingw-w64 declares it only for a _WIN32_WINNT of Windows 10, and
// this program runs on Windows 7, so here are its class and its flags; its
// information is RenameInformation.
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kRenameReplaceIfExists = 0x1; // FILE_RENAME_FLAG_REPLACE_IF_EXISTS
constexpr DWORD kRenamePosixSemantics = 0x2;  // FILE_RENAME_FLAG_POSIX_SEMANTICS
static_assert(sizeof(RenameInformation) == sizeof(FILE_RENAME_INFO) &&
              offsetof(RenameInformation, RootDirectory) ==
                  offsetof(FILE_RENAME_INFO, RootDirectory) &&
              offsetof(RenameInformation, FileNameLength) ==
                  offsetof(FILE_RENAME_INFO, FileNameLength) &&
              offsetof(RenameInformation, FileName) == offsetof(FILE_RENAME_INFO, FileName) &&
              sizeof(char16_t) == sizeof(WCHAR));

constexpr std::size_t kReadChunk = std::size_t{64} * 1024;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
static_assert(kReplaceRights == (FILE_WRITE_DATA | DELETE));

// Virus scanners, indexers and backups open files for a moment; give them
// that moment, as git and SQLite do, before a call counts as failed. Ten
// tries are also the second the change lock is waited for.
constexpr int kAttempts = 10;
constexpr DWORD kRetryMs = 100;

bool isBusy(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool isTransient(DWORD error) { return mayPassInAMoment(error); }

// Tries again while the failure is one that passes; the last failure's code.
template <typename Attempt> Status retrying(Attempt attempt, bool (*passes)(DWORD)) {
  for (int made = 1;; ++made) {
    if (attempt())
      return kDone;
    const DWORD error = GetLastError();
    if (made == kAttempts || !passes(error))
      return error;
    Sleep(kRetryMs);
  }
}

// Empty when it can't be had, with the reason in GetLastError().
std::wstring windowsDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  UINT length = 0;
  while ((length = GetWindowsDirectoryW(path.data(), static_cast<UINT>(path.size()))) >=
         path.size())
    path.resize(length);
  path.resize(length);
  return path;
}

// Decimal digits without the C library's formatting machinery.
std::wstring decimal(unsigned long value) {
  std::wstring digits;
  do {
    digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

// Opening a folder as a file answers access denied, as rights that fall
// short do: the name tells them apart.
bool isFolder(const std::wstring &path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

UniqueHandle open(const std::wstring &path, DWORD access, DWORD share, DWORD flags = 0) {
  return UniqueHandle(
      CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr));
}

// Deleted when the handle closes, through the handle: never another file
// that took the name meanwhile.
bool deleteThrough(HANDLE file) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// Opened without following a link, judged and deleted through that one
// handle; anything else is left alone.
void removeLeftover(const std::wstring &path) {
  const UniqueHandle file =
      open(path, DELETE | FILE_READ_ATTRIBUTES, kShareAll, FILE_FLAG_OPEN_REPARSE_POINT);
  BY_HANDLE_FILE_INFORMATION info{};
  if (file.valid() && GetFileInformationByHandle(file.get(), &info) &&
      mayRemoveLeftover(info.dwFileAttributes, info.nNumberOfLinks))
    deleteThrough(file.get());
}

// Under the change lock, a temporary file is what a change that was cut
// short left behind: a password in plain text that was never stored.
void removeLeftovers(const std::wstring &folder) {
  WIN32_FIND_DATAW found{};
  const UniqueFind search(FindFirstFileW((folder + kTemporaryPrefix + L'*').c_str(), &found));
  if (!search.valid())
    return;
  do
    if (isLeftoverName(found.cFileName))
      removeLeftover(folder + found.cFileName);
  while (FindNextFileW(search.get(), &found));
}

Status lastErrorOr(bool done) { return done ? kDone : GetLastError(); }

// SECURITY_ATTRIBUTES that give a new object the rules sddl writes.
class SecurityAttributes {
public:
  explicit SecurityAttributes(const wchar_t *sddl)
      : made_(lastErrorOr(ConvertStringSecurityDescriptorToSecurityDescriptorW(
            sddl, SDDL_REVISION_1, &attributes_.lpSecurityDescriptor, nullptr))),
        descriptor_(attributes_.lpSecurityDescriptor) {}
  Status status() const { return made_; }
  SECURITY_ATTRIBUTES *get() { return &attributes_; }
  // Their DACL alone, for an object that exists already.
  ACL *dacl() const {
    BOOL present = FALSE, defaulted = FALSE;
    ACL *dacl = nullptr;
    GetSecurityDescriptorDacl(attributes_.lpSecurityDescriptor, &present, &dacl, &defaulted);
    return dacl;
  }

private:
  SECURITY_ATTRIBUTES attributes_{sizeof attributes_, nullptr, FALSE};
  Status made_;
  LocalMemory descriptor_;
};

// What the old file passes on to the new one. Read through a handle that is
// closed again at once: a target that is open can't be replaced.
struct OldFile {
  bool exists = false;
  DWORD attributes = 0;
  std::string descriptor; // empty on a volume without access rules
  DaclFacts facts;

  NewFileRules rules() const {
    return rulesForNewFile(exists ? std::optional<DaclFacts>(facts) : std::nullopt);
  }
};

// What part of the file's security descriptor names; kDone with none on a
// volume that keeps no access rules.
Status securityOf(HANDLE file, SECURITY_INFORMATION part, std::string *descriptor) {
  DWORD needed = 0;
  GetKernelObjectSecurity(file, part, nullptr, 0, &needed);
  const DWORD error = GetLastError();
  if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION)
    return kDone;
  descriptor->assign(needed, '\0');
  return lastErrorOr(GetKernelObjectSecurity(file, part, descriptor->data(), needed, &needed));
}

DaclFacts daclFacts(const std::string &descriptor) {
  DaclFacts facts;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  BOOL present = FALSE, defaulted = FALSE;
  ACL *dacl = nullptr;
  auto *bytes = const_cast<char *>(descriptor.data());
  if (!GetSecurityDescriptorControl(bytes, &control, &revision) ||
      !GetSecurityDescriptorDacl(bytes, &present, &dacl, &defaulted) || !present || !dacl)
    return facts;
  facts.present = true;
  facts.isProtected = (control & SE_DACL_PROTECTED) != 0;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void *ace = nullptr;
    if (GetAce(dacl, i, &ace) && !(static_cast<ACE_HEADER *>(ace)->AceFlags & INHERITED_ACE))
      ++facts.explicitEntries;
  }
  return facts;
}

Status readOldFile(const std::wstring &path, OldFile *old) {
  const UniqueHandle file = open(path, READ_CONTROL | FILE_READ_ATTRIBUTES, kShareAll);
  if (!file.valid())
    return GetLastError() == ERROR_FILE_NOT_FOUND ? kDone : GetLastError();
  old->exists = true;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info))
    return GetLastError();
  old->attributes = info.dwFileAttributes;
  const Status read = securityOf(file.get(), DACL_SECURITY_INFORMATION, &old->descriptor);
  if (read == kDone && !old->descriptor.empty())
    old->facts = daclFacts(old->descriptor);
  return read;
}

// The old rules, when they are kept, and the hidden and system attributes.
Status passOn(const OldFile &old, HANDLE file) {
  FILE_BASIC_INFO basic{}; // times of 0 stay as they are
  basic.FileAttributes = old.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  const bool rulesKept = old.rules() == NewFileRules::AdministratorsOnly ||
                         old.descriptor.empty() ||
                         SetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION,
                                                 const_cast<char *>(old.descriptor.data()));
  return lastErrorOr(rulesKept &&
                     (basic.FileAttributes == 0 ||
                      SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic)));
}

// A new empty file named prefix + something unique + suffix, for this handle
// alone. DELETE and WRITE_DAC are granted now, while the file is ours, so
// that rules it takes later can't keep us from renaming or deleting it.
UniqueHandle createTemporary(const std::wstring &folder, SECURITY_ATTRIBUTES *rules) {
  constexpr DWORD access = GENERIC_WRITE | DELETE | WRITE_DAC;
  for (DWORD attempt = 0; attempt < 100; ++attempt) {
    const std::wstring name = folder + kTemporaryPrefix + decimal(GetCurrentProcessId()) + L'.' +
                              decimal(GetTickCount() + attempt) + kTemporarySuffix;
    UniqueHandle file(
        CreateFileW(name.c_str(), access, 0, rules, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid() || GetLastError() != ERROR_FILE_EXISTS)
      return file;
  }
  return {};
}

Status writeAll(HANDLE file, const std::string &bytes) {
  DWORD written = 0;
  return lastErrorOr(
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && FlushFileBuffers(file));
}

// A rename's information for target; flags goes where Flags and
// ReplaceIfExists share their place.
RenameBuffer renameInfo(const std::wstring &target, DWORD flags) {
  return {{reinterpret_cast<const char16_t *>(target.data()), target.size()}, flags};
}

bool setInformation(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, RenameBuffer &info) {
  return SetFileInformationByHandle(file, kind, info.data(), info.size());
}

// Renamed through its own handle, which holds DELETE on the temporary
// whatever rules it took. Replacing the target deletes it, which takes
// DELETE on the target too: the check before the change asked for that.
// Either rename puts the new file in place in one step; the POSIX one does
// it while others hold the old one open, where the system has it.
Status renameOver(HANDLE file, const std::wstring &target) {
  RenameBuffer posix = renameInfo(target, kRenameReplaceIfExists | kRenamePosixSemantics);
  RenameBuffer plain = renameInfo(target, TRUE); // ReplaceIfExists
  bool posixUnsupported = false;
  return renameAnswer(retrying(
      [&] {
        if (!posixUnsupported) {
          if (setInformation(file, kFileRenameInfoEx, posix))
            return true;
          posixUnsupported = posixRenameUnsupported(GetLastError());
          if (!posixUnsupported)
            return false;
        }
        return setInformation(file, FileRenameInfo, plain);
      },
      isTransient));
}

// kDone when the lock's file is the program's, kInvalidOwner when it is
// someone else's. Its owner can be read while another holds it.
Status lockOwnership(const std::wstring &path) {
  const UniqueHandle file = open(path, READ_CONTROL, kShareAll);
  std::string descriptor;
  const Status read = file.valid() ? securityOf(file.get(), OWNER_SECURITY_INFORMATION, &descriptor)
                                   : GetLastError();
  if (read != kDone || descriptor.empty())
    return read;
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (!GetSecurityDescriptorOwner(descriptor.data(), &owner, &defaulted))
    return GetLastError();
  std::vector<BYTE> user;
  return isProgramsLock(sidText(owner), sidText(processUserSid(user))) ? kDone : kInvalidOwner;
}

// The rights a replace needs, asked for before anything is written: a file
// that refuses them fails the change with nothing half done.
Status mayReplace(const std::wstring &target) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool readOnly =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  const UniqueHandle file = open(target, kReplaceRights, kShareAll);
  return replaceCheck(readOnly, file.valid() ? kDone : GetLastError());
}

} // namespace

PasswordFile::FirstLine Win32PasswordFile::readFirstLine(std::size_t maxBytes) {
  const std::wstring directory = windowsDirectory();
  if (directory.empty())
    return {GetLastError(), {}};
  const std::wstring path = directory + kFileName;
  UniqueHandle file;
  const Status opened = retrying(
      [&] {
        file = open(path, GENERIC_READ, FILE_SHARE_READ);
        return file.valid();
      },
      isBusy);
  if (opened != kDone)
    return {opened == ERROR_ACCESS_DENIED && isFolder(path) ? kFolderInPlace : opened, {}};
  // Only what was just read is searched for the line end, so a long line
  // costs its length, not its square.
  std::string bytes;
  std::size_t lineEnd = std::string::npos;
  DWORD got = 0;
  while (lineEnd == std::string::npos && bytes.size() <= maxBytes) {
    const std::size_t searched = bytes.size();
    bytes.resize(searched + kReadChunk);
    if (!ReadFile(file.get(), &bytes[searched], static_cast<DWORD>(kReadChunk), &got, nullptr))
      return {GetLastError(), {}};
    bytes.resize(searched + got);
    if (got == 0)
      break;
    lineEnd = bytes.find_first_of("\r\n", searched);
  }
  bytes.resize(std::min(lineEnd, bytes.size()));
  if (bytes.size() > maxBytes)
    return {kFileTooLarge, {}};
  return {kDone, bytes};
}

PasswordFile::ChangeLock Win32PasswordFile::lockChanges() {
  SecurityAttributes rules(kLockRules);
  if (rules.status() != kDone)
    return {this, rules.status()};
  const std::wstring directory = windowsDirectory();
  if (directory.empty())
    return {this, GetLastError()};
  const std::wstring path = directory + kLockName;
  // Share mode 0 with read access: no other open that asks for data gets
  // through until this handle closes. The file is never deleted.
  // A second lock taken by the same holder waits as another copy would.
  // A file that was there keeps its own rules and owner: one another user
  // made would hold every change up at their will.
  UniqueHandle lock;
  const Status taken = retrying(
      [&] {
        lock = UniqueHandle(CreateFileW(path.c_str(), GENERIC_READ, 0, rules.get(), OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        return lock.valid();
      },
      isTransient);
  const LockAnswer answer =
      lockAnswer(taken, lockOwnership(path), processIsElevatedAdministrator());
  if (answer.status == kDone)
    changeLock_ = std::move(lock);
  return {this, answer.status, answer.lacksRights};
}

// Writes a new file beside the old one and puts it in the old one's place,
// locked down before the password goes in, only when every step worked: a
// failure never leaves a half password or a stray copy of one.
Status Win32PasswordFile::replace(const std::string &content) {
  const std::wstring directory = windowsDirectory();
  if (directory.empty())
    return GetLastError();
  const std::wstring target = directory + kFileName;
  const std::wstring folder = directory + L'\\';
  removeLeftovers(folder);
  OldFile old;
  SecurityAttributes administratorsOnly(kAdministratorsOnly);
  Status status = mayReplace(target);
  if (status == kDone)
    status = readOldFile(target, &old);
  if (status == kDone)
    status = administratorsOnly.status();
  if (status != kDone)
    return status;
  const bool lockDown = old.rules() == NewFileRules::AdministratorsOnly;
  const UniqueHandle file = createTemporary(folder, lockDown ? administratorsOnly.get() : nullptr);
  if (!file.valid())
    return GetLastError();
  status = passOn(old, file.get());
  if (status == kDone)
    status = writeAll(file.get(), content);
  if (status == kDone)
    status = renameOver(file.get(), target);
  if (status != kDone)
    deleteThrough(file.get());
  return status;
}

Status Win32PasswordFile::restrictToAdministrators() {
  const std::wstring directory = windowsDirectory();
  if (directory.empty())
    return GetLastError();
  const UniqueHandle file = open(directory + kFileName, READ_CONTROL | WRITE_DAC, kShareAll);
  if (!file.valid())
    return restrictionAnswer(GetLastError());
  std::string descriptor;
  if (const Status read = securityOf(file.get(), DACL_SECURITY_INFORMATION, &descriptor))
    return read;
  if (descriptor.empty() || !hasOnlyInheritedRules(daclFacts(descriptor)))
    return kDone;
  const SecurityAttributes administratorsOnly(kAdministratorsOnly);
  if (administratorsOnly.status() != kDone)
    return administratorsOnly.status();
  return SetSecurityInfo(file.get(), SE_FILE_OBJECT,
                         DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                         nullptr, administratorsOnly.dacl(), nullptr);
}

} // namespace platform::win32
