#include "password/password_format.h"
#include "sim_world.h"

#include <gtest/gtest.h>

#include <vector>

#include <sys/stat.h>

namespace {

using namespace testing_world;

class PasswordStoreTest : public ::testing::Test, protected SimWorld {
protected:
  std::optional<std::string> readingFile(const std::string &bytes) {
    writePasswordFile(bytes);
    return passwords.getPasswd();
  }
};

TEST_F(PasswordStoreTest, MissingOrEmptyFileMeansTheEmptyPassword) {
  EXPECT_EQ(passwords.getPasswd(), std::optional<std::string>(""));
  EXPECT_EQ(readingFile(""), std::optional<std::string>(""));
  EXPECT_EQ(readingFile("\r\n"), std::optional<std::string>(""));
}

TEST_F(PasswordStoreTest, ReadsTheFirstFieldOfTheFirstLine) {
  EXPECT_EQ(readingFile("secret"), std::optional<std::string>("secret"));
  EXPECT_EQ(readingFile("first\r\nsecond\r\n"), std::optional<std::string>("first"));
  EXPECT_EQ(readingFile("a,b\r\n"), std::optional<std::string>("a"));
  EXPECT_EQ(readingFile("\"a,b\"\r\n"), std::optional<std::string>("a,b"));
  EXPECT_EQ(readingFile("  lead\r\n"), std::optional<std::string>("lead"));
  EXPECT_EQ(readingFile("\"open, never closed\r\n"),
            std::optional<std::string>("open, never closed"));
  EXPECT_EQ(readingFile("\x83\x70\x83\x58\r\n"), std::optional<std::string>("パス"));
}

TEST_F(PasswordStoreTest, AHugeFirstLineIsReadWholeUpToALimit) {
  const std::string megabyte(1 << 20, 'k');
  EXPECT_EQ(readingFile(megabyte + "\r\n"), std::optional<std::string>(megabyte));
  EXPECT_EQ(readingFile(std::string(5 << 20, 'k')), std::nullopt);
}

TEST_F(PasswordStoreTest, UnreadableFilesFailClosed) {
  EXPECT_EQ(readingFile("ab\x83\r\n"), std::nullopt);
  EXPECT_EQ(readingFile(std::string("a\0b\r\n", 5)), std::nullopt);
  writePasswordFile("secret\r\n");
  faults.failNext("CreateFile(read)", 5);
  EXPECT_EQ(passwords.getPasswd(), std::nullopt);
  faults.failNext("ReadFile", 5);
  EXPECT_EQ(passwords.getPasswd(), std::nullopt);
  EXPECT_EQ(passwords.getPasswd(), std::optional<std::string>("secret"));
}

TEST_F(PasswordStoreTest, UnknownWindowsDirectoryFailsClosedAndWritesNothing) {
  faults.failCall("GetWindowsDirectory", 1, 1);
  EXPECT_EQ(passwords.getPasswd(), std::nullopt);
  paths.setWindowsDirectory(std::string(256, 'x'));
  EXPECT_EQ(passwords.getPasswd(), std::nullopt);
  EXPECT_FALSE(passwords.putPasswd("new"));
  paths.setWindowsDirectory(windows.path().string());
  EXPECT_EQ(passwords.getPasswd(), std::optional<std::string>(""));
}

TEST_F(PasswordStoreTest, StoredPasswordsReadBackExactly) {
  for (const std::string &password :
       std::vector<std::string>{"", "secret", "Two Words", "a,b", " lead", "trail ", "パスワード",
                                "ｷｬﾝｾﾙ", std::string(10000, 'z')}) {
    ASSERT_TRUE(passwords.putPasswd(password)) << password;
    EXPECT_EQ(passwords.getPasswd(), std::optional<std::string>(password));
  }
  ASSERT_TRUE(passwords.putPasswd("secret"));
  EXPECT_EQ(passwordFileBytes(), "secret\r\n");
  ASSERT_TRUE(passwords.putPasswd("パス"));
  EXPECT_EQ(passwordFileBytes(), "\x83\x70\x83\x58\r\n") << "stored in the ANSI code page";
  ASSERT_TRUE(passwords.putPasswd(""));
  EXPECT_EQ(passwordFileBytes(), "\r\n");
  EXPECT_EQ(filesInWindowsDirectory(), 1u);
}

TEST_F(PasswordStoreTest, UnstorablePasswordsAreRefusedAndTheOldOneStays) {
  writePasswordFile("old\r\n");
  for (const std::string &password :
       std::vector<std::string>{"\"quoted", "a,\"b", "two\r\nlines", "\xF0\x9F\x98\x80"})
    EXPECT_FALSE(passwords.putPasswd(password)) << password;
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
  EXPECT_EQ(filesInWindowsDirectory(), 1u);
}

TEST_F(PasswordStoreTest, EveryFailingWriteStepKeepsTheOldFileAndLeavesNoTemporary) {
  for (const char *step : {"GetWindowsDirectory", "CreateFile(temporary)", "WriteFile",
                           "FlushFileBuffers", "CloseHandle(written)", "MoveFileEx"}) {
    writePasswordFile("old\r\n");
    faults.failNext(step, 5);
    EXPECT_FALSE(passwords.putPasswd("new")) << step;
    EXPECT_EQ(passwordFileBytes(), "old\r\n") << step;
    EXPECT_EQ(filesInWindowsDirectory(), 1u) << step;
  }
}

TEST_F(PasswordStoreTest, ReadOnlyFileIsNotReplaced) {
  writePasswordFile("old\r\n");
  chmod(passwordFile().c_str(), 0444);
  EXPECT_FALSE(passwords.putPasswd("new"));
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
  EXPECT_EQ(filesInWindowsDirectory(), 1u);
}

} // namespace
