#include "app/main_layout.h"
#include "platform/twips.h"

#include <gtest/gtest.h>

namespace {

using platform::toPixels;
using platform::twipsToPixels;

TEST(Twips, FifteenTwipsMakeOnePixelAt96Dpi) {
  EXPECT_EQ(twipsToPixels(app::layout::kClientWidth, 96), 231);
  EXPECT_EQ(twipsToPixels(app::layout::kClientHeight, 96), 141);
  EXPECT_EQ(twipsToPixels(7, 96), 0);
  EXPECT_EQ(twipsToPixels(8, 96), 1) << "half a pixel rounds up";
}

TEST(Twips, ScalesWithDpi) {
  EXPECT_EQ(twipsToPixels(1440, 144), 144);
  EXPECT_EQ(twipsToPixels(app::layout::kClientWidth, 144), 347); // 346.5
  EXPECT_EQ(twipsToPixels(app::layout::kClientHeight, 192), 282);
}

TEST(Twips, OptionsSitInsideTheirFrames) {
  const auto option = toPixels(app::layout::kOptions[3], 96);
  EXPECT_EQ(option.left, 136);
  EXPECT_EQ(option.top, 48);
  EXPECT_EQ(option.right, 136 + 73);
  EXPECT_EQ(option.bottom, 48 + 17);
}

TEST(Twips, EdgesRoundIndependentlySoNeighboursNeverOverlap) {
  const platform::TwipsRect left{0, 0, 1007, 15}, right{1007, 0, 1000, 15};
  EXPECT_EQ(toPixels(left, 96).right, toPixels(right, 96).left);
}

} // namespace
