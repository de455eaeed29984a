// The controls that draw their own windows, tried on the display: the style button with its blink
// timer, the speech bubble it shows, the button bar, and the splitter inside a panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <tuple>
#include <vector>

#include "controls/accelerator_routing.h"
#include "controls/button_bar.h"
#include "controls/panel.h"
#include "controls/splitter.h"
#include "controls/style_button_attention.h"
#include "controls/system_fonts.h"
#include "controls/thread_timer.h"
#include "dib_surface.h"
#include "expect_raised.h"
#include "gdi_objects.h"
#include "test_support.h"
#include "test_window.h"

namespace tarvo {
namespace {

int Channel(std::uint32_t rgb, int k) { return static_cast<int>((rgb >> (16 - 8 * k)) & 0xFF); }

// A 40 x 30 button on a window that owns a bubble, the pointer away from both.
class OwnerDrawnTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(1200, 1000);
        owner_.reset(testing::CreateProbeWindow(ownerLog_));
        ::SetForegroundWindow(owner_.get());
        button_.BackColor(0xFFD1AD);
        button_.Caption(L"");
        ASSERT_TRUE(owner_ && button_.Init(owner_.get(), RECT{20, 20, 60, 50}) && bubble_.Init());
        button_.Click = [this] { ++clicks_; };
        bubble_.SubClsOwner(owner_.get());
        bubble_.TextSet(L"Stop waiting for process and abandon it.");
        AcceleratorRouting::PumpPending();
        Send(WM_MOUSELEAVE);  // pointer events of earlier tests may still be queued
    }

    HWND Button() const { return button_.hwnd(); }
    // Each point (x, y) of the button shows a colour between a and b (0xRRGGBB), channel by channel.
    void ExpectShown(std::initializer_list<std::tuple<int, int, std::uint32_t, std::uint32_t>> probes) const {
        const auto shown = testing::DibSurface::Of(Button());
        for (const auto& [x, y, a, b] : probes)
            for (int k = 0; k < 3; ++k)
                EXPECT_LE((Channel(shown.At(x, y), k) - Channel(a, k)) * (Channel(shown.At(x, y), k) - Channel(b, k)), 0)
                    << std::hex << (shown.At(x, y) & 0xFFFFFF) << " at " << std::dec << x << "," << y;
    }
    void Mouse(UINT message, int x = 10, int y = 10) { testing::PointerAt(Button(), message, x, y); }
    void Send(UINT message, WPARAM wParam = 0) { ::SendMessageW(Button(), message, wParam, MAKELPARAM(10, 10)); }
    void Click() { for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) Mouse(message); }
    void Activate(WPARAM state) { ::SendMessageW(owner_.get(), WM_ACTIVATE, state, 0); }
    std::vector<std::uint32_t> Shown() const { return testing::DibSurface::Of(Button()).All(); }
    // Whether the bubble shows after `count` more blink ticks.
    bool Ticks(int count) {
        for (int i = 0; i < count; ++i) button_.BlinkTimer().PulseTimer();
        return bubble_.Visible();
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
    ExpectShown({{0, 0, 0xE2F4FF, 0xE2F4FF}, {10, 10, 0xB6DAFF, 0xB6DAFF}, {0, 11, 0xADD1FF, 0xADD1FF},
                 {10, 29, 0xB5D9FF, 0xB5D9FF}});
    Mouse(WM_MOUSEMOVE);
    ExpectShown({{10, 5, 0xFFFFE1, 0xFFEBAC}, {10, 20, 0xFFD767, 0xFFE399}, {0, 20, 0x000080, 0x000080}});
    Mouse(WM_LBUTTONDOWN);
    ExpectShown({{10, 5, 0xFFAF51, 0xFF8F46}, {10, 20, 0xFF8F46, 0xFFD35F}, {39, 29, 0x000080, 0x000080}});
    Mouse(WM_LBUTTONUP);
    button_.Mode(kCheckButton);
    Click();  // checked, the pointer still over it: the pressed colours
    ExpectShown({{10, 5, 0xFFAF51, 0xFF8F46}});
    Send(WM_MOUSELEAVE);
    ExpectShown({{10, 5, 0xFFDAA9, 0xFFC06F}, {10, 20, 0xFFC06F, 0xFFAB3F}});
    Click();
    Send(WM_MOUSELEAVE);
    ExpectShown({{10, 20, 0xADD1FF, 0xB5D9FF}});
    button_.Value(true);  // set by the owner, as the find bar's toggle does
    ExpectShown({{10, 5, 0xFFDAA9, 0xFFC06F}});
    EXPECT_EQ(clicks_, 3);
    EXPECT_EQ(test::GdiObjects(), gdi);
}

