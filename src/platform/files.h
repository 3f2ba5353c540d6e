#pragma once
// Files, as the password store needs them. Paths are bytes in the ANSI code
// page, as the A functions take them. Every call reports failure in its
// result; a failed call leaves the file system as it was.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

using FileHandle = std::uintptr_t;

enum class OpenStatus { Opened, NotFound, Failed };

class Files {
public:
  virtual ~Files() = default;
  virtual OpenStatus openForReading(const std::string &path, FileHandle *file) = 0;
  // Reads up to size bytes; *got is 0 at the end of the file.
  virtual bool read(FileHandle file, char *buffer, std::size_t size, std::size_t *got) = 0;
  virtual void closeRead(FileHandle file) = 0;

  // Creates a new empty file with a name of its own in directory.
  virtual bool createTemporary(const std::string &directory, std::string *path,
                               FileHandle *file) = 0;
  virtual bool write(FileHandle file, const std::string &bytes) = 0;
  // Makes the data durable before the file takes another's place.
  virtual bool flush(FileHandle file) = 0;
  virtual bool closeWritten(FileHandle file) = 0;
  // Puts source in target's place in one step, replacing target if present;
  // refuses a read-only target.
  virtual bool replace(const std::string &source, const std::string &target) = 0;
  virtual bool remove(const std::string &path) = 0;

  // True when a normal file is there: not a directory, not hidden, not a
  // system file.
  virtual bool isNormalFile(const std::string &path) = 0;
};

} // namespace platform
