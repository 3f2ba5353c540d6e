#pragma once
// Files, as the password store and the help command need them. Paths are
// bytes in the ANSI code page, as the A functions take them, except where a
// call says UTF-8. Every call reports failure in its result; a failed call
// leaves the file system as it was.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

using FileHandle = std::uintptr_t;

enum class OpenStatus { Opened, NotFound, Failed };

class Files {
public:
  virtual ~Files() = default;
  // Waits a moment for a file that another program holds (a scanner, a
  // backup) before it counts as failed.
  virtual OpenStatus openForReading(const std::string &path, FileHandle *file) = 0;
  // Reads up to size bytes; *got is 0 at the end of the file.
  virtual bool read(FileHandle file, char *buffer, std::size_t size, std::size_t *got) = 0;
  virtual void closeRead(FileHandle file) = 0;

  // A lock shared by every copy of the program on this PC, around the
  // check and replacement of the password file. The system gives it up when
  // its holder ends, so a crash never leaves it held. False when it can't be
  // had within timeoutMs.
  virtual bool lockChanges(unsigned timeoutMs) = 0;
  virtual void unlockChanges() = 0;

  // The names (without the directory) of the entries in directory whose
  // names may begin with prefix; the caller judges each name.
  virtual bool listNames(const std::string &directory, const std::string &prefix,
                         std::vector<std::string> *names) = 0;
  // Deletes a file by its path, even one of ours that carries access rules
  // denying it.
  virtual bool remove(const std::string &path) = 0;

  // Creates a new empty file, named prefix + something unique + suffix, that
  // this handle alone uses and can rename or delete whatever rules it takes
  // later.
  virtual bool createTemporary(const std::string &prefix, const std::string &suffix,
                               std::string *path, FileHandle *file) = 0;
  virtual bool write(FileHandle file, const std::string &bytes) = 0;
  // Makes the data durable before the file takes another's place.
  virtual bool flush(FileHandle file) = 0;
  // True when there is no file at path, or this user may write it: renaming
  // over a file needs only the right to delete it, so that is no proof.
  virtual bool mayWrite(const std::string &path) = 0;
  // Gives file the access rules and the hidden and system attributes of the
  // file at path, if there is one; false when they can't be read or applied.
  virtual bool copyProtection(const std::string &path, FileHandle file) = 0;
  // Puts file in target's place in one step, replacing target if present;
  // refuses a read-only target. The handle stays open.
  virtual bool replace(FileHandle file, const std::string &target) = 0;
  virtual void closeWritten(FileHandle file) = 0;
  // Deletes the file through its handle and closes it.
  virtual void discard(FileHandle file) = 0;

  // True when a normal file is at the UTF-8 path: not a directory, not
  // hidden, not a system file.
  virtual bool isNormalFile(const std::string &utf8Path) = 0;
};

} // namespace platform
