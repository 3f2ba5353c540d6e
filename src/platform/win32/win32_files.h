#pragma once
// Files and the Windows directory through kernel32's A functions.
#include "platform/files.h"
#include "platform/system_paths.h"

namespace platform::win32 {

class Win32Files : public Files {
public:
  OpenStatus openForReading(const std::string &path, FileHandle *file) override;
  bool read(FileHandle file, char *buffer, std::size_t size, std::size_t *got) override;
  void closeRead(FileHandle file) override;
  bool createTemporary(const std::string &directory, std::string *path, FileHandle *file) override;
  bool write(FileHandle file, const std::string &bytes) override;
  bool flush(FileHandle file) override;
  bool closeWritten(FileHandle file) override;
  bool replace(const std::string &source, const std::string &target) override;
  bool remove(const std::string &path) override;
  bool isNormalFile(const std::string &path) override;
};

class Win32SystemPaths : public SystemPaths {
public:
  unsigned windowsDirectory(char *buffer, unsigned size) override;
  std::string executableDirectory() override;
};

} // namespace platform::win32
