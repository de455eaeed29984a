#include "controls/splitter.h"

#include <gtest/gtest.h>

#include "expect_raised.h"

namespace tarvo {
namespace {

// A plain container that forwards its events to the splitter, as its owner would.
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* splitter = reinterpret_cast<Splitter*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!splitter) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    const float x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    try {
        switch (msg) {
            case WM_LBUTTONDOWN: splitter->MouseDown(1, 0, x, y); return 0;
            case WM_MOUSEMOVE: splitter->MouseMove(0, 0, x, y); return 0;
            case WM_LBUTTONUP: splitter->MouseUp(1, 0, x, y); return 0;
            case WM_SIZE: splitter->Resize(); return 0;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                splitter->Paint(::BeginPaint(hwnd, &ps));
                ::EndPaint(hwnd, &ps);
                return 0;
            }
        }
    } catch (const RaisedError&) {
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

class SplitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ContainerProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SplitterTestContainer";
        ::RegisterClassW(&wc);
        container.reset(::CreateWindowExW(WS_EX_TOPMOST, L"SplitterTestContainer", L"", WS_POPUP | WS_VISIBLE, 100,
                                          100, 600, 400, nullptr, nullptr, wc.hInstance, nullptr));
        ASSERT_TRUE(container);
        for (HWND* pane : {&first, &second})
            *pane = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, container.get(), nullptr,
                                      wc.hInstance, nullptr);
        ::SetWindowLongPtrW(container.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&splitter));
        ::GetClipCursor(&freeCursor);
    }
    void TearDown() override {
        if (container) ::SetWindowLongPtrW(container.get(), GWLP_USERDATA, 0);
        ::ClipCursor(nullptr);
    }

    // Side by side with a 5-pixel bar at 200.
    void BindSideBySide() {
        splitter.Orientation(kSplitVertical);
        splitter.SplitterSize(5);
        splitter.Bind(container.get(), first, second);
        splitter.Position(200);
    }
    RECT PaneRect(HWND pane) const {
        RECT r{};
        ::GetWindowRect(pane, &r);
        ::MapWindowPoints(nullptr, container.get(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // Moves the real cursor to container client coordinates and sends the message there.
    void MouseAt(UINT msg, int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(container.get(), &p);
        ::SetCursorPos(p.x, p.y);
        ::SendMessageW(container.get(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }
    static bool SameRect(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }
    static RECT ClipRect() {
        RECT r{};
        ::GetClipCursor(&r);
        return r;
    }
    static RECT WindowRectOf(HWND window) {
        RECT r{};
        ::GetWindowRect(window, &r);
        return r;
    }

    unique_hwnd container;
    HWND first = nullptr, second = nullptr;
    Splitter splitter;
    RECT freeCursor{};
};

TEST_F(SplitterTest, PanesFollowTheBarTheFirstMinimumWinsAndKeepProportionFollowsTheContainer) {
    BindSideBySide();
    EXPECT_EQ(PaneRect(first).right, 200);
    EXPECT_EQ(PaneRect(first).bottom, 400);
    EXPECT_EQ(PaneRect(second).left, 205);
    EXPECT_NEAR(splitter.Proportion(), 100.0 * 200 / 600, 1e-4);

    splitter.MinimumSize(1, 30);
    splitter.MinimumSize(2, 30);
    const auto resize = [&](int width, int height) {
        ::SetWindowPos(container.get(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    };
    resize(40, 400);
    splitter.Position(20);
    EXPECT_EQ(splitter.Position(), 30);
    EXPECT_EQ(PaneRect(first).right, 30);

    resize(400, 400);
    splitter.Position(100);  // a quarter of 400
    splitter.KeepProportion(true);
    resize(800, 400);
    EXPECT_EQ(splitter.Position(), 200);
    EXPECT_EQ(PaneRect(first).right, 200);
    ::ShowWindow(container.get(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(container.get()));
    ::ShowWindow(container.get(), SW_RESTORE);
    EXPECT_EQ(splitter.Position(), 200) << "a minimised container keeps the proportion";
    EXPECT_EQ(PaneRect(first).right, 200);
    splitter.KeepProportion(false);
    resize(300, 400);
    EXPECT_EQ(splitter.Position(), 200);
}

// Two neighbouring screen pixels of the bar: the checkerboard inverts one of them.
std::pair<COLORREF, COLORREF> ScreenPixels(HWND container, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(container, &p);
    unique_window_dc screen(nullptr);
    return {::GetPixel(screen.get(), p.x, p.y), ::GetPixel(screen.get(), p.x + 1, p.y)};
}

TEST_F(SplitterTest, WithoutFullDragOnlyAnInvertedBarMovesUntilRelease) {
    BindSideBySide();
    splitter.FullDrag(false);
    ::UpdateWindow(container.get());
    const auto before = ScreenPixels(container.get(), 201, 150);
    MouseAt(WM_LBUTTONDOWN, 202, 150);
    ASSERT_TRUE(splitter.Dragging());
    EXPECT_EQ(::GetCapture(), container.get());
    EXPECT_NE(ScreenPixels(container.get(), 201, 150), before);
    EXPECT_TRUE(SameRect(ClipRect(), WindowRectOf(container.get())));

    MouseAt(WM_MOUSEMOVE, 262, 150);
    MouseAt(WM_MOUSEMOVE, 252, 160);
    EXPECT_EQ(PaneRect(first).right, 200);
    EXPECT_EQ(splitter.Position(), 250);  // the bar drawn follows the cursor

    MouseAt(WM_LBUTTONUP, 252, 160);
    EXPECT_FALSE(splitter.Dragging());
    EXPECT_EQ(PaneRect(first).right, 250);
    EXPECT_EQ(PaneRect(second).left, 255);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(SameRect(ClipRect(), freeCursor));
    ::UpdateWindow(container.get());
    EXPECT_EQ(ScreenPixels(container.get(), 201, 150), before);
}

TEST_F(SplitterTest, FullDragMovesThePanesLiveAndClamps) {
    BindSideBySide();
    splitter.MinimumSize(1, 100);
    MouseAt(WM_LBUTTONDOWN, 202, 150);
    MouseAt(WM_MOUSEMOVE, 232, 150);
    EXPECT_EQ(PaneRect(first).right, 230);
    MouseAt(WM_MOUSEMOVE, 20, 150);
    MouseAt(WM_LBUTTONUP, 20, 150);
    EXPECT_EQ(PaneRect(first).right, 100);
    EXPECT_EQ(splitter.Position(), 100);
}

TEST_F(SplitterTest, ACancelledSplitLeavesTheBarAndFreesTheCursor) {
    BindSideBySide();
    splitter.FullDrag(false);
    int raised = 0;
    splitter.Split = [&](float& x, float& y, bool& cancel) {
        ++raised;
        EXPECT_FLOAT_EQ(x, 202.0f);
        EXPECT_FLOAT_EQ(y, 150.0f);
        cancel = true;
    };
    splitter.MouseDown(2, 0, 202, 150);  // only the left button starts a drag
    EXPECT_EQ(raised, 0);
    MouseAt(WM_LBUTTONDOWN, 202, 150);
    EXPECT_EQ(raised, 1);
    EXPECT_FALSE(splitter.Dragging());
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(SameRect(ClipRect(), freeCursor));
    MouseAt(WM_MOUSEMOVE, 300, 150);
    MouseAt(WM_LBUTTONUP, 300, 150);
    EXPECT_EQ(PaneRect(first).right, 200);
}

TEST_F(SplitterTest, PaintFillsTheBarAndInvalidSettingsRaiseWithTheirSources) {
    BindSideBySide();
    splitter.BgColor(MakeColour(173, 209, 255));
    ::UpdateWindow(container.get());
    unique_window_dc dc(container.get());
    splitter.Paint(dc.get());
    EXPECT_EQ(::GetPixel(dc.get(), 202, 5), RGB(173, 209, 255));

    Splitter unbound;
    testing::ExpectRaised(380, L"splitter_test.Splitter", [&] { unbound.BgColor(0); });
    testing::ExpectRaised(380, L"splitter_test.cSplitter", [&] { unbound.SplitterSize(-1); });
}

}  // namespace
}  // namespace tarvo
