#pragma once
// Files in a real directory of the host, for tests. Backslashes in paths
// count as slashes. Every operation can be made to fail through the plan.
#include "platform/files.h"
#include "platform/sim/fault_plan.h"
#include "platform/system_paths.h"

#include <string>

namespace sim {

class SimFiles : public platform::Files {
public:
  explicit SimFiles(FaultPlan &faults) : faults_(faults) {}

  platform::OpenStatus openForReading(const std::string &path, platform::FileHandle *file) override;
  bool read(platform::FileHandle file, char *buffer, std::size_t size, std::size_t *got) override;
  void closeRead(platform::FileHandle file) override;
  bool createTemporary(const std::string &directory, std::string *path,
                       platform::FileHandle *file) override;
  bool write(platform::FileHandle file, const std::string &bytes) override;
  bool flush(platform::FileHandle file) override;
  bool closeWritten(platform::FileHandle file) override;
  bool replace(const std::string &source, const std::string &target) override;
  bool remove(const std::string &path) override;
  // A regular file; names beginning with a dot count as hidden.
  bool isNormalFile(const std::string &path) override;

private:
  FaultPlan &faults_;
  unsigned counter_ = 0;
};

// The Windows directory is a directory the test chooses.
class SimSystemPaths : public platform::SystemPaths {
public:
  SimSystemPaths(FaultPlan &faults, std::string windowsDirectory)
      : faults_(faults), windowsDirectory_(std::move(windowsDirectory)) {}
  unsigned windowsDirectory(char *buffer, unsigned size) override;
  std::string executableDirectory() override { return executableDirectory_; }
  void setWindowsDirectory(std::string path) { windowsDirectory_ = std::move(path); }
  void setExecutableDirectory(std::string path) { executableDirectory_ = std::move(path); }

private:
  FaultPlan &faults_;
  std::string windowsDirectory_;
  std::string executableDirectory_ = "C:\\Program Files\\Kestrova";
};

// A host path for a path with backslashes.
std::string hostPath(std::string path);

} // namespace sim
