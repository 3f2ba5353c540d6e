#include "password/password_format.h"
#include "platform/sim/cp932_codec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using password::decodePassword;
using password::encodeField;
using password::firstField;
using password::firstLine;

TEST(PasswordFormat, FirstLineEndsAtCrOrLf) {
  EXPECT_EQ(firstLine("abc\r\ndef"), "abc");
  EXPECT_EQ(firstLine("abc\ndef"), "abc");
  EXPECT_EQ(firstLine("abc\rdef"), "abc");
  EXPECT_EQ(firstLine("abc"), "abc");
  EXPECT_EQ(firstLine("\r\n"), "");
}

TEST(PasswordFormat, FirstFieldFollowsCommaSeparatedRules) {
  EXPECT_EQ(firstField("secret"), "secret");
  EXPECT_EQ(firstField("two words"), "two words");
  EXPECT_EQ(firstField("first,second"), "first");
  EXPECT_EQ(firstField("\"a,b\",c"), "a,b");
  EXPECT_EQ(firstField("  \t lead"), "lead");
  EXPECT_EQ(firstField("trail  ,x"), "trail  ");
  EXPECT_EQ(firstField("\"quoted\"ignored"), "quoted");
  EXPECT_EQ(firstField("\"never closes, at all"), "never closes, at all");
  EXPECT_EQ(firstField("a\"b"), "a\"b");
  EXPECT_EQ(firstField(""), "");
}

TEST(PasswordFormat, DecodesCp932AndUtf8AfterABom) {
  sim::Cp932Codec codec;
  EXPECT_EQ(decodePassword("\x83\x70\x83\x58", codec), std::optional<std::string>("パス"));
  EXPECT_EQ(decodePassword("\xEF\xBB\xBF\xE3\x83\x91\xE3\x82\xB9", codec),
            std::optional<std::string>("パス"));
  EXPECT_EQ(decodePassword("", codec), std::optional<std::string>(""));
}

TEST(PasswordFormat, UndecodableBytesAreNoPassword) {
  sim::Cp932Codec codec;
  EXPECT_EQ(decodePassword("ab\x83", codec), std::nullopt);               // half a character
  EXPECT_EQ(decodePassword(std::string("a\0b", 3), codec), std::nullopt); // NUL
  EXPECT_EQ(decodePassword("\xEF\xBB\xBF\xFF", codec), std::nullopt);     // BOM, then not UTF-8
  EXPECT_EQ(decodePassword("\xEF\xBB\xBF\xC0\xAF", codec), std::nullopt); // overlong
  EXPECT_EQ(decodePassword("\xEF\xBB\xBF\xED\xA0\x80", codec), std::nullopt)
      << "a surrogate, which no UTF-8 may carry";
  EXPECT_EQ(decodePassword("\xEF\xBB\xBF\xED\x9F\xBF", codec),
            std::optional<std::string>("\xED\x9F\xBF"))
      << "U+D7FF, the last character before them";
}

TEST(PasswordFormat, EncodedFieldsReadBackExactly) {
  for (const std::string &password :
       std::vector<std::string>{"", "secret", "two words", "a,b", " lead", "trail ", "\tboth\t",
                                "a\"b", "パスワード", std::string(10000, 'x')}) {
    const auto field = encodeField(password);
    ASSERT_TRUE(field) << password;
    EXPECT_EQ(firstField(*field), password);
  }
  EXPECT_EQ(encodeField("secret"), std::optional<std::string>("secret")) << "no quotes needed";
  EXPECT_EQ(encodeField("a,b"), std::optional<std::string>("\"a,b\""));
  EXPECT_EQ(encodeField("trail "), std::optional<std::string>("\"trail \""))
      << "a blank at either end is kept by quotes, as help.htm says";
  EXPECT_EQ(encodeField("\tlead"), std::optional<std::string>("\"\tlead\""));
}

TEST(PasswordFormat, PasswordsNoFieldCanHoldAreRefused) {
  for (const std::string &password :
       std::vector<std::string>{"\"lead", "a,\"b", " a\"", "a\" ", "line\r\nbreak", "cr\rx",
                                "lf\nx", std::string("n\0l", 3)})
    EXPECT_EQ(encodeField(password), std::nullopt) << password;
}

} // namespace
