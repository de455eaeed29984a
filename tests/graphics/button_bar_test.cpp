#include "graphics/button_bar.h"

#include <gtest/gtest.h>

#include "graphics/mem_dc.h"

namespace tarvo {
namespace {

COLORREF AsColorRef(OleColour c) { return RGB(RedOf(c), GreenOf(c), BlueOf(c)); }

TEST(MemDC, ResizeNotLargerKeepsThePicture) {
    VRX_memDC mem;
    ASSERT_TRUE(mem.Create(10, 10));
    const HGDIOBJ bitmap = ::GetCurrentObject(mem.hDC(), OBJ_BITMAP);
    ::SetPixel(mem.hDC(), 5, 5, RGB(200, 10, 20));
    EXPECT_TRUE(mem.Resize(8, 10));
    EXPECT_TRUE(mem.Resize(10, 3));
    EXPECT_EQ(mem.Width(), 10);
    EXPECT_EQ(mem.Height(), 10);
    EXPECT_EQ(::GetCurrentObject(mem.hDC(), OBJ_BITMAP), bitmap);
    EXPECT_EQ(::GetPixel(mem.hDC(), 5, 5), RGB(200, 10, 20));
}

TEST(MemDC, GrowingKeepsBackgroundModeAndFont) {
    unique_hfont font(::CreateFontW(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    ASSERT_TRUE(font);
    {
        VRX_memDC mem;
        ASSERT_TRUE(mem.Create(4, 4));
        mem.MaskTransparentSet(true);
        mem.FontSet(font.get());
        EXPECT_TRUE(mem.Resize(4, 20));
        EXPECT_EQ(mem.Height(), 20);
        EXPECT_TRUE(mem.MaskTransparentGet());
        EXPECT_EQ(::GetCurrentObject(mem.hDC(), OBJ_FONT), font.get());

        mem.MaskTransparentSet(false);
        EXPECT_TRUE(mem.Resize(30, 20));
        EXPECT_FALSE(mem.MaskTransparentGet());
    }
    // The font stays its owner's: it survives the context.
    LOGFONTW lf{};
    EXPECT_NE(::GetObjectW(font.get(), sizeof(lf), &lf), 0);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
}

TEST(MemDC, EmptyUntilCreated) {
    VRX_memDC mem;
    EXPECT_EQ(mem.hDC(), nullptr);
    EXPECT_FALSE(mem.MaskTransparentGet());
    mem.FontSet(nullptr);  // nothing to select into
    EXPECT_TRUE(mem.Resize(0, 0));
}

class ButtonBarTest : public ::testing::Test {
protected:
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_COMMAND) ++commands;
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ButtonBarTestParent";
        ::RegisterClassW(&wc);
        parent.reset(::CreateWindowExW(0, L"ButtonBarTestParent", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600,
                                       400, nullptr, nullptr, wc.hInstance, nullptr));
        ASSERT_TRUE(parent);
        ASSERT_TRUE(bar.Init(parent.get(), 0, 0, 200, 30));
    }
    void SetSize(int width, int height) {
        ::SetWindowPos(bar.hWnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    }

    static inline int commands = 0;
    unique_hwnd parent;
    VRX_ButtonBar bar;
};

TEST_F(ButtonBarTest, RendersTheTwoBandsOnce) {
    EXPECT_EQ(bar.RenderCount(), 1);
    const HDC mem = bar.MemDC().hDC();
    ASSERT_NE(mem, nullptr);
    const BarColours c = ComputeBarColours(kBarBaseColour);
    EXPECT_EQ(::GetPixel(mem, 0, 0), AsColorRef(c.light2));
    EXPECT_EQ(::GetPixel(mem, 199, 10), AsColorRef(c.light1));
    EXPECT_EQ(::GetPixel(mem, 0, 11), AsColorRef(c.base));
    EXPECT_EQ(::GetPixel(mem, 100, 29), AsColorRef(c.light3));
    ::UpdateWindow(parent.get());
    ::InvalidateRect(bar.hWnd(), nullptr, TRUE);
    ::UpdateWindow(bar.hWnd());
    EXPECT_EQ(bar.RenderCount(), 1);  // painting copies, never renders
}

TEST_F(ButtonBarTest, RendersOnlyWhenGrowingOrChangingHeight) {
    SetSize(150, 30);
    EXPECT_EQ(bar.RenderCount(), 1);
    SetSize(200, 30);
    EXPECT_EQ(bar.RenderCount(), 1);  // not wider than what was rendered
    SetSize(260, 30);
    EXPECT_EQ(bar.RenderCount(), 2);
    EXPECT_EQ(bar.MemDC().Width(), 260);
    SetSize(100, 40);
    EXPECT_EQ(bar.RenderCount(), 3);
    SetSize(100, 25);
    EXPECT_EQ(bar.RenderCount(), 4);
    EXPECT_EQ(bar.MemDC().Height(), 40);  // the context never shrinks
}

TEST_F(ButtonBarTest, HeightInPixResizesAndRenders) {
    bar.HeightInPix(28);
    RECT rect{};
    ::GetClientRect(bar.hWnd(), &rect);
    EXPECT_EQ(rect.bottom, 28);
    EXPECT_EQ(rect.right, 200);
    EXPECT_EQ(bar.RenderCount(), 2);
    const BarColours c = ComputeBarColours(kBarBaseColour);
    EXPECT_EQ(::GetPixel(bar.MemDC().hDC(), 0, 10), AsColorRef(c.base));  // lower band starts at R(28 / 2.7) = 10
}

TEST_F(ButtonBarTest, NotificationsOfPlacedControlsReachTheParent) {
    commands = 0;
    ::SendMessageW(bar.hWnd(), WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), 0);
    EXPECT_EQ(commands, 1);
}

TEST(DrawGradient, NothingForAnEmptyExtent) {
    VRX_memDC mem;
    ASSERT_TRUE(mem.Create(4, 4));
    ::PatBlt(mem.hDC(), 0, 0, 4, 4, WHITENESS);
    DrawGradient(mem.hDC(), 0, 0, 0, 4, 0, 0, GradientDirection::kVertical);
    DrawGradient(mem.hDC(), 0, 0, 4, 0, 0, 0, GradientDirection::kVertical);
    EXPECT_EQ(::GetPixel(mem.hDC(), 0, 0), RGB(255, 255, 255));
    DrawGradient(mem.hDC(), 1, 1, 2, 1, MakeColour(100, 0, 0), MakeColour(0, 0, 200), GradientDirection::kVertical);
    EXPECT_EQ(::GetPixel(mem.hDC(), 1, 1), RGB(50, 0, 100));
    EXPECT_EQ(::GetPixel(mem.hDC(), 1, 2), RGB(255, 255, 255));
}

}  // namespace
}  // namespace tarvo
