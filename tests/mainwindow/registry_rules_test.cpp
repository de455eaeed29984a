#include "mainwindow/registry_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tarvo {
namespace {

TEST(SwapDwordBytes, ReversesTheBytesIncludingTheSignBit) {
    EXPECT_EQ(SwapDwordBytes(0x12345678), 0x78563412);
    EXPECT_EQ(SwapDwordBytes(0x00000080), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(SwapDwordBytes(0x000000FF), static_cast<std::int32_t>(0xFF000000u));
    EXPECT_EQ(SwapDwordBytes(std::numeric_limits<std::int32_t>::min()), 0x80);
    EXPECT_EQ(SwapDwordBytes(-1), -1);
    EXPECT_EQ(SwapDwordBytes(-2), static_cast<std::int32_t>(0xFEFFFFFFu));
    EXPECT_EQ(SwapDwordBytes(0), 0);
    EXPECT_EQ(SwapDwordBytes(SwapDwordBytes(-123456789)), -123456789);
}

TEST(TextValueType, ExpandableOnlyWithAPercentPairAroundSomething) {
    EXPECT_EQ(TextValueType(L"c:\\"), kRegSz);
    EXPECT_EQ(TextValueType(L"D:\\%x%\\y"), kRegExpandSz);
    EXPECT_EQ(TextValueType(L"D:\\100%"), kRegSz);
    EXPECT_EQ(TextValueType(L"D:\\%%"), kRegSz);
    EXPECT_EQ(TextValueType(L"%%%"), kRegExpandSz);
    EXPECT_EQ(TextValueType(L"%a%"), kRegExpandSz);
    EXPECT_EQ(TextValueType(L""), kRegSz);
}

TEST(TextByteCount, TwiceTheLengthPlusOne) {
    EXPECT_EQ(TextByteCount(L"c:\\"), 7u);
    EXPECT_EQ(TextByteCount(L""), 1u);
}

TEST(TextFromStoredUnits, OddSizesLoseTheLastByteAndTerminatorsStay) {
    std::vector<wchar_t> buffer = {L'c', L':', L'\\', L'\0', L'\0', L'\0', L'\0'};
    EXPECT_EQ(TextFromStoredUnits(buffer, 7), L"c:\\");
    EXPECT_EQ(TextFromStoredUnits(buffer, 8), std::wstring(L"c:\\\0", 4));
    EXPECT_EQ(TextFromStoredUnits(buffer, 0), L"");
    EXPECT_EQ(TextFromStoredUnits(buffer, 1), L"");
}

TEST(TypeMismatchText, NoSeparatorsAroundTheNumbers) {
    EXPECT_EQ(TypeMismatchText(1, 4), L"Registry data type was 1instead of the requested 4");
}

}  // namespace
}  // namespace tarvo
