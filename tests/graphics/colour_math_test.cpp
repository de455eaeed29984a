#include "graphics/colour_math.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// The bar's own colours and bands are checked on its pixels; these are the edges.
TEST(BarColours, AveragesShiftsAndTheSmallestBar) {
    // Halves go to the even neighbour, shifts saturate.
    EXPECT_EQ(ColourAverage(MakeColour(0, 1, 255), MakeColour(1, 2, 0)), MakeColour(0, 2, 128));
    EXPECT_EQ(ColourShift(MakeColour(250, 0, 10), 0.1f), MakeColour(255, 26, 36));
    EXPECT_EQ(ColourShift(MakeColour(250, 0, 10), -0.1f), MakeColour(224, 0, 0));
    EXPECT_EQ(ComputeBarBands(1).upperHeight, 0);
    EXPECT_EQ(ComputeBarBands(30).lowerHeight, 19);
}

TEST(GradientPixels, DirectionsAndDegenerateSizes) {
    // Height 1: one row of the halved sum (127 + 127, 1 + 2, 50 + 0 as blue, green, red).
    EXPECT_EQ(GradientPixels(3, 1, MakeColour(255, 3, 100), MakeColour(255, 5, 0), GradientDirection::kVertical),
              std::vector<std::uint32_t>(3, 0x00FE0332u));
    EXPECT_TRUE(GradientPixels(0, 5, 0, 0xFFFFFF, GradientDirection::kVertical).empty());
    EXPECT_TRUE(GradientPixels(5, 0, 0, 0xFFFFFF, GradientDirection::kHorizontal).empty());

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
