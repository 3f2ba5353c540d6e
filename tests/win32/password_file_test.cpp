// The password file against real files in the test prefix's Windows
// directory. Wine runs everything as an administrator: what a standard user
// would meet is tested natively (password_file_rules_test).
#include "password/password_store.h"
#include "platform/win32/win32_ansi_codec.h"
#include "platform/win32/win32_password_file.h"
#include "support/password_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>

namespace {

using namespace testsupport;
using platform::PasswordFile;

DWORD WINAPI closeSoon(void *file) {
  Sleep(300);
  CloseHandle(file);
  return 0;
}

struct LockHolder {
  HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

DWORD WINAPI holdChangeLock(void *context) {
  auto *holder = static_cast<LockHolder *>(context);
  platform::win32::Win32PasswordFile own;
  const PasswordFile::ChangeLock lock = own.lockChanges();
  if (lock.status() == platform::kDone)
    SetEvent(holder->taken);
  WaitForSingleObject(holder->release, INFINITE);
  return 0;
}

std::string lockFilePath() { return windowsDirectory() + "\\vantorel.lock"; }

HANDLE holdExclusively(const std::string &path) {
  return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

class PasswordFileWin32 : public ::testing::Test {
protected:
  void SetUp() override { removePasswordFile(); }
  void TearDown() override { removePasswordFile(); }

  password::StoredPassword read() { return password::readPassword(file, codec); }
  platform::Status store(const std::string &password) {
    const PasswordFile::ChangeLock lock = file.lockChanges();
    EXPECT_EQ(lock.status(), platform::kDone);
    return password::storePassword(file, codec, password);
  }

  platform::win32::Win32PasswordFile file;
  platform::win32::Win32AnsiCodec codec{GetACP()};
};

TEST_F(PasswordFileWin32, RoundTripsInShiftJisWithCrLf) {
  EXPECT_EQ(read().status, platform::kDone);
  EXPECT_EQ(read().password, "");
  ASSERT_EQ(store("パスワード"), platform::kDone);
  EXPECT_EQ(readPasswordFile(), "\x83\x70\x83\x58\x83\x8F\x81\x5B\x83\x68\r\n");
  EXPECT_EQ(read().password, "パスワード");
  ASSERT_EQ(store("a,b "), platform::kDone);
  EXPECT_EQ(readPasswordFile(), "\"a,b \"\r\n");
  EXPECT_EQ(read().password, "a,b ");
  EXPECT_EQ(namesInWindowsDirectory(L"vantorel.P01*"), std::vector<std::wstring>{L"vantorel.P01"})
      << "the change lock's file is named otherwise";
}

TEST_F(PasswordFileWin32, TheFirstLineIsCutAtItsLimit) {
  writePasswordFile(std::string(70000, 'k') + "\r\nrest");
  EXPECT_EQ(file.readFirstLine(70000).bytes, std::string(70000, 'k'));
  EXPECT_EQ(file.readFirstLine(69999).status, platform::kFileTooLarge);
  EXPECT_EQ(file.readFirstLine(69999).bytes, "");
  removePasswordFile();
  EXPECT_EQ(file.readFirstLine(10).status, platform::kFileNotFound);
}

TEST_F(PasswordFileWin32, AFileHeldOpenExclusivelyFailsWithItsCodeAndStaysAsItWas) {
  writePasswordFile("old\r\n");
  HANDLE held = holdExclusively(passwordFilePath());
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(read().status, platform::kSharingViolation);
  EXPECT_EQ(store("new"), platform::kSharingViolation) << "another program holds it";
  CloseHandle(held);
  EXPECT_EQ(readPasswordFile(), "old\r\n");
  EXPECT_EQ(namesInWindowsDirectory(L"vantorel.P01*").size(), 1u);
}

// Any user who may list the Windows directory may open the file for its
// attributes and keep it open. The POSIX rename (newer Windows 10 and 11,
// NTFS) replaces it all the same; where the system refuses that rename, as
// Wine does, the plain one is refused while the handle stays, and the
// replace says another program holds the file. Old or new, never half.
TEST_F(PasswordFileWin32, AFileHeldForItsAttributesIsReplacedOrSaidToBeHeld) {
  writePasswordFile("old\r\n");
  HANDLE held = holdPasswordFileAttributes();
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const platform::Status status = store("new");
  CloseHandle(held);
  ASSERT_TRUE(status == platform::kDone || status == platform::kSharingViolation) << status;
  EXPECT_EQ(readPasswordFile(), status == platform::kDone ? "new\r\n" : "old\r\n");
  EXPECT_EQ(namesInWindowsDirectory(L"vantorel.P01*"), std::vector<std::wstring>{L"vantorel.P01"});
  EXPECT_EQ(store("new"), platform::kDone) << "let go: the plain rename where there is no other";
  EXPECT_EQ(readPasswordFile(), "new\r\n");
}

TEST_F(PasswordFileWin32, AFileHeldForAMomentIsWaitedFor) {
  writePasswordFile("secret\r\n");
  HANDLE held = holdExclusively(passwordFilePath());
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  HANDLE releaser = CreateThread(nullptr, 0, closeSoon, held, 0, nullptr);
  EXPECT_EQ(read().password, "secret") << "as a scanner would";
  WaitForSingleObject(releaser, INFINITE);
  CloseHandle(releaser);
}

TEST_F(PasswordFileWin32, HiddenAndSystemAttributesAndNoLeftoversAfterAChange) {
  writePasswordFile("old\r\n");
  for (const char *leftover : {"vantorel.P01.260.1340031.tmp", "VANTOREL.P01.1.2.TMP"})
    writeFileInWindowsDirectory(leftover, "never stored\r\n");
  constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesA(passwordFilePath().c_str(), kept));
  ASSERT_EQ(store("new"), platform::kDone);
  EXPECT_EQ(readPasswordFile(), "new\r\n");
  EXPECT_EQ(GetFileAttributesA(passwordFilePath().c_str()) & kept, kept);
  EXPECT_EQ(namesInWindowsDirectory(L"vantorel.P01*"), std::vector<std::wstring>{L"vantorel.P01"});
}

TEST_F(PasswordFileWin32, ANewFileIsForSystemAndAdministratorsOnly) {
  ASSERT_EQ(store("first"), platform::kDone);
  const std::wstring dacl = daclOf(widePasswordFilePath());
  ASSERT_FALSE(dacl.empty());
  EXPECT_EQ(dacl.find(L";WD)"), std::wstring::npos) << "no Everyone entry: " << dacl.c_str();
  EXPECT_EQ(dacl.find(L";BU)"), std::wstring::npos) << "no Users entry: " << dacl.c_str();
}

// Rules of the file's own are kept, also while another program holds it.
// Wine gives every file rules of its own, from its Unix mode, so the file
// with only the directory's rules is left to the native test of
// hasOnlyInheritedRules.
TEST_F(PasswordFileWin32, RestrictingKeepsRulesOfTheFilesOwnAndNeedsNoFile) {
  EXPECT_EQ(file.restrictToAdministrators(), platform::kDone) << "no file yet";
  EXPECT_EQ(readPasswordFile(), "<missing>");
  SECURITY_ATTRIBUTES rules{sizeof rules, nullptr, FALSE};
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)", SDDL_REVISION_1, &rules.lpSecurityDescriptor,
      nullptr));
  HANDLE created = CreateFileA(passwordFilePath().c_str(), GENERIC_WRITE, 0, &rules, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  LocalFree(rules.lpSecurityDescriptor);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  CloseHandle(created);
  const std::wstring before = daclOf(widePasswordFilePath());
  ASSERT_FALSE(before.empty());
  HANDLE held = holdExclusively(passwordFilePath());
  EXPECT_EQ(file.restrictToAdministrators(), platform::kDone);
  CloseHandle(held);
  EXPECT_EQ(daclOf(widePasswordFilePath()), before);
}

