#include "controls/splitter_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/raised_error.h"

namespace tarvo {
namespace {

template <typename F>
RaisedError CatchRaised(F&& f) {
    try {
        f();
    } catch (const RaisedError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return RaisedError(0, L"", L"");
}

TEST(SplitterClamp, FirstPaneMinimumWinsOverEverything) {
    SplitterModel m(L"app");
    m.SetSplitterSize(5);
    m.SetMinimumSize(1, 30);
    m.SetMinimumSize(2, 30);
    m.SetMaximumSize(1, 20);
    // 40 < 30 + 5 + 30: the second minimum pulls the bar up, the first minimum pushes it back.
    EXPECT_EQ(m.Clamp(25, 40), 30);
    EXPECT_EQ(m.Clamp(0, 40), 30);
}

TEST(SplitterClamp, OrderOfTheFourLimits) {
    SplitterModel m(L"app");
    m.SetSplitterSize(4);
    m.SetMinimumSize(1, 0);
    m.SetMinimumSize(2, 0);
    EXPECT_EQ(m.Clamp(-50, 100), -50);  // no limits at all
    m.SetMaximumSize(2, 20);
    EXPECT_EQ(m.Clamp(10, 100), 76);  // second pane at most 20
    m.SetMaximumSize(1, 50);
    EXPECT_EQ(m.Clamp(10, 100), 50);  // first maximum wins over the second maximum
    m.SetMinimumSize(2, 60);
    EXPECT_EQ(m.Clamp(10, 100), 36);  // second minimum wins over the first maximum
    m.SetMaximumSize(1, 0);
    m.SetMaximumSize(2, -1);
    m.SetMinimumSize(2, 8);
    EXPECT_EQ(m.Clamp(95, 100), 88);
}

TEST(SplitterProportion, PercentLimitsStoredFractionAndOverflow) {
    SplitterModel m(L"app");
    EXPECT_DOUBLE_EQ(m.Proportion(), 50.0);
    m.SetProportion(100);
    EXPECT_EQ(m.StoredProportion(), 1.0f);
    const RaisedError e = CatchRaised([&] { m.SetProportion(100.5); });
    EXPECT_EQ(e.Number(), kErrInvalidPropertyValue);
    EXPECT_EQ(e.Source(), L"app.Splitter");
    EXPECT_EQ(m.StoredProportion(), 1.0f);
    EXPECT_EQ(CatchRaised([&] { m.SetProportion(-0.1); }).Number(), kErrInvalidPropertyValue);
    EXPECT_EQ(CatchRaised([&] { m.SetProportion(std::nan("")); }).Number(), kErrInvalidPropertyValue);

    m.SetMinimumSize(1, 0);
    m.SetMinimumSize(2, 0);
    m.RecomputeProportion(0);  // no total: the fraction stays
    EXPECT_EQ(m.StoredProportion(), 1.0f);
    m.StorePosition(150);
    m.RecomputeProportion(100);
    EXPECT_DOUBLE_EQ(m.Proportion(), 100.0);  // the getter clamps a fraction above one
    EXPECT_EQ(m.StoredProportion(), 1.0f);

    m.SetMinimumSize(2, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(CatchRaised([&] { m.Clamp(0, std::numeric_limits<std::int32_t>::min()); }).Number(), kErrOverflow);
}

TEST(SplitterRelayout, KeepProportionKeepsTheFractionOnResizeOtherwiseThePixelsStay) {
    SplitterModel m(L"app");
    m.SetPosition(100, 400);
    m.Relayout(800);
    EXPECT_EQ(m.Position(), 100);
    m.SetKeepProportion(true);
    m.SetPosition(100, 400);
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
    EXPECT_FALSE(m.SetSplitterSize(4));
    EXPECT_TRUE(m.SetSplitterSize(0));
    const RaisedError e = CatchRaised([&] { m.SetSplitterSize(-1); });
    EXPECT_EQ(e.Number(), kErrInvalidPropertyValue);
    EXPECT_EQ(e.Source(), L"app.cSplitter");
    EXPECT_EQ(CatchRaised([&] { m.SetMinimumSize(3, 1); }).Number(), kErrSubscriptOutOfRange);
    EXPECT_EQ(CatchRaised([&] { m.SetMaximumSize(0, 1); }).Number(), kErrSubscriptOutOfRange);
    EXPECT_EQ(CatchRaised([&] { (void)m.MinimumSize(3); }).Number(), kErrSubscriptOutOfRange);
    EXPECT_EQ(m.MaximumSize(2), -1);
}

TEST(SplitterPlace, PanesAroundTheBarForBothOrientations) {
    SplitterModel m(L"app");
    m.SetSplitterSize(5);
    m.SetPosition(100, 300);
    PanePlacement stacked = m.Place(200, 300);
    EXPECT_EQ(stacked.first.height, 100);
    EXPECT_EQ(stacked.first.width, 200);
    EXPECT_EQ(stacked.second.top, 105);
    EXPECT_EQ(stacked.second.height, 195);
    m.SetOrientation(kSplitVertical);
    PanePlacement sideBySide = m.Place(300, 200);
    EXPECT_EQ(sideBySide.first.width, 100);
    EXPECT_EQ(sideBySide.first.height, 200);
    EXPECT_EQ(sideBySide.second.left, 105);
    EXPECT_EQ(sideBySide.second.width, 195);
}

TEST(SplitterGrip, NineMarksCentredOnTheBar) {
    SplitterModel m(L"app");
    m.SetOrientation(kSplitVertical);
    m.SetSplitterSize(5);
    m.SetPosition(100, 600);
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
