// The password store against real files in the test prefix's Windows directory.
#include "password/password_store.h"
#include "platform/win32/win32_ansi_codec.h"
#include "platform/win32/win32_files.h"
#include "support/password_file.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using namespace testsupport;

std::string windowsDirectory() {
  char buffer[MAX_PATH] = {};
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

int temporaryFilesLeft() {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((windowsDirectory() + "\\vantorel.P01.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return 0;
  int count = 0;
  do
    ++count;
  while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
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
  EXPECT_EQ(temporaryFilesLeft(), 1) << "only the password file itself";
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
  EXPECT_EQ(temporaryFilesLeft(), 1);
}

TEST_F(PasswordStoreWin32, AReadOnlyFileIsNotReplaced) {
  writePasswordFile("old\r\n");
  SetFileAttributesA(passwordFilePath().c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(store.putPasswd("new"));
  EXPECT_EQ(readPasswordFile(), "old\r\n");
  EXPECT_EQ(temporaryFilesLeft(), 1);
}

TEST_F(PasswordStoreWin32, UnstorablePasswordsLeaveTheOldFile) {
  writePasswordFile("old\r\n");
  EXPECT_FALSE(store.putPasswd("\xF0\x9F\x98\x80")); // U+1F600
  EXPECT_FALSE(store.putPasswd("\xC3\xA9"));         // é, which would best-fit to e
  EXPECT_EQ(readPasswordFile(), "old\r\n");
}

} // namespace
