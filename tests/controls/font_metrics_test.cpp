#include "controls/font_metrics.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarvo {

TEST(FontMetrics, HeightInPixelsScalesByDpiOverSeventyTwoWithHalvesToEvenAndRefusesOverflow) {
    struct Case {
        std::int32_t height, dpi, pixels;
    };
    // 3 * 12 / 72 = 0.5, 9 -> 1.5, 15 -> 2.5, 7 -> 1.17, 11 -> 1.83
    for (const Case& c : {Case{-12, 96, -16}, {12, 96, 16}, {-12, 120, -20}, {3, 12, 0}, {9, 12, 2}, {15, 12, 2},
                          {-9, 12, -2}, {-15, 12, -2}, {7, 12, 1}, {11, 12, 2}})
        EXPECT_EQ(FontHeightInPixels(c.height, c.dpi), c.pixels) << c.height << " at " << c.dpi;
    EXPECT_FALSE(FontHeightInPixels(std::numeric_limits<std::int32_t>::max(), 96).has_value());
    EXPECT_FALSE(FontHeightInPixels(std::numeric_limits<std::int32_t>::min(), 2).has_value());
    EXPECT_TRUE(FontHeightInPixels(std::numeric_limits<std::int32_t>::max(), 1).has_value());
    EXPECT_DOUBLE_EQ(FontSizeInPoints(0, 96), 0.0);
}

}  // namespace tarvo
