#include "console/output_backlog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

// Everything the backlog hands out, piece by piece, as "o:" or "e:" + text.
std::vector<std::wstring> TakeAll(OutputBacklog& backlog, std::size_t pieceSize, bool final) {
    std::vector<std::wstring> pieces;
    for (;;) {
        OutputPiece piece = backlog.Take(pieceSize, final);
        if (piece.text.empty()) return pieces;
        pieces.push_back((piece.isError ? L"e:" : L"o:") + piece.text);
    }
}

TEST(OutputBacklog, KeepsTheOrderOfTheStreamsAndJoinsNeighboursOfOneStream) {
    OutputBacklog backlog(100);
    backlog.Add(L"ab", false);
    backlog.Add(L"cd", false);
    backlog.Add(L"STDERR: x", true);
    backlog.Add(L"STDERR: y", true);
    backlog.Add(L"", false);
    backlog.Add(L"ef", false);
    EXPECT_EQ(backlog.Size(), 24u);
    const std::vector<std::wstring> expected = {L"o:abcd", L"e:STDERR: xSTDERR: y", L"o:ef"};
    EXPECT_EQ(TakeAll(backlog, 1000, true), expected);
    EXPECT_TRUE(backlog.Empty());
    EXPECT_EQ(backlog.Size(), 0u);
}

TEST(OutputBacklog, IsFullFromItsBoundOnAndNotBefore) {
    OutputBacklog backlog(10);
    backlog.Add(L"123456789", false);
    EXPECT_FALSE(backlog.Full());
    backlog.Add(L"0", true);
    EXPECT_TRUE(backlog.Full());
    backlog.Take(4, false);
    EXPECT_FALSE(backlog.Full());
    EXPECT_EQ(backlog.Size(), 6u);
}

TEST(OutputBacklog, PiecesNeverSplitALineBreakOrASurrogatePair) {
    struct Case {
        std::wstring text;
        std::size_t pieceSize;
        std::vector<std::wstring> pieces;
    };
    const std::wstring emoji = L"\xD83D\xDE00";  // U+1F600
    const Case cases[] = {
        {L"abc\r\ndef", 4, {L"o:abc", L"o:\r\nde", L"o:f"}},  // the CR waits for its LF
        {L"abcd\r\nef", 4, {L"o:abcd", L"o:\r\nef"}},          // the boundary falls between the pair's neighbours
        {L"\r\nxy", 1, {L"o:\r\n", L"o:x", L"o:y"}},           // a one-unit piece takes the pair whole
        {L"ab" + emoji + L"cd", 3, {L"o:ab", L"o:" + emoji + L"c", L"o:d"}},
        {emoji + L"z", 1, {L"o:" + emoji, L"o:z"}},
        {L"a\rb", 2, {L"o:a\r", L"o:b"}},                      // a lone CR is no pair
    };
    for (const auto& c : cases) {
        OutputBacklog backlog(1000);
        backlog.Add(c.text, false);
        EXPECT_EQ(TakeAll(backlog, c.pieceSize, true), c.pieces) << c.pieceSize;
    }
}

TEST(OutputBacklog, HoldsBackAnEndingCrOrHighSurrogateUntilTheNextReadOrTheEnd) {
    OutputBacklog backlog(1000);
    backlog.Add(L"line\r", false);
    EXPECT_EQ(TakeAll(backlog, 100, false), std::vector<std::wstring>{L"o:line"});
    EXPECT_EQ(backlog.Size(), 1u);
    backlog.Add(L"\nnext\xD83D", false);
    EXPECT_EQ(TakeAll(backlog, 100, false), std::vector<std::wstring>{L"o:\r\nnext"});
    backlog.Add(L"\xDE00", false);
    EXPECT_EQ(TakeAll(backlog, 100, false), std::vector<std::wstring>{L"o:\xD83D\xDE00"});

    // Standard error after it: the CR cannot meet an LF of its own stream in
    // this segment any more, so it goes; so does everything at the end of a run.
    backlog.Add(L"tail\r", false);
    backlog.Add(L"STDERR: e\r", true);
    const std::vector<std::wstring> notFinal = {L"o:tail\r", L"e:STDERR: e"};
    EXPECT_EQ(TakeAll(backlog, 100, false), notFinal);
    EXPECT_EQ(TakeAll(backlog, 100, true), std::vector<std::wstring>{L"e:\r"});
    EXPECT_TRUE(backlog.Empty());
}

TEST(PieceSizer, SizesPiecesToTheTimeBudgetWithinItsLimits) {
    PieceSizer sizer(40);
    EXPECT_EQ(sizer.NextSize(), 32768u);
    sizer.Record(65536, 20);  // 3,276.8 characters a millisecond: 131,072 fit the budget
    EXPECT_EQ(sizer.NextSize(), (32768u + 131072u) / 2);
    sizer.Record(81920, 160);  // a slow piece: 512 a millisecond, 20,480 would fit
    EXPECT_EQ(sizer.NextSize(), (81920u + 20480u) / 2);
    sizer.Record(3000, 1000);  // too small a piece to judge the rate by
    EXPECT_EQ(sizer.NextSize(), 51200u);

    for (int i = 0; i < 20; ++i) sizer.Record(100000, 1);
    EXPECT_EQ(sizer.NextSize(), 256u * 1024);
    for (int i = 0; i < 20; ++i) sizer.Record(20000, 1000);
    EXPECT_EQ(sizer.NextSize(), 32u * 1024);
}

}  // namespace
}  // namespace tarvo
