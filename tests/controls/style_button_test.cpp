#include "controls/style_button.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/style_button_attention.h"
#include "dib_surface.h"
#include "controls/button_bar.h"
#include "test_window.h"

namespace tarvo {
namespace {

using testing::DibSurface;
constexpr int kWidth = 40, kHeight = 30;

int Channel(std::uint32_t pixel, int k) { return static_cast<int>((pixel >> (16 - 8 * k)) & 0xFF); }

// Whether the shown pixel (0xAARRGGBB) lies between two colours written 0xRRGGBB, channel by channel.
::testing::AssertionResult Between(std::uint32_t pixel, std::uint32_t a, std::uint32_t b) {
    for (int k = 0; k < 3; ++k)
        if (Channel(pixel, k) < std::min(Channel(a, k), Channel(b, k)) || Channel(pixel, k) > std::max(Channel(a, k), Channel(b, k)))
            return ::testing::AssertionFailure() << std::hex << (pixel & 0xFFFFFF) << " not between " << a << " and " << b;
    return ::testing::AssertionSuccess();
}

bool IsGrey(std::uint32_t p) {
    return std::abs(Channel(p, 0) - Channel(p, 1)) <= 1 && std::abs(Channel(p, 1) - Channel(p, 2)) <= 1;
}

class StyleButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(1200, 1000);  // away from every window the tests make
        owner_.reset(testing::CreateProbeWindow(ownerLog_));
        ASSERT_TRUE(owner_);
        ::SetForegroundWindow(owner_.get());
        button_.ButtonStyle(8);
        button_.BackColor(0xFFD1AD);
        button_.Caption(L"");
        button_.PictureEffectOnOver(0);
        button_.PictureEffectOnDown(0);
        ASSERT_TRUE(button_.Init(owner_.get(), RECT{20, 20, 20 + kWidth, 20 + kHeight}));
        button_.Click = [this] { ++clicks_; };
        button_.MouseUp = [this](short& b, short&, float& x, float& y) {
            mouseUps_.push_back(std::to_wstring(b) + L"@" + std::to_wstring(static_cast<int>(x)) + L"," +
                                std::to_wstring(static_cast<int>(y)));
        };
        testing::PumpMessages();
    }

