#include "graphics/image_compose.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace tarvo {
namespace {

using Pixel = std::array<std::uint8_t, 4>;  // B, G, R, A

Pixel Blend(Pixel src, Pixel dst, int opacity, int grey = -1) {
    PixelBlock s{src.data(), 1, 1}, d{dst.data(), 1, 1};
    CompositeBlock(s, {0, 0, 1, 1}, d, {0, 0, 1, 1}, opacity, grey);
    return dst;
}

TEST(RenderOpacity, BelowOneDrawsNothingAndHundredsWrap) {
    EXPECT_FALSE(EffectiveOpacity(0).has_value());
    EXPECT_FALSE(EffectiveOpacity(-50).has_value());
    EXPECT_EQ(EffectiveOpacity(1), 1);
    EXPECT_EQ(EffectiveOpacity(50), 50);
    EXPECT_EQ(EffectiveOpacity(150), 50);
    EXPECT_EQ(EffectiveOpacity(100), 100);
    EXPECT_EQ(EffectiveOpacity(200), 100);
    EXPECT_EQ(ConstantAlphaOf(100), 255);
    EXPECT_EQ(ConstantAlphaOf(50), 127);
}

TEST(RenderOpacity, OneHundredFiftyDrawsLikeFifty) {
    const Pixel src = {40, 80, 120, 160}, dst = {200, 100, 50, 255};
    const Pixel at150 = Blend(src, dst, *EffectiveOpacity(150));
    EXPECT_EQ(at150, Blend(src, dst, *EffectiveOpacity(50)));
    EXPECT_NE(at150, Blend(src, dst, 100));
}

TEST(Compositing, PremultipliedSourceOver) {
    const Pixel dst = {200, 100, 50, 255};
    // Opaque at full opacity replaces the destination.
    EXPECT_EQ(Blend({10, 20, 30, 255}, dst, 100), (Pixel{10, 20, 30, 255}));
    // Half-covering red: 128 + 200 * (1 - 128 / 255) etc.
    EXPECT_EQ(Blend({0, 0, 128, 128}, dst, 100), (Pixel{100, 50, 153, 255}));
    // Opaque source at 50 % opacity: k = 127 / 255.
    EXPECT_EQ(Blend({0, 0, 255, 255}, {0, 0, 0, 0}, 50), (Pixel{0, 0, 127, 127}));
}

TEST(Compositing, FullyTransparentPixelLeavesDestinationUnchanged) {
    const Pixel dst = {17, 99, 230, 201};
    for (int opacity : {1, 50, 100})
        for (int grey : {-1, 2}) EXPECT_EQ(Blend({0, 0, 0, 0}, dst, opacity, grey), dst);
}

TEST(GreyScale, FormulaTwoOnOpaqueRedGivesEightyFive) {
    EXPECT_EQ(Blend({0, 0, 255, 255}, {0, 0, 0, 0}, 100, 2), (Pixel{85, 85, 85, 255}));
}

TEST(GreyScale, TableOfFormulas) {
    EXPECT_FALSE(GreyScaleCoefficients(-1).has_value());
    auto grey = [](int formula, Pixel p) {
        ApplyGreyScale(p.data(), *GreyScaleCoefficients(formula));
        return p[0];
    };
    const Pixel green = {0, 255, 0, 255};
    EXPECT_EQ(grey(1, green), 182);  // 0.715 * 255 = 182.3
    EXPECT_EQ(grey(2, green), 85);   // 85.17
    EXPECT_EQ(grey(3, green), 26);   // 0.1f lies just above 0.1: 25.5000004
    EXPECT_EQ(grey(4, green), 204);
    EXPECT_EQ(grey(99, green), 150);  // 0.587 * 255 = 149.7
    EXPECT_EQ(grey(0, green), 150);
    const Pixel blue = {255, 0, 0, 255};
    EXPECT_EQ(grey(5, blue), 204);
    EXPECT_EQ(grey(7, blue), 115);   // 114.75
    EXPECT_EQ(grey(6, {0, 0, 255, 255}), 115);
    // Alpha is untouched.
    Pixel p = {1, 2, 3, 77};
    ApplyGreyScale(p.data(), *GreyScaleCoefficients(2));
    EXPECT_EQ(p[3], 77);
}

TEST(GreyScale, HalvesRoundToEven) {
    // Exact halves need weights the table lacks; 0.5 is exactly representable.
    GreyCoefficients half{0.5f, 0.5f, 0.0f};
    Pixel p = {0, 2, 3, 255};  // 1.5 + 1.0 = 2.5
    ApplyGreyScale(p.data(), half);
    EXPECT_EQ(p[0], 2);
    p = {0, 4, 3, 255};  // 1.5 + 2.0 = 3.5
    ApplyGreyScale(p.data(), half);
    EXPECT_EQ(p[0], 4);
}

// A 4x2 source drawn scaled and partly outside a 3x3 destination: only inside pixels change.
TEST(CompositeBlock, ScalesByNearestPixelAndClipsToTheDestination) {
    std::vector<std::uint8_t> srcBits(2 * 2 * 4), dstBits(3 * 3 * 4, 9);
    PixelBlock src{srcBits.data(), 2, 2}, dst{dstBits.data(), 3, 3};
    // Top row: white, black; bottom row: transparent, red. All opaque except the transparent one.
    const Pixel white = {255, 255, 255, 255}, black = {0, 0, 0, 255}, clear = {0, 0, 0, 0}, red = {0, 0, 255, 255};
    std::copy(white.begin(), white.end(), src.At(0, 0));
    std::copy(black.begin(), black.end(), src.At(1, 0));
    std::copy(clear.begin(), clear.end(), src.At(0, 1));
    std::copy(red.begin(), red.end(), src.At(1, 1));

    CompositeBlock(src, {0, 0, 0, 0}, dst, {1, 1, 4, 4}, 100, -1);  // empty source rectangle draws nothing
    EXPECT_EQ(dstBits, std::vector<std::uint8_t>(3 * 3 * 4, 9));

    CompositeBlock(src, {0, 0, 2, 2}, dst, {1, 1, 4, 4}, 100, -1);
    auto at = [&](int x, int y) {
        Pixel p;
        std::copy_n(dst.At(x, y), 4, p.begin());
        return p;
    };
    const Pixel untouched = {9, 9, 9, 9};
    EXPECT_EQ(at(0, 0), untouched);
    EXPECT_EQ(at(2, 0), untouched);
    EXPECT_EQ(at(0, 2), untouched);
    EXPECT_EQ(at(1, 1), white);
    EXPECT_EQ(at(2, 1), white);   // source x = 1 * 2 / 4 = 0
    EXPECT_EQ(at(1, 2), white);
    EXPECT_EQ(at(2, 2), white);
    // Source rectangle clipped to the image; destination at a negative offset.
    CompositeBlock(src, {1, 1, 5, 5}, dst, {-1, -1, 2, 2}, 100, -1);
    EXPECT_EQ(at(0, 0), red);
}

}  // namespace
}  // namespace tarvo
