#include "controls/rich_edit_rules.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

namespace tarvo::rich_edit_rules {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// Typing, Tab and Enter are covered through the window; these are the edges it cannot reach.
TEST(RichEditRules, FontHeightsRoundHalvesToEvenAndMarginsAndRangesRefuseOverflow) {
    // 0.025 pt = 0.5 twips, 0.075 = 1.5, 0.0375 = 0.75; 0.00004 is below the fixed point's resolution.
    for (const auto& [points, twips] : std::vector<std::pair<double, std::int32_t>>{
             {10.0, 200}, {8.25, 165}, {0.025, 0}, {0.075, 2}, {0.0375, 1}, {-0.075, -2}, {0.00004, 0},
             {107374182.35, kMax}})
        EXPECT_EQ(FontHeightInTwips(points), twips) << points;
    for (double points : {107374182.4, 1e300, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(FontHeightInTwips(points)) << points;
    EXPECT_EQ(RightMarginParameter(32767), 0x7FFF0000);
    EXPECT_EQ(RightMarginParameter(-32768), kMin);
    EXPECT_FALSE(RightMarginParameter(32768) || RightMarginParameter(-32769));
    EXPECT_EQ(RangeBufferLength(5, 5), 1);
    EXPECT_EQ(RangeBufferLength(0, -1), 0);
    EXPECT_FALSE(RangeBufferLength(-2, kMax) || RangeBufferLength(kMax, kMin));
}

}  // namespace
}  // namespace tarvo::rich_edit_rules
