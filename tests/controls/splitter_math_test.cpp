#include "controls/splitter_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "expect_raised.h"

namespace tarvo {
namespace {

using testing::ExpectRaised;

TEST(SplitterModel, ClampAppliesTheFourLimitsInOrderAndTheFirstMinimumWins) {
    struct Row {
        std::int32_t min1, max1, min2, max2, position, total, clamped;
    };
    // Bar size 4. -1 is "no maximum", 0 "no minimum".
    for (const Row& r : {Row{0, -1, 0, -1, -50, 100, -50}, {0, -1, 0, 20, 10, 100, 76}, {0, 50, 0, 20, 10, 100, 50},
                         {0, 50, 60, 20, 10, 100, 36}, {0, 0, 8, -1, 95, 100, 88}, {0, 0, 8, -1, 88, 100, 88},
                         {1, -1, 0, -1, 0, 100, 1}, {0, 1, 0, -1, 5, 100, 1}, {0, -1, 0, 1, 5, 100, 95},
                         {30, 20, 30, -1, 25, 40, 30}, {30, 20, 30, -1, 0, 40, 30}}) {
        SplitterModel m(L"app");
        m.SplitterSize(4);
        m.MinimumSize(1, r.min1);
        m.MaximumSize(1, r.max1);
        m.MinimumSize(2, r.min2);
        m.MaximumSize(2, r.max2);
        EXPECT_EQ(m.Clamp(r.position, r.total), r.clamped) << r.min1 << " " << r.max1 << " " << r.min2 << " " << r.max2
                                                           << " at " << r.position << " of " << r.total;
    }
}

TEST(SplitterModel, ProportionPercentLimitsKeepProportionRoundingAndErrors) {
    SplitterModel m(L"app");
    EXPECT_EQ(std::vector<double>({m.Proportion(), double(m.Position()), double(m.SplitterSize()), double(m.MinimumSize(2))}),
              std::vector<double>({50.0, 128, 4, 8}));
    m.Proportion(100);
    for (double bad : {100.5, -0.1, std::nan("")})
        ExpectRaised(380, L"app.Splitter", [&] { m.Proportion(bad); }, L"Invalid property value");
    m.RecomputeProportion(0);  // no total: the fraction stays
    EXPECT_EQ(m.StoredProportion(), 1.0f);
    m.StorePosition(150);
    m.RecomputeProportion(100);
    EXPECT_DOUBLE_EQ(m.Proportion(), 100.0);  // the getter clamps a fraction above one

    m.Position(100, 400);
    m.Relayout(800);
    EXPECT_EQ(m.Position(), 100);  // without keep-proportion the pixels stay
    m.KeepProportion(true);
    for (const auto& [total, position] : std::vector<std::pair<int, int>>{{800, 200}, {202, 50}, {206, 52}, {198, 50}}) {
        m.Relayout(total);  // 50.5 and 49.5 round to the even 50, 51.5 to 52
        EXPECT_EQ(m.Position(), position) << total;
    }
    m.MinimumSize(1, 0);
    m.MinimumSize(2, std::numeric_limits<std::int32_t>::max());
    ExpectRaised(6, L"app.Splitter", [&] { m.Clamp(0, std::numeric_limits<std::int32_t>::min()); }, L"Overflow");
    ExpectRaised(380, L"app.cSplitter", [&] { m.SplitterSize(-1); });
    EXPECT_TRUE(m.SplitterSize(0));
    for (std::int32_t panel : {0, 3}) {
        ExpectRaised(9, L"app.Splitter", [&] { m.MinimumSize(panel, 1); }, L"Subscript out of range");
        ExpectRaised(9, L"", [&] { m.MaximumSize(panel); });
    }
    EXPECT_EQ(m.MaximumSize(2), -1);
}

TEST(SplitterModel, StackedPanesSitAroundTheBarAndNineGripMarksAreCentredOnIt) {
    SplitterModel m(L"app");
    m.SplitterSize(5);
    m.Position(100, 300);
    const PanePlacement stacked = m.Place(200, 300);
    EXPECT_EQ((std::vector<int>{stacked.first.width, stacked.first.height, stacked.second.top, stacked.second.height}),
              (std::vector<int>{200, 100, 105, 195}));
    m.Orientation(kSplitVertical);
    const auto segments = m.Grip(600, 400, 15.0, 15.0);
    ASSERT_EQ(segments.size(), 36u);
    int top = 1 << 30, bottom = -1;
    for (const auto& s : segments) {
        EXPECT_TRUE(s.x1 == s.x2 && s.x1 >= 100 && s.x1 < 105) << s.x1;
        top = std::min(top, s.y1);
        bottom = std::max(bottom, s.y2);
    }
    // From 200 px - 270 twips + 5 twips to the last mark's end: centred within a pixel.
    EXPECT_EQ(std::make_pair(top, bottom), std::make_pair(182, 216));
}

}  // namespace
}  // namespace tarvo
