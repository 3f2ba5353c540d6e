// The password store against real files in the test prefix's Windows directory.
#include "password/password_store.h"
#include "platform/win32/win32_ansi_codec.h"
#include "platform/win32/win32_files.h"
#include "support/password_file.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using namespace testsupport;

DWORD WINAPI closeSoon(void *file) {
  Sleep(300);
  CloseHandle(file);
  return 0;
}

struct LockHolder {
  HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  bool unlock = true;
};

DWORD WINAPI holdChangeLock(void *context) {
  auto *holder = static_cast<LockHolder *>(context);
  platform::win32::Win32Files own;
  if (own.lockChanges(1000))
    SetEvent(holder->taken);
  WaitForSingleObject(holder->release, INFINITE);
  if (!holder->unlock)
    ExitThread(0); // as a process killed mid-change: nothing lets go
  own.unlockChanges();
  return 0;
}

class PasswordStoreWin32 : public ::testing::Test {
protected:
  void SetUp() override { removePasswordFile(); }
  void TearDown() override { removePasswordFile(); }

  platform::win32::Win32Files files;
  platform::win32::Win32SystemPaths paths;
  platform::win32::Win32AnsiCodec codec{GetACP()};
  password::PasswordStore store{files, paths, codec};
};

TEST_F(PasswordStoreWin32, TheWindowsDirectoryIsWhereTheFileLives) {
  EXPECT_EQ(password::fncGetWinDir(paths, codec), std::optional<std::string>(windowsDirectory()));
}

TEST_F(PasswordStoreWin32, RoundTripsInShiftJisWithCrLf) {
  EXPECT_EQ(store.getPasswd(), std::optional<std::string>(""));
  ASSERT_TRUE(store.putPasswd("パスワード"));
  EXPECT_EQ(readPasswordFile(), "\x83\x70\x83\x58\x83\x8F\x81\x5B\x83\x68\r\n");
  EXPECT_EQ(store.getPasswd(), std::optional<std::string>("パスワード"));
  ASSERT_TRUE(store.putPasswd("a,b "));
  EXPECT_EQ(readPasswordFile(), "\"a,b \"\r\n");
  EXPECT_EQ(store.getPasswd(), std::optional<std::string>("a,b "));
  EXPECT_EQ(namesInWindowsDirectory(L"vantorel.P01*").size(), 1u)
      << "only the password file itself";
}

TEST_F(PasswordStoreWin32, AFileHeldOpenExclusivelyFailsClosedAndStaysAsItWas) {
  writePasswordFile("old\r\n");
  HANDLE held =
      CreateFileA(passwordFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(store.getPasswd(), std::nullopt);
  EXPECT_FALSE(store.putPasswd("new"));
  CloseHandle(held);
  EXPECT_EQ(readPasswordFile(), "old\r\n");
  EXPECT_EQ(namesInWindowsDirectory(L"vantorel.P01*").size(), 1u);
}

TEST_F(PasswordStoreWin32, AFileHeldForAMomentIsWaitedFor) {
  writePasswordFile("secret\r\n");
  HANDLE held =
      CreateFileA(passwordFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  HANDLE releaser = CreateThread(nullptr, 0, closeSoon, held, 0, nullptr);
  EXPECT_EQ(store.getPasswd(), std::optional<std::string>("secret")) << "as a scanner would";
  WaitForSingleObject(releaser, INFINITE);
  CloseHandle(releaser);
}

TEST_F(PasswordStoreWin32, HiddenAndSystemAttributesAndNoLeftoversAfterAChange) {
  writePasswordFile("old\r\n");
  for (const char *leftover : {"vantorel.P01.260.1340031.tmp", "VANTOREL.P01.1.2.TMP"})
    writeFileInWindowsDirectory(leftover, "never stored\r\n");
  constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesA(passwordFilePath().c_str(), kept));
  ASSERT_EQ(GetFileAttributesA(passwordFilePath().c_str()) & kept, kept);
  ASSERT_TRUE(store.putPasswd("new"));
  EXPECT_EQ(readPasswordFile(), "new\r\n");
  EXPECT_EQ(GetFileAttributesA(passwordFilePath().c_str()) & kept, kept);
  EXPECT_EQ(namesInWindowsDirectory(L"vantorel.P01*").size(), 1u)
      << "only the password file itself";
}

// The lock of one copy against another; threads stand in for processes,
// since a thread that holds the mutex may take it again.
TEST_F(PasswordStoreWin32, TheChangeLockKeepsOthersWaitingAndOutlivesNoHolder) {
  for (const bool unlock : {true, false}) {
    LockHolder holder;
    holder.unlock = unlock;
    HANDLE thread = CreateThread(nullptr, 0, holdChangeLock, &holder, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(holder.taken, 5000), WAIT_OBJECT_0);
    {
      const password::ChangeLock waiting = store.lockChanges();
      EXPECT_FALSE(waiting) << "held elsewhere";
    }
    SetEvent(holder.release);
    WaitForSingleObject(thread, INFINITE);
    const password::ChangeLock lock = store.lockChanges();
    EXPECT_TRUE(lock) << (unlock ? "let go" : "its holder ended without letting go");
    CloseHandle(thread);
  }
}

TEST_F(PasswordStoreWin32, AReadOnlyFileIsNotReplaced) {
  writePasswordFile("old\r\n");
  SetFileAttributesA(passwordFilePath().c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(store.putPasswd("new"));
  EXPECT_EQ(readPasswordFile(), "old\r\n");
  EXPECT_EQ(namesInWindowsDirectory(L"vantorel.P01*").size(), 1u);
}

TEST_F(PasswordStoreWin32, UnstorablePasswordsLeaveTheOldFile) {
  writePasswordFile("old\r\n");
  EXPECT_FALSE(store.putPasswd("\xF0\x9F\x98\x80")); // U+1F600
  EXPECT_FALSE(store.putPasswd("\xC3\xA9"));         // é, which would best-fit to e
  EXPECT_EQ(readPasswordFile(), "old\r\n");
}

} // namespace
