#include "controls/button_bar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "graphics/mem_dc.h"
#include "test_window.h"

namespace tarvo {
namespace {

TEST(MemDC, ResizeNotLargerKeepsThePictureAndGrowingKeepsModeAndFontAndFreesTheOldBitmap) {
    unique_hfont font(::CreateFontW(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    ASSERT_TRUE(font);
    HGDIOBJ dc = nullptr, lastBitmap = nullptr;
    {
        VRX_memDC mem;
        ASSERT_TRUE(mem.Create(10, 10));
        const HGDIOBJ bitmap = ::GetCurrentObject(mem.hDC(), OBJ_BITMAP);
        ::SetPixel(mem.hDC(), 5, 5, RGB(200, 10, 20));
        EXPECT_TRUE(mem.Resize(8, 10) && mem.Resize(10, 3));
        EXPECT_EQ(mem.Height(), 10);
        EXPECT_EQ(::GetCurrentObject(mem.hDC(), OBJ_BITMAP), bitmap);
        EXPECT_EQ(::GetPixel(mem.hDC(), 5, 5), RGB(200, 10, 20));

        mem.MaskTransparentSet(true);
        mem.FontSet(font.get());
        EXPECT_TRUE(mem.Resize(10, 20));
        EXPECT_EQ(mem.Height(), 20);
        EXPECT_EQ(::GetObjectType(bitmap), 0u) << "the smaller bitmap is deleted";
        EXPECT_TRUE(mem.MaskTransparentGet());
        EXPECT_EQ(::GetCurrentObject(mem.hDC(), OBJ_FONT), font.get());
        mem.MaskTransparentSet(false);
        EXPECT_TRUE(mem.Resize(30, 20));
        EXPECT_FALSE(mem.MaskTransparentGet());
        dc = mem.hDC();
        lastBitmap = ::GetCurrentObject(mem.hDC(), OBJ_BITMAP);
    }
    EXPECT_EQ(::GetObjectType(dc) + ::GetObjectType(lastBitmap), 0u);
    // The font stays its owner's: it survives the context.
    LOGFONTW lf{};
    EXPECT_NE(::GetObjectW(font.get(), sizeof(lf), &lf), 0);
}

TEST(ButtonBar, RendersTheTwoBandsOnlyWhenGrowingOrChangingHeight) {
    testing::WindowLog parentLog;
    unique_hwnd parent(testing::CreateProbeWindow(parentLog));
    ASSERT_TRUE(parent);
    VRX_ButtonBar bar;
    ASSERT_TRUE(bar.Init(parent.get(), 0, 0, 200, 30));
    auto setSize = [&](int width, int height) {
        ::SetWindowPos(bar.hWnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        return bar.RenderCount();
    };

    const HDC mem = bar.MemDC().hDC();
    EXPECT_EQ(::GetPixel(mem, 0, 0), RGB(226, 244, 255));
    EXPECT_EQ(::GetPixel(mem, 199, 10), RGB(182, 218, 255));
    EXPECT_EQ(::GetPixel(mem, 0, 11), RGB(173, 209, 255));
    EXPECT_EQ(::GetPixel(mem, 100, 29), RGB(181, 217, 255));
    ::InvalidateRect(bar.hWnd(), nullptr, TRUE);
    ::UpdateWindow(bar.hWnd());
    EXPECT_EQ(bar.RenderCount(), 1) << "painting copies, never renders";

    // Not wider than what was rendered: no new rendering; wider, or another height: one.
    for (const auto& [width, height, renders] : {std::tuple{150, 30, 1}, {200, 30, 1}, {260, 30, 2}, {100, 40, 3}, {100, 25, 4}})
        EXPECT_EQ(setSize(width, height), renders) << width << "x" << height;
    EXPECT_EQ(bar.MemDC().Height(), 40) << "the context never shrinks";
    bar.HeightInPix(28);
    EXPECT_EQ(bar.RenderCount(), 5);
    EXPECT_EQ(::GetPixel(bar.MemDC().hDC(), 0, 10), RGB(173, 209, 255)) << "lower band from R(28 / 2.7) = 10";

    parentLog.messages.clear();
    ::SendMessageW(bar.hWnd(), WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), 0);
    EXPECT_EQ(std::count(parentLog.messages.begin(), parentLog.messages.end(), static_cast<UINT>(WM_COMMAND)), 1)
        << "notifications of placed controls reach the parent";
}

}  // namespace
}  // namespace tarvo
