// The password as the password file keeps it, over the in-memory file.
#include "password/password_store.h"
#include "sim_world.h"

#include <gtest/gtest.h>

#include <vector>

namespace password {

bool operator==(const StoredPassword &a, const StoredPassword &b) {
  return a.status == b.status && a.password == b.password && a.unreadable == b.unreadable;
}
std::ostream &operator<<(std::ostream &out, const StoredPassword &stored) {
  return out << "{" << stored.status << ", \"" << stored.password.substr(0, 40) << "\""
             << (stored.unreadable ? ", unreadable}" : "}");
}

} // namespace password

namespace {

using namespace testing_world;
using password::StoredPassword;

std::string repeated(const std::string &text, std::size_t times) {
  std::string result;
  for (std::size_t i = 0; i < times; ++i)
    result += text;
  return result;
}

StoredPassword known(const std::string &password) { return {platform::kDone, password}; }
StoredPassword unknown(platform::Status status) { return {status, ""}; }
StoredPassword unreadable(platform::Status status) { return {status, "", true}; }

class PasswordStoreTest : public ::testing::Test, protected SimWorld {
protected:
  StoredPassword read() { return password::readPassword(passwordFile, codec); }
  StoredPassword readingFile(const std::string &bytes) {
    writePasswordFile(bytes);
    return read();
  }
  platform::Status store(const std::string &password) {
    const auto lock = passwordFile.lockChanges();
    return password::storePassword(passwordFile, codec, password);
  }
};

TEST_F(PasswordStoreTest, MissingOrEmptyFileMeansTheEmptyPassword) {
  EXPECT_EQ(read(), known(""));
  EXPECT_EQ(readingFile(""), known(""));
  EXPECT_EQ(readingFile("\r\n"), known(""));
}

TEST_F(PasswordStoreTest, ReadsTheFirstFieldOfTheFirstLine) {
  EXPECT_EQ(readingFile("secret"), known("secret"));
  EXPECT_EQ(readingFile("first\r\nsecond\r\n"), known("first"));
  EXPECT_EQ(readingFile("a,b\r\n"), known("a"));
  EXPECT_EQ(readingFile("\"a,b\"\r\n"), known("a,b"));
  EXPECT_EQ(readingFile("  lead\r\n"), known("lead"));
  EXPECT_EQ(readingFile("\"open, never closed\r\n"), known("open, never closed"));
  EXPECT_EQ(readingFile("\x83\x70\x83\x58\r\n"), known("パス"));
}

TEST_F(PasswordStoreTest, AHugeFirstLineIsReadWholeUpToTheLimitTheWriterKeepsToo) {
  const std::string atLimit(4 << 20, 'k');
  EXPECT_EQ(readingFile(atLimit + "\r\nrest"), known(atLimit));
  EXPECT_EQ(readingFile(atLimit + "k\r\n"), unknown(platform::kFileTooLarge));

  writePasswordFile("old\r\n");
  EXPECT_EQ(store(atLimit + "k"), platform::kFileTooLarge);
  EXPECT_EQ(store("," + atLimit.substr(1)), platform::kFileTooLarge)
      << "its quotes make the line too long";
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
  ASSERT_EQ(store(atLimit), platform::kDone);
  EXPECT_EQ(read(), known(atLimit));
}

// A file that can't be read is told apart from one whose first line holds
// no password: the first is no answer about the password at all.
TEST_F(PasswordStoreTest, UnreadableFilesFailClosedWithTheirCode) {
  EXPECT_EQ(readingFile("ab\x83\r\n"), unknown(platform::kNoUnicodeTranslation));
  EXPECT_EQ(readingFile(std::string("a\0b\r\n", 5)), unknown(platform::kNoUnicodeTranslation));
  EXPECT_EQ(readingFile("\xEF\xBB\xBF\xED\xA0\x80\r\n"), unknown(platform::kNoUnicodeTranslation))
      << "UTF-8 after a BOM that holds a surrogate is no password either";
  writePasswordFile("secret\r\n");
  for (const platform::Status code : {5u, 32u, 33u, 1117u}) {
    faults.failNext("ReadPasswordFile", static_cast<long>(code));
    EXPECT_EQ(read(), unreadable(code));
  }
  EXPECT_EQ(read(), known("secret"));
}

TEST_F(PasswordStoreTest, StoredPasswordsReadBackExactly) {
  for (const std::string &password :
       std::vector<std::string>{"", "secret", "Two Words", "a,b", " lead", "trail ", "パスワード",
                                "ｷｬﾝｾﾙ", repeated("パ", 100000)}) {
    ASSERT_EQ(store(password), platform::kDone) << password;
    EXPECT_EQ(read(), known(password));
  }
  ASSERT_EQ(store("secret"), platform::kDone);
  EXPECT_EQ(passwordFileBytes(), "secret\r\n");
  ASSERT_EQ(store("パス"), platform::kDone);
  EXPECT_EQ(passwordFileBytes(), "\x83\x70\x83\x58\r\n") << "stored in the ANSI code page";
  ASSERT_EQ(store(""), platform::kDone);
  EXPECT_EQ(passwordFileBytes(), "\r\n");
}

TEST_F(PasswordStoreTest, UnstorablePasswordsAreRefusedAndTheOldOneStays) {
  writePasswordFile("old\r\n");
  for (const std::string &password : std::vector<std::string>{"\"quoted", "a,\"b", "two\r\nlines"})
    EXPECT_EQ(store(password), 13u) << password; // ERROR_INVALID_DATA
  EXPECT_EQ(store("\xF0\x9F\x98\x80"), platform::kNoUnicodeTranslation);
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
  EXPECT_EQ(faults.count("ReplacePasswordFile"), 0) << "refused before the file is touched";
  faults.failNext("ReplacePasswordFile", 5);
  EXPECT_EQ(store("new"), platform::kAccessDenied) << "the file's own refusal is passed on";
  EXPECT_EQ(passwordFileBytes(), "old\r\n");
}

TEST(AuditReason, CarriesTheWin32CodeOfAFailure) {
  EXPECT_EQ(password::auditReason("理由", platform::kDone), "理由");
  EXPECT_EQ(password::auditReason("理由", 5), "理由（エラーコード: 5）");
}

} // namespace
