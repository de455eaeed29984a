#include <gtest/gtest.h>

#include <tuple>

#include "common/ole_colour.h"
#include "common/rounding.h"

namespace tarvo {
namespace {

std::uint32_t FakeSystemColour(int index) { return 0x00ABCD00u + static_cast<std::uint32_t>(index); }

TEST(ColourAndRounding, StrictTranslationRejectsWhatTheButtonsReadingMapsAndHalvesGoToTheEvenNeighbour) {
    // The OLE colour, its strict translation (0xFFFFFFFF: invalid) and the buttons' reading.
    for (const auto& [colour, strict, loose] : std::initializer_list<std::tuple<OleColour, std::uint32_t, std::uint32_t>>{
             {0x00FFD1AD, 0xFFD1AD, 0xFFD1AD}, {0x02123456, 0x02123456, 0x123456}, {0x8000000F, 0xABCD0F, 0xABCD0F},
             {0x8000001E, 0xABCD1E, 0xABCD1E}, {0x8000001F, 0xFFFFFFFF, 0xABCD1F}, {0x80000105, 0xFFFFFFFF, 0xABCD05},
             {0x01000005, 0x01000005, 5}, {0x03000000, 0xFFFFFFFF, 0}, {0xFFFFFFFF, 0xFFFFFFFF, 0xABCDFF}}) {
        EXPECT_EQ(TranslateOleColour(colour, FakeSystemColour).value_or(0xFFFFFFFF), strict) << std::hex << colour;
        EXPECT_EQ(SystemOrPlainColour(colour, FakeSystemColour), loose) << std::hex << colour;
    }
    // Rounding: halves go to the even neighbour on both sides.
    for (const auto& [value, rounded] : {std::pair{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
                                         {2.4999, 2}, {-2.5001, -3}})
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    for (const auto& [dividend, quotient] : {std::pair{36, 0}, {108, 2}, {-108, -2}, {-37, -1}, {35, 0}, {-36, 0}, {180, 2}})
        EXPECT_EQ(DivideHalfEven(dividend, 72), quotient) << dividend;
}

}  // namespace
}  // namespace tarvo
