// The owner-drawn widgets: the style button, the speech bubble it blinks with, the button bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "controls/button_bar.h"
#include "controls/style_button_attention.h"
#include "controls/system_fonts.h"
#include "dib_surface.h"
#include "gdi_objects.h"
#include "test_support.h"
#include "test_window.h"

namespace tarvo {
namespace {

using testing::DibSurface;
using testing::PumpMessages;

int Channel(std::uint32_t rgb, int k) { return static_cast<int>((rgb >> (16 - 8 * k)) & 0xFF); }
int Spread(std::uint32_t rgb) {
    return std::max({Channel(rgb, 0), Channel(rgb, 1), Channel(rgb, 2)}) - std::min({Channel(rgb, 0), Channel(rgb, 1), Channel(rgb, 2)});
}

// A 40 x 30 button on a window that owns a bubble, the pointer away from both.
class OwnerDrawnTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(1200, 1000);
        owner_.reset(testing::CreateProbeWindow(ownerLog_));
        ASSERT_TRUE(owner_);
        ::SetForegroundWindow(owner_.get());
        button_.BackColor(0xFFD1AD);
        button_.Caption(L"");
        ASSERT_TRUE(button_.Init(owner_.get(), RECT{20, 20, 60, 50}) && bubble_.Init());
        button_.Click = [this] { ++clicks_; };
        bubble_.SubClsOwner(owner_.get());
        bubble_.TextSet(L"Stop waiting for process and abandon it.");
        PumpMessages();
        Send(WM_MOUSELEAVE, 0);  // pointer events of earlier tests may still be queued
    }