// Only a plain file with one name is a leftover: a hard link under a
// leftover's name is someone else's file, and stays as it was.
TEST_F(PasswordFileWin32, AHardLinkUnderALeftoversNameIsLeftAlone) {
  wchar_t directory[MAX_PATH] = {};
  GetWindowsDirectoryW(directory, MAX_PATH);
  const std::wstring elsewhere = std::wstring(directory) + L"\\..\\users\\public\\kept.txt";
  const std::wstring link = std::wstring(directory) + L"\\vantorel.P01.66.6.tmp";
  HANDLE created = CreateFileW(elsewhere.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(created, "kept\r\n", 6, &written, nullptr);
  CloseHandle(created);
  ASSERT_TRUE(SetFileAttributesW(elsewhere.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(CreateHardLinkW(link.c_str(), elsewhere.c_str(), nullptr));
  const std::wstring rules = daclOf(elsewhere);
  const DWORD attributes = GetFileAttributesW(elsewhere.c_str());
  ASSERT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);

  writePasswordFile("old\r\n");
  EXPECT_EQ(store("new"), platform::kDone);
  EXPECT_EQ(readPasswordFile(), "new\r\n");
  EXPECT_EQ(GetFileAttributesW(elsewhere.c_str()), attributes);
  EXPECT_NE(GetFileAttributesW(link.c_str()), INVALID_FILE_ATTRIBUTES) << "not ours to remove";
  EXPECT_EQ(daclOf(elsewhere), rules);
  HANDLE kept = CreateFileW(elsewhere.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  char bytes[16] = {};
  DWORD got = 0;
  ReadFile(kept, bytes, sizeof bytes, &got, nullptr);
  CloseHandle(kept);
  EXPECT_EQ(std::string(bytes, got), "kept\r\n");

  for (const std::wstring &path : {link, elsewhere}) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
}

// The lock of one copy against another; a thread stands in for a process.
TEST_F(PasswordFileWin32, TheChangeLockKeepsOthersWaitingAboutASecond) {
  LockHolder holder;
  HANDLE thread = CreateThread(nullptr, 0, holdChangeLock, &holder, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(holder.taken, 5000), WAIT_OBJECT_0);
  {
    const DWORD start = GetTickCount();
    const PasswordFile::ChangeLock waiting = file.lockChanges();
    const DWORD waited = GetTickCount() - start;
    EXPECT_EQ(waiting.status(), platform::kSharingViolation) << "held elsewhere";
    EXPECT_GE(waited, 700u);
    EXPECT_LE(waited, 3000u);
  }
  SetEvent(holder.release);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  const PasswordFile::ChangeLock lock = file.lockChanges();
  EXPECT_EQ(lock.status(), platform::kDone) << "let go";
  EXPECT_EQ(file.lockChanges().status(), platform::kSharingViolation)
      << "held by this holder too: a second lock waits, the first stays";
  HANDLE again = holdExclusively(lockFilePath());
  EXPECT_EQ(again, INVALID_HANDLE_VALUE) << "still held";
  if (again != INVALID_HANDLE_VALUE)
    CloseHandle(again);
}

TEST_F(PasswordFileWin32, ALockFileThisUserOrTheProgramMadeIsTaken) {
  writeFileInWindowsDirectory("vantorel.lock", "");
  EXPECT_EQ(file.lockChanges().status(), platform::kDone) << "made by this user";
  DeleteFileA(lockFilePath().c_str());
  EXPECT_EQ(file.lockChanges().status(), platform::kDone) << "made by the lock";
  EXPECT_EQ(file.lockChanges().status(), platform::kDone) << "and found again";
}

// Giving a file to another owner takes the restore privilege.
void enableRestorePrivilege() {
  HANDLE token = nullptr;
  TOKEN_PRIVILEGES privileges{1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token) &&
      LookupPrivilegeValueW(nullptr, SE_RESTORE_NAME, &privileges.Privileges[0].Luid))
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  if (token)
    CloseHandle(token);
}

// A lock file another user made first is refused, also while they hold it.
// Wine keeps no owner but the user's, whatever it is told: there the test
// can only say so.
TEST_F(PasswordFileWin32, ALockFileSomeoneElseOwnsIsRefusedAndSaidToBeTheirs) {
  writeFileInWindowsDirectory("vantorel.lock", "");
  enableRestorePrivilege();
  PSID users = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidW(L"S-1-5-32-545", &users));
  const DWORD given =
      SetNamedSecurityInfoA(lockFilePath().data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                            users, nullptr, nullptr, nullptr);
  LocalFree(users);
  const std::wstring owner = ownerOf(lockFilePath());
  if (given != ERROR_SUCCESS || owner != L"S-1-5-32-545") {
    DeleteFileA(lockFilePath().c_str());
    GTEST_SKIP() << "the owner stays " << std::string(owner.begin(), owner.end())
                 << " here (set: " << given << ")";
  }
  EXPECT_EQ(file.lockChanges().status(), platform::kInvalidOwner);
  HANDLE held = holdExclusively(lockFilePath());
  EXPECT_EQ(file.lockChanges().status(), platform::kInvalidOwner) << "held by its maker";
  CloseHandle(held);
  DeleteFileA(lockFilePath().c_str());
  EXPECT_EQ(file.lockChanges().status(), platform::kDone) << "deleted by an administrator";
}

// A folder of the lock's name shuts every administrator out of it, as a file
// whose rules shut them out would: said to be someone else's, so that the
// trail tells the administrator to delete it, not that access was denied.
TEST_F(PasswordFileWin32, AFolderOfTheLocksNameIsSaidNotToBeTheProgramsLock) {
  ASSERT_TRUE(CreateDirectoryA(lockFilePath().c_str(), nullptr));
  const platform::Status status = file.lockChanges().status();
  RemoveDirectoryA(lockFilePath().c_str());
  EXPECT_EQ(status, platform::kInvalidOwner);
  EXPECT_EQ(file.lockChanges().status(), platform::kDone) << "once an administrator removed it";
}

TEST_F(PasswordFileWin32, AMutexOfTheOldLocksNameBlocksNothing) {
  HANDLE squatted = CreateMutexW(nullptr, TRUE, L"Global\\Kestrova.vantorel.P01");
  ASSERT_NE(squatted, nullptr);
  EXPECT_EQ(store("new"), platform::kDone);
  CloseHandle(squatted);
}

TEST_F(PasswordFileWin32, AReadOnlyFileIsNotReplaced) {
  writePasswordFile("old\r\n");
  SetFileAttributesA(passwordFilePath().c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(store("new"), platform::kAccessDenied);
  EXPECT_EQ(readPasswordFile(), "old\r\n");
  EXPECT_EQ(namesInWindowsDirectory(L"vantorel.P01*").size(), 1u);
}

TEST_F(PasswordFileWin32, UnstorablePasswordsLeaveTheOldFile) {
  writePasswordFile("old\r\n");
  EXPECT_EQ(store("\xF0\x9F\x98\x80"), platform::kNoUnicodeTranslation); // U+1F600
  EXPECT_EQ(store("\xC3\xA9"), platform::kNoUnicodeTranslation); // é, which would best-fit to e
  EXPECT_EQ(readPasswordFile(), "old\r\n");
}

} // namespace
