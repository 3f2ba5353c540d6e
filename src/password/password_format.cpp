#include "password/password_format.h"

namespace password {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Well-formed UTF-8 without NUL, overlong forms or surrogates.
bool isCleanUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int length = 0;
    std::uint32_t code = 0;
    if (lead == 0)
      return false;
    if (lead < 0x80) {
      ++i;
      continue;
    }
    if ((lead & 0xE0) == 0xC0)
      length = 2, code = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0)
      length = 3, code = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0)
      length = 4, code = lead & 0x07;
    else
      return false;
    if (i + static_cast<std::size_t>(length) > text.size())
      return false;
    for (int k = 1; k < length; ++k) {
      const auto trail = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((trail & 0xC0) != 0x80)
        return false;
      code = (code << 6) | (trail & 0x3F);
    }
    constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += static_cast<std::size_t>(length);
  }
  return true;
}

} // namespace

std::string_view firstLine(std::string_view bytes) {
  return bytes.substr(0, bytes.find_first_of("\r\n"));
}

std::string firstField(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && isBlank(line[start]))
    ++start;
  line.remove_prefix(start);
  if (!line.empty() && line.front() == '"') {
    line.remove_prefix(1);
    return std::string(line.substr(0, line.find('"')));
  }
  return std::string(line.substr(0, line.find(',')));
}

std::optional<std::string> decodePassword(std::string_view lineBytes,
                                          const platform::AnsiCodec &codec) {
  std::optional<std::string> text;
  if (lineBytes.substr(0, kUtf8Bom.size()) == kUtf8Bom)
    text = std::string(lineBytes.substr(kUtf8Bom.size()));
  else
    text = codec.fromAnsi(std::string(lineBytes));
  if (!text || !isCleanUtf8(*text))
    return std::nullopt;
  return firstField(*text);
}

std::optional<std::string> encodeField(const std::string &password) {
  if (password.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
    return std::nullopt;
  const bool needsQuotes =
      password.find(',') != std::string::npos ||
      (!password.empty() && (isBlank(password.front()) || isBlank(password.back())));
  std::string field = needsQuotes ? '"' + password + '"' : password;
  // The reader is the judge: what it wouldn't give back unchanged (a leading
  // quote, or a quote inside a quoted field) can't be stored.
  if (firstField(field) != password)
    return std::nullopt;
  return field;
}

} // namespace password
