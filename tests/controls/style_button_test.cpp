#include "controls/style_button.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "dib_surface.h"
#include "controls/button_bar.h"
#include "controls/style_button_attention.h"
#include "test_window.h"

namespace tarvo {
namespace {

constexpr OleColour kAccent = 0xFFD1AD;
constexpr int kWidth = 40;
constexpr int kHeight = 30;

using testing::DibSurface;

// Red, green and blue of a shown pixel (0xAARRGGBB).
std::array<int, 3> Rgb(std::uint32_t p) {
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
}

// Whether the pixel lies between two colours written 0xRRGGBB, channel by channel (gradients).
::testing::AssertionResult Between(std::uint32_t pixel, std::uint32_t a, std::uint32_t b) {
    const auto p = Rgb(pixel), x = Rgb(a), y = Rgb(b);
    for (int k = 0; k < 3; ++k)
        if (p[k] < std::min(x[k], y[k]) || p[k] > std::max(x[k], y[k]))
            return ::testing::AssertionFailure() << std::hex << "pixel " << (pixel & 0xFFFFFF) << " not between " << a
                                                 << " and " << b;
    return ::testing::AssertionSuccess();
}

bool IsGrey(std::uint32_t pixel) {
    const auto p = Rgb(pixel);
    return std::abs(p[0] - p[1]) <= 1 && std::abs(p[1] - p[2]) <= 1;
}

std::uint32_t Shown(HWND button, int x, int y) { return DibSurface::Of(button).At(x, y); }

class StyleButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(1200, 1000);  // away from every window the tests make
        owner_.reset(testing::CreateProbeWindow(ownerLog_));
        ASSERT_TRUE(owner_);
        ::SetForegroundWindow(owner_.get());
        ::SetActiveWindow(owner_.get());
        button_.ButtonStyle(8);
        button_.BackColor(kAccent);
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

