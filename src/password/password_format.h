#pragma once
// The password file's one line: the password as the first comma-separated
// field, in the ANSI code page (or UTF-8 after a byte-order mark).
#include "platform/ansi_codec.h"

#include <optional>
#include <string>
#include <string_view>

namespace password {

// The longest first line, CR LF not counted, that the store writes and
// reads: one limit, so that it never writes what it would refuse to read.
// Far beyond any typed password, and as long as files ever read.
constexpr std::size_t kMaxLineBytes = std::size_t{4} * 1024 * 1024;

// The bytes before the first CR or LF.
std::string_view firstLine(std::string_view bytes);

// The first field of a line: leading spaces and tabs are skipped; a field
// that begins with a double quote runs to the next one (or the end of the
// line) and the rest is ignored; otherwise it runs to the first comma, and
// its trailing blanks are kept.
std::string firstField(std::string_view line);

// The password that a file's first line holds, or nullopt when its bytes
// can't be decoded: then the file counts as unreadable.
std::optional<std::string> decodePassword(std::string_view lineBytes,
                                          const platform::AnsiCodec &codec);

// The field that reads back as exactly this password (quoted where a comma
// or outer blanks need it), or nullopt when no field can.
std::optional<std::string> encodeField(const std::string &password);

} // namespace password
