// The Win32 password file's decisions that Wine can't show, since there
// every program runs as an administrator.
#include "platform/password_file.h"
#include "platform/win32/password_file_rules.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::win32;

DaclFacts dacl(bool isProtected, unsigned explicitEntries) {
  DaclFacts facts;
  facts.present = true;
  facts.isProtected = isProtected;
  facts.explicitEntries = explicitEntries;
  return facts;
}

TEST(NewFileRules, ANewFileAndOneWithTheDirectorysRulesOnlyAreForAdministratorsOnly) {
  EXPECT_EQ(rulesForNewFile(std::nullopt), NewFileRules::AdministratorsOnly) << "no file yet";
  EXPECT_EQ(rulesForNewFile(dacl(false, 0)), NewFileRules::AdministratorsOnly)
      << "only inherited entries: every user may read it";
  EXPECT_EQ(rulesForNewFile(DaclFacts{}), NewFileRules::AdministratorsOnly)
      << "a NULL DACL lets everyone do anything";
}

TEST(NewFileRules, RulesAnAdministratorSetAreKept) {
  EXPECT_EQ(rulesForNewFile(dacl(true, 0)), NewFileRules::KeepOld) << "protected";
  EXPECT_EQ(rulesForNewFile(dacl(true, 2)), NewFileRules::KeepOld);
  EXPECT_EQ(rulesForNewFile(dacl(false, 1)), NewFileRules::KeepOld) << "an explicit entry";
}

// The file already there is judged by the rule a new file gets: only what
// the directory passed on is restricted; a process that may not change the
// rules (no file, no rights) has nothing to do and nothing to report.
TEST(NewFileRules, AFileAlreadyThereIsRestrictedOnlyWhenItHasOnlyInheritedRules) {
  EXPECT_TRUE(hasOnlyInheritedRules(dacl(false, 0)));
  EXPECT_TRUE(hasOnlyInheritedRules(DaclFacts{})) << "a NULL DACL";
  EXPECT_FALSE(hasOnlyInheritedRules(dacl(true, 0)));
  EXPECT_FALSE(hasOnlyInheritedRules(dacl(false, 1)));
  EXPECT_EQ(restrictionAnswer(platform::kFileNotFound), platform::kDone);
  EXPECT_EQ(restrictionAnswer(platform::kAccessDenied), platform::kDone)
      << "a standard user, an administrator without elevation";
  EXPECT_EQ(restrictionAnswer(platform::kSharingViolation), platform::kSharingViolation);
  EXPECT_EQ(restrictionAnswer(3), 3u); // ERROR_PATH_NOT_FOUND
}

TEST(ReplaceCheck, AFileThatRefusesWritingOrDeletingIsNotTouched) {
  EXPECT_EQ(kReplaceRights, 0x00010002u) << "FILE_WRITE_DATA and DELETE";
  EXPECT_EQ(replaceCheck(false, platform::kDone), platform::kDone);
  EXPECT_EQ(replaceCheck(false, platform::kFileNotFound), platform::kDone) << "nothing to replace";
  EXPECT_EQ(replaceCheck(false, platform::kAccessDenied), platform::kAccessDenied)
      << "DELETE or writing refused";
  EXPECT_EQ(replaceCheck(true, platform::kDone), platform::kAccessDenied) << "read-only";
  EXPECT_EQ(replaceCheck(false, platform::kSharingViolation), platform::kDone)
      << "held by someone, rights granted: the rename waits for them";
  EXPECT_EQ(replaceCheck(false, 3), 3u); // ERROR_PATH_NOT_FOUND
}

// Which answers of the POSIX rename send the replace to the plain one, and
// what a rename that still fails tells.
TEST(Rename, OnlyASystemWithoutThePosixRenameFallsBackToThePlainOne) {
  for (const platform::Status unsupported : {87u, 50u, 1u})
    EXPECT_TRUE(posixRenameUnsupported(unsupported)) << unsupported;
  for (const platform::Status refused : {5u, 32u, 33u, 2u, 3u, 112u})
    EXPECT_FALSE(posixRenameUnsupported(refused))
        << refused << ": the plain rename would be refused too, or worse, replace less safely";
}

TEST(Rename, ARefusalAfterTheRightsCheckIsAFileHeldElsewhere) {
  EXPECT_EQ(renameAnswer(platform::kDone), platform::kDone);
  EXPECT_EQ(renameAnswer(platform::kAccessDenied), platform::kSharingViolation)
      << "the plain rename while anything has the target open";
  EXPECT_EQ(renameAnswer(platform::kSharingViolation), platform::kSharingViolation);
  EXPECT_EQ(renameAnswer(33), platform::kSharingViolation); // ERROR_LOCK_VIOLATION
  EXPECT_EQ(renameAnswer(112), 112u);                       // ERROR_DISK_FULL
  EXPECT_EQ(renameAnswer(87), 87u) << "the plain rename's own refusal";
}

