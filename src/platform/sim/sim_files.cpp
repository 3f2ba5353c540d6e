#include "platform/sim/sim_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {
namespace {

int fd(platform::FileHandle file) { return static_cast<int>(file); }

} // namespace

std::string hostPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

platform::OpenStatus SimFiles::openForReading(const std::string &path, platform::FileHandle *file) {
  if (faults_.check("CreateFile(read)"))
    return platform::OpenStatus::Failed;
  const int handle = ::open(hostPath(path).c_str(), O_RDONLY);
  if (handle < 0)
    return errno == ENOENT ? platform::OpenStatus::NotFound : platform::OpenStatus::Failed;
  *file = static_cast<platform::FileHandle>(handle);
  return platform::OpenStatus::Opened;
}

bool SimFiles::read(platform::FileHandle file, char *buffer, std::size_t size, std::size_t *got) {
  if (faults_.check("ReadFile"))
    return false;
  const ssize_t count = ::read(fd(file), buffer, size);
  if (count < 0)
    return false;
  *got = static_cast<std::size_t>(count);
  return true;
}

void SimFiles::closeRead(platform::FileHandle file) {
  faults_.check("CloseHandle(read)");
  ::close(fd(file));
}

bool SimFiles::lockChanges(unsigned /*timeoutMs*/) {
  if (faults_.check("WaitForSingleObject(change lock)") || heldElsewhere_)
    return false;
  locked_ = true;
  return true;
}

void SimFiles::unlockChanges() {
  faults_.check("ReleaseMutex");
  locked_ = false;
}

bool SimFiles::listNames(const std::string &directory, const std::string &prefix,
                         std::vector<std::string> *names) {
  if (faults_.check("FindFirstFile"))
    return false;
  DIR *listing = ::opendir(hostPath(directory).c_str());
  if (!listing)
    return false;
  while (const dirent *entry = ::readdir(listing))
    if (::strncasecmp(entry->d_name, prefix.c_str(), prefix.size()) == 0) // as Windows matches
      names->push_back(entry->d_name);
  ::closedir(listing);
  return true;
}

bool SimFiles::remove(const std::string &path) {
  if (faults_.check("DeleteFile"))
    return false;
  protections_.erase(hostPath(path));
  return ::unlink(hostPath(path).c_str()) == 0;
}

bool SimFiles::createTemporary(const std::string &prefix, const std::string &suffix,
                               std::string *path, platform::FileHandle *file) {
  if (faults_.check("CreateFile(temporary)"))
    return false;
  const std::string name =
      prefix + std::to_string(::getpid()) + "." + std::to_string(++counter_) + suffix;
  const int handle = ::open(hostPath(name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (handle < 0)
    return false;
  *path = name;
  *file = static_cast<platform::FileHandle>(handle);
  written_[*file] = hostPath(name);
  return true;
}

bool SimFiles::write(platform::FileHandle file, const std::string &bytes) {
  if (faults_.check("WriteFile"))
    return false;
  return ::write(fd(file), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

bool SimFiles::flush(platform::FileHandle file) {
  if (faults_.check("FlushFileBuffers"))
    return false;
  return ::fsync(fd(file)) == 0;
}

bool SimFiles::mayWrite(const std::string &path) {
  if (faults_.check("CreateFile(write check)"))
    return false;
  // Windows refuses to write a read-only file; root on Linux would not.
  struct stat info {};
  if (::stat(hostPath(path).c_str(), &info) != 0)
    return errno == ENOENT;
  return (info.st_mode & S_IWUSR) && protectionOf(path).writable;
}

bool SimFiles::copyProtection(const std::string &path, platform::FileHandle file) {
  if (faults_.check("GetKernelObjectSecurity"))
    return false;
  struct stat info {};
  if (::stat(hostPath(path).c_str(), &info) != 0)
    return errno == ENOENT;
  const Protection protection = protectionOf(path);
  if (!protection.rulesReadable)
    return false;
  protections_[written_.at(file)] = protection;
  return true;
}

bool SimFiles::replace(platform::FileHandle file, const std::string &target) {
  if (faults_.check("SetFileInformationByHandle(rename)"))
    return false;
  const std::string source = written_.at(file);
  if (::rename(source.c_str(), hostPath(target).c_str()) != 0)
    return false;
  const auto protection = protections_.find(source);
  if (protection == protections_.end())
    protections_.erase(hostPath(target));
  else
    protections_[hostPath(target)] = protection->second;
  protections_.erase(source);
  written_[file] = hostPath(target);
  return true;
}

void SimFiles::closeWritten(platform::FileHandle file) {
  faults_.check("CloseHandle(written)");
  written_.erase(file);
  ::close(fd(file));
}

void SimFiles::discard(platform::FileHandle file) {
  if (!faults_.check("SetFileInformationByHandle(delete)")) {
    protections_.erase(written_.at(file));
    ::unlink(written_.at(file).c_str());
  }
  written_.erase(file);
  ::close(fd(file));
}

bool SimFiles::isNormalFile(const std::string &utf8Path) {
  if (faults_.check("GetFileAttributes"))
    return false;
  const std::string host = hostPath(utf8Path);
  const std::size_t slash = host.rfind('/');
  const std::string name = slash == std::string::npos ? host : host.substr(slash + 1);
  struct stat info {};
  return !name.empty() && name[0] != '.' && ::stat(host.c_str(), &info) == 0 &&
         S_ISREG(info.st_mode);
}

void SimFiles::protect(const std::string &path, const Protection &protection) {
  protections_[hostPath(path)] = protection;
}

Protection SimFiles::protectionOf(const std::string &path) const {
  const auto found = protections_.find(hostPath(path));
  return found == protections_.end() ? Protection{} : found->second;
}

unsigned SimSystemPaths::windowsDirectory(char *buffer, unsigned size) {
  if (faults_.check("GetWindowsDirectory"))
    return 0;
  const auto length = static_cast<unsigned>(windowsDirectory_.size());
  if (length + 1 > size)
    return length + 1;
  std::memcpy(buffer, windowsDirectory_.c_str(), length + 1);
  return length;
}

} // namespace sim
