#include "platform/win32/win32_ansi_codec.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using platform::win32::Win32AnsiCodec;

constexpr unsigned kShiftJis = 932;
constexpr unsigned kUtf8 = 65001;
constexpr unsigned kUtf7 = 65000;
constexpr char kUnpairedSurrogate[] = "\xED\xA0\x80"; // U+D800 written as UTF-8

TEST(WineBench, RunsWithTheJapaneseAnsiCodePage) { ASSERT_EQ(GetACP(), 932u); }

TEST(Win32AnsiCodec, ConvertsJapaneseBothWays) {
  Win32AnsiCodec codec(kShiftJis);
  EXPECT_EQ(codec.toAnsi("パス"), std::optional<std::string>("\x83\x70\x83\x58"));
  EXPECT_EQ(codec.toAnsi("ｷｬﾝｾﾙ"), std::optional<std::string>("\xB7\xAC\xDD\xBE\xD9"));
  EXPECT_EQ(codec.fromAnsi("\x83\x70\x83\x58"), std::optional<std::string>("パス"));
  EXPECT_EQ(codec.toAnsi(""), std::optional<std::string>(""));
}

TEST(Win32AnsiCodec, RefusesBestFitAndDefaultCharacters) {
  Win32AnsiCodec codec(kShiftJis);
  EXPECT_EQ(codec.toAnsi("a\xF0\x9F\x98\x80"), std::nullopt); // U+1F600
  EXPECT_EQ(codec.toAnsi("\xC3\xA9"), std::nullopt);          // é would best-fit to e
  EXPECT_EQ(codec.toAnsi("?"), std::optional<std::string>("?"));
  EXPECT_EQ(codec.toAnsi("\xFF"), std::nullopt);
  EXPECT_EQ(codec.toAnsi(kUnpairedSurrogate), std::nullopt);
  EXPECT_EQ(codec.fromAnsi("\x83"), std::nullopt);
}

// On the UTF-8 system code page every character round-trips, those that
// Shift-JIS refuses included.
TEST(Win32AnsiCodec, Utf8CodePageKeepsWhatShiftJisRefuses) {
  const Win32AnsiCodec utf8(kUtf8);
  const Win32AnsiCodec shiftJis(kShiftJis);
  for (const std::string text : {"\xC3\xA9t\xC3\xA9", "a\xF0\x9F\x98\x80", "한글"}) {
    EXPECT_EQ(shiftJis.toAnsi(text), std::nullopt) << text;
    EXPECT_EQ(utf8.toAnsi(text), text);
    EXPECT_EQ(utf8.fromAnsi(text), text);
  }
  EXPECT_EQ(utf8.toAnsi("パス ｷｬﾝｾﾙ"), std::optional<std::string>("パス ｷｬﾝｾﾙ"));
  EXPECT_EQ(utf8.toAnsi(""), std::optional<std::string>(""));
}

TEST(Win32AnsiCodec, Utf8CodePageRefusesUnpairedSurrogatesAndBrokenBytes) {
  const Win32AnsiCodec utf8(kUtf8);
  EXPECT_EQ(utf8.toAnsi(kUnpairedSurrogate), std::nullopt);
  EXPECT_EQ(utf8.fromAnsi(kUnpairedSurrogate), std::nullopt);
  EXPECT_EQ(utf8.fromAnsi("\x83\x70\x83\x58"), std::nullopt); // Shift-JIS bytes
  EXPECT_EQ(utf8.fromAnsi("\xE3\x83"), std::nullopt);         // cut short
  EXPECT_EQ(utf8.fromAnsi("\xC0\xAF"), std::nullopt);         // overlong '/'
}

// UTF-7 takes no conversion flags at all, and Wine refuses them as Windows
// does: exactness rests on the round trip alone.
TEST(Win32AnsiCodec, FlaglessCodePageConvertsExactlyOrRefuses) {
  const Win32AnsiCodec utf7(kUtf7);
  EXPECT_EQ(utf7.toAnsi("a\xC3\xA9"), std::optional<std::string>("a+AOk-"));
  EXPECT_EQ(utf7.fromAnsi("a+AOk-"), std::optional<std::string>("a\xC3\xA9"));
  EXPECT_EQ(utf7.fromAnsi("+2AA-"), std::nullopt); // an unpaired surrogate
  EXPECT_EQ(utf7.fromAnsi("\xE9"), std::nullopt);  // not UTF-7
}

} // namespace
