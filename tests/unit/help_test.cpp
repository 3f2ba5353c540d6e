// The Help menu against the substitute shell and files.
#include "help/help_launcher.h"
#include "sim_world.h"

#include <gtest/gtest.h>

namespace {

using help::findNth;
using namespace testing_world;

constexpr char kNoBrowser[] = "ヘルプを表示するにはＨＴＭＬ対応のブラウザが必要です。\r"
                              " インターネットエクスプローラなどを準備してください。\r"
                              "   とりあえず 表示しますが、正しく表示できません";

TEST(FncInStrN, FindsTheNthOccurrence) {
  EXPECT_EQ(findNth("abcde", ".", 1), -1);
  EXPECT_EQ(findNth("a.b.c", ".", 1), 2);
  EXPECT_EQ(findNth("a.b.c", ".", 2), 4);
  EXPECT_EQ(findNth("a.b.c", ".", 3), -1);
  EXPECT_EQ(findNth("aaaa", "aa", 2), 2) << "occurrences may overlap";
  EXPECT_EQ(findNth("abc", "abcd", 1), -1) << "a longer pattern can't match near the end";
  EXPECT_EQ(findNth("ヘルプ.htm", ".", 1), 4) << "positions count characters, not bytes";
}

TEST(FncInStrN, EdgesOfItsRange) {
  EXPECT_EQ(findNth("a.b", ".", 0), -1);
  EXPECT_EQ(findNth("a.b", ".", -1), -1);
  EXPECT_EQ(findNth("", ".", 1), -1);
  EXPECT_EQ(findNth("abc", "", 3), 3) << "an empty pattern matches everywhere";
  EXPECT_EQ(findNth("ab", "", 3), -1);
  EXPECT_EQ(findNth(std::string(32766, 'x') + ".", ".", 1), 32767);
  EXPECT_EQ(findNth(std::string(32767, 'x') + ".", ".", 1), -1) << "beyond 16 bits";
  EXPECT_EQ(findNth(std::string(70000, '.'), ".", 1), -1);
}

class HelpTest : public ::testing::Test, protected SimWorld {
protected:
  void putDocumentIn(const TempDir &directory) {
    std::ofstream(directory.path() / "help.htm") << "<!DOCTYPE html>";
    paths.setExecutableDirectory(directory.path().string());
  }
};

TEST_F(HelpTest, MissingDocumentIsNamedInAnUntitledBox) {
  TempDir programDir;
  paths.setExecutableDirectory(programDir.path().string());
  handlers.onHelp();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].prompt, programDir.path().string() + "\\help.htmがありません。");
  EXPECT_EQ(window.messages[0].title, std::nullopt) << "titled with the program's name";
  EXPECT_EQ(window.messages[0].icon, platform::MessageIcon::Exclamation);
  EXPECT_TRUE(shell.requests.empty());
  std::filesystem::create_directory(programDir.path() / "help.htm");
  handlers.onHelp();
  EXPECT_EQ(window.messages.size(), 2u) << "a directory of that name is no document";
}

TEST_F(HelpTest, OpensTheDocumentOnTheFirstAttemptWhenThePathHasNoDot) {
  TempDir programDir("kestrova");
  putDocumentIn(programDir);
  handlers.onHelp();
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].file, programDir.path().string() + "\\help.HTM");
  EXPECT_EQ(shell.requests[0].directory, "c:\\");
  EXPECT_EQ(shell.requests[0].show, 1);
  EXPECT_EQ(shell.requests[0].parent, 0x1234u) << "owned by the main window";
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(HelpTest, ADottedDirectoryOpensOnTheSecondAttempt) {
  TempDir programDir("kestrova-1.0.");
  putDocumentIn(programDir);
  handlers.onHelp();
  ASSERT_EQ(shell.requests.size(), 2u);
  EXPECT_EQ(shell.requests[0].file, programDir.path().string() + "\\help");
  EXPECT_EQ(shell.requests[1].file, programDir.path().string() + "\\help.HTM");
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(HelpTest, NothingToOpenItGivesTheThreeLineMessageOnceAfterTwoAttempts) {
  TempDir programDir("kestrova");
  putDocumentIn(programDir);
  shell.answer(31); // SE_ERR_NOASSOC
  handlers.onHelp();
  EXPECT_EQ(shell.requests.size(), 2u);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].prompt, kNoBrowser);
  EXPECT_EQ(window.messages[0].title, std::nullopt);
  shell.answer(32);
  handlers.onHelp();
  EXPECT_EQ(window.messages.size(), 2u) << "32 is no success";
  shell.answer(33);
  handlers.onHelp();
  EXPECT_EQ(window.messages.size(), 2u);
}

TEST_F(HelpTest, AppPathDropsTheBackslashOfADriveRoot) {
  paths.setExecutableDirectory("D:\\");
  EXPECT_EQ(help::programDirectory(paths), "D:");
  paths.setExecutableDirectory("C:\\Tools");
  EXPECT_EQ(help::programDirectory(paths), "C:\\Tools");
  paths.setExecutableDirectory("D:\\");
  handlers.onHelp();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].prompt, "D:\\help.htmがありません。");
}

TEST_F(HelpTest, VersionBoxShowsNameVersionAnEmptyLineAndANotice) {
  handlers.onAbout();
  ASSERT_EQ(window.messages.size(), 1u);
  const auto &box = window.messages[0];
  EXPECT_EQ(box.title, std::optional<std::string>("Version infometion"));
  EXPECT_EQ(box.icon, platform::MessageIcon::Information);
  const std::string head = "Kestrova Ver 1.0.0\r\r";
  ASSERT_EQ(box.prompt.substr(0, head.size()), head);
  const std::string notice = box.prompt.substr(head.size());
  EXPECT_FALSE(notice.empty());
  EXPECT_EQ(notice.find_first_of("\r\n"), std::string::npos) << "one notice line";
}

} // namespace
