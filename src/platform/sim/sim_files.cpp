#include "platform/sim/sim_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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

bool SimFiles::createTemporary(const std::string &directory, std::string *path,
                               platform::FileHandle *file) {
  if (faults_.check("CreateFile(temporary)"))
    return false;
  const std::string name = directory + "\\vantorel.P01." + std::to_string(::getpid()) + "." +
                           std::to_string(++counter_) + ".tmp";
  const int handle = ::open(hostPath(name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (handle < 0)
    return false;
  *path = name;
  *file = static_cast<platform::FileHandle>(handle);
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

bool SimFiles::closeWritten(platform::FileHandle file) {
  const bool fault = faults_.check("CloseHandle(written)") != 0;
  return ::close(fd(file)) == 0 && !fault;
}

bool SimFiles::replace(const std::string &source, const std::string &target) {
  if (faults_.check("MoveFileEx"))
    return false;
  // Windows refuses to replace a read-only file; root on Linux would not.
  struct stat info {};
  if (::stat(hostPath(target).c_str(), &info) == 0 && !(info.st_mode & S_IWUSR))
    return false;
  return ::rename(hostPath(source).c_str(), hostPath(target).c_str()) == 0;
}

bool SimFiles::remove(const std::string &path) {
  faults_.check("DeleteFile");
  return ::unlink(hostPath(path).c_str()) == 0;
}

bool SimFiles::isNormalFile(const std::string &path) {
  if (faults_.check("GetFileAttributes"))
    return false;
  const std::string host = hostPath(path);
  const std::size_t slash = host.rfind('/');
  const std::string name = slash == std::string::npos ? host : host.substr(slash + 1);
  struct stat info {};
  return !name.empty() && name[0] != '.' && ::stat(host.c_str(), &info) == 0 &&
         S_ISREG(info.st_mode);
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
