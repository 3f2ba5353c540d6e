#pragma once
// The change-password dialog's client area and controls, in twips.
#include "platform/twips.h"

namespace password::layout {

using platform::TwipsRect;

constexpr int kClientWidth = 5460;
constexpr int kClientHeight = 1650;

constexpr TwipsRect kFields[3] = {
    {1800, 120, 2175, 375}, {1800, 600, 2175, 375}, {1800, 1080, 2175, 375}};
constexpr TwipsRect kLabels[3] = {
    {120, 240, 1575, 255}, {120, 720, 1575, 255}, {120, 1200, 1575, 255}};
constexpr TwipsRect kOkButton{4080, 120, 1215, 375};
constexpr TwipsRect kCancelButton{4080, 600, 1215, 375};

} // namespace password::layout
