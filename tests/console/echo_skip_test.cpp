#include "console/echo_skip.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

struct SkipCase {
    const wchar_t* text;
    int bytes;
    std::int32_t skip;
    const wchar_t* left;
    std::int32_t remaining;
};

TEST(EchoSkip, CutsTheFrontOfAChunkAndCarriesWhatIsLeft) {
    const SkipCase cases[] = {
        {L"hello", 5, 0, L"hello", 0},
        {L"dir\r\nVolume", 11, 3, L"\r\nVolume", 0},
        {L"di", 2, 3, L"", 1},     // dropped whole, one still to skip
        {L"abc", 3, 3, L"", 0},
        {L"abc", 3, -1, L"abc", 0},  // a failed write skips nothing
        {L"xy", 4, 3, L"", 0},     // fewer characters than bytes: never past the text
    };
    for (const auto& c : cases) {
        std::wstring text = c.text;
        std::int32_t remaining = c.skip;
        ApplyEchoSkip(text, c.bytes, remaining);
        EXPECT_EQ(text, c.left) << c.text << " skip " << c.skip;
        EXPECT_EQ(remaining, c.remaining) << c.text << " skip " << c.skip;
    }
    std::wstring next = L"r\r\n";
    std::int32_t carried = 1;
    ApplyEchoSkip(next, 3, carried);
    EXPECT_EQ(next, L"\r\n");
}

}  // namespace
}  // namespace tarvo
