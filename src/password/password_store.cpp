#include "password/password_store.h"

#include "password/password_format.h"

#include <cstring>

namespace password {
namespace {

constexpr unsigned kWinDirBufferSize = 256;
constexpr char kFileName[] = "\\vantorel.P01";
// Temporary files are named prefix + something + suffix, so that what a
// killed change left is easy to find and to tell from anyone else's files.
constexpr char kTemporaryPrefix[] = "vantorel.P01.";
constexpr char kTemporarySuffix[] = ".tmp";
constexpr std::size_t kReadChunk = std::size_t{64} * 1024;
// Long enough for a scanner's look at the file, short enough not to keep a
// person waiting at the dialog.
constexpr unsigned kChangeLockWaitMs = 1000;

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows compares names without regard to case.
bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i]))
      return false;
  return true;
}

bool isTemporaryName(std::string_view name) {
  const std::size_t prefix = std::strlen(kTemporaryPrefix), suffix = std::strlen(kTemporarySuffix);
  return name.size() > prefix + suffix &&
         sameIgnoringCase(name.substr(0, prefix), kTemporaryPrefix) &&
         sameIgnoringCase(name.substr(name.size() - suffix), kTemporarySuffix);
}

} // namespace

std::optional<std::string> fncGetWinDir(platform::SystemPaths &paths,
                                        const platform::AnsiCodec &codec) {
  char buffer[kWinDirBufferSize] = {};
  const unsigned length = paths.windowsDirectory(buffer, kWinDirBufferSize);
  if (length == 0 || length >= kWinDirBufferSize)
    return std::nullopt;
  return codec.fromAnsi(std::string(buffer, length));
}

std::optional<std::string> PasswordStore::filePath() {
  const auto directory = fncGetWinDir(paths_, codec_);
  if (!directory)
    return std::nullopt;
  return codec_.toAnsi(*directory + kFileName);
}

std::optional<std::string> PasswordStore::getPasswd() {
  const auto path = filePath();
  if (!path)
    return std::nullopt;
  const auto line = readFirstLine(*path);
  if (!line)
    return std::nullopt;
  return decodePassword(*line, codec_);
}

// The first line's bytes; empty for a missing file, nullopt when unreadable
// or longer than the limit. Only what was just read is searched for the line
// end, so a long line costs its length, not its square.
std::optional<std::string> PasswordStore::readFirstLine(const std::string &path) {
  platform::FileHandle file = 0;
  switch (files_.openForReading(path, &file)) {
  case platform::OpenStatus::NotFound:
    return std::string();
  case platform::OpenStatus::Failed:
    return std::nullopt;
  case platform::OpenStatus::Opened:
    break;
  }
  std::string bytes;
  std::size_t lineEnd = std::string::npos;
  std::size_t got = 0;
  bool ok = true;
  while (lineEnd == std::string::npos && bytes.size() <= kMaxLineBytes) {
    const std::size_t searched = bytes.size();
    bytes.resize(searched + kReadChunk);
    ok = files_.read(file, &bytes[searched], kReadChunk, &got);
    bytes.resize(searched + (ok ? got : 0));
    if (!ok || got == 0)
      break;
    lineEnd = bytes.find_first_of("\r\n", searched);
  }
  files_.closeRead(file);
  const std::size_t lineLength = lineEnd == std::string::npos ? bytes.size() : lineEnd;
  if (!ok || lineLength > kMaxLineBytes)
    return std::nullopt;
  bytes.resize(lineLength);
  return bytes;
}

ChangeLock PasswordStore::lockChanges() {
  return ChangeLock(files_.lockChanges(kChangeLockWaitMs) ? &files_ : nullptr);
}

bool PasswordStore::putPasswd(const std::string &strPasswd) {
  const auto directory = fncGetWinDir(paths_, codec_);
  const auto field = encodeField(strPasswd);
  if (!directory || !field)
    return false;
  const auto ansiDirectory = codec_.toAnsi(*directory);
  const auto target = codec_.toAnsi(*directory + kFileName);
  const auto line = codec_.toAnsi(*field);
  if (!ansiDirectory || !target || !line || line->size() > kMaxLineBytes)
    return false;
  removeLeftovers(*ansiDirectory);
  return writeReplacing(*ansiDirectory, *target, *line + "\r\n");
}

// Under the change lock, a temporary file is what a change that was cut
// short left behind: a password in plain text that was never stored.
void PasswordStore::removeLeftovers(const std::string &directory) {
  std::vector<std::string> names;
  if (!files_.listNames(directory, kTemporaryPrefix, &names))
    return;
  const std::string folder = directory + '\\';
  for (const std::string &name : names)
    if (isTemporaryName(name))
      files_.remove(folder + name);
}

// Writes a new file beside the old one and puts it in the old one's place,
// with the old one's protection, only when every step worked, so a failure
// never leaves a half password or a stray copy of one.
bool PasswordStore::writeReplacing(const std::string &directory, const std::string &target,
                                   const std::string &content) {
  if (!files_.mayWrite(target))
    return false;
  std::string temporary;
  platform::FileHandle file = 0;
  if (!files_.createTemporary(directory + "\\" + kTemporaryPrefix, kTemporarySuffix, &temporary,
                              &file))
    return false;
  // The protection first: a change killed later leaves a temporary that is
  // locked down as the password file is, not one any user may read.
  if (files_.copyProtection(target, file) && files_.write(file, content) && files_.flush(file) &&
      files_.replace(file, target)) {
    files_.closeWritten(file);
    return true;
  }
  files_.discard(file);
  return false;
}

} // namespace password
