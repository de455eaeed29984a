#include "graphics/colour_math.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
}

TEST(BarColours, DerivedFromTheAccentColour) {
    const BarColours colours = ComputeBarColours(kBarBaseColour);
    EXPECT_EQ(colours.base, MakeColour(173, 209, 255));
    EXPECT_EQ(colours.light1, MakeColour(182, 218, 255));
    EXPECT_EQ(colours.light2, MakeColour(226, 244, 255));
    EXPECT_EQ(colours.light3, MakeColour(181, 217, 255));
}

TEST(ColourShift, SaturatesInTheDirectionOfTheShift) {
    EXPECT_EQ(ColourShift(MakeColour(250, 0, 10), 0.1f), MakeColour(255, 26, 36));
    // -0.1f × 255 is a little beyond -25.5, so 250 goes to 224.
    EXPECT_EQ(ColourShift(MakeColour(250, 0, 10), -0.1f), MakeColour(224, 0, 0));
    EXPECT_EQ(ColourShift(MakeColour(1, 2, 3), 0.0f), MakeColour(1, 2, 3));
}

TEST(ColourAverage, RoundsHalvesToEven) {
    EXPECT_EQ(ColourAverage(MakeColour(0, 1, 255), MakeColour(1, 2, 0)), MakeColour(0, 2, 128));
}

TEST(BarBands, ThirtyPixelBarSplitsElevenAndNineteen) {
    const BarBands bands = ComputeBarBands(30);
    EXPECT_EQ(bands.upperHeight, 11);
    EXPECT_EQ(bands.lowerTop, 11);
    EXPECT_EQ(bands.lowerHeight, 19);
    const BarBands small = ComputeBarBands(1);
    EXPECT_EQ(small.upperHeight, 0);
    EXPECT_EQ(small.lowerHeight, 1);
}

TEST(GradientTable, RunsFromColour2ToColour1WithTruncatedSteps) {
    const auto table = GradientTable(MakeColour(10, 0, 100), MakeColour(0, 10, 0), 3);
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[0], MakeColour(0, 10, 0));
    EXPECT_EQ(table[1], MakeColour(3, 7, 33));  // 10/3 -> 3, 10 - 10/3 -> 7, 100/3 -> 33
    EXPECT_EQ(table[2], MakeColour(6, 4, 66));
    EXPECT_EQ(table[3], MakeColour(10, 0, 100));
}

TEST(GradientPixels, HeightOneIsOneRowOfTheHalvedSum) {
    const auto pixels = GradientPixels(3, 1, MakeColour(255, 3, 100), MakeColour(255, 5, 0), GradientDirection::kVertical);
    ASSERT_EQ(pixels.size(), 3u);
    // 127 + 127, 1 + 2, 50 + 0 in bytes blue, green, red.
    for (auto p : pixels) EXPECT_EQ(p, 0x00FE0332u);
}

TEST(GradientPixels, EmptyWhenWidthOrHeightIsZero) {
    EXPECT_TRUE(GradientPixels(0, 5, 0, 0xFFFFFF, GradientDirection::kVertical).empty());
    EXPECT_TRUE(GradientPixels(5, 0, 0, 0xFFFFFF, GradientDirection::kHorizontal).empty());
    EXPECT_TRUE(GradientPixels(-1, 5, 0, 0xFFFFFF, GradientDirection::kDiagonal).empty());
}

TEST(GradientPixels, VerticalHasColour2AtTheTopOfABottomUpBlock) {
    const OleColour top = MakeColour(226, 244, 255), bottom = MakeColour(182, 218, 255);
    const auto pixels = GradientPixels(2, 4, bottom, top, GradientDirection::kVertical);
    ASSERT_EQ(pixels.size(), 8u);
    EXPECT_EQ(pixels[0], 0x00B6DAFFu);  // first stored row is the bottom: colour1
    EXPECT_EQ(pixels[1], pixels[0]);
    EXPECT_EQ(pixels[6], 0x00E2F4FFu);  // last stored row is the top: colour2
}

TEST(GradientPixels, HorizontalHasColour2AtTheLeft) {
    const auto pixels = GradientPixels(3, 2, MakeColour(0, 0, 200), MakeColour(0, 0, 0), GradientDirection::kHorizontal);
    ASSERT_EQ(pixels.size(), 6u);
    EXPECT_EQ(pixels[0], 0u);
    EXPECT_EQ(pixels[1], 100u);
    EXPECT_EQ(pixels[2], 200u);
    EXPECT_EQ(pixels[3], 0u);
    EXPECT_EQ(pixels[5], 200u);
}

TEST(Twips, ConversionAtCommonResolutions) {
    EXPECT_DOUBLE_EQ(TwipsPerPixel(96), 15.0);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(120), 12.0);
    EXPECT_EQ(PixelsToTwips(891, 15.0), 13365);
    EXPECT_EQ(TwipsToPixels(9165, 15.0), 611);
    // 1440/144 = 10 twips per pixel; 25 twips is 2.5 pixels, rounded to 2.
    EXPECT_EQ(TwipsToPixels(25, TwipsPerPixel(144)), 2);
    EXPECT_EQ(TwipsToPixels(35, TwipsPerPixel(144)), 4);
}

}  // namespace
}  // namespace tarvo
