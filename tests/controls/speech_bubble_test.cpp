#include "controls/speech_bubble.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "controls/system_fonts.h"
#include "test_window.h"

namespace tarvo {
namespace {

using testing::PumpMessages;

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
        owner_.reset(::CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                                       nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(owner_);
        ::SetForegroundWindow(owner_.get());
        ASSERT_TRUE(tip_.Init());
        tip_.SubClsOwner(owner_.get());
        tip_.TextSet(L"Stop waiting for process and abandon it.");
        PumpMessages();
    }
    void MoveOwner(int x, int y) {
        ::SetWindowPos(owner_.get(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpMessages();
    }

    unique_hwnd owner_;
    frmFakeToolTip tip_;
};

TEST_F(Bubble, ShowTipPutsTheTailApexAtThePointWithoutTakingFocus) {
    EXPECT_FALSE(tip_.Visible());
    const HWND activeBefore = ::GetActiveWindow();
    tip_.ShowTip(500, 300);
    PumpMessages();
    EXPECT_TRUE(tip_.Visible());
    RECT r{};
    ::GetWindowRect(tip_.hwnd(), &r);
    EXPECT_EQ(r.left, 470);
    EXPECT_EQ(r.top, 300);
    EXPECT_EQ(::GetActiveWindow(), activeBefore);

    ::SetFocus(nullptr);
    ::SendMessageW(tip_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(::GetFocus(), owner_.get()) << "a click on the bubble focuses the owner";
}

TEST_F(Bubble, EveryTextSetSizesTheWindowAndItsRegionToTheText) {
    for (const std::wstring text : {L"Hi", L"A considerably longer line of bubble text"}) {
        tip_.TextSet(text);
        const SIZE expected = MeasureWithMenuFont(text);
        EXPECT_EQ(tip_.TextSize().cx, expected.cx);
        RECT r{};
        ::GetWindowRect(tip_.hwnd(), &r);
        EXPECT_EQ(r.right - r.left, 2 * 8 + expected.cx + 10) << "width follows the text";
        RECT box{};
        ASSERT_NE(::GetWindowRgnBox(tip_.hwnd(), &box), ERROR);
        // GDI leaves out the polygon's apex row and the round rectangle's last row and column;
        // a short text leaves the tail (up to x = 34) sticking out to the right.
        EXPECT_LE(box.top, 1) << "the tail reaches the top edge";
        EXPECT_NEAR(box.right, std::max(2 * 8 + expected.cx, 34l), 1);
        EXPECT_NEAR(box.bottom, 2 * 8 + expected.cy + 8, 1);
    }
}

TEST_F(Bubble, OwnerMoveOrDeactivationHidesIt) {
    tip_.ShowTip(300, 300);
    ASSERT_TRUE(tip_.Visible());
    MoveOwner(150, 140);
    EXPECT_FALSE(tip_.Visible());

    tip_.ShowTip(300, 300);
    ::SendMessageW(owner_.get(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(tip_.OwnerWindowActive());
    EXPECT_FALSE(tip_.Visible());
    ::SendMessageW(owner_.get(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(tip_.OwnerWindowActive());
    EXPECT_FALSE(tip_.Visible()) << "activation alone does not show it";
}

TEST(BubbleLifetime, DestroyingTheBubbleUnhooksItsOwner) {
    unique_hwnd owner(::CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr));
    const LONG_PTR ownProcedure = ::GetWindowLongPtrW(owner.get(), GWLP_WNDPROC);
    HWND bubble = nullptr;
    {
        frmFakeToolTip tip;
        ASSERT_TRUE(tip.Init());
        tip.SubClsOwner(owner.get());
        bubble = tip.hwnd();
        EXPECT_NE(::GetWindowLongPtrW(owner.get(), GWLP_WNDPROC), ownProcedure);
    }
    EXPECT_EQ(::GetWindowLongPtrW(owner.get(), GWLP_WNDPROC), ownProcedure);
    EXPECT_FALSE(::IsWindow(bubble));
    // Messages that would reach a destroyed bubble, had it stayed hooked.
    ::SetWindowPos(owner.get(), nullptr, 120, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(owner.get(), WM_ACTIVATE, WA_INACTIVE, 0);
}

}  // namespace
}  // namespace tarvo
