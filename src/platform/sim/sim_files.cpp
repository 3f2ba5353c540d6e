#include "platform/sim/sim_files.h"

#include <algorithm>
#include <sys/stat.h>

namespace sim {

std::string hostPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
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

} // namespace sim
