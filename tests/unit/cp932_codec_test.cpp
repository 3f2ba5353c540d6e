#include "platform/sim/cp932_codec.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp932Codec, ConvertsJapaneseBothWays) {
  sim::Cp932Codec codec;
  EXPECT_EQ(codec.toAnsi("パス"), std::optional<std::string>("\x83\x70\x83\x58"));
  EXPECT_EQ(codec.toAnsi("ｷｬﾝｾﾙ"), std::optional<std::string>("\xB7\xAC\xDD\xBE\xD9"));
  EXPECT_EQ(codec.toAnsi("～"),
            std::optional<std::string>("\x81\x60")); // CP932, not plain Shift-JIS
  EXPECT_EQ(codec.fromAnsi("\x83\x70\x83\x58"), std::optional<std::string>("パス"));
  EXPECT_EQ(codec.toAnsi(""), std::optional<std::string>(""));
  EXPECT_EQ(codec.toAnsi("C:\\WINDOWS"), std::optional<std::string>("C:\\WINDOWS"));
}

TEST(Cp932Codec, RefusesWhatItCannotHoldExactly) {
  sim::Cp932Codec codec;
  EXPECT_EQ(codec.toAnsi("a\xF0\x9F\x98\x80"), std::nullopt); // U+1F600
  EXPECT_EQ(codec.toAnsi("\xC3\xA9"), std::nullopt);          // é has no CP932 form
  EXPECT_EQ(codec.toAnsi("\xFF"), std::nullopt);              // not UTF-8
  EXPECT_EQ(codec.fromAnsi("\x83"), std::nullopt);            // half a character
  EXPECT_EQ(codec.fromAnsi("\x81\x20"), std::nullopt);        // invalid trail byte
}

} // namespace
