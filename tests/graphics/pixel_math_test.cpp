// The arithmetic of the painted bars and of drawing an image: colour shifts,
// gradients, twips, opacity, grey scale and premultiplied compositing.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "graphics/colour_math.h"
#include "graphics/image_compose.h"

namespace tarvo {
namespace {

using Words = std::vector<std::uint32_t>;

TEST(BarColours, AveragesShiftsGradientsAndTwipsRoundHalvesToEven) {
    EXPECT_EQ(ColourAverage(MakeColour(0, 1, 255), MakeColour(1, 2, 0)), MakeColour(0, 2, 128));
    EXPECT_EQ(ColourShift(MakeColour(250, 0, 10), 0.1f), MakeColour(255, 26, 36));  // saturating
    EXPECT_EQ(ColourShift(MakeColour(250, 0, 10), -0.1f), MakeColour(224, 0, 0));
    EXPECT_EQ(ComputeBarBands(1).upperHeight, 0);
    EXPECT_EQ(ComputeBarBands(30).lowerHeight, 19);
    // Bottom row first, as 0x00RRGGBB; colour2 at the start. Height 1: one row of the halved sum.
    EXPECT_EQ(GradientPixels(3, 1, MakeColour(255, 3, 100), MakeColour(255, 5, 0), GradientDirection::kVertical), Words(3, 0xFE0332));
    EXPECT_EQ(GradientPixels(3, 2, MakeColour(0, 0, 200), 0, GradientDirection::kHorizontal), (Words{0, 100, 200, 0, 100, 200}));
    EXPECT_EQ(GradientPixels(2, 2, MakeColour(0, 0, 200), 0, GradientDirection::kDiagonal), (Words{0, 100, 100, 200}));
    EXPECT_EQ(GradientPixels(1, 3, MakeColour(0, 0, 200), 0, GradientDirection::kVertical), (Words{200, 100, 0}));
    EXPECT_TRUE(GradientPixels(0, 5, 0, 0xFFFFFF, GradientDirection::kVertical).empty());
    EXPECT_TRUE(GradientPixels(5, 0, 0, 0xFFFFFF, GradientDirection::kHorizontal).empty());
    EXPECT_EQ(GradientTable(MakeColour(10, 0, 100), MakeColour(0, 10, 0), 3)[1], MakeColour(3, 7, 33));  // truncated
    EXPECT_EQ(PixelsToTwips(891, TwipsPerPixel(96)), 13365);
    EXPECT_EQ(TwipsToPixels(45, TwipsPerPixel(0)), 3) << "15 twips a pixel when the system gives no resolution";
    EXPECT_EQ(TwipsToPixels(25, TwipsPerPixel(144)), 2);
    EXPECT_EQ(TwipsToPixels(35, TwipsPerPixel(144)), 4);
}

using Pixel = std::array<std::uint8_t, 4>;  // B, G, R, A

Pixel Blend(Pixel src, Pixel dst, int opacity, int grey = -1) {
    PixelBlock s{src.data(), 1, 1}, d{dst.data(), 1, 1};
    CompositeBlock(s, {0, 0, 1, 1}, d, {0, 0, 1, 1}, opacity, grey);
    return dst;
}

TEST(Compositing, OpacityGreyScaleAndPremultipliedSourceOver) {
    // Above 100 the opacity wraps round; 0 and below draw nothing.
    for (const auto& [given, effective] : {std::pair{0, -1}, {-50, -1}, {1, 1}, {99, 99}, {100, 100}, {101, 1}, {150, 50}, {200, 100}})
        EXPECT_EQ(EffectiveOpacity(given).value_or(-1), effective) << given;
    const Pixel dst = {200, 100, 50, 255};
    EXPECT_EQ(Blend({10, 20, 30, 255}, dst, 100), (Pixel{10, 20, 30, 255}));
    EXPECT_EQ(Blend({0, 0, 128, 128}, dst, 100), (Pixel{100, 50, 153, 255}));  // 128 + 50 * (1 - 128 / 255)
    EXPECT_EQ(Blend({0, 0, 255, 255}, {0, 0, 0, 0}, 50), (Pixel{0, 0, 127, 127}));  // k = 127 / 255
    EXPECT_EQ(Blend({64, 0, 0, 64}, {0, 0, 0, 0}, 1), (Pixel{1, 0, 0, 1}));          // 64 * 2 / 255 = 0.502
    // Grey: 0.1f lies just above 0.1 (25.5000004 goes up); 1.5 + 1.0 = 2.5 goes to the even 2; alpha stays.
    EXPECT_FALSE(GreyScaleCoefficients(-1).has_value());
    EXPECT_EQ(Blend({0, 255, 0, 255}, dst, 100, 3), (Pixel{26, 26, 26, 255}));
    EXPECT_EQ(Blend({0, 255, 255, 255}, {0, 0, 0, 0}, 100, 99), (Pixel{226, 226, 226, 255}));  // 0.299, 0.587, 0.114
    EXPECT_EQ(Blend({1, 0, 255, 255}, {0, 0, 0, 0}, 100, 2), (Pixel{85, 85, 85, 255}));       // 85.248
    Pixel p = {0, 2, 3, 77};
    ApplyGreyScale(p.data(), GreyCoefficients{0.5f, 0.5f, 0.0f});
    EXPECT_EQ(p, (Pixel{2, 2, 2, 77}));
}

// A 2x2 source (white top left, red bottom right) drawn at twice its size, partly outside a 3x3 destination.
TEST(Compositing, BlocksScaleByNearestPixelAndClipToTheDestination) {
    std::vector<std::uint8_t> srcBits(2 * 2 * 4), dstBits(3 * 3 * 4, 9);
    PixelBlock src{srcBits.data(), 2, 2}, dst{dstBits.data(), 3, 3};
    std::fill_n(src.At(0, 0), 4, 255);
    std::copy_n(Pixel{0, 0, 255, 255}.data(), 4, src.At(1, 1));
    auto map = [&] {  // top row first: '.' untouched, 'w' white, 'r' red
        std::string text;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) text += dst.At(x, y)[0] == 9 ? '.' : dst.At(x, y)[0] == 255 ? 'w' : 'r';
        return text;
    };
    CompositeBlock(src, {0, 0, 0, 0}, dst, {1, 1, 4, 4}, 100, -1);
    EXPECT_EQ(map(), ".........") << "an empty source draws nothing";
    CompositeBlock(src, {0, 0, 2, 2}, dst, {1, 1, 4, 4}, 100, -1);
    EXPECT_EQ(map(), "....ww.ww") << "source pixel 1 * 2 / 4 = 0";
    CompositeBlock(src, {1, 1, 5, 5}, dst, {-1, -1, 2, 2}, 100, -1);
    EXPECT_EQ(map(), "r...ww.ww");
    CompositeBlock(src, {0, 0, 2, 2}, dst, {-2, -2, 4, 4}, 100, -1);
    EXPECT_EQ(map(), "rr.rrw.ww") << "the bottom right quarter of the source";
}

}  // namespace
}  // namespace tarvo
