#include <gtest/gtest.h>

#include "common/ole_colour.h"
#include "common/rounding.h"

namespace tarvo {
namespace {

std::uint32_t FakeSystemColour(int index) { return 0x00ABCD00u + static_cast<std::uint32_t>(index); }

TEST(OleColour, StrictTranslationPassesPlainAndPaletteFormsAndRejectsTheRest) {
    EXPECT_EQ(TranslateOleColour(0x00FFD1AD, FakeSystemColour), 0x00FFD1ADu);
    EXPECT_EQ(TranslateOleColour(0x02123456, FakeSystemColour), 0x02123456u);
    EXPECT_EQ(TranslateOleColour(0x8000000F, FakeSystemColour), 0x00ABCD0Fu);
    EXPECT_EQ(TranslateOleColour(0x8000001E, FakeSystemColour), 0x00ABCD1Eu);  // the last system colour
    EXPECT_EQ(TranslateOleColour(0x8000001F, FakeSystemColour), std::nullopt);
    EXPECT_EQ(TranslateOleColour(0x80000105, FakeSystemColour), std::nullopt);
    EXPECT_EQ(TranslateOleColour(0x03000000, FakeSystemColour), std::nullopt);
    EXPECT_EQ(TranslateOleColour(0xFFFFFFFF, FakeSystemColour), std::nullopt);
}

TEST(OleColour, ButtonReadingLooksUpAnyFlaggedIndexAndDropsTheHighByteOtherwise) {
    EXPECT_EQ(SystemOrPlainColour(0x80000105, FakeSystemColour), 0x00ABCD05u);
    EXPECT_EQ(SystemOrPlainColour(0x02123456, FakeSystemColour), 0x00123456u);
    EXPECT_EQ(SystemOrPlainColour(0x00E0E0E0, FakeSystemColour), 0x00E0E0E0u);
}

TEST(Rounding, HalvesGoToTheEvenNeighbourOnBothSides) {
    const double values[] = {0.5, 1.5, 2.5, -0.5, -1.5, -2.5, 2.4999, -2.5001};
    const std::int64_t rounded[] = {0, 2, 2, 0, -2, -2, 2, -3};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(RoundHalfEven(values[i]), rounded[i]) << values[i];
    EXPECT_EQ(DivideHalfEven(36, 72), 0);
    EXPECT_EQ(DivideHalfEven(108, 72), 2);
    EXPECT_EQ(DivideHalfEven(-108, 72), -2);
    EXPECT_EQ(DivideHalfEven(-37, 72), -1);
    EXPECT_EQ(DivideHalfEven(35, 72), 0);
}

}  // namespace
}  // namespace tarvo
