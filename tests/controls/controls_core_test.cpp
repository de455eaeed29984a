// The controls' arithmetic without windows: font heights in pixels, points and twips,
// the rich edit's margin parameter and range lengths, and the splitter's model.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "controls/font_metrics.h"
#include "controls/rich_edit_rules.h"
#include "controls/splitter_math.h"
#include "expect_raised.h"

namespace tarvo {
namespace {

using testing::ExpectRaised;
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(FontMetrics, PixelsScaleByDpiOverSeventyTwoWithHalvesToEvenPointsTwipsMarginsAndRangesRefuseOverflow) {
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
    using namespace rich_edit_rules;  // the right margin in the high word, range lengths
    EXPECT_EQ(RightMarginParameter(32767), 0x7FFF0000);
    EXPECT_EQ(RightMarginParameter(-32768), kMin);
    EXPECT_FALSE(RightMarginParameter(32768) || RightMarginParameter(-32769));
    EXPECT_EQ(RangeBufferLength(5, 5), 1);
    EXPECT_EQ(RangeBufferLength(0, -1), 0);
    EXPECT_FALSE(RangeBufferLength(-2, kMax) || RangeBufferLength(kMax, kMin));
}

TEST(SplitterModel, ClampAppliesTheFourLimitsInOrderTheFirstMinimumWinningAndDefaultsProportionErrorsPanesAndGrip) {
    // Minimum and maximum of the first and second pane, position, total, clamped; the bar's 4 pixels by default.
    // -1 is "no maximum", 0 "no minimum".
    for (const auto& [min1, max1, min2, max2, position, total, clamped] : std::vector<std::array<std::int32_t, 7>>{
             {0, -1, 0, -1, -50, 100, -50}, {0, -1, 0, 20, 10, 100, 76}, {0, 50, 0, 20, 10, 100, 50},
             {0, 50, 60, 20, 10, 100, 36}, {0, 0, 8, -1, 95, 100, 88}, {0, 0, 8, -1, 88, 100, 88},
             {1, -1, 0, -1, 0, 100, 1}, {0, 1, 0, -1, 5, 100, 1}, {0, -1, 0, 1, 5, 100, 95},
             {30, 20, 30, -1, 25, 40, 30}, {30, 20, 30, -1, 0, 40, 30}}) {
        SplitterModel m(L"app");
        m.MinimumSize(1, min1);
        m.MaximumSize(1, max1);
        m.MinimumSize(2, min2);
        m.MaximumSize(2, max2);
        EXPECT_EQ(m.Clamp(position, total), clamped) << min1 << ' ' << max1 << ' ' << min2 << ' ' << max2 << ' ' << position;
    }

    SplitterModel m(L"app");
    EXPECT_EQ((std::vector<double>{m.Proportion(), double(m.Position()), double(m.SplitterSize()), double(m.MinimumSize(2)),
                                   double(m.MaximumSize(1)), double(m.Orientation()), double(m.FullDrag())}),
              (std::vector<double>{50, 128, 4, 8, -1, kSplitHorizontal, 1}));
    for (double bad : {100.5, -0.1, std::nan("")})
        ExpectRaised(380, L"app.Splitter", [&] { m.Proportion(bad); }, L"Invalid property value");
    m.Proportion(100);
    m.RecomputeProportion(0);  // no total: the fraction stays
    EXPECT_EQ(m.StoredProportion(), 1.0f);
    m.Position(100, 400);
    m.Relayout(800);
    EXPECT_EQ(m.Position(), 100);  // without keep-proportion the pixels stay
    m.KeepProportion(true);
    for (const auto& [total, position] : {std::pair{202, 50}, {206, 52}, {198, 50}}) {
        m.Relayout(total);  // 50.5 and 49.5 round to the even 50, 51.5 to 52
        EXPECT_EQ(m.Position(), position) << total;
    }
    m.MinimumSize(1, 0);
    m.MinimumSize(2, kMax);
    ExpectRaised(6, L"app.Splitter", [&] { m.Clamp(0, kMin); }, L"Overflow");
    ExpectRaised(380, L"app.cSplitter", [&] { m.SplitterSize(-1); });
    EXPECT_TRUE(m.SplitterSize(0));
    ExpectRaised(9, L"app.Splitter", [&] { m.MinimumSize(0, 1); }, L"Subscript out of range");
    ExpectRaised(9, L"app.Splitter", [&] { m.MaximumSize(3, 1); });

    SplitterModel g(L"app");  // stacked panes around a 5-pixel bar at 100, then the grip side by side
    g.SplitterSize(5);
    g.Position(100, 300);
    const PanePlacement stacked = g.Place(200, 300);
    EXPECT_EQ((std::vector<int>{stacked.first.width, stacked.first.height, stacked.second.top, stacked.second.height}),
              (std::vector<int>{200, 100, 105, 195}));
    // Side by side in 600 x 400 at 15 twips a pixel: marks from 200 px - 270 twips, 60 twips apart,
    // each two pairs of 15-twip strokes (5 and 20 twips into the mark) at 15 and 30 twips into the bar.
    g.Orientation(kSplitVertical);
    const auto grip = g.Grip(600, 400, 15.0, 15.0);
    ASSERT_EQ(grip.size(), 36u);
    for (const auto& [i, x, y1, y2] : {std::tuple{0, 101, 182, 183}, {3, 102, 183, 184}, {18, 101, 199, 200},
                                       {35, 102, 215, 216}})
        EXPECT_EQ((std::vector{grip[i].x1, grip[i].x2, grip[i].y1, grip[i].y2}), (std::vector{x, x, y1, y2})) << i;
}

}  // namespace
}  // namespace tarvo
