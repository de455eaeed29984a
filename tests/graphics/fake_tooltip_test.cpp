#include "graphics/fake_tooltip.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "controls/def_prefs_handles.h"

namespace tarvo {
namespace {

// A top-level owner window that counts the moves reaching its own procedure.
int g_ownerMoves = 0;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOVE) ++g_ownerMoves;
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND CreateOwner() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TarvoBubbleOwner";
    ::RegisterClassExW(&wc);
    HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    ::SetForegroundWindow(hwnd);
    return hwnd;
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

SIZE MeasureWithMenuFont(const std::wstring& text) {
    unique_hdc dc(::CreateCompatibleDC(nullptr));
    const select_object_scope font(dc.get(), DefaultFontHandle(kMenuFont));
    RECT r{};
    ::DrawTextW(dc.get(), text.c_str(), -1, &r, DT_CALCRECT);
    return {r.right, r.bottom};
}

class Bubble : public ::testing::Test {
protected:
    void SetUp() override {
        owner_.reset(CreateOwner());
        ASSERT_TRUE(owner_);
        ASSERT_TRUE(tip_.Init());
        tip_.SubClsOwner(owner_.get());
        tip_.TextSet(L"Stop waiting for process and abandon it.");
        Pump();
    }
    RECT WindowRect() const {
        RECT r{};
        ::GetWindowRect(tip_.hwnd(), &r);
        return r;
    }

    unique_hwnd owner_;
    frmFakeToolTip tip_;
};

TEST_F(Bubble, ShowTipPutsTheTailApexAtThePointWithoutTakingFocus) {
    EXPECT_FALSE(tip_.Visible());
    EXPECT_TRUE(tip_.OwnerWindowActive());
    const HWND activeBefore = ::GetActiveWindow();
    tip_.ShowTip(500, 300);
    Pump();
    EXPECT_TRUE(tip_.Visible());
    const RECT r = WindowRect();
    EXPECT_EQ(r.left, 470);
    EXPECT_EQ(r.top, 300);
    EXPECT_EQ(::GetActiveWindow(), activeBefore);
    EXPECT_NE(::GetWindowLongW(tip_.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(Bubble, TextSetSizesTheWindowAndItsRegionToTheText) {
    const std::wstring shortText = L"Hi", longText = L"A considerably longer line of bubble text";
    for (const std::wstring& text : {shortText, longText}) {
        tip_.TextSet(text);
        const SIZE expected = MeasureWithMenuFont(text);
        EXPECT_EQ(tip_.TextSize().cx, expected.cx);
        EXPECT_EQ(tip_.Text(), text);
        const RECT r = WindowRect();
        EXPECT_EQ(r.right - r.left, 2 * 8 + expected.cx + 10) << "width follows the text";
        RECT box{};
        ASSERT_NE(::GetWindowRgnBox(tip_.hwnd(), &box), ERROR);
        // GDI leaves out the polygon's apex row and the round rectangle's last row and column.
        EXPECT_LE(box.top, 1) << "the tail reaches the top edge";
        // A short text leaves the tail (up to x = 34) sticking out to the right.
        EXPECT_NEAR(box.right, std::max(2 * 8 + expected.cx, 34l), 1);
        EXPECT_NEAR(box.bottom, 2 * 8 + expected.cy + 8, 1);
    }
    // The tail's apex at x = 30 is inside the region, the corner beside the tail is not.
    unique_hrgn region(::CreateRectRgn(0, 0, 0, 0));
    ::GetWindowRgn(tip_.hwnd(), region.get());
    EXPECT_TRUE(::PtInRegion(region.get(), 30, 1));
    EXPECT_FALSE(::PtInRegion(region.get(), 5, 1));
}

TEST_F(Bubble, OwnerMoveHidesAVisibleBubbleAndStillReachesTheOwner) {
    tip_.ShowTip(300, 300);
    ASSERT_TRUE(tip_.Visible());
    const int movesBefore = g_ownerMoves;
    ::SetWindowPos(owner_.get(), nullptr, 150, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_FALSE(tip_.Visible());
    EXPECT_GT(g_ownerMoves, movesBefore);
    ::SetWindowPos(owner_.get(), nullptr, 160, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_FALSE(tip_.Visible()) << "a hidden bubble stays hidden";
}

TEST_F(Bubble, OwnerDeactivationHidesAndActivationRestoresTheFlag) {
    tip_.ShowTip(300, 300);
    ::SendMessageW(owner_.get(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(tip_.OwnerWindowActive());
    EXPECT_FALSE(tip_.Visible());
    ::SendMessageW(owner_.get(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(tip_.OwnerWindowActive());
    EXPECT_FALSE(tip_.Visible()) << "activation alone does not show it";
}

TEST_F(Bubble, ClickOnTheBubbleGivesTheFocusToTheOwner) {
    tip_.ShowTip(300, 300);
    ::SetFocus(nullptr);
    ::SendMessageW(tip_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(::GetFocus(), owner_.get());
}

TEST(BubbleLifetime, DestroyingTheBubbleUnhooksItsOwner) {
    unique_hwnd owner(CreateOwner());
    {
        frmFakeToolTip tip;
        ASSERT_TRUE(tip.Init());
        tip.SubClsOwner(owner.get());
    }
    const int movesBefore = g_ownerMoves;
    ::SetWindowPos(owner.get(), nullptr, 120, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(owner.get(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_GT(g_ownerMoves, movesBefore);
}

}  // namespace
}  // namespace tarvo
