#include "console/output_backlog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

using Pieces = std::vector<std::wstring>;

// Everything the backlog hands out, piece by piece, as "o:" or "e:" + text.
Pieces TakeAll(OutputBacklog& backlog, std::size_t pieceSize, bool final) {
    Pieces pieces;
    for (OutputPiece piece; !(piece = backlog.Take(pieceSize, final)).text.empty();) {
        pieces.push_back((piece.isError ? L"e:" : L"o:") + piece.text);
    }
    return pieces;
}

TEST(OutputBacklog, PiecesNeverSplitALineBreakOrASurrogatePair) {
    const std::wstring emoji = L"\xD83D\xDE00";  // U+1F600
    const struct {
        std::wstring text;
        std::size_t pieceSize;
        Pieces pieces;
    } cases[] = {
        {L"abc\r\ndef", 4, {L"o:abc", L"o:\r\nde", L"o:f"}},  // the CR waits for its LF
        {L"abcd\r\nef", 4, {L"o:abcd", L"o:\r\nef"}},          // the boundary falls between the pair's neighbours
        {L"\r\nxy", 1, {L"o:\r\n", L"o:x", L"o:y"}},           // a one-unit piece takes the pair whole
        {L"ab" + emoji + L"cd", 3, {L"o:ab", L"o:" + emoji + L"c", L"o:d"}},
        {emoji + L"z", 1, {L"o:" + emoji, L"o:z"}},
        {L"a\rb", 2, {L"o:a\r", L"o:b"}},  // a lone CR is no pair
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
    EXPECT_EQ(TakeAll(backlog, 100, false), Pieces{L"o:line"});
    backlog.Add(L"\nnext\xD83D", false);
    EXPECT_EQ(TakeAll(backlog, 100, false), Pieces{L"o:\r\nnext"});
    backlog.Add(L"\xDE00", false);
    EXPECT_EQ(TakeAll(backlog, 100, false), Pieces{L"o:\xD83D\xDE00"});
    // Standard error after it: the CR cannot meet an LF of its own stream in
    // this segment any more, so it goes; so does everything at the end of a run.
    backlog.Add(L"tail\r", false);
    backlog.Add(L"STDERR: e\r", true);
    EXPECT_EQ(TakeAll(backlog, 100, false), (Pieces{L"o:tail\r", L"e:STDERR: e"}));
    EXPECT_EQ(TakeAll(backlog, 100, true), Pieces{L"e:\r"});
}

TEST(PieceSizer, SizesPiecesToTheTimeBudgetWithinItsLimits) {
    PieceSizer sizer(40);
    sizer.Record(65536, 20);  // 3,276.8 characters a millisecond: 131,072 fit the budget
    EXPECT_EQ(sizer.NextSize(), (32768u + 131072u) / 2);
    sizer.Record(81920, 160);  // a slow piece: 512 a millisecond, 20,480 would fit
    EXPECT_EQ(sizer.NextSize(), (81920u + 20480u) / 2);
    sizer.Record(16383, 1000);  // too small a piece to judge the rate by
    EXPECT_EQ(sizer.NextSize(), 51200u);
    for (int i = 0; i < 20; ++i) sizer.Record(100000, 1);
    EXPECT_EQ(sizer.NextSize(), 256u * 1024);
    for (int i = 0; i < 20; ++i) sizer.Record(20000, 1000);
    EXPECT_EQ(sizer.NextSize(), 32u * 1024);
}

}  // namespace
}  // namespace tarvo
