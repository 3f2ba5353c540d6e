#include "platform/twips.h"

#include <gtest/gtest.h>

namespace {

// The main window's client area.
constexpr int kMainWidth = 3465;
constexpr int kMainHeight = 2115;

using platform::toPixels;
using platform::twipsToPixels;

TEST(Twips, FifteenTwipsMakeOnePixelAt96Dpi) {
  EXPECT_EQ(twipsToPixels(kMainWidth, 96), 231);
  EXPECT_EQ(twipsToPixels(kMainHeight, 96), 141);
  EXPECT_EQ(twipsToPixels(7, 96), 0);
  EXPECT_EQ(twipsToPixels(8, 96), 1) << "half a pixel rounds up";
}

TEST(Twips, ScalesWithDpi) {
  EXPECT_EQ(twipsToPixels(1440, 144), 144);
  EXPECT_EQ(twipsToPixels(kMainWidth, 144), 347); // 346.5
  EXPECT_EQ(twipsToPixels(kMainHeight, 192), 282);
}

TEST(Twips, ControlsInAFrameArePlacedFromItsCorner) {
  const auto option =
      toPixels(platform::inFrame({1800, 120, 1455, 975}, {240, 600, 1095, 255}), 96);
  EXPECT_EQ(option.left, 136);
  EXPECT_EQ(option.top, 48);
  EXPECT_EQ(option.right, 136 + 73);
  EXPECT_EQ(option.bottom, 48 + 17);
}

TEST(Twips, EdgesRoundIndependentlySoNeighboursNeverOverlap) {
  const platform::TwipsRect left{0, 0, 1007, 15}, right{1007, 0, 1000, 15};
  EXPECT_EQ(toPixels(left, 96).right, toPixels(right, 96).left);
}

// Borders, caption and menu bar of a sizable window with a menu: whole
// pixels at each DPI, not in proportion to it.
platform::PixelSize framedWithMenu(unsigned dpi) {
  switch (dpi) {
  case 96:
    return {16, 59};
  case 144:
    return {22, 81};
  default:
    ADD_FAILURE() << "frame asked for at " << dpi << " dpi";
    return {0, 0};
  }
}

TEST(WindowSize, ClientAreaIsTheTwipsLayoutAtTheDpiAndTheFrameThatDpis) {
  const auto at96 = platform::windowSizeForClientTwips(kMainWidth, kMainHeight, 96, framedWithMenu);
  EXPECT_EQ(at96.width, 231 + 16);
  EXPECT_EQ(at96.height, 141 + 59);
  // In proportion the 96-dpi window would be 370 by 300 at 144 dpi: seven
  // pixels too tall for the 212 the layout takes.
  const auto at144 =
      platform::windowSizeForClientTwips(kMainWidth, kMainHeight, 144, framedWithMenu);
  EXPECT_EQ(at144.width, 347 + 22);
  EXPECT_EQ(at144.height, 212 + 81);
}

} // namespace