    HWND Button() const { return button_.hwnd(); }
    // Each point (x, y) of the button shows a colour between a and b (0xRRGGBB), channel by channel.
    void ExpectShown(std::initializer_list<std::tuple<int, int, std::uint32_t, std::uint32_t>> probes) const {
        const auto shown = DibSurface::Of(Button());
        for (const auto& [x, y, a, b] : probes)
            for (int k = 0; k < 3; ++k)
                EXPECT_TRUE(std::clamp(Channel(shown.At(x, y), k), std::min(Channel(a, k), Channel(b, k)),
                                       std::max(Channel(a, k), Channel(b, k))) == Channel(shown.At(x, y), k))
                    << std::hex << (shown.At(x, y) & 0xFFFFFF) << " at " << std::dec << x << "," << y;
    }
    // The real pointer goes there too, so the window under the cursor is the one the message claims.
    void MoveTo(int x, int y) {
        POINT screen{x, y};
        ::ClientToScreen(Button(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        Send(WM_MOUSEMOVE, 0, x, y);
    }
    void Send(UINT message, WPARAM wParam, int x = 10, int y = 10) { ::SendMessageW(Button(), message, wParam, MAKELPARAM(x, y)); }
    void Click() {
        MoveTo(10, 10);
        Send(WM_LBUTTONDOWN, MK_LBUTTON);
        Send(WM_LBUTTONUP, 0);
    }
    void Activate(bool active) { ::SendMessageW(owner_.get(), WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0); }
    // Whether the opaque, clearly coloured pixels of the picture process-stop loads are shown grey.
    bool PictureShownGrey() const {
        const c32bppDIB& picture = button_.Picture();
        const RECT at = button_.PictureRect();
        for (long y = 0; y < picture.Height(); ++y)
            for (long x = 0; x < picture.Width(); ++x) {
                const std::uint8_t* p = picture.BitsPointer() + (picture.Height() - 1 - y) * picture.scanWidth() + x * 4;
                if (p[3] == 255 && Spread(p[0] | p[1] << 8 | p[2] << 16) > 60) return Spread(DibSurface::Of(Button()).At(at.left + x, at.top + y)) <= 2;
            }
        ADD_FAILURE() << "no coloured pixel in the picture";
        return false;
    }
    void Ticks(int count) {
        for (int i = 0; i < count; ++i) button_.BlinkTimer().PulseTimer();
    }

    testing::WindowLog ownerLog_;
    unique_hwnd owner_;
    VRX_StyleButton button_;
    frmFakeToolTip bubble_;
    StyleButtonAttention attention_{bubble_};
    int clicks_ = 0;
};

TEST_F(OwnerDrawnTest, IdleHotPressedAndCheckedLooksFollowThePointerAndTheValueWithoutLeaking) {
    const long gdi = test::GdiObjects();
    // Idle: the bar's two bands (rows 0..10 and 11..29), no frame; the other looks framed in 0x000080.
    ExpectShown({{0, 0, 0xE2F4FF, 0xE2F4FF}, {10, 10, 0xB6DAFF, 0xB6DAFF}, {0, 11, 0xADD1FF, 0xADD1FF}, {10, 29, 0xB5D9FF, 0xB5D9FF}});
    MoveTo(10, 10);
    EXPECT_EQ(button_.State(), StyleButtonState::kHot);
    ExpectShown({{10, 5, 0xFFFFE1, 0xFFEBAC}, {10, 20, 0xFFD767, 0xFFE399}, {0, 20, 0x000080, 0x000080}});
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    EXPECT_EQ(button_.State(), StyleButtonState::kPressed);
    ExpectShown({{10, 5, 0xFFAF51, 0xFF8F46}, {10, 20, 0xFF8F46, 0xFFD35F}, {39, 29, 0x000080, 0x000080}});
    Send(WM_LBUTTONUP, 0);
    EXPECT_EQ(clicks_, 1);
    Send(WM_MOUSELEAVE, 0);
    EXPECT_EQ(button_.State(), StyleButtonState::kNormal);

    button_.Mode(kCheckButton);
    Click();
    EXPECT_TRUE(button_.Value());
    Send(WM_MOUSELEAVE, 0);
    ExpectShown({{10, 5, 0xFFDAA9, 0xFFC06F}, {10, 20, 0xFFC06F, 0xFFAB3F}});
    MoveTo(10, 10);  // checked under the pointer: the pressed colours
    ExpectShown({{10, 5, 0xFFAF51, 0xFF8F46}});
    Click();
    EXPECT_FALSE(button_.Value());
    Send(WM_MOUSELEAVE, 0);
    ExpectShown({{10, 20, 0xADD1FF, 0xB5D9FF}});
    button_.Value(true);  // set by the owner, as the find bar's toggle does
    ExpectShown({{10, 5, 0xFFDAA9, 0xFFC06F}});
    EXPECT_EQ(clicks_, 3);
    EXPECT_EQ(test::GdiObjects(), gdi);
}

TEST_F(OwnerDrawnTest, ReleasingOutsideOrLosingTheOwnersActivationIsNoClickAndAnOptionClearsTheOthers) {
    std::vector<float> mouseUps;
    button_.MouseUp = [&](short& b, short&, float& x, float& y) { mouseUps.insert(mouseUps.end(), {float(b), x, y}); };
    MoveTo(10, 10);
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    EXPECT_EQ(::GetCapture(), Button());
    MoveTo(70, 10);
    EXPECT_EQ(button_.State(), StyleButtonState::kNormal);
    Send(WM_LBUTTONUP, 0, 70, 12);
    EXPECT_NE(::GetCapture(), Button());
    Send(WM_LBUTTONUP, 0);  // a release inside without a press inside
    EXPECT_EQ(mouseUps, (std::vector<float>{1, 70, 12, 1, 10, 10}));
    MoveTo(10, 10);
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Activate(false);
    EXPECT_FALSE(button_.OwnerActive());
    EXPECT_EQ(button_.State(), StyleButtonState::kNormal);
    EXPECT_NE(::GetCapture(), Button());
    Send(WM_LBUTTONUP, 0);
    EXPECT_EQ(clicks_, 0);

    VRX_StyleButton second, pushButton;
    ASSERT_TRUE(second.Init(owner_.get(), RECT{70, 20, 110, 50}) && pushButton.Init(owner_.get(), RECT{120, 20, 160, 50}));
    button_.Mode(kOptionButton);
    second.Mode(kOptionButton);
    Click();
    second.Value(true);
    EXPECT_FALSE(button_.Value());
    Click();
    Click();  // clicking a chosen option keeps it chosen
    EXPECT_EQ((std::vector<bool>{button_.Value(), second.Value(), pushButton.Value()}), (std::vector<bool>{true, false, false}));
}

TEST_F(OwnerDrawnTest, EnterSpaceAndTheAccessKeyClickAndAnArrowCancelsTheSpace) {
    std::vector<int> clicksAfter;
    for (const auto& [message, key] : std::vector<std::pair<UINT, WPARAM>>{
             {WM_KEYDOWN, VK_RETURN}, {WM_KEYDOWN, VK_SPACE}, {WM_KEYUP, VK_SPACE}, {WM_KEYDOWN, VK_SPACE},
             {WM_KEYDOWN, VK_DOWN}, {WM_KEYUP, VK_SPACE}, {WM_SYSCHAR, L'f'}, {WM_SYSCHAR, L'F'}}) {
        if (message == WM_SYSCHAR) button_.Caption(L"&&Find &first");
        ::SendMessageW(Button(), message, key, 1);
        clicksAfter.push_back(clicks_ * 10 + static_cast<int>(button_.State()));
    }
    EXPECT_EQ(clicksAfter, (std::vector<int>{10, 12, 20, 22, 20, 20, 30, 40}));
    button_.KeyDown = [](short& code, short&) {
        if (code == VK_RETURN) code = 0;  // a cleared key code withholds the key
    };
    ::SendMessageW(Button(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(clicks_, 4);
}

TEST_F(OwnerDrawnTest, ADisabledButtonIsGreyAndDeafAndBlinkingItAlternatesAndShowsTheBubbleOncePerPeriod) {
    ASSERT_TRUE(button_.picLocation(L"process-stop", L"CUSTOM"));
    EXPECT_FALSE(PictureShownGrey());
    button_.AttentionTip(&attention_);
    button_.Enabled(false);
    button_.Blink(true);
    EXPECT_TRUE(PictureShownGrey() && !::IsWindowEnabled(Button()));
    int downs = 0;
    button_.MouseDown = [&](short&, short&, float&, float&) { ++downs; };
    Click();
    Send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(clicks_ + downs + button_.BlinkTimer().Interval(), 0);

    button_.Enabled(true);
    EXPECT_EQ(button_.BlinkTimer().Interval(), 600);
    Activate(false);
    bool wasGrey = PictureShownGrey();
    for (int tick = 1; tick <= 8; ++tick, wasGrey = !wasGrey) {
        Ticks(1);
        EXPECT_NE(PictureShownGrey(), wasGrey) << "tick " << tick;
    }
    EXPECT_FALSE(bubble_.Visible()) << "it waits for an active owner";
    Activate(true);
    Ticks(1);
    ASSERT_TRUE(bubble_.Visible());
    EXPECT_EQ(::GetActiveWindow(), owner_.get()) << "the bubble does not take the activation";
    const RECT button = test::WindowRect(Button());  // the bubble's apex 30 px in, at 10 px above the bottom
    EXPECT_EQ(std::make_pair(test::WindowRect(bubble_.hwnd()).left, test::WindowRect(bubble_.hwnd()).top),
              std::make_pair(button.left + 20 - 30, button.bottom - 10));
    ::SetFocus(nullptr);
    ::SendMessageW(bubble_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(::GetFocus(), owner_.get());
    Ticks(31);
    EXPECT_TRUE(bubble_.Visible());
    Ticks(1);
    EXPECT_FALSE(bubble_.Visible()) << "hidden at tick 41";
    Ticks(60);
    EXPECT_FALSE(bubble_.Visible());
    button_.Enabled(false);  // the command completed: a new period follows
    button_.Enabled(true);
    Ticks(6);
    EXPECT_FALSE(bubble_.Visible());
    Ticks(1);
    EXPECT_TRUE(bubble_.Visible()) << "shown at tick 7";
    ::SetWindowPos(owner_.get(), nullptr, 150, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(bubble_.Visible()) << "the owner moved";
    bubble_.ShowTip(300, 300);
    Activate(false);
    EXPECT_FALSE(bubble_.OwnerWindowActive() || bubble_.Visible());
    Activate(true);
    EXPECT_TRUE(bubble_.OwnerWindowActive() && !bubble_.Visible()) << "activation alone does not show it";
    button_.Blink(false);
    Ticks(10);  // ticks already queued do nothing
    EXPECT_FALSE(bubble_.Visible() || PictureShownGrey());
}

TEST_F(OwnerDrawnTest, EveryTextSetSizesTheBubbleAndItsRegionAndABubbleGoneUnhooksItsOwnerWithoutLeaking) {
    unique_hdc dc(::CreateCompatibleDC(nullptr));
    const select_object_scope font(dc.get(), DefaultFontHandle(kMenuFont));
    const long gdi = test::GdiObjects();
    for (const wchar_t* text : {L"Hi", L"A considerably longer line of bubble text", L"Hi"}) {
        bubble_.TextSet(text);
        RECT expected{}, box{};
        ::DrawTextW(dc.get(), text, -1, &expected, DT_CALCRECT);
        const RECT shown = test::WindowRect(bubble_.hwnd());
        EXPECT_EQ(std::make_pair(bubble_.TextSize().cx, shown.right - shown.left), std::make_pair(expected.right, 2 * 8 + expected.right + 10));
        ASSERT_NE(::GetWindowRgnBox(bubble_.hwnd(), &box), ERROR);
        // GDI leaves out the polygon's apex row and the round rectangle's last row and column;
        // a short text leaves the tail (up to x = 34) sticking out to the right.
        EXPECT_LE(box.top, 1) << "the tail reaches the top edge";
        EXPECT_NEAR(box.right, std::max(2 * 8 + expected.right, 34l), 1);
        EXPECT_NEAR(box.bottom, 2 * 8 + expected.bottom + 8, 1);
    }
    unique_hwnd other(::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr));
    const LONG_PTR ownProcedure = ::GetWindowLongPtrW(other.get(), GWLP_WNDPROC);
    HWND gone = nullptr;
    {
        frmFakeToolTip second;
        ASSERT_TRUE(second.Init());
        second.SubClsOwner(other.get());
        second.TextSet(L"Another bubble");
        gone = second.hwnd();
    }
    EXPECT_EQ(::GetWindowLongPtrW(other.get(), GWLP_WNDPROC), ownProcedure);
    EXPECT_FALSE(::IsWindow(gone));
    EXPECT_EQ(test::GdiObjects(), gdi);
}

TEST_F(OwnerDrawnTest, TheButtonBarRendersItsBandsOnlyWhenGrowingOrChangingHeightAndPassesNotificationsOn) {
    const long gdi = test::GdiObjects();
    auto bar = std::make_unique<VRX_ButtonBar>();
    ASSERT_TRUE(bar->Init(owner_.get(), 0, 0, 200, 30));
    ::InvalidateRect(bar->hWnd(), nullptr, TRUE);
    ::UpdateWindow(bar->hWnd());
    // Not wider than what was rendered: no new rendering, the picture kept; wider, or another height: one.
    for (const auto& [width, height, renders] : {std::tuple{150, 30, 1}, {200, 30, 1}, {260, 30, 2}, {100, 40, 3}, {100, 25, 4}}) {
        if (renders == 2) {
            const HDC mem = bar->MemDC().hDC();
            EXPECT_EQ((std::vector<COLORREF>{::GetPixel(mem, 0, 0), ::GetPixel(mem, 199, 10), ::GetPixel(mem, 0, 11), ::GetPixel(mem, 100, 29)}),
                      (std::vector<COLORREF>{RGB(226, 244, 255), RGB(182, 218, 255), RGB(173, 209, 255), RGB(181, 217, 255)}));
        }
        ::SetWindowPos(bar->hWnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(bar->RenderCount(), renders) << width << "x" << height;
    }
    EXPECT_EQ(bar->MemDC().Height(), 40) << "the context never shrinks";
    bar->HeightInPix(28);
    EXPECT_EQ(bar->RenderCount(), 5);
    EXPECT_EQ(::GetPixel(bar->MemDC().hDC(), 0, 10), RGB(173, 209, 255)) << "lower band from R(28 / 2.7) = 10";
    ownerLog_.messages.clear();
    ::SendMessageW(bar->hWnd(), WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), 0);
    EXPECT_EQ(ownerLog_.messages, (std::vector<UINT>{WM_COMMAND}));
    bar.reset();
    EXPECT_EQ(test::GdiObjects(), gdi);
}

}  // namespace
}  // namespace tarvo
