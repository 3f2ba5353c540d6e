#pragma once
// A Windows code page, refusing best-fit and default characters.
#include "platform/ansi_codec.h"

namespace platform::win32 {

class Win32AnsiCodec : public AnsiCodec {
public:
  // The program passes the system's ANSI code page, GetACP(): the flags the
  // conversions may use depend on which page that is.
  explicit Win32AnsiCodec(unsigned codePage) : codePage_(codePage) {}
  std::optional<std::string> toAnsi(const std::string &utf8) const override;
  std::optional<std::string> fromAnsi(const std::string &ansi) const override;

private:
  unsigned codePage_;
};

} // namespace platform::win32
