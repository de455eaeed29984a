// The text controls' arithmetic: font heights in pixels, points and twips, the
// rich edit's margin parameter and range lengths.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "controls/font_metrics.h"
#include "controls/rich_edit_rules.h"

namespace tarvo {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(FontMetrics, PixelsScaleByDpiOverSeventyTwoWithHalvesToEvenAndPointsAndTwipsRefuseOverflow) {
    // 3 x 12 / 72 = 0.5, 9 -> 1.5
    for (const auto& [height, dpi, pixels] :
         {std::tuple{-12, 96, -16}, {-12, 120, -20}, {3, 12, 0}, {9, 12, 2}, {-9, 12, -2}, {kMax, 1, 29826162}})
        EXPECT_EQ(FontHeightInPixels(height, dpi), pixels) << height << " at " << dpi;
    EXPECT_FALSE(FontHeightInPixels(kMax, 96) || FontHeightInPixels(kMin, 2));
    // 0.025 pt = 0.5 twips, 0.075 = 1.5; 0.00004 is below the fixed point's resolution.
    for (const auto& [points, twips] : std::vector<std::pair<double, std::int32_t>>{
             {10.0, 200}, {8.25, 165}, {0.025, 0}, {0.075, 2}, {-0.075, -2}, {0.00004, 0}, {107374182.35, kMax}})
        EXPECT_EQ(rich_edit_rules::FontHeightInTwips(points), twips) << points;
    for (double points : {107374182.4, 1e300, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(rich_edit_rules::FontHeightInTwips(points)) << points;
}

TEST(RichEditRules, MarginsAndRangesRefuseOverflow) {
    using namespace rich_edit_rules;
    EXPECT_EQ(RightMarginParameter(32767), 0x7FFF0000);
    EXPECT_EQ(RightMarginParameter(-32768), kMin);
    EXPECT_FALSE(RightMarginParameter(32768) || RightMarginParameter(-32769));
    EXPECT_EQ(RangeBufferLength(5, 5), 1);
    EXPECT_EQ(RangeBufferLength(0, -1), 0);
    EXPECT_FALSE(RangeBufferLength(-2, kMax) || RangeBufferLength(kMax, kMin));
}

}  // namespace
}  // namespace tarvo