TEST_F(OwnerDrawnTest, ReleasingOutsideOrLosingActivationIsNoClickWhileEnterSpaceAndTheAccessKeyClickUnlessAnArrowCancelsTheSpace) {
    Mouse(WM_LBUTTONDOWN);
    EXPECT_EQ(::GetCapture(), Button());
    Mouse(WM_MOUSEMOVE, 70, 10);
    ExpectShown({{10, 20, 0xADD1FF, 0xB5D9FF}});
    Mouse(WM_LBUTTONUP, 70, 10);
    Mouse(WM_LBUTTONUP);  // a release inside without a press inside
    Mouse(WM_LBUTTONDOWN);
    Activate(WA_INACTIVE);
    EXPECT_FALSE(button_.OwnerActive() || ::GetCapture() || button_.State() != StyleButtonState::kNormal);
    Mouse(WM_LBUTTONUP);
    EXPECT_EQ(clicks_, 0);
    Activate(WA_ACTIVE);
    std::vector<int> clicksAndState;
    button_.Caption(L"&&Go &first");
    for (const auto& [message, key] : std::vector<std::pair<UINT, WPARAM>>{
             {WM_KEYDOWN, VK_RETURN}, {WM_KEYDOWN, VK_SPACE}, {WM_KEYUP, VK_SPACE}, {WM_KEYDOWN, VK_SPACE},
             {WM_KEYDOWN, VK_DOWN}, {WM_KEYUP, VK_SPACE}, {WM_SYSCHAR, L'g'}, {WM_SYSCHAR, L'f'}}) {
        ::SendMessageW(Button(), message, key, 1);
        clicksAndState.push_back(clicks_ * 10 + static_cast<int>(button_.State()));
    }
    EXPECT_EQ(clicksAndState, (std::vector<int>{10, 12, 20, 22, 20, 20, 20, 30}));
}

