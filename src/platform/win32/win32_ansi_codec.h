#pragma once
// The system ANSI code page (CP_ACP), refusing best-fit and default characters.
#include "platform/ansi_codec.h"

namespace platform::win32 {

class Win32AnsiCodec : public AnsiCodec {
public:
  std::optional<std::string> toAnsi(const std::string &utf8) const override;
  std::optional<std::string> fromAnsi(const std::string &ansi) const override;
};

} // namespace platform::win32
