#pragma once
// The main window's client area and controls, in twips.
#include "platform/twips.h"

namespace app::layout {

using platform::inFrame;
using platform::TwipsRect;

constexpr int kClientWidth = 3465;
constexpr int kClientHeight = 2115;

constexpr TwipsRect kFrame1{120, 120, 1455, 975};
constexpr TwipsRect kFrame2{1800, 120, 1455, 975};
constexpr TwipsRect kAllowedInFrame{240, 240, 975, 255};
constexpr TwipsRect kProhibitedInFrame{240, 600, 1095, 255};
constexpr TwipsRect kOptions[4] = {
    inFrame(kFrame1, kAllowedInFrame), inFrame(kFrame1, kProhibitedInFrame),
    inFrame(kFrame2, kAllowedInFrame), inFrame(kFrame2, kProhibitedInFrame)};
constexpr TwipsRect kLabel1{120, 1200, 975, 255};
constexpr TwipsRect kText1{1200, 1200, 1815, 270};
constexpr TwipsRect kCommand1{120, 1560, 975, 495};
constexpr TwipsRect kCommand2{1200, 1560, 975, 495};

} // namespace app::layout
