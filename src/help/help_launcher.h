#pragma once
// The Help menu: the help document beside the program, opened through the
// shell, and the version box.
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/system_paths.h"
#include "platform/window_ops.h"

#include <cstdint>
#include <string>

namespace help {

// The 1-based position where the n-th occurrence of pattern begins in text,
// counted in characters, or -1; texts longer than 32767 characters give -1.
std::int16_t findNth(const std::string &text, const std::string &pattern, std::int16_t n);

// The program's directory without a trailing backslash ("D:" at a drive's root).
std::string programDirectory(platform::SystemPaths &paths);

class HelpLauncher {
public:
  HelpLauncher(platform::Shell &shell, platform::Files &files, platform::SystemPaths &paths)
      : shell_(shell), files_(files), paths_(paths) {}

  // Opens help.htm beside the program, or says what is missing.
  void showHelpDocument(platform::WindowHandle window, platform::WindowOps &ui);
  // Opens the document name (a path without extension, or with one)
  // through the shell, trying name + ".HTM" second; tells when neither opens.
  void openHelpDocument(platform::WindowHandle window, const std::string &name,
                        platform::WindowOps &ui);
  static void showVersion(platform::WindowOps &ui);

private:
  bool shellOpens(platform::WindowHandle window, const std::string &target);

  platform::Shell &shell_;
  platform::Files &files_;
  platform::SystemPaths &paths_;
};

} // namespace help
