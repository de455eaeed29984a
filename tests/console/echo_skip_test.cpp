#include "console/echo_skip.h"

#include <gtest/gtest.h>

namespace tarvo {

TEST(EchoSkip, NothingToSkipPassesTextUnchanged) {
    std::wstring text = L"hello";
    std::int32_t remaining = 0;
    ApplyEchoSkip(text, 5, remaining);
    EXPECT_EQ(text, L"hello");
    EXPECT_EQ(remaining, 0);
}

TEST(EchoSkip, SkipShorterThanChunkCutsTheFront) {
    std::wstring text = L"dir\r\nVolume";
    std::int32_t remaining = 3;
    ApplyEchoSkip(text, 11, remaining);
    EXPECT_EQ(text, L"\r\nVolume");
    EXPECT_EQ(remaining, 0);
}

TEST(EchoSkip, SkipLongerThanChunkDropsItWholeAndCarriesTheRest) {
    std::wstring text = L"di";
    std::int32_t remaining = 3;
    ApplyEchoSkip(text, 2, remaining);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(remaining, 1);
    std::wstring next = L"r\r\n";
    ApplyEchoSkip(next, 3, remaining);
    EXPECT_EQ(next, L"\r\n");
    EXPECT_EQ(remaining, 0);
}

TEST(EchoSkip, SkipEqualToChunkEmptiesItAndEnds) {
    std::wstring text = L"abc";
    std::int32_t remaining = 3;
    ApplyEchoSkip(text, 3, remaining);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(remaining, 0);
}

TEST(EchoSkip, NegativeCountFromAFailedWriteSkipsNothing) {
    std::wstring text = L"abc";
    std::int32_t remaining = -1;
    ApplyEchoSkip(text, 3, remaining);
    EXPECT_EQ(text, L"abc");
    EXPECT_EQ(remaining, 0);
}

TEST(EchoSkip, FewerCharactersThanBytesNeverReadsPastTheText) {
    // A multi-byte code page can decode 4 bytes into 2 characters.
    std::wstring text = L"xy";
    std::int32_t remaining = 3;
    ApplyEchoSkip(text, 4, remaining);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(remaining, 0);
}

}  // namespace tarvo
