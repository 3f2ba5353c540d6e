#include "platform/sim/cp932_codec.h"

#include <cerrno>
#include <iconv.h>
#include <vector>

namespace sim {
namespace {

std::optional<std::string> convert(const char *to, const char *from, const std::string &text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    return std::nullopt;
  std::vector<char> out(text.size() * 4 + 4);
  char *in = const_cast<char *>(text.data());
  std::size_t inLeft = text.size();
  char *outPtr = out.data();
  std::size_t outLeft = out.size();
  // Without //TRANSLIT or //IGNORE iconv stops at the first character it
  // can't convert exactly, which is what we want.
  const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1) || rc != 0 || inLeft != 0)
    return std::nullopt;
  return std::string(out.data(), outPtr);
}

} // namespace

std::optional<std::string> Cp932Codec::toAnsi(const std::string &utf8) const {
  return convert("CP932", "UTF-8", utf8);
}

std::optional<std::string> Cp932Codec::fromAnsi(const std::string &ansi) const {
  return convert("UTF-8", "CP932", ansi);
}

} // namespace sim
