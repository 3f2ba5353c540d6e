#pragma once
// Files in a real directory of the host, for tests. Backslashes in paths
// count as slashes. Every operation can be made to fail through the plan.
// Access rules and attributes that the host can't give are kept beside the
// files, so tests can protect a file as an administrator would.
#include "platform/files.h"
#include "platform/sim/fault_plan.h"
#include "platform/system_paths.h"

#include <map>
#include <string>

namespace sim {

// What Windows keeps with a file besides its bytes.
struct Protection {
  std::string rules;         // stands for an access list
  bool rulesReadable = true; // false: reading the rules is denied
  bool writable = true;      // false: writing is denied, deleting allowed
  bool hidden = false;
  bool system = false;
  bool operator==(const Protection &other) const {
    return rules == other.rules && rulesReadable == other.rulesReadable &&
           writable == other.writable && hidden == other.hidden && system == other.system;
  }
};

class SimFiles : public platform::Files {
public:
  explicit SimFiles(FaultPlan &faults) : faults_(faults) {}

  platform::OpenStatus openForReading(const std::string &path, platform::FileHandle *file) override;
  bool read(platform::FileHandle file, char *buffer, std::size_t size, std::size_t *got) override;
  void closeRead(platform::FileHandle file) override;
  bool lockChanges(unsigned timeoutMs) override;
  void unlockChanges() override;
  bool listNames(const std::string &directory, const std::string &prefix,
                 std::vector<std::string> *names) override;
  bool remove(const std::string &path) override;
  bool createTemporary(const std::string &prefix, const std::string &suffix, std::string *path,
                       platform::FileHandle *file) override;
  bool write(platform::FileHandle file, const std::string &bytes) override;
  bool flush(platform::FileHandle file) override;
  bool mayWrite(const std::string &path) override;
  bool copyProtection(const std::string &path, platform::FileHandle file) override;
  bool replace(platform::FileHandle file, const std::string &target) override;
  void closeWritten(platform::FileHandle file) override;
  void discard(platform::FileHandle file) override;
  // A regular file; names beginning with a dot count as hidden.
  bool isNormalFile(const std::string &utf8Path) override;

  void protect(const std::string &path, const Protection &protection);
  Protection protectionOf(const std::string &path) const;
  // Another copy of the program holds the change lock.
  void holdChangesElsewhere(bool held) { heldElsewhere_ = held; }
  bool changesLocked() const { return locked_; }

private:
  FaultPlan &faults_;
  unsigned counter_ = 0;
  bool locked_ = false;
  bool heldElsewhere_ = false;
  std::map<std::string, Protection> protections_;       // by host path
  std::map<platform::FileHandle, std::string> written_; // open written files' host paths
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