    // The real pointer goes there too, so the window under the cursor is the one the message claims.
    void MoveTo(int x, int y) {
        POINT screen{x, y};
        ::ClientToScreen(Button(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(Button(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    void LeftDown(int x, int y) { ::SendMessageW(Button(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void LeftUp(int x, int y) { ::SendMessageW(Button(), WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    void ClickAt(int x, int y) {
        MoveTo(x, y);
        LeftDown(x, y);
        LeftUp(x, y);
    }
    // Pointer events of earlier tests may still be queued; this starts from the idle look.
    void Leave() { ::SendMessageW(Button(), WM_MOUSELEAVE, 0, 0); }
    void Key(UINT message, WPARAM key) { ::SendMessageW(Button(), message, key, 1); }

    // An opaque, clearly coloured pixel of the loaded picture, in the picture's top-down coordinates.
    POINT ColouredPicturePixel() const {
        const c32bppDIB& picture = button_.Picture();
        const std::uint8_t* bits = picture.BitsPointer();
        for (long y = 0; y < picture.Height(); ++y) {
            for (long x = 0; x < picture.Width(); ++x) {
                const std::uint8_t* p = bits + (picture.Height() - 1 - y) * picture.scanWidth() + x * 4;
                const int lo = std::min({p[0], p[1], p[2]});
                const int hi = std::max({p[0], p[1], p[2]});
                if (p[3] == 255 && hi - lo > 60) return POINT{x, y};
            }
        }
        return POINT{-1, -1};
    }

    std::uint32_t PicturePixelOnScreen(POINT inPicture) {
        const RECT where = button_.PictureRect();
        return Shown(Button(), where.left + inPicture.x, where.top + inPicture.y);
    }

    testing::WindowLog ownerLog_;
    unique_hwnd owner_;
    VRX_StyleButton button_;
    int clicks_ = 0;
    std::vector<std::wstring> mouseUps_;
};

TEST_F(StyleButtonTest, IdleHotAndPressedLooksFollowThePointer) {
    VRX_ButtonBar bar;
    ASSERT_TRUE(bar.Init(owner_.get(), 0, 100, 100, kHeight));
    Leave();
    const auto idle = DibSurface::Of(Button());
    ASSERT_EQ(idle.Height(), kHeight);
    for (int y = 0; y < kHeight; ++y) {
        const auto got = Rgb(idle.At(kWidth / 2, y));
        EXPECT_EQ(RGB(got[0], got[1], got[2]), ::GetPixel(bar.MemDC().hDC(), 5, y)) << "idle matches the bar, row " << y;
    }

    // Rows 5 and 20 lie in the upper (rows 0..10 of 30) and the lower band.
    MoveTo(10, 10);
    EXPECT_EQ(button_.State(), StyleButtonState::kHot);
    const auto hot = DibSurface::Of(Button());
    EXPECT_TRUE(Between(hot.At(10, 5), 0xFFFFE1, 0xFFEBAC));
    EXPECT_TRUE(Between(hot.At(10, 20), 0xFFD767, 0xFFE399));
    EXPECT_FALSE(Between(hot.At(0, 20), 0xFFD767, 0xFFE399)) << "the frame";

    LeftDown(10, 10);
    EXPECT_EQ(button_.State(), StyleButtonState::kPressed);
    const auto pressed = DibSurface::Of(Button());
    EXPECT_TRUE(Between(pressed.At(10, 5), 0xFFAF51, 0xFF8F46));
    EXPECT_TRUE(Between(pressed.At(10, 20), 0xFF8F46, 0xFFD35F));
    LeftUp(10, 10);
    EXPECT_EQ(clicks_, 1);
    Leave();
    EXPECT_EQ(button_.State(), StyleButtonState::kNormal);
}

TEST_F(StyleButtonTest, ReleasingOutsideRaisesMouseUpButNoClick) {
    MoveTo(10, 10);
    LeftDown(10, 10);
    EXPECT_EQ(::GetCapture(), Button());
    MoveTo(kWidth + 30, 10);
    EXPECT_EQ(button_.State(), StyleButtonState::kNormal);
    LeftUp(kWidth + 30, 10);
    EXPECT_EQ(clicks_, 0);
    EXPECT_EQ(mouseUps_, std::vector<std::wstring>{L"1@" + std::to_wstring(kWidth + 30) + L",10"});
    EXPECT_NE(::GetCapture(), Button());

    // A release inside that did not start with a press inside is no click either.
    LeftUp(10, 10);
    EXPECT_EQ(clicks_, 0);
    EXPECT_EQ(mouseUps_.size(), 2u);
}

TEST_F(StyleButtonTest, DisabledButtonDrawsItsPictureGreyAndIgnoresInput) {
    ASSERT_TRUE(button_.picLocation(L"process-stop", L"CUSTOM"));
    const POINT coloured = ColouredPicturePixel();
    ASSERT_GE(coloured.x, 0);
    EXPECT_FALSE(IsGrey(PicturePixelOnScreen(coloured)));

    button_.Enabled(false);
    EXPECT_FALSE(::IsWindowEnabled(Button()));
    EXPECT_TRUE(IsGrey(PicturePixelOnScreen(coloured)));
    int downs = 0;
    button_.MouseDown = [&](short&, short&, float&, float&) { ++downs; };
    ClickAt(10, 10);
    Key(WM_KEYDOWN, VK_RETURN);
    Key(WM_KEYDOWN, VK_SPACE);
    Key(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(clicks_, 0);
    EXPECT_EQ(downs, 0);

    button_.Enabled(true);
    EXPECT_FALSE(IsGrey(PicturePixelOnScreen(coloured)));
    ClickAt(10, 10);
    EXPECT_EQ(clicks_, 1);
}

TEST_F(StyleButtonTest, CheckButtonTogglesAndDrawsPressedWhileChecked) {
    button_.Mode(kCheckButton);
    ClickAt(10, 10);
    EXPECT_TRUE(button_.Value());
    Leave();
    const auto checked = DibSurface::Of(Button());
    EXPECT_TRUE(Between(checked.At(10, 5), 0xFFDAA9, 0xFFC06F));
    EXPECT_TRUE(Between(checked.At(10, 20), 0xFFC06F, 0xFFAB3F));
    MoveTo(10, 10);  // checked under the pointer: the pressed colours
    EXPECT_TRUE(Between(Shown(Button(), 10, 5), 0xFFAF51, 0xFF8F46));

    LeftDown(10, 10);
    LeftUp(10, 10);
    EXPECT_FALSE(button_.Value());
    EXPECT_EQ(clicks_, 2);
    Leave();
    EXPECT_TRUE(Between(Shown(Button(), 10, 20), 0xADD1FF, 0xB5D9FF));
    button_.Value(true);  // set by the owner, as the find bar's toggle does
    EXPECT_TRUE(Between(Shown(Button(), 10, 5), 0xFFDAA9, 0xFFC06F));
}

TEST_F(StyleButtonTest, OptionButtonClearsTheOthersOfItsParent) {
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
    EXPECT_TRUE(button_.Value());
    EXPECT_FALSE(second.Value());
    EXPECT_FALSE(pushButton.Value());
    HWND gone = nullptr;
    {
        VRX_StyleButton scoped;
        ASSERT_TRUE(scoped.Init(owner_.get(), RECT{170, 20, 210, 50}));
        scoped.ToolTip(L"tip");
        gone = scoped.hwnd();
    }
    EXPECT_FALSE(::IsWindow(gone)) << "the button's window goes with it";
}

TEST_F(StyleButtonTest, KeyboardClicks) {
    Key(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(clicks_, 1);
    Key(WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(button_.State(), StyleButtonState::kPressed);
    Key(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(clicks_, 2);
    Key(WM_KEYDOWN, VK_SPACE);
    Key(WM_KEYDOWN, VK_LEFT);  // an arrow cancels the space
    Key(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(clicks_, 2);

    button_.KeyDown = [](short& code, short&) {
        if (code == VK_RETURN) code = 0;  // a cleared key code withholds the key
    };
    Key(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(clicks_, 2);

    button_.Caption(L"&Find");
    Key(WM_SYSCHAR, L'f');
    EXPECT_EQ(clicks_, 3);
    Key(WM_SYSCHAR, L'x');
    EXPECT_EQ(clicks_, 3);
}

TEST_F(StyleButtonTest, HoverTooltipOnlyWithText) {
    MoveTo(10, 10);
    EXPECT_EQ(button_.State(), StyleButtonState::kHot);
    EXPECT_EQ(button_.TooltipWindow(), nullptr);
    Leave();

    button_.ToolTip(L"Stop waiting for command to finish");
    MoveTo(12, 12);
    const HWND tip = button_.TooltipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 240);
    Leave();
    MoveTo(12, 12);
    EXPECT_NE(button_.TooltipWindow(), nullptr);
    EXPECT_FALSE(::IsWindow(tip)) << "entering again replaces the tooltip window";
}

TEST_F(StyleButtonTest, OwnerDeactivationCancelsThePress) {
    MoveTo(10, 10);
    LeftDown(10, 10);
    ::SendMessageW(owner_.get(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(button_.OwnerActive());
    EXPECT_EQ(button_.State(), StyleButtonState::kNormal);
    EXPECT_NE(::GetCapture(), Button());
    LeftUp(10, 10);
    EXPECT_EQ(clicks_, 0);
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
    std::vector<bool> grey;
    for (int i = 0; i < 8; ++i) {
        Ticks(1);
        grey.push_back(IsGrey(PicturePixelOnScreen(coloured)));
    }
    for (std::size_t i = 1; i < grey.size(); ++i) EXPECT_NE(grey[i - 1], grey[i]) << "tick " << i;
    EXPECT_FALSE(bubble_.Visible());
    ::SendMessageW(owner_.get(), WM_ACTIVATE, WA_ACTIVE, 0);
    Ticks(1);
    EXPECT_TRUE(bubble_.Visible());

    button_.Blink(false);
    EXPECT_FALSE(bubble_.Visible());
    EXPECT_FALSE(IsGrey(PicturePixelOnScreen(coloured)));
    Ticks(10);  // ticks already queued do nothing
    EXPECT_FALSE(bubble_.Visible());
}

}  // namespace
}  // namespace tarvo
