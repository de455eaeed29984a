#include "graphics/colour_math.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(BarColours, LightColoursAndBandsOfTheAccent) {
    const BarColours colours = ComputeBarColours(kBarBaseColour);
    EXPECT_EQ(colours.base, MakeColour(173, 209, 255));
    EXPECT_EQ(colours.light1, MakeColour(182, 218, 255));
    EXPECT_EQ(colours.light2, MakeColour(226, 244, 255));
    EXPECT_EQ(colours.light3, MakeColour(181, 217, 255));
    // Halves go to the even neighbour, shifts saturate.
    EXPECT_EQ(ColourAverage(MakeColour(0, 1, 255), MakeColour(1, 2, 0)), MakeColour(0, 2, 128));
    EXPECT_EQ(ColourShift(MakeColour(250, 0, 10), 0.1f), MakeColour(255, 26, 36));
    EXPECT_EQ(ColourShift(MakeColour(250, 0, 10), -0.1f), MakeColour(224, 0, 0));

    const BarBands bands = ComputeBarBands(30);
    EXPECT_EQ(bands.upperHeight, 11);
    EXPECT_EQ(bands.lowerTop, 11);
    EXPECT_EQ(bands.lowerHeight, 19);
    EXPECT_EQ(ComputeBarBands(1).upperHeight, 0);
}

TEST(GradientPixels, DirectionsAndDegenerateSizes) {
    // Height 1: one row of the halved sum (127 + 127, 1 + 2, 50 + 0 as blue, green, red).
    EXPECT_EQ(GradientPixels(3, 1, MakeColour(255, 3, 100), MakeColour(255, 5, 0), GradientDirection::kVertical),
              std::vector<std::uint32_t>(3, 0x00FE0332u));
    EXPECT_TRUE(GradientPixels(0, 5, 0, 0xFFFFFF, GradientDirection::kVertical).empty());
    EXPECT_TRUE(GradientPixels(5, 0, 0, 0xFFFFFF, GradientDirection::kHorizontal).empty());

    // Vertical: the first stored row is the bottom (colour1), the last the top (colour2).
    const auto vertical = GradientPixels(2, 4, MakeColour(182, 218, 255), MakeColour(226, 244, 255),
                                         GradientDirection::kVertical);
    ASSERT_EQ(vertical.size(), 8u);
    EXPECT_EQ(vertical[0], 0x00B6DAFFu);
    EXPECT_EQ(vertical[6], 0x00E2F4FFu);
    // Horizontal: colour2 at the left, truncated steps.
    const auto horizontal =
        GradientPixels(3, 2, MakeColour(0, 0, 200), MakeColour(0, 0, 0), GradientDirection::kHorizontal);
    EXPECT_EQ(horizontal, (std::vector<std::uint32_t>{0, 100, 200, 0, 100, 200}));
    EXPECT_EQ(GradientTable(MakeColour(10, 0, 100), MakeColour(0, 10, 0), 3)[1], MakeColour(3, 7, 33));
}

TEST(Twips, ConversionRoundsHalvesToEven) {
    EXPECT_EQ(PixelsToTwips(891, TwipsPerPixel(96)), 13365);
    EXPECT_EQ(TwipsToPixels(9165, TwipsPerPixel(96)), 611);
    EXPECT_EQ(TwipsToPixels(25, TwipsPerPixel(144)), 2);
    EXPECT_EQ(TwipsToPixels(35, TwipsPerPixel(144)), 4);
}

}  // namespace
}  // namespace tarvo
