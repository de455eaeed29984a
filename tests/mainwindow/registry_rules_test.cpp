#include "mainwindow/registry_rules.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarvo {
namespace {

TEST(RegistryRules, ATextIsExpandableOnlyWithAPercentPairAroundSomethingAndOddSizesLoseTheLastByte) {
    for (auto [text, type] : {std::pair{L"c:\\", kRegSz}, {L"D:\\%x%\\y", kRegExpandSz}, {L"D:\\100%", kRegSz},
                              {L"D:\\%%", kRegSz}, {L"%%%", kRegExpandSz}, {L"%a%", kRegExpandSz}, {L"", kRegSz}}) {
        EXPECT_EQ(TextValueType(text), type) << text;
    }
    EXPECT_EQ(TextByteCount(L"c:\\"), 7u);  // twice the length plus one
    const std::vector<wchar_t> stored = {L'c', L':', L'\\', L'\0', L'\0'};
    EXPECT_EQ(TextFromStoredUnits(stored, 7), L"c:\\");
    EXPECT_EQ(TextFromStoredUnits(stored, 8), std::wstring(L"c:\\\0", 4));
    EXPECT_EQ(static_cast<std::uint32_t>(SwapDwordBytes(-2)), 0xFEFFFFFFu);
}

}  // namespace
}  // namespace tarvo
