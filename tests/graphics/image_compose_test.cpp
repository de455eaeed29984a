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

TEST(Compositing, OpacityRulesAndPremultipliedSourceOver) {
    // Above 100 the opacity wraps round; 0 and below draw nothing.
    for (const auto& [given, effective] : {std::pair{0, -1}, {-50, -1}, {1, 1}, {99, 99}, {100, 100}, {101, 1}, {150, 50}, {200, 100}})
        EXPECT_EQ(EffectiveOpacity(given).value_or(-1), effective) << given;
    const Pixel dst = {200, 100, 50, 255};
    EXPECT_EQ(Blend({10, 20, 30, 255}, dst, 100), (Pixel{10, 20, 30, 255}));
    // Half-covering red: 128 + 200 * (1 - 128 / 255) etc.
    EXPECT_EQ(Blend({0, 0, 128, 128}, dst, 100), (Pixel{100, 50, 153, 255}));
    // Opaque source at 50 %: k = 127 / 255.
    EXPECT_EQ(Blend({0, 0, 255, 255}, {0, 0, 0, 0}, 50), (Pixel{0, 0, 127, 127}));
    // A fully transparent pixel leaves the destination, whatever the opacity or grey formula.
    for (int opacity : {1, 50, 100})
        for (int grey : {-1, 2}) EXPECT_EQ(Blend({0, 0, 0, 0}, dst, opacity, grey), dst);
}

TEST(GreyScale, FormulasRoundHalvesToEvenAndKeepAlpha) {
    EXPECT_FALSE(GreyScaleCoefficients(-1).has_value());
    auto grey = [](int formula, Pixel p) {
        ApplyGreyScale(p.data(), *GreyScaleCoefficients(formula));
        return p;
    };
    EXPECT_EQ(grey(3, {0, 255, 0, 255})[0], 26);  // 0.1f lies just above 0.1: 25.5000004
    EXPECT_EQ(grey(99, {0, 255, 0, 77}), (Pixel{150, 150, 150, 77}));
    Pixel p = {0, 2, 3, 255};  // 1.5 + 1.0 = 2.5
    ApplyGreyScale(p.data(), GreyCoefficients{0.5f, 0.5f, 0.0f});
    EXPECT_EQ(p[0], 2);
}

// A 2x2 source drawn at twice its size, partly outside a 3x3 destination.
TEST(CompositeBlock, ScalesByNearestPixelAndClipsToTheDestination) {
    std::vector<std::uint8_t> srcBits(2 * 2 * 4), dstBits(3 * 3 * 4, 9);
    PixelBlock src{srcBits.data(), 2, 2}, dst{dstBits.data(), 3, 3};
    const Pixel white = {255, 255, 255, 255}, red = {0, 0, 255, 255}, untouched = {9, 9, 9, 9};
    std::copy(white.begin(), white.end(), src.At(0, 0));
    std::copy(red.begin(), red.end(), src.At(1, 1));
    auto at = [&](int x, int y) {
        Pixel p;
        std::copy_n(dst.At(x, y), 4, p.begin());
        return p;
    };

    CompositeBlock(src, {0, 0, 0, 0}, dst, {1, 1, 4, 4}, 100, -1);
    EXPECT_EQ(dstBits, std::vector<std::uint8_t>(3 * 3 * 4, 9)) << "an empty source draws nothing";
    CompositeBlock(src, {0, 0, 2, 2}, dst, {1, 1, 4, 4}, 100, -1);
    EXPECT_EQ((std::vector<Pixel>{at(0, 0), at(2, 0), at(1, 1), at(2, 2)}), (std::vector<Pixel>{untouched, untouched, white, white}))
        << "source pixel 1 * 2 / 4 = 0";
    CompositeBlock(src, {1, 1, 5, 5}, dst, {-1, -1, 2, 2}, 100, -1);
    EXPECT_EQ(at(0, 0), red);
}

}  // namespace
}  // namespace tarvo
