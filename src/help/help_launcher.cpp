#include "help/help_launcher.h"

#include "help/help_texts.h"

#include <vector>

namespace help {
namespace {

constexpr int kShellSuccessAbove = 32;
constexpr char kWorkingDirectory[] = "c:\\";
constexpr std::size_t kMaxCharacters = 32767;

// Splits UTF-8 into characters, each kept as its bytes, so that positions
// count characters as the user sees them.
std::vector<std::string> characters(const std::string &text) {
  std::vector<std::string> result;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    while (i + length < text.size() &&
           (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
      ++length;
    result.push_back(text.substr(i, length));
    i += length;
  }
  return result;
}

} // namespace

std::int16_t findNth(const std::string &text, const std::string &pattern, std::int16_t n) {
  const auto haystack = characters(text);
  const auto needle = characters(pattern);
  if (n <= 0 || haystack.size() > kMaxCharacters)
    return -1;
  int count = 0;
  for (std::size_t p = 0; p < haystack.size(); ++p) {
    if (p + needle.size() > haystack.size())
      break;
    bool matches = true;
    for (std::size_t k = 0; k < needle.size() && matches; ++k)
      matches = haystack[p + k] == needle[k];
    if (matches && ++count == n)
      return static_cast<std::int16_t>(p + 1);
  }
  return -1;
}

std::string programDirectory(platform::SystemPaths &paths) {
  std::string directory = paths.executableDirectory();
  if (!directory.empty() && directory.back() == '\\')
    directory.pop_back();
  return directory;
}

void HelpLauncher::showHelpDocument(platform::WindowHandle window, platform::WindowOps &ui) {
  const std::string directory = programDirectory(paths_);
  const std::string name = directory + "\\help";
  const std::string document = directory + "\\help.htm";
  if (!files_.isNormalFile(document)) {
    ui.messageBox(document + texts::kDocumentMissing, std::nullopt,
                  platform::MessageIcon::Exclamation);
    return;
  }
  openHelpDocument(window, name, ui);
}

void HelpLauncher::openHelpDocument(platform::WindowHandle window, const std::string &name,
                                    platform::WindowOps &ui) {
  // A dot anywhere, the directory included, counts as an extension here;
  // the second attempt covers a dotted directory.
  const std::string target = findNth(name, ".", 1) < 0 ? name + ".HTM" : name;
  if (shellOpens(window, target) || shellOpens(window, name + ".HTM"))
    return;
  ui.messageBox(texts::kNoBrowser, std::nullopt, platform::MessageIcon::Exclamation);
}

bool HelpLauncher::shellOpens(platform::WindowHandle window, const std::string &target) {
  return shell_.open(window, target, kWorkingDirectory, platform::kShowNormal) > kShellSuccessAbove;
}

void HelpLauncher::showVersion(platform::WindowOps &ui) {
  ui.messageBox(texts::kVersionPrompt, std::string(texts::kVersionTitle),
                platform::MessageIcon::Information);
}

} // namespace help
