#pragma once
// The decisions behind the Win32 password file that Wine can't show, since
// it runs every program as an administrator on files without rules of their
// own: which access rules a file gets, which rights a replace needs, which
// rename to use, which leftovers may go, whose lock file it is. Free of
// <windows.h>, so they are tested natively.
#include "platform/status.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace platform::win32 {

// What the old file's DACL tells of who wrote it.
struct DaclFacts {
  bool present = false;     // false or a NULL DACL: everyone may do anything
  bool isProtected = false; // set to ignore the directory's rules
  unsigned explicitEntries = 0;
};

// Only what the directory passed on, or a NULL DACL: every user may read
// the file. Anything else is an administrator's choice.
bool hasOnlyInheritedRules(const DaclFacts &facts);

enum class NewFileRules {
  AdministratorsOnly, // SYSTEM and Administrators, full control, protected
  KeepOld,
};

// nullopt: there is no old file.
NewFileRules rulesForNewFile(const std::optional<DaclFacts> &old);

// How opening the file to restrict its rules went, as the answer of the
// restriction: no file, or rights this process lacks (a standard user, an
// administrator without elevation), leave it nothing to do.
Status restrictionAnswer(Status opened);

// FILE_WRITE_DATA | DELETE: renaming over a file deletes it, so the check
// that a replace may go ahead asks for both.
constexpr std::uint32_t kReplaceRights = 0x0002 | 0x00010000;

// Whether a replace may begin: the target is read-only, or how opening it
// for kReplaceRights went (kFileNotFound when there is none).
Status replaceCheck(bool readOnly, Status opened);

// Whether the system refused the POSIX-semantics rename itself rather than
// this rename: a class or flag older Windows doesn't know, a file system
// without it. The plain rename is tried then.
bool posixRenameUnsupported(Status answer);

// FILE_RENAME_INFO as newer Windows 10 and 11 have it, with Flags where
// ReplaceIfExists is. HANDLE is a pointer and WCHAR a UTF-16 unit, so this is
// the SDK's layout in either build (the Win32 code checks it against it).
struct RenameInformation {
  std::uint32_t Flags;
  void *RootDirectory;
  std::uint32_t FileNameLength; // in bytes, without the terminating NUL
  char16_t FileName[1];
};

// What SetFileInformationByHandle takes to rename a file to target: the
// header, then the name and the NUL that ends it, as FileName is documented
// (some implementations read up to it), in storage aligned for the header.
// Its size is the header's with the name's bytes added, as Microsoft's
// samples pass it: the header's one FileName unit holds the NUL.
class RenameBuffer {
public:
  RenameBuffer(std::u16string_view target, std::uint32_t flags);
  void *data() { return storage_.get(); }
  std::uint32_t size() const { return size_; }

private:
  std::uint32_t size_;
  std::unique_ptr<void *[]> storage_; // zeroed, and aligned as the header's pointer is
};

// A rename refused once the replace's rights were granted: the target is
// open elsewhere (the plain rename fails while anything has it open, the
// POSIX one while a handle shares no deletion). kSharingViolation then, so
// the trail can say another program holds the file.
Status renameAnswer(Status renamed);

// Temporary files are named prefix + something + suffix, so that what a
// killed change left is easy to find and to tell from anyone else's files.
constexpr wchar_t kTemporaryPrefix[] = L"vantorel.P01.";
constexpr wchar_t kTemporarySuffix[] = L".tmp";

// A name a change cut short leaves, in any case.
bool isLeftoverName(std::wstring_view name);

// Only a plain file with one name is removed: a link's target, or a file
// also known by another name, belongs to someone else.
bool mayRemoveLeftover(std::uint32_t attributes, std::uint32_t links);

// SIDs as "S-1-5-18": SYSTEM and Administrators.
constexpr wchar_t kSystemSid[] = L"S-1-5-18";
constexpr wchar_t kAdministratorsSid[] = L"S-1-5-32-544";

// Whether a lock file owned by owner is the program's: made by SYSTEM, by
// Administrators, or by the user running it now (self). Owning it takes
// creating it or a privilege, so any other owner is a user who made it to
// hold every change up.
bool isProgramsLock(std::wstring_view owner, std::wstring_view self);

// Whether a failure may pass within a moment, so that the call is tried
// again for about a second: another program holds the file (a sharing or a
// lock violation), or it is being replaced or deleted (in Explorer, by a
// scanner), which answers access denied to every open while that is
// pending. The change lock's access denied that outlasts the second is
// judged by the file's owner.
bool mayPassInAMoment(Status answer);

struct LockAnswer {
  Status status;
  // Refused for rights this process lacks, status as the system said it.
  bool lacksRights = false;
};

// The change lock's answer from how taking it went and whose file it is
// (kDone, kInvalidOwner, or why that can't be told). A file that is not the
// program's is named so, however taking it went: held or closed to us by
// whoever made it. A process that is no elevated administrator (a standard
// user, an administrator without elevation) may neither create the file in
// the Windows directory nor open the program's, nor make Administrators the
// owner (kInvalidOwner from creating it): it lacks the rights. The
// program's own lock lets Administrators in: where it and its owner are
// both closed to an elevated administrator, it is someone else's (a file
// they shut us out of, or a folder of that name).
LockAnswer lockAnswer(Status taken, Status owned, bool elevatedAdministrator);

} // namespace platform::win32
