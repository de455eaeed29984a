#include "controls/splitter.h"

#include <gtest/gtest.h>

#include <vector>

#include "controls/panel.h"
#include "expect_raised.h"
#include "gdi_objects.h"
#include "test_support.h"

namespace tarvo {
namespace {

// A panel in a top-most window, side by side with a 5-pixel bar at 200; the panel forwards its events.
class SplitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        top_.reset(::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 100, 600, 400, nullptr,
                                     nullptr, nullptr, nullptr));
        ASSERT_TRUE(top_ && panel_.Create(top_.get(), RGB(10, 20, 30)));
        Resize(600, 400);
        for (HWND* pane : {&first_, &second_})
            *pane = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Container(), nullptr,
                                      nullptr, nullptr);
        panel_.MouseDown = [this](int b, int s, float x, float y) { splitter_.MouseDown(b, s, x, y); };
        panel_.MouseMove = [this](int b, int s, float x, float y) { splitter_.MouseMove(b, s, x, y); };
        panel_.MouseUp = [this](int b, int s, float x, float y) { splitter_.MouseUp(b, s, x, y); };
        panel_.Resize = [this] { splitter_.Resize(); };
        panel_.Paint = [this](HDC dc) { splitter_.Paint(dc); };
        splitter_.Orientation(kSplitVertical);
        splitter_.SplitterSize(5);
        splitter_.Bind(Container(), first_, second_);
        splitter_.Position(200);
        ::GetClipCursor(&freeCursor_);
    }
    void TearDown() override { ::ClipCursor(nullptr); }

    HWND Container() const { return panel_.hWnd(); }
    void Resize(int width, int height) {
        ::SetWindowPos(Container(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    }
    // Where the panes meet the bar: the first pane's right and the second's left edge.
    std::vector<LONG> Edges() const { return {test::RectInParent(first_).right, test::RectInParent(second_).left}; }
    // Moves the real cursor to container client coordinates and sends the message there.
    void MouseAt(UINT msg, int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(Container(), &p);
        ::SetCursorPos(p.x, p.y);
        ::SendMessageW(Container(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }
    bool CursorClippedTo(const RECT& expected) const {
        RECT r{};
        ::GetClipCursor(&r);
        return ::EqualRect(&r, &expected) != FALSE;
    }

    unique_hwnd top_;
    Splitter splitter_;
    Panel panel_;
    HWND first_ = nullptr, second_ = nullptr;
    RECT freeCursor_{};
};

TEST_F(SplitterTest, PanesFollowTheBarKeepProportionFollowsTheContainerAndPaintFillsTheBarWithoutLeaking) {
    EXPECT_EQ(Edges(), (std::vector<LONG>{200, 205}));
    EXPECT_EQ(test::RectInParent(second_).bottom, 400);
    EXPECT_NEAR(splitter_.Proportion(), 100.0 * 200 / 600, 1e-4);
    splitter_.BgColor(MakeColour(173, 209, 255));
    ::UpdateWindow(Container());
    EXPECT_EQ(::GetPixel(unique_window_dc(Container()).get(), 202, 5), RGB(173, 209, 255));
    EXPECT_EQ(::GetPixel(unique_window_dc(first_).get(), 5, 5), RGB(10, 20, 30)) << "the panes take the panel's colour";
    const long gdi = test::GdiObjects();
    splitter_.MinimumSize(1, 30);
    splitter_.MinimumSize(2, 30);
    Resize(400, 400);
    splitter_.Position(100);  // a quarter of 400
    splitter_.KeepProportion(true);
    for (const auto& [width, position] : {std::pair{800, 200}, {0, 30}, {800, 200}}) {  // squeezed to nothing and back
        Resize(width, 400);
        EXPECT_EQ(splitter_.Position(), position) << width;
    }
    EXPECT_EQ(Edges(), (std::vector<LONG>{200, 205}));
    splitter_.KeepProportion(false);
    Resize(300, 400);
    EXPECT_EQ(splitter_.Position(), 200);
    EXPECT_EQ(test::GdiObjects(), gdi);
    Splitter unbound;
    testing::ExpectRaised(380, L"splitter_test.Splitter", [&] { unbound.BgColor(0); }, L"Invalid property value");
}

TEST_F(SplitterTest, TheLeftButtonDragsTheDrawnBarOrThePanesLiveUnlessTheSplitIsCancelledAndTheBarIsClamped) {
    std::vector<float> splits;
    splitter_.Split = [&](float& x, float& y, bool& cancel) {
        splits.insert(splits.end(), {x, y});
        cancel = splits.size() == 2;
    };
    MouseAt(WM_RBUTTONDOWN, 202, 150);
    MouseAt(WM_LBUTTONDOWN, 202, 150);
    EXPECT_EQ(splits.size(), 2u);
    EXPECT_FALSE(splitter_.Dragging() || ::GetCapture());
    MouseAt(WM_MOUSEMOVE, 300, 150);
    MouseAt(WM_LBUTTONUP, 300, 150);
    EXPECT_EQ(Edges(), (std::vector<LONG>{200, 205}));

    splitter_.FullDrag(false);
    MouseAt(WM_LBUTTONDOWN, 202, 150);
    ASSERT_TRUE(splitter_.Dragging());
    EXPECT_EQ(::GetCapture(), Container());
    EXPECT_TRUE(CursorClippedTo(test::WindowRect(Container())));
    MouseAt(WM_MOUSEMOVE, 262, 150);
    MouseAt(WM_MOUSEMOVE, 252, 160);
    EXPECT_EQ(Edges(), (std::vector<LONG>{200, 205}));
    EXPECT_EQ(splitter_.Position(), 250);  // the bar drawn follows the cursor
    MouseAt(WM_LBUTTONUP, 252, 160);
    EXPECT_FALSE(splitter_.Dragging() || ::GetCapture());
    EXPECT_EQ(Edges(), (std::vector<LONG>{250, 255}));
    EXPECT_TRUE(CursorClippedTo(freeCursor_));

    splitter_.FullDrag(true);
    splitter_.MinimumSize(1, 100);
    MouseAt(WM_LBUTTONDOWN, 252, 150);
    MouseAt(WM_MOUSEMOVE, 282, 150);
    EXPECT_EQ(Edges(), (std::vector<LONG>{280, 285}));
    MouseAt(WM_MOUSEMOVE, 20, 150);
    MouseAt(WM_LBUTTONUP, 20, 150);
    EXPECT_EQ(Edges(), (std::vector<LONG>{100, 105}));
    EXPECT_EQ(splits, (std::vector<float>{202, 150, 202, 150, 252, 150}));
}

}  // namespace
}  // namespace tarvo