    HWND Button() const { return button_.hwnd(); }
    std::uint32_t Shown(int x, int y) const { return DibSurface::Of(Button()).At(x, y); }
    // The real pointer goes there too, so the window under the cursor is the one the message claims.
    void MoveTo(int x, int y) {
        POINT screen{x, y};
        ::ClientToScreen(Button(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(Button(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    void Send(UINT message, WPARAM wParam, int x = 10, int y = 10) { ::SendMessageW(Button(), message, wParam, MAKELPARAM(x, y)); }
    void ClickAt(int x, int y) {
        MoveTo(x, y);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        Send(WM_LBUTTONUP, 0, x, y);
    }
    // Pointer events of earlier tests may still be queued; this starts from the idle look.
    void Leave() { ::SendMessageW(Button(), WM_MOUSELEAVE, 0, 0); }
    void Key(UINT message, WPARAM key) { ::SendMessageW(Button(), message, key, 1); }

    // An opaque, clearly coloured pixel of the loaded picture, in the picture's top-down coordinates.
    POINT ColouredPicturePixel() const {
        const c32bppDIB& picture = button_.Picture();
        for (long y = 0; y < picture.Height(); ++y)
            for (long x = 0; x < picture.Width(); ++x) {
                const std::uint8_t* p = picture.BitsPointer() + (picture.Height() - 1 - y) * picture.scanWidth() + x * 4;
                if (p[3] == 255 && std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 60) return POINT{x, y};
            }
        return POINT{-1, -1};
    }
    bool PictureShownGrey(POINT inPicture) const {
        const RECT where = button_.PictureRect();
        return IsGrey(Shown(where.left + inPicture.x, where.top + inPicture.y));
    }

    testing::WindowLog ownerLog_;
    unique_hwnd owner_;
    VRX_StyleButton button_;
    int clicks_ = 0;
    std::vector<std::wstring> mouseUps_;
};

TEST_F(StyleButtonTest, IdleHotPressedAndCheckedLooksFollowThePointerAndTheValue) {
    VRX_ButtonBar bar;
    ASSERT_TRUE(bar.Init(owner_.get(), 0, 100, 100, kHeight));
    Leave();
    const auto idle = DibSurface::Of(Button());
    ASSERT_EQ(idle.Height(), kHeight);
    for (int y = 0; y < kHeight; ++y) {
        const std::uint32_t p = idle.At(kWidth / 2, y);
        EXPECT_EQ(RGB(Channel(p, 0), Channel(p, 1), Channel(p, 2)), ::GetPixel(bar.MemDC().hDC(), 5, y)) << "row " << y;
    }
    // Rows 5 and 20 lie in the upper (rows 0..10 of 30) and the lower band; column 0 is the frame.
    MoveTo(10, 10);
    EXPECT_EQ(button_.State(), StyleButtonState::kHot);
    EXPECT_TRUE(Between(Shown(10, 5), 0xFFFFE1, 0xFFEBAC));
    EXPECT_TRUE(Between(Shown(10, 20), 0xFFD767, 0xFFE399));
    EXPECT_FALSE(Between(Shown(0, 20), 0xFFD767, 0xFFE399));
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    EXPECT_EQ(button_.State(), StyleButtonState::kPressed);
    EXPECT_TRUE(Between(Shown(10, 5), 0xFFAF51, 0xFF8F46));
    EXPECT_TRUE(Between(Shown(10, 20), 0xFF8F46, 0xFFD35F));
    Send(WM_LBUTTONUP, 0);
    EXPECT_EQ(clicks_, 1);
    Leave();
    EXPECT_EQ(button_.State(), StyleButtonState::kNormal);

    button_.Mode(kCheckButton);
    ClickAt(10, 10);
    EXPECT_TRUE(button_.Value());
    Leave();
    EXPECT_TRUE(Between(Shown(10, 5), 0xFFDAA9, 0xFFC06F));
    EXPECT_TRUE(Between(Shown(10, 20), 0xFFC06F, 0xFFAB3F));
    MoveTo(10, 10);  // checked under the pointer: the pressed colours
    EXPECT_TRUE(Between(Shown(10, 5), 0xFFAF51, 0xFF8F46));
    ClickAt(10, 10);
    EXPECT_FALSE(button_.Value());
    EXPECT_EQ(clicks_, 3);
    Leave();
    EXPECT_TRUE(Between(Shown(10, 20), 0xADD1FF, 0xB5D9FF));
    button_.Value(true);  // set by the owner, as the find bar's toggle does
    EXPECT_TRUE(Between(Shown(10, 5), 0xFFDAA9, 0xFFC06F));
}

TEST_F(StyleButtonTest, ReleasingOutsideOrLosingTheOwnersActivationIsNoClick) {
    MoveTo(10, 10);
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    EXPECT_EQ(::GetCapture(), Button());
    MoveTo(kWidth + 30, 10);
    EXPECT_EQ(button_.State(), StyleButtonState::kNormal);
    Send(WM_LBUTTONUP, 0, kWidth + 30, 10);
    EXPECT_NE(::GetCapture(), Button());
    Send(WM_LBUTTONUP, 0);  // a release inside without a press inside
    EXPECT_EQ(mouseUps_, (std::vector<std::wstring>{L"1@70,10", L"1@10,10"}));

    MoveTo(10, 10);
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    ::SendMessageW(owner_.get(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(button_.OwnerActive());
    EXPECT_EQ(button_.State(), StyleButtonState::kNormal);
    EXPECT_NE(::GetCapture(), Button());
    Send(WM_LBUTTONUP, 0);
    EXPECT_EQ(clicks_, 0);
}

TEST_F(StyleButtonTest, DisabledButtonDrawsItsPictureGreyAndIgnoresInput) {
    ASSERT_TRUE(button_.picLocation(L"process-stop", L"CUSTOM"));
    const POINT coloured = ColouredPicturePixel();
    ASSERT_GE(coloured.x, 0);
    EXPECT_FALSE(PictureShownGrey(coloured));
    button_.Enabled(false);
    EXPECT_FALSE(::IsWindowEnabled(Button()));
    EXPECT_TRUE(PictureShownGrey(coloured));
    int downs = 0;
    button_.MouseDown = [&](short&, short&, float&, float&) { ++downs; };
    ClickAt(10, 10);
    Key(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(clicks_ + downs, 0);
    button_.Enabled(true);
    EXPECT_FALSE(PictureShownGrey(coloured));
    ClickAt(10, 10);
    EXPECT_EQ(clicks_, 1);
}

TEST_F(StyleButtonTest, AnOptionClearsTheOtherOptionsOfItsParent) {
    VRX_StyleButton second, pushButton;
    ASSERT_TRUE(second.Init(owner_.get(), RECT{70, 20, 110, 50}));
    ASSERT_TRUE(pushButton.Init(owner_.get(), RECT{120, 20, 160, 50}));
    button_.Mode(kOptionButton);
    second.Mode(kOptionButton);
    ClickAt(10, 10);
    EXPECT_TRUE(button_.Value());
    second.Value(true);
    EXPECT_FALSE(button_.Value());
    ClickAt(10, 10);
    ClickAt(10, 10);  // clicking a chosen option keeps it chosen
    EXPECT_EQ((std::vector<bool>{button_.Value(), second.Value(), pushButton.Value()}), (std::vector<bool>{true, false, false}));
}

TEST_F(StyleButtonTest, EnterSpaceAndTheAccessKeyClickAndAnArrowCancelsTheSpace) {
    Key(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(clicks_, 1);
    Key(WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(button_.State(), StyleButtonState::kPressed);
    Key(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(clicks_, 2);
    Key(WM_KEYDOWN, VK_SPACE);
    Key(WM_KEYDOWN, VK_LEFT);
    Key(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(clicks_, 2);
    button_.KeyDown = [](short& code, short&) {
        if (code == VK_RETURN) code = 0;  // a cleared key code withholds the key
    };
    Key(WM_KEYDOWN, VK_RETURN);
    button_.Caption(L"&Find");
    Key(WM_SYSCHAR, L'x');
    EXPECT_EQ(clicks_, 2);
    Key(WM_SYSCHAR, L'f');
    EXPECT_EQ(clicks_, 3);
}

// The program's bubble on the owner window, the button blinking but still disabled.
class BlinkTest : public StyleButtonTest {
protected:
    void SetUp() override {
        StyleButtonTest::SetUp();
        ASSERT_TRUE(button_.picLocation(L"process-stop", L"CUSTOM"));
        ASSERT_TRUE(bubble_.Init());
        bubble_.SubClsOwner(owner_.get());
        bubble_.TextSet(L"Stop waiting for process and abandon it.");
        button_.AttentionTip(&attention_);
        button_.Enabled(false);
        button_.Blink(true);
    }
    void Ticks(int count) {
        for (int i = 0; i < count; ++i) button_.BlinkTimer().PulseTimer();
    }

    frmFakeToolTip bubble_;
    StyleButtonAttention attention_{bubble_};
};

TEST_F(BlinkTest, BubbleShowsAtTickSevenUnderTheCentreAndHidesAtTickFortyOne) {
    EXPECT_EQ(button_.BlinkTimer().Interval(), 0);
    button_.Enabled(true);
    EXPECT_EQ(button_.BlinkTimer().Interval(), 600);
    Ticks(6);
    EXPECT_FALSE(bubble_.Visible());
    Ticks(1);
    ASSERT_TRUE(bubble_.Visible());
    RECT button{}, shown{};
    ::GetWindowRect(Button(), &button);
    ::GetWindowRect(bubble_.hwnd(), &shown);
    EXPECT_EQ(shown.left, (button.left + button.right) / 2 - 30);  // the tail's apex is 30 px in
    EXPECT_EQ(shown.top, button.bottom - 10);
    Ticks(33);
    EXPECT_TRUE(bubble_.Visible());
    Ticks(1);
    EXPECT_FALSE(bubble_.Visible());
    Ticks(60);  // once per blinking period
    EXPECT_FALSE(bubble_.Visible());
    button_.Enabled(false);  // the command completed: a new period follows
    button_.Enabled(true);
    Ticks(7);
    EXPECT_TRUE(bubble_.Visible());
    button_.Enabled(false);
    EXPECT_FALSE(bubble_.Visible());
    EXPECT_EQ(button_.BlinkTimer().Interval(), 0);
}

TEST_F(BlinkTest, PictureAlternatesAndTheBubbleWaitsForAnActiveOwner) {
    button_.Enabled(true);
    const POINT coloured = ColouredPicturePixel();
    ASSERT_GE(coloured.x, 0);
    ::SendMessageW(owner_.get(), WM_ACTIVATE, WA_INACTIVE, 0);
    bool wasGrey = PictureShownGrey(coloured);
    for (int i = 0; i < 8; ++i) {
        Ticks(1);
        EXPECT_NE(PictureShownGrey(coloured), wasGrey) << "tick " << i;
        wasGrey = !wasGrey;
    }
    EXPECT_FALSE(bubble_.Visible());
    ::SendMessageW(owner_.get(), WM_ACTIVATE, WA_ACTIVE, 0);
    Ticks(1);
    EXPECT_TRUE(bubble_.Visible());
    button_.Blink(false);
    EXPECT_FALSE(bubble_.Visible());
    EXPECT_FALSE(PictureShownGrey(coloured));
    Ticks(10);  // ticks already queued do nothing
    EXPECT_FALSE(bubble_.Visible());
}

}  // namespace
}  // namespace tarvo
