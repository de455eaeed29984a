#include "mainwindow/registry_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>

namespace tarvo {
namespace {

TEST(RegistryRules, ByteSwapsAndTheTextsOfStoredValues) {
    for (auto [in, out] : {std::pair<std::int32_t, std::uint32_t>{0x12345678, 0x78563412}, {0x80, 0x80000000},
                           {std::numeric_limits<std::int32_t>::min(), 0x80}, {-2, 0xFEFFFFFF}, {0, 0}}) {
        EXPECT_EQ(static_cast<std::uint32_t>(SwapDwordBytes(in)), out) << in;
    }
    // Expandable only with a percent pair around something.
    for (auto [text, type] : {std::pair{L"c:\\", kRegSz}, {L"D:\\%x%\\y", kRegExpandSz}, {L"D:\\100%", kRegSz},
                              {L"D:\\%%", kRegSz}, {L"%%%", kRegExpandSz}, {L"%a%", kRegExpandSz}, {L"", kRegSz}}) {
        EXPECT_EQ(TextValueType(text), type) << text;
    }
    EXPECT_EQ(TextByteCount(L"c:\\"), 7u);  // twice the length plus one
    // Odd sizes lose the last byte; stored terminators stay.
    const std::vector<wchar_t> buffer = {L'c', L':', L'\\', L'\0', L'\0', L'\0', L'\0'};
    EXPECT_EQ(TextFromStoredUnits(buffer, 7), L"c:\\");
    EXPECT_EQ(TextFromStoredUnits(buffer, 8), std::wstring(L"c:\\\0", 4));
    EXPECT_EQ(TypeMismatchText(1, 4), L"Registry data type was 1instead of the requested 4");
}

}  // namespace
}  // namespace tarvo
