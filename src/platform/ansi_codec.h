#pragma once
// Conversion between the program's UTF-8 strings and the system ANSI code
// page (Shift-JIS on Japanese Windows). A character that the other side
// can't hold exactly makes the conversion fail: nothing is ever replaced
// by '?' or a look-alike.
#include <optional>
#include <string>

namespace platform {

class AnsiCodec {
public:
  virtual ~AnsiCodec() = default;
  virtual std::optional<std::string> toAnsi(const std::string &utf8) const = 0;
  virtual std::optional<std::string> fromAnsi(const std::string &ansi) const = 0;
};

} // namespace platform
