#include "platform/sim/sim_shell.h"

#include "platform/sim/sim_files.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <sys/stat.h>

namespace sim {
namespace {

constexpr std::intptr_t kOpened = 42;
constexpr std::intptr_t kFileNotFound = 2; // SE_ERR_FNF

bool sameIgnoringCase(const std::string &a, const std::string &b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// A regular file in the directory whose name matches without regard to case.
bool fileExistsIgnoringCase(const std::string &path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return false;
  const std::string directory = path.substr(0, slash), name = path.substr(slash + 1);
  DIR *listing = ::opendir(directory.empty() ? "/" : directory.c_str());
  if (!listing)
    return false;
  bool found = false;
  while (const dirent *entry = ::readdir(listing)) {
    struct stat info {};
    if (sameIgnoringCase(entry->d_name, name) &&
        ::stat((directory + "/" + entry->d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      found = true;
      break;
    }
  }
  ::closedir(listing);
  return found;
}

} // namespace

std::intptr_t SimShell::open(platform::WindowHandle parent, const std::string &file,
                             const std::string &directory, int show) {
  requests.push_back({parent, file, directory, show});
  if (faults_.check("ShellExecute"))
    return kFileNotFound;
  if (answer_)
    return *answer_;
  return fileExistsIgnoringCase(hostPath(file)) ? kOpened : kFileNotFound;
}

} // namespace sim
