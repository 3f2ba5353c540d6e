#include "password/password_store.h"

#include "password/password_format.h"

namespace password {
namespace {

constexpr unsigned kWinDirBufferSize = 256;
constexpr char kFileName[] = "\\vantorel.P01";
// A first line longer than this is no password file of ours.
constexpr std::size_t kMaxLineBytes = std::size_t{4} * 1024 * 1024;

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

// The first line's bytes; empty for a missing file, nullopt when unreadable.
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
  char chunk[4096];
  std::size_t got = 0;
  bool ok = true;
  while ((ok = files_.read(file, chunk, sizeof chunk, &got)) && got > 0) {
    bytes.append(chunk, got);
    if (bytes.find_first_of("\r\n") != std::string::npos)
      break;
    if (bytes.size() > kMaxLineBytes) {
      ok = false;
      break;
    }
  }
  files_.closeRead(file);
  if (!ok)
    return std::nullopt;
  return std::string(firstLine(bytes));
}

bool PasswordStore::putPasswd(const std::string &strPasswd) {
  const auto directory = fncGetWinDir(paths_, codec_);
  const auto field = encodeField(strPasswd);
  if (!directory || !field)
    return false;
  const auto ansiDirectory = codec_.toAnsi(*directory);
  const auto target = codec_.toAnsi(*directory + kFileName);
  const auto content = codec_.toAnsi(*field + "\r\n");
  if (!ansiDirectory || !target || !content)
    return false;
  return writeReplacing(*ansiDirectory, *target, *content);
}

// Writes a new file beside the old one and puts it in the old one's place
// only when every step worked, so a failure never leaves a half password.
bool PasswordStore::writeReplacing(const std::string &directory, const std::string &target,
                                   const std::string &content) {
  std::string temporary;
  platform::FileHandle file = 0;
  if (!files_.createTemporary(directory, &temporary, &file))
    return false;
  const bool written = files_.write(file, content) && files_.flush(file);
  const bool closed = files_.closeWritten(file);
  if (written && closed && files_.replace(temporary, target))
    return true;
  files_.remove(temporary);
  return false;
}

} // namespace password
