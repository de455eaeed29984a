#include "controls/speech_bubble.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "controls/system_fonts.h"
#include "gdi_objects.h"
#include "test_window.h"

namespace tarvo {
namespace {

using testing::PumpMessages;

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

    unique_hwnd owner_;
    frmFakeToolTip tip_;
};

TEST_F(Bubble, ShowTipPutsTheTailApexAtThePointWithoutTakingFocusAndAClickFocusesTheOwner) {
    EXPECT_FALSE(tip_.Visible());
    const HWND activeBefore = ::GetActiveWindow();
    tip_.ShowTip(500, 300);
    PumpMessages();
    EXPECT_TRUE(tip_.Visible());
    RECT r{};
    ::GetWindowRect(tip_.hwnd(), &r);
    EXPECT_EQ(std::make_pair(r.left, r.top), std::make_pair(470L, 300L));
    EXPECT_EQ(::GetActiveWindow(), activeBefore);
    ::SetFocus(nullptr);
    ::SendMessageW(tip_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(::GetFocus(), owner_.get());
}

TEST_F(Bubble, EveryTextSetSizesTheWindowAndItsRegionToTheTextWithoutLeaking) {
    const long gdiBefore = test::GdiObjects();
    for (const std::wstring text : {L"Hi", L"A considerably longer line of bubble text", L"Hi"}) {
        tip_.TextSet(text);
        unique_hdc dc(::CreateCompatibleDC(nullptr));
        const select_object_scope font(dc.get(), DefaultFontHandle(kMenuFont));
        RECT expected{};
        ::DrawTextW(dc.get(), text.c_str(), -1, &expected, DT_CALCRECT);
        EXPECT_EQ(tip_.TextSize().cx, expected.right);
        RECT r{}, box{};
        ::GetWindowRect(tip_.hwnd(), &r);
        EXPECT_EQ(r.right - r.left, 2 * 8 + expected.right + 10) << "width follows the text";
        ASSERT_NE(::GetWindowRgnBox(tip_.hwnd(), &box), ERROR);
        // GDI leaves out the polygon's apex row and the round rectangle's last row and column;
        // a short text leaves the tail (up to x = 34) sticking out to the right.
        EXPECT_LE(box.top, 1) << "the tail reaches the top edge";
        EXPECT_NEAR(box.right, std::max(2 * 8 + expected.right, 34l), 1);
        EXPECT_NEAR(box.bottom, 2 * 8 + expected.bottom + 8, 1);
    }
    EXPECT_EQ(test::GdiObjects(), gdiBefore);
}

TEST_F(Bubble, OwnerMoveOrDeactivationHidesItAndDestroyingItUnhooksTheOwner) {
    tip_.ShowTip(300, 300);
    ::SetWindowPos(owner_.get(), nullptr, 150, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages();
    EXPECT_FALSE(tip_.Visible());
    tip_.ShowTip(300, 300);
    ::SendMessageW(owner_.get(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(tip_.OwnerWindowActive() || tip_.Visible());
    ::SendMessageW(owner_.get(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(tip_.OwnerWindowActive());
    EXPECT_FALSE(tip_.Visible()) << "activation alone does not show it";

    unique_hwnd other(::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr));
    const LONG_PTR ownProcedure = ::GetWindowLongPtrW(other.get(), GWLP_WNDPROC);
    const long gdiBefore = test::GdiObjects();
    HWND bubble = nullptr;
    {
        frmFakeToolTip second;
        ASSERT_TRUE(second.Init());
        second.SubClsOwner(other.get());
        second.TextSet(L"Another bubble");
        bubble = second.hwnd();
    }
    EXPECT_EQ(::GetWindowLongPtrW(other.get(), GWLP_WNDPROC), ownProcedure);
    EXPECT_FALSE(::IsWindow(bubble));
    EXPECT_EQ(test::GdiObjects(), gdiBefore);
    ::SendMessageW(other.get(), WM_ACTIVATE, WA_INACTIVE, 0);  // would reach a destroyed bubble, had it stayed hooked
}

}  // namespace
}  // namespace tarvo
