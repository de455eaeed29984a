#include "controls/font_metrics.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarvo {

TEST(FontMetrics, HeightInPixelsScalesByDpiOverSeventyTwoWithHalvesToEven) {
    EXPECT_EQ(FontHeightInPixels(-12, 96), -16);
    EXPECT_EQ(FontHeightInPixels(12, 96), 16);
    EXPECT_EQ(FontHeightInPixels(-12, 120), -20);
    EXPECT_EQ(FontHeightInPixels(3, 12), 0);    // 0.5
    EXPECT_EQ(FontHeightInPixels(9, 12), 2);    // 1.5
    EXPECT_EQ(FontHeightInPixels(15, 12), 2);   // 2.5
    EXPECT_EQ(FontHeightInPixels(-9, 12), -2);  // -1.5
    EXPECT_EQ(FontHeightInPixels(-15, 12), -2); // -2.5
    EXPECT_EQ(FontHeightInPixels(7, 12), 1);    // 1.1666
    EXPECT_EQ(FontHeightInPixels(11, 12), 2);   // 1.8333
    EXPECT_FALSE(FontHeightInPixels(std::numeric_limits<std::int32_t>::max(), 96).has_value());
    EXPECT_FALSE(FontHeightInPixels(std::numeric_limits<std::int32_t>::min(), 2).has_value());
    EXPECT_TRUE(FontHeightInPixels(std::numeric_limits<std::int32_t>::max(), 1).has_value());
}

TEST(FontMetrics, SizeInPointsFromCharacterHeightOrAsGiven) {
    EXPECT_DOUBLE_EQ(FontSizeInPoints(-12, 96), 9.0);
    EXPECT_DOUBLE_EQ(FontSizeInPoints(10, 96), 10.0);
    EXPECT_DOUBLE_EQ(FontSizeInPoints(0, 96), 0.0);
}

}  // namespace tarvo