TEST_F(OwnerDrawnTest, ADisabledButtonIsGreyAndDeafAndBlinkingItAlternatesAndShowsTheBubbleOncePerPeriod) {
    ASSERT_TRUE(button_.picLocation(L"process-stop", L"CUSTOM"));
    const std::vector<std::uint32_t> natural = Shown();
    button_.AttentionTip(&attention_);
    button_.Enabled(false);
    button_.Blink(true);
    const std::vector<std::uint32_t> grey = Shown();
    ASSERT_TRUE(grey != natural && !::IsWindowEnabled(Button()));
    for (std::size_t i = 0; i < grey.size(); ++i) {  // blended edges keep some of the background's blue
        const auto [low, high] = std::minmax({Channel(grey[i], 0), Channel(grey[i], 1), Channel(grey[i], 2)});
        EXPECT_TRUE(grey[i] == natural[i] || grey[i] >> 24 != 0xFF || high - low <= 2) << "not grey: " << i;
    }
    Click();
    Send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(clicks_ + button_.BlinkTimer().Interval(), 0);

    button_.Enabled(true);
    EXPECT_EQ(button_.BlinkTimer().Interval(), 600);
    Activate(WA_INACTIVE);
    for (int tick = 1; tick <= 8; ++tick) {
        const bool wasGrey = Shown() == grey;
        Ticks(1);
        EXPECT_EQ(Shown(), wasGrey ? natural : grey) << "tick " << tick;
    }
    EXPECT_FALSE(bubble_.Visible()) << "it waits for an active owner";
    Activate(WA_CLICKACTIVE);
    ASSERT_TRUE(Ticks(1));
    EXPECT_EQ(::GetActiveWindow(), owner_.get()) << "the bubble does not take the activation";
    const RECT button = test::WindowRect(Button());  // the bubble's apex 30 px in, at 10 px above the bottom
    EXPECT_EQ(std::make_pair(test::WindowRect(bubble_.hwnd()).left, test::WindowRect(bubble_.hwnd()).top),
              std::make_pair(button.left + 20 - 30, button.bottom - 10));
    ::UpdateWindow(bubble_.hwnd());  // outlined in 0xFF8080 on 0xFFF8F0
    const unique_window_dc shown(bubble_.hwnd());
    EXPECT_EQ(std::vector({::GetPixel(shown.get(), 0, 20), ::GetPixel(shown.get(), 4, 20)}),
              std::vector({RGB(255, 128, 128), RGB(255, 248, 240)}));
    ::SetFocus(nullptr);
    ::SendMessageW(bubble_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(::GetFocus(), owner_.get());
    EXPECT_EQ((std::vector<bool>{Ticks(31), Ticks(1), Ticks(60)}), (std::vector<bool>{true, false, false}))
        << "hidden at tick 41, shown once a period";
    button_.Enabled(false);  // the command completed: a new period follows
    button_.Enabled(true);
    EXPECT_EQ((std::vector<bool>{Ticks(6), Ticks(1)}), (std::vector<bool>{false, true})) << "shown at tick 7";
    ::SetWindowPos(owner_.get(), nullptr, 150, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(bubble_.Visible()) << "the owner moved";
    bubble_.ShowTip(300, 300);
    Activate(WA_INACTIVE);
    EXPECT_FALSE(bubble_.OwnerWindowActive() || bubble_.Visible());
    Activate(WA_CLICKACTIVE);
    EXPECT_TRUE(bubble_.OwnerWindowActive() && !bubble_.Visible()) << "activation alone does not show it";
    button_.Blink(false);
    EXPECT_FALSE(Ticks(10) || Shown() != natural) << "ticks already queued do nothing";
}

TEST_F(OwnerDrawnTest, TheBubbleSizesToItsTextAndTheBarRendersItsBandsOnlyWhenGrowingOrChangingHeightWithoutLeaking) {
    unique_hdc dc(::CreateCompatibleDC(nullptr));
    const select_object_scope font(dc.get(), DefaultFontHandle(kMenuFont));
    const long gdi = test::GdiObjects();
    for (const wchar_t* text : {L"Hi", L"A considerably longer line of bubble text", L"Hi"}) {
        bubble_.TextSet(text);
        RECT expected{}, box{};
        ::DrawTextW(dc.get(), text, -1, &expected, DT_CALCRECT);
        const RECT shown = test::WindowRect(bubble_.hwnd());
        EXPECT_EQ(std::make_pair(bubble_.TextSize().cx, shown.right - shown.left),
                  std::make_pair(expected.right, 2 * 8 + expected.right + 10));
        // GDI leaves out the polygon's apex row and the round rectangle's last row and column;
        // a short text leaves the tail (up to x = 34) sticking out to the right.
        ASSERT_NE(::GetWindowRgnBox(bubble_.hwnd(), &box), ERROR);
        EXPECT_TRUE(box.top <= 1 && std::abs(box.right - std::max(2 * 8 + expected.right, 34l)) <= 1 &&
                    std::abs(box.bottom - (2 * 8 + expected.bottom + 8)) <= 1)
            << box.top << " " << box.right << " " << box.bottom;
    }
    auto bar = std::make_unique<VRX_ButtonBar>();
    ASSERT_TRUE(bar->Init(owner_.get(), 0, 0, 200, 30));
    ::UpdateWindow(bar->hWnd());  // painting copies, never renders
    // Not wider than what was rendered: no new rendering, the picture kept; wider, or another height: one.
    for (const auto& [width, height, renders] :
         {std::tuple{150, 30, 1}, {200, 30, 1}, {260, 30, 2}, {100, 40, 3}, {100, 25, 4}}) {
        const HDC mem = bar->MemDC().hDC();  // the bands, still there after the resizes that render nothing
        const std::vector shown{::GetPixel(mem, 0, 0), ::GetPixel(mem, 199, 10), ::GetPixel(mem, 0, 11),
                                ::GetPixel(mem, 100, 29)};
        EXPECT_TRUE((renders != 2 ||
                     shown == std::vector{RGB(226, 244, 255), RGB(182, 218, 255), RGB(173, 209, 255), RGB(181, 217, 255)}));
        ::SetWindowPos(bar->hWnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(bar->RenderCount(), renders) << width << "x" << height;
    }
    bar->HeightInPix(28);
    EXPECT_EQ(std::make_pair(bar->RenderCount(), bar->MemDC().Height()), std::make_pair(5, 40)) << "it never shrinks";
    EXPECT_EQ(::GetPixel(bar->MemDC().hDC(), 0, 10), RGB(173, 209, 255)) << "lower band from R(28 / 2.7) = 10";
    EXPECT_EQ(::SendMessageW(bar->hWnd(), WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), 0), testing::kWindowOwnResult);
    bar.reset();
    EXPECT_EQ(test::GdiObjects(), gdi);
}

// A panel in a top-most window, side by side with a 5-pixel bar at 200; the panel forwards its events.
TEST(SplitterTest, PaintFillsTheBarWithoutLeakingAndThePanesFollowAResizedContainerOrADraggedBarUnlessCancelled) {
    const unique_hwnd top(::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 100, 600, 400,
                                            nullptr, nullptr, nullptr, nullptr));
    Splitter splitter;
    Panel panel;
    ASSERT_TRUE(top && panel.Create(top.get(), RGB(10, 20, 30)));
    const HWND container = panel.hWnd();
    const auto resize = [&](int width) { ::SetWindowPos(container, nullptr, 0, 0, width, 400, SWP_NOMOVE | SWP_NOZORDER); };
    resize(600);
    HWND first = nullptr, second = nullptr;
    for (HWND* pane : {&first, &second})
        *pane = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, container, nullptr, nullptr, nullptr);
    panel.MouseDown = [&](int b, int s, float x, float y) { splitter.MouseDown(b, s, x, y); };
    panel.MouseMove = [&](int b, int s, float x, float y) { splitter.MouseMove(b, s, x, y); };
    panel.MouseUp = [&](int b, int s, float x, float y) { splitter.MouseUp(b, s, x, y); };
    panel.Resize = [&] { splitter.Resize(); };
    panel.Paint = [&](HDC dc) { splitter.Paint(dc); };
    splitter.Orientation(kSplitVertical);
    splitter.SplitterSize(5);
    splitter.Bind(container, first, second);
    splitter.Position(200);
    RECT freeCursor{};
    ::GetClipCursor(&freeCursor);
    // Where the panes meet the bar (the first pane's right, the second's left edge) and the second's bottom.
    const auto edges = [&]() -> std::vector<LONG> {
        return {test::RectInParent(first).right, test::RectInParent(second).left, test::RectInParent(second).bottom};
    };
    const auto mouseAt = [&](UINT msg, int x, int y) { testing::PointerAt(container, msg, x, y); };
    const auto cursorClippedTo = [](const RECT& expected) {
        RECT r{};
        ::GetClipCursor(&r);
        return ::EqualRect(&r, &expected) != FALSE;
    };

    EXPECT_EQ(edges(), (std::vector<LONG>{200, 205, 400}));
    EXPECT_NEAR(splitter.Proportion(), 100.0 * 200 / 600, 1e-4);
    splitter.BgColor(MakeColour(173, 209, 255));
    ::UpdateWindow(container);
    EXPECT_EQ(::GetPixel(unique_window_dc(container).get(), 202, 5), RGB(173, 209, 255));
    EXPECT_EQ(::GetPixel(unique_window_dc(first).get(), 5, 5), RGB(10, 20, 30)) << "the panes take the panel's colour";
    const long gdi = test::GdiObjects();
    splitter.MinimumSize(1, 30);
    splitter.MinimumSize(2, 30);
    resize(400);
    splitter.Position(100);  // a quarter of 400
    splitter.KeepProportion(true);
    for (const auto& [width, position] : {std::pair{800, 200}, {0, 30}, {800, 200}}) {  // squeezed to nothing and back
        resize(width);
        EXPECT_EQ(splitter.Position(), position) << width;
    }
    testing::ExpectRaised(380, L"control_windows_test.Splitter", [] { Splitter().BgColor(0); }, L"Invalid property value");

    std::vector<float> splits;
    splitter.Split = [&](float& x, float& y, bool& cancel) {
        splits.insert(splits.end(), {x, y});
        cancel = splits.size() == 2;
    };
    mouseAt(WM_RBUTTONDOWN, 202, 150);
    mouseAt(WM_LBUTTONDOWN, 202, 150);
    EXPECT_FALSE(splitter.Dragging() || ::GetCapture());
    mouseAt(WM_MOUSEMOVE, 300, 150);
    EXPECT_EQ(edges(), (std::vector<LONG>{200, 205, 400}));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZEWE)) << "panes side by side: the west-east arrows";

    splitter.FullDrag(false);
    mouseAt(WM_LBUTTONDOWN, 202, 150);
    EXPECT_TRUE(splitter.Dragging() && ::GetCapture() == container && cursorClippedTo(test::WindowRect(container)));
    mouseAt(WM_MOUSEMOVE, 262, 150);
    mouseAt(WM_MOUSEMOVE, 252, 160);
    EXPECT_EQ(edges(), (std::vector<LONG>{200, 205, 400}));
    EXPECT_EQ(splitter.Position(), 250);  // the bar drawn follows the cursor
    mouseAt(WM_LBUTTONUP, 252, 160);
    EXPECT_TRUE(!splitter.Dragging() && !::GetCapture() && cursorClippedTo(freeCursor));
    EXPECT_EQ(edges(), (std::vector<LONG>{250, 255, 400}));

    splitter.FullDrag(true);
    splitter.MinimumSize(1, 100);
    mouseAt(WM_LBUTTONDOWN, 252, 150);
    mouseAt(WM_MOUSEMOVE, 282, 150);
    EXPECT_EQ(edges(), (std::vector<LONG>{280, 285, 400}));
    mouseAt(WM_MOUSEMOVE, 20, 150);
    mouseAt(WM_LBUTTONUP, 20, 150);
    EXPECT_EQ(edges(), (std::vector<LONG>{100, 105, 400}));
    EXPECT_EQ(splits, (std::vector<float>{202, 150, 202, 150, 252, 150}));
    EXPECT_EQ(test::GdiObjects(), gdi) << "painting, resizing and dragging free what they make";
}

