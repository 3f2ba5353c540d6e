#pragma once
// Files and the Windows directory through kernel32's A functions; the help
// document's path through the W ones.
#include "platform/files.h"
#include "platform/system_paths.h"

namespace platform::win32 {

class Win32Files : public Files {
public:
  Win32Files() = default;
  Win32Files(const Win32Files &) = delete;
  Win32Files &operator=(const Win32Files &) = delete;
  ~Win32Files() override;

  OpenStatus openForReading(const std::string &path, FileHandle *file) override;
  bool read(FileHandle file, char *buffer, std::size_t size, std::size_t *got) override;
  void closeRead(FileHandle file) override;
  bool lockChanges(unsigned timeoutMs) override;
  void unlockChanges() override;
  bool listNames(const std::string &directory, const std::string &prefix,
                 std::vector<std::string> *names) override;
  bool remove(const std::string &path) override;
  bool createTemporary(const std::string &prefix, const std::string &suffix, std::string *path,
                       FileHandle *file) override;
  bool write(FileHandle file, const std::string &bytes) override;
  bool flush(FileHandle file) override;
  bool mayWrite(const std::string &path) override;
  bool copyProtection(const std::string &path, FileHandle file) override;
  bool replace(FileHandle file, const std::string &target) override;
  void closeWritten(FileHandle file) override;
  void discard(FileHandle file) override;
  bool isNormalFile(const std::string &utf8Path) override;

private:
  void releaseChangeLock();

  void *changeLock_ = nullptr; // the mutex while it is held
};

class Win32SystemPaths : public SystemPaths {
public:
  unsigned windowsDirectory(char *buffer, unsigned size) override;
  std::string executableDirectory() override;
};

} // namespace platform::win32
