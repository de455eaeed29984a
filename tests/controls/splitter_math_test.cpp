#include "controls/splitter_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "expect_raised.h"

namespace tarvo {
namespace {

using testing::ExpectRaised;

TEST(SplitterClamp, FirstPaneMinimumWinsOverEverything) {
    SplitterModel m(L"app");
    m.SplitterSize(5);
    m.MinimumSize(1, 30);
    m.MinimumSize(2, 30);
    m.MaximumSize(1, 20);
    // 40 < 30 + 5 + 30: the second minimum pulls the bar up, the first minimum pushes it back.
    EXPECT_EQ(m.Clamp(25, 40), 30);
    EXPECT_EQ(m.Clamp(0, 40), 30);
}

TEST(SplitterClamp, OrderOfTheFourLimits) {
    SplitterModel m(L"app");
    m.SplitterSize(4);
    m.MinimumSize(1, 0);
    m.MinimumSize(2, 0);
    EXPECT_EQ(m.Clamp(-50, 100), -50);  // no limits at all
    m.MaximumSize(2, 20);
    EXPECT_EQ(m.Clamp(10, 100), 76);  // second pane at most 20
    m.MaximumSize(1, 50);
    EXPECT_EQ(m.Clamp(10, 100), 50);  // first maximum wins over the second maximum
    m.MinimumSize(2, 60);
    EXPECT_EQ(m.Clamp(10, 100), 36);  // second minimum wins over the first maximum
    m.MaximumSize(1, 0);
    m.MaximumSize(2, -1);
    m.MinimumSize(2, 8);
    EXPECT_EQ(m.Clamp(95, 100), 88);
}

TEST(SplitterProportion, PercentLimitsStoredFractionAndOverflow) {
    SplitterModel m(L"app");
    EXPECT_DOUBLE_EQ(m.Proportion(), 50.0);
    m.Proportion(100);
    EXPECT_EQ(m.StoredProportion(), 1.0f);
    for (double bad : {100.5, -0.1, std::nan("")})
        ExpectRaised(380, L"app.Splitter", [&] { m.Proportion(bad); }, L"Invalid property value");
    EXPECT_EQ(m.StoredProportion(), 1.0f);

    m.MinimumSize(1, 0);
    m.MinimumSize(2, 0);
    m.RecomputeProportion(0);  // no total: the fraction stays
    EXPECT_EQ(m.StoredProportion(), 1.0f);
    m.StorePosition(150);
    m.RecomputeProportion(100);
    EXPECT_DOUBLE_EQ(m.Proportion(), 100.0);  // the getter clamps a fraction above one
    EXPECT_EQ(m.StoredProportion(), 1.0f);

    m.MinimumSize(2, std::numeric_limits<std::int32_t>::max());
    ExpectRaised(6, L"", [&] { m.Clamp(0, std::numeric_limits<std::int32_t>::min()); }, L"Overflow");
}

TEST(SplitterRelayout, KeepProportionKeepsTheFractionOnResizeOtherwiseThePixelsStay) {
    SplitterModel m(L"app");
    m.Position(100, 400);
    m.Relayout(800);
    EXPECT_EQ(m.Position(), 100);
    m.KeepProportion(true);
    m.Position(100, 400);
    EXPECT_FLOAT_EQ(m.StoredProportion(), 0.25f);
    m.Relayout(800);
    EXPECT_EQ(m.Position(), 200);
    m.Relayout(202);  // 50.5 rounds to the even 50
    EXPECT_EQ(m.Position(), 50);
    m.Relayout(206);  // 51.5 rounds to 52
    EXPECT_EQ(m.Position(), 52);
}

TEST(SplitterSettings, SizeAndPanelErrors) {
    SplitterModel m(L"app");
    EXPECT_FALSE(m.SplitterSize(4));
    EXPECT_TRUE(m.SplitterSize(0));
    ExpectRaised(380, L"app.cSplitter", [&] { m.SplitterSize(-1); });
    ExpectRaised(9, L"", [&] { m.MinimumSize(3, 1); }, L"Subscript out of range");
    ExpectRaised(9, L"", [&] { m.MaximumSize(0, 1); });
    ExpectRaised(9, L"", [&] { (void)m.MinimumSize(3); });
    EXPECT_EQ(m.MaximumSize(2), -1);
}

TEST(SplitterPlace, PanesAroundTheBarForBothOrientations) {
    SplitterModel m(L"app");
    m.SplitterSize(5);
    m.Position(100, 300);
    const PanePlacement stacked = m.Place(200, 300);
    EXPECT_EQ((std::vector<int>{stacked.first.width, stacked.first.height, stacked.second.top, stacked.second.height}),
              (std::vector<int>{200, 100, 105, 195}));
    m.Orientation(kSplitVertical);
    const PanePlacement side = m.Place(300, 200);
    EXPECT_EQ((std::vector<int>{side.first.width, side.first.height, side.second.left, side.second.width}),
              (std::vector<int>{100, 200, 105, 195}));
}

TEST(SplitterGrip, NineMarksCentredOnTheBar) {
    SplitterModel m(L"app");
    m.Orientation(kSplitVertical);
    m.SplitterSize(5);
    m.Position(100, 600);
    const auto segments = m.Grip(600, 400, 15.0, 15.0);
    ASSERT_EQ(segments.size(), 36u);
    int top = 1 << 30, bottom = -1;
    for (const auto& s : segments) {
        EXPECT_EQ(s.x1, s.x2);
        EXPECT_GE(s.x1, 100);
        EXPECT_LT(s.x1, 105);
        top = std::min(top, s.y1);
        bottom = std::max(bottom, s.y2);
    }
    // From 200 px - 270 twips + 5 twips to the last mark's end: centred within a pixel.
    EXPECT_EQ(top, 182);
    EXPECT_EQ(bottom, 216);
}

}  // namespace
}  // namespace tarvo