TEST(CTimer, OneSystemTimerPerIntervalAHundredSlotsFreedOnesReusedAndAHandlerMayChangeItsOwnInterval) {
    CTimer timer;
    timer.Interval(50);
    const UINT_PTR first = timer.SystemTimerId();
    timer.Interval(50);
    EXPECT_EQ(timer.SystemTimerId(), first);
    std::vector<std::unique_ptr<CTimer>> others(99);
    for (int i = 0; i < 99; ++i) (others[i] = std::make_unique<CTimer>())->Interval(1000 + i);
    CTimer extra, reused;
    testing::ExpectRaised(static_cast<std::int32_t>(0x80040000u + 13651), L"control_windows_test.WindowProc",
                          [&] { extra.Interval(500); }, L"No more than 10 timers allowed per class");
    const UINT_PTR freed = others[42]->SystemTimerId();
    others[42]->Interval(0);
    EXPECT_FALSE(::KillTimer(nullptr, freed)) << "a stopped timer gives its system timer back";
    reused.Interval(20);
    EXPECT_EQ(CTimer::HighWaterCount(), 100);
    others.clear();

    int fired = 0;
    std::vector<long> intervalsSeen;
    reused.ThatTime = [&] { ++fired; };
    timer.ThatTime = [&] {
        intervalsSeen.push_back(timer.Interval());
        timer.Interval(intervalsSeen.size() == 1 ? 15 : -5);
    };
    timer.Interval(10);
    ASSERT_TRUE(test::WaitUntil([&] {
        AcceleratorRouting::PumpPending();
        return intervalsSeen.size() >= 2 && fired >= 1;
    }, 5000));
    EXPECT_EQ(intervalsSeen, (std::vector<long>{10, 15}));
    EXPECT_EQ(std::make_pair(timer.Interval(), timer.SystemTimerId()), std::make_pair(0L, UINT_PTR{0}));
}

}  // namespace
}  // namespace tarvo
