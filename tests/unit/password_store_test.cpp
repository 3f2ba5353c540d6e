#include "password/password_format.h"
#include "sim_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include <sys/stat.h>

namespace {

using namespace testing_world;

std::string repeated(const std::string &text, std::size_t times) {
  std::string result;
  for (std::size_t i = 0; i < times; ++i)
    result += text;
  return result;
}

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

TEST_F(PasswordStoreTest, AHugeFirstLineIsReadWholeUpToTheLimitTheWriterKeepsToo) {
  const std::string atLimit(4 << 20, 'k');
  EXPECT_EQ(readingFile(atLimit + "\r\nrest"), std::optional<std::string>(atLimit));
  EXPECT_EQ(readingFile(atLimit), std::optional<std::string>(atLimit));
  EXPECT_EQ(readingFile(atLimit + "k\r\n"), std::nullopt);
  EXPECT_EQ(readingFile(std::string(9 << 20, 'k')), std::nullopt);

  writePasswordFile("old\r\n");
  EXPECT_FALSE(passwords.putPasswd(atLimit + "k"));
  EXPECT_FALSE(passwords.putPasswd("," + atLimit.substr(1))) << "its quotes make the line too long";
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
  ASSERT_TRUE(passwords.putPasswd(atLimit));
  EXPECT_EQ(passwords.getPasswd(), std::optional<std::string>(atLimit));
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
                                "ｷｬﾝｾﾙ", repeated("パ", 100000)}) {
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
  for (const char *step :
       {"GetWindowsDirectory", "CreateFile(write check)", "CreateFile(temporary)", "WriteFile",
        "FlushFileBuffers", "GetKernelObjectSecurity", "SetFileInformationByHandle(rename)"}) {
    writePasswordFile("old\r\n");
    faults.failNext(step, 5);
    EXPECT_FALSE(passwords.putPasswd("new")) << step;
    EXPECT_EQ(passwordFileBytes(), "old\r\n") << step;
    EXPECT_EQ(filesInWindowsDirectory(), 1u) << step;
  }
}

TEST_F(PasswordStoreTest, AFileThatMayNotBeWrittenIsNotReplaced) {
  writePasswordFile("old\r\n");
  chmod(passwordFile().c_str(), 0444);
  EXPECT_FALSE(passwords.putPasswd("new")) << "read-only";
  chmod(passwordFile().c_str(), 0644);
  sim::Protection deniesWriting;
  deniesWriting.writable = false; // though it may be deleted, so renamed over
  files.protect(passwordFile(), deniesWriting);
  EXPECT_FALSE(passwords.putPasswd("new")) << "rules deny writing";
  deniesWriting.rulesReadable = false;
  deniesWriting.writable = true;
  files.protect(passwordFile(), deniesWriting);
  EXPECT_FALSE(passwords.putPasswd("new")) << "rules that can't be read can't be kept";
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
  EXPECT_EQ(filesInWindowsDirectory(), 1u);
}

TEST_F(PasswordStoreTest, TheOldFilesRulesAndAttributesGoWithTheNewPassword) {
  writePasswordFile("old\r\n");
  sim::Protection lockedDown;
  lockedDown.rules = "Administrators: read only";
  lockedDown.hidden = lockedDown.system = true;
  files.protect(passwordFile(), lockedDown);
  ASSERT_TRUE(passwords.putPasswd("new"));
  EXPECT_EQ(passwordFileBytes(), "new\r\n");
  EXPECT_EQ(files.protectionOf(passwordFile()), lockedDown);
  EXPECT_EQ(filesInWindowsDirectory(), 1u);
  const std::vector<std::string> &calls = faults.calls();
  EXPECT_LT(std::find(calls.begin(), calls.end(), "GetKernelObjectSecurity"),
            std::find(calls.begin(), calls.end(), "WriteFile"))
      << "the password is written only into a file that is locked down already";

  faults.failNext("SetFileInformationByHandle(rename)", 5);
  EXPECT_FALSE(passwords.putPasswd("newer"));
  EXPECT_EQ(filesInWindowsDirectory(), 1u) << "a temporary that took the rules is gone too";
}

TEST_F(PasswordStoreTest, TemporariesOfChangesCutShortAreRemovedAtTheNextChange) {
  writePasswordFile("old\r\n");
  for (const char *name : {"vantorel.P01.260.1340031.tmp", "VANTOREL.P01.7.8.TMP",
                           "vantorel.P01.bak", "vantorel.P01x.tmp"})
    std::ofstream(windows.path() / name) << "never stored\r\n";
  ASSERT_TRUE(passwords.putPasswd("new"));
  std::set<std::string> left;
  for (const auto &entry : std::filesystem::directory_iterator(windows.path()))
    left.insert(entry.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"vantorel.P01", "vantorel.P01.bak", "vantorel.P01x.tmp"}))
      << "only what the program itself leaves behind is removed";
}

} // namespace
