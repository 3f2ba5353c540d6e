// libFuzzer target for the password file's reader and writer: any bytes
// read as a password file give a password or "unreadable", never a crash,
// and any field the writer produces reads back as the password it was given.
#include "password/password_format.h"
#include "platform/sim/cp932_codec.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const sim::Cp932Codec codec;
  const std::string bytes(reinterpret_cast<const char *>(data), size);

  const auto password = password::decodePassword(password::firstLine(bytes), codec);
  if (password && password->find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
    std::abort(); // a password never spans lines

  if (const auto field = password::encodeField(bytes)) {
    if (password::firstField(*field) != bytes || field->find_first_of("\r\n") != std::string::npos)
      std::abort();
  }
  return 0;
}
