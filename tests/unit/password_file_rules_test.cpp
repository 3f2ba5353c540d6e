// The Win32 password file's decisions that Wine can't show, since there
// every program runs as an administrator.
#include "platform/password_file.h"
#include "platform/win32/password_file_rules.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

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
  EXPECT_EQ(replaceCheck(true, platform::kFileNotFound), platform::kDone)
      << "no file, whatever its attributes were read as: nothing to refuse";
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

// The answer as status and whether it is for rights this process lacks.
std::pair<platform::Status, bool> answer(platform::Status taken, platform::Status owned,
                                         bool elevated) {
  const LockAnswer answer = lockAnswer(taken, owned, elevated);
  return {answer.status, answer.lacksRights};
}
using Answer = std::pair<platform::Status, bool>;

TEST(ChangeLock, ALockFileNotTheProgramsIsRefusedWhetherItWasTakenOrHeld) {
  EXPECT_EQ(answer(platform::kDone, platform::kDone, true), Answer(platform::kDone, false));
  EXPECT_EQ(answer(platform::kDone, platform::kInvalidOwner, true),
            Answer(platform::kInvalidOwner, false));
  EXPECT_EQ(answer(platform::kDone, platform::kAccessDenied, true),
            Answer(platform::kAccessDenied, false))
      << "an owner that can't be read is not taken on trust";
  EXPECT_EQ(answer(platform::kSharingViolation, platform::kInvalidOwner, true),
            Answer(platform::kInvalidOwner, false))
      << "held by whoever made it: said so, not blamed on another copy";
  EXPECT_EQ(answer(platform::kSharingViolation, platform::kDone, true),
            Answer(platform::kSharingViolation, false));
  EXPECT_EQ(answer(platform::kSharingViolation, platform::kAccessDenied, true),
            Answer(platform::kSharingViolation, false));
  EXPECT_EQ(answer(platform::kInvalidOwner, platform::kFileNotFound, true),
            Answer(platform::kAccessDenied, false))
      << "creating it for Administrators was refused though elevated";
  EXPECT_EQ(answer(platform::kAccessDenied, platform::kInvalidOwner, true),
            Answer(platform::kInvalidOwner, false))
      << "its maker's rules keep administrators out";
  EXPECT_EQ(answer(platform::kAccessDenied, platform::kAccessDenied, true),
            Answer(platform::kInvalidOwner, false))
      << "the program's lock lets administrators in: one that keeps them out, owner and all, "
         "is someone else's";
  EXPECT_EQ(answer(platform::kAccessDenied, platform::kDone, true),
            Answer(platform::kAccessDenied, false))
      << "closed to us for a moment, but the program's own: not one that may be deleted";
}

// A standard user, or an administrator without elevation, can't create the
// lock in the Windows directory, open the program's, or make Administrators
// its owner: rights they lack, with the code the system gave.
TEST(ChangeLock, AProcessThatIsNoElevatedAdministratorIsRefusedForItsRights) {
  EXPECT_EQ(answer(platform::kAccessDenied, platform::kAccessDenied, false),
            Answer(platform::kAccessDenied, true));
  EXPECT_EQ(answer(platform::kAccessDenied, platform::kFileNotFound, false),
            Answer(platform::kAccessDenied, true))
      << "no lock yet, and the folder refuses creating one";
  EXPECT_EQ(answer(platform::kInvalidOwner, platform::kFileNotFound, false),
            Answer(platform::kInvalidOwner, true))
      << "an administrator without elevation can't give Administrators the file";
  EXPECT_EQ(answer(platform::kAccessDenied, platform::kInvalidOwner, false),
            Answer(platform::kInvalidOwner, false))
      << "someone else's file is still named so";
  EXPECT_EQ(answer(platform::kSharingViolation, platform::kAccessDenied, false),
            Answer(platform::kSharingViolation, false));
  EXPECT_EQ(answer(platform::kDone, platform::kDone, false), Answer(platform::kDone, false));
}

TEST(ChangeLock, AccessDeniedIsTriedAgainLikeAHolderAsAFileBeingDeletedAnswersIt) {
  for (const platform::Status passing :
       {platform::kSharingViolation, platform::Status{33}, platform::kAccessDenied})
    EXPECT_TRUE(mayPassInAMoment(passing)) << passing;
  for (const platform::Status lasting :
       {platform::kDone, platform::kFileNotFound, platform::kInvalidOwner, platform::Status{87}})
    EXPECT_FALSE(mayPassInAMoment(lasting)) << lasting;
}

// FileName is documented as ending in a NUL, which some implementations
// read up to: the buffer holds the header, the name and the NUL, no less.
TEST(RenameBuffer, HoldsTheNameAndItsNulAfterTheHeaderInAlignedStorage) {
  const std::u16string target = u"C:\\Windows\\vantorel.P01";
  RenameBuffer buffer(target, 3);
  const std::size_t nameAt = offsetof(RenameInformation, FileName);
  ASSERT_EQ(buffer.size(), sizeof(RenameInformation) + target.size() * 2)
      << "the header's size and the name's bytes, as Microsoft's samples pass it";
  ASSERT_GE(buffer.size(), nameAt + (target.size() + 1) * 2) << "room for the NUL";
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.data()) % alignof(void *), 0u);
  const auto *info = static_cast<const RenameInformation *>(buffer.data());
  EXPECT_EQ(info->Flags, 3u);
  EXPECT_EQ(info->RootDirectory, nullptr);
  EXPECT_EQ(info->FileNameLength, target.size() * 2) << "in bytes, the NUL not counted";
  const auto *bytes = static_cast<const unsigned char *>(buffer.data());
  EXPECT_EQ(std::memcmp(bytes + nameAt, target.data(), target.size() * 2), 0);
  EXPECT_EQ(bytes[nameAt + target.size() * 2], 0);
  EXPECT_EQ(bytes[nameAt + target.size() * 2 + 1], 0);

  RenameBuffer empty(u"", 1);
  EXPECT_EQ(empty.size(), sizeof(RenameInformation))
      << "the header alone holds an empty name's NUL";
}

} // namespace
