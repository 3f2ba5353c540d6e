#pragma once
// The ANSI codec of a Japanese Windows, for hosts without Windows: CP932
// through iconv, refusing what CP932 can't hold.
#include "platform/ansi_codec.h"

namespace sim {

class Cp932Codec : public platform::AnsiCodec {
public:
  std::optional<std::string> toAnsi(const std::string &utf8) const override;
  std::optional<std::string> fromAnsi(const std::string &ansi) const override;
};

} // namespace sim
