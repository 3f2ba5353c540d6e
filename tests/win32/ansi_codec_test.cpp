#include "platform/win32/win32_ansi_codec.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(WineBench, RunsWithTheJapaneseAnsiCodePage) { ASSERT_EQ(GetACP(), 932u); }

TEST(Win32AnsiCodec, ConvertsJapaneseBothWays) {
  platform::win32::Win32AnsiCodec codec;
  EXPECT_EQ(codec.toAnsi("パス"), std::optional<std::string>("\x83\x70\x83\x58"));
  EXPECT_EQ(codec.toAnsi("ｷｬﾝｾﾙ"), std::optional<std::string>("\xB7\xAC\xDD\xBE\xD9"));
  EXPECT_EQ(codec.fromAnsi("\x83\x70\x83\x58"), std::optional<std::string>("パス"));
  EXPECT_EQ(codec.toAnsi(""), std::optional<std::string>(""));
}

TEST(Win32AnsiCodec, RefusesBestFitAndDefaultCharacters) {
  platform::win32::Win32AnsiCodec codec;
  EXPECT_EQ(codec.toAnsi("a\xF0\x9F\x98\x80"), std::nullopt); // U+1F600
  EXPECT_EQ(codec.toAnsi("\xC3\xA9"), std::nullopt);          // é would best-fit to e
  EXPECT_EQ(codec.toAnsi("?"), std::optional<std::string>("?"));
  EXPECT_EQ(codec.toAnsi("\xFF"), std::nullopt);
  EXPECT_EQ(codec.fromAnsi("\x83"), std::nullopt);
}

} // namespace