TEST(Leftovers, OnlyTheProgramsOwnTemporaryNames) {
  for (const wchar_t *name : {L"vantorel.P01.260.1340031.tmp", L"VANTOREL.P01.7.8.TMP"})
    EXPECT_TRUE(isLeftoverName(name));
  for (const wchar_t *name : {L"vantorel.P01", L"vantorel.P01.bak", L"vantorel.P01x.tmp",
                              L"vantorel.P01..tmp", L"vantorel.lock", L"xvantorel.P01.1.tmp"})
    EXPECT_FALSE(isLeftoverName(name)) << name;
}

TEST(Leftovers, OnlyAPlainFileWithOneNameIsRemoved) {
  constexpr std::uint32_t kNormal = 0x80, kArchive = 0x20, kHidden = 0x2;
  EXPECT_TRUE(mayRemoveLeftover(kNormal, 1));
  EXPECT_TRUE(mayRemoveLeftover(kArchive | kHidden, 1));
  EXPECT_FALSE(mayRemoveLeftover(kArchive, 2)) << "a hard link to someone else's file";
  EXPECT_FALSE(mayRemoveLeftover(0x400, 1)) << "a symbolic link or junction";
  EXPECT_FALSE(mayRemoveLeftover(0x10, 1)) << "a directory";
  EXPECT_FALSE(mayRemoveLeftover(0x1, 1)) << "read-only: not ours to clear";
}

constexpr wchar_t kTanaka[] = L"S-1-5-21-1004336348-1177238915-682003330-1001";
constexpr wchar_t kSuzuki[] = L"S-1-5-21-1004336348-1177238915-682003330-1002";

TEST(ChangeLock, OnlyALockFileOfSystemAdministratorsOrTheUserRunningTheProgramIsTheirs) {
  EXPECT_TRUE(isProgramsLock(L"S-1-5-18", kTanaka));
  EXPECT_TRUE(isProgramsLock(L"S-1-5-32-544", kTanaka));
  EXPECT_TRUE(isProgramsLock(kTanaka, kTanaka)) << "made by this user: nobody else's";
  EXPECT_FALSE(isProgramsLock(kSuzuki, kTanaka)) << "another user made it first";
  EXPECT_FALSE(isProgramsLock(L"S-1-5-32-545", kTanaka)) << "Users";
  EXPECT_FALSE(isProgramsLock(L"S-1-5-32-5440", kTanaka));
  EXPECT_FALSE(
      isProgramsLock(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", kTanaka))
      << "TrustedInstaller";
  EXPECT_FALSE(isProgramsLock(L"", L"")) << "an owner and a user that can't be named";
  EXPECT_FALSE(isProgramsLock(kSuzuki, L""));
}

TEST(ChangeLock, ALockFileNotTheProgramsIsRefusedWhetherItWasTakenOrHeld) {
  EXPECT_EQ(lockAnswer(platform::kDone, platform::kDone, true), platform::kDone);
  EXPECT_EQ(lockAnswer(platform::kDone, platform::kInvalidOwner, true), platform::kInvalidOwner);
  EXPECT_EQ(lockAnswer(platform::kDone, platform::kAccessDenied, true), platform::kAccessDenied)
      << "an owner that can't be read is not taken on trust";
  EXPECT_EQ(lockAnswer(platform::kSharingViolation, platform::kInvalidOwner, true),
            platform::kInvalidOwner)
      << "held by whoever made it: said so, not blamed on another copy";
  EXPECT_EQ(lockAnswer(platform::kSharingViolation, platform::kDone, true),
            platform::kSharingViolation);
  EXPECT_EQ(lockAnswer(platform::kSharingViolation, platform::kAccessDenied, true),
            platform::kSharingViolation);
  EXPECT_EQ(lockAnswer(platform::kInvalidOwner, platform::kFileNotFound, true),
            platform::kAccessDenied)
      << "creating it for Administrators was refused: no administrator";
  EXPECT_EQ(lockAnswer(platform::kAccessDenied, platform::kInvalidOwner, true),
            platform::kInvalidOwner)
      << "its maker's rules keep administrators out";
  EXPECT_EQ(lockAnswer(platform::kAccessDenied, platform::kAccessDenied, false),
            platform::kAccessDenied)
      << "a standard user, an administrator without elevation";
  EXPECT_EQ(lockAnswer(platform::kAccessDenied, platform::kAccessDenied, true),
            platform::kInvalidOwner)
      << "the program's lock lets administrators in: one that keeps them out, owner and all, "
         "is someone else's";
}

} // namespace
