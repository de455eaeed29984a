// The console's text logic: names and titles, the echo skip, the output backlog and the decoder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/echo_skip.h"
#include "console/output_backlog.h"
#include "console/output_decoder.h"

namespace tarvo {
namespace {

using Texts = std::vector<std::wstring>;

TEST(ConsoleTexts, TitleAdminNameAndStartFolder) {
    EXPECT_EQ(FolderTitle(L"\\\\server\\share\\Мой", false), L"Мой - Tarvo");
    EXPECT_EQ(FolderTitle(L"C:\\Windows\\System32", true), L"System32 - Tarvo Admin mode");
    for (const wchar_t* admin : {L"c:\\x\\TARVO2ADMIN.EXE", L"tarvo2admin"}) EXPECT_TRUE(IsAdminExecutable(admin));
    for (const wchar_t* other : {L"C:\\Tarvo2Admin\\Tarvo2.exe", L"C:\\x\\Tarvo2Admin2.exe"}) EXPECT_FALSE(IsAdminExecutable(other));
    EXPECT_EQ(StartFolderFromArguments(L"\"C:\\Program Files\\\""), L"C:\\Program Files\\");
}

TEST(EchoSkip, DropsOnlyAnEchoOfTheSentLinesOnceAndStopsAtTheFirstDifference) {
    const struct {
        Texts sent, chunks, shown;
    } cases[] = {
        {{L"dir"}, {L"di", L"r\r", L"\nnext"}, {L"", L"", L"next"}},  // an echo split over reads
        {{L"hello"}, {L"got hello\r\n"}, {L"got hello\r\n"}},           // no echo: nothing lost
        {{L"abc"}, {L"abX"}, {L"X"}},                                  // what matched before a difference goes
        {{L"one", L"two"}, {L"one\r\ntwo\r\nrest"}, {L"rest"}},        // two lines sent before any output
        {{L"ls"}, {L"ls\r\nls\r\n"}, {L"ls\r\n"}},                       // the echo once, not every later line alike
        {{L""}, {L"\r\nout"}, {L"\r\nout"}},                           // an empty line has no echo
        {{L"x", L"^"}, {L"x\r\n"}, {L"x\r\n"}},                        // cleared, as at the start of a run
    };
    for (const auto& c : cases) {
        EchoSkip skip;
        for (const auto& line : c.sent) line == L"^" ? skip.Clear() : skip.Expect(line);
        Texts chunks = c.chunks;
        for (auto& chunk : chunks) skip.Apply(chunk);
        EXPECT_EQ(chunks, c.shown) << c.chunks[0];
        EXPECT_FALSE(skip.Active()) << c.chunks[0];
    }
}

// Adds each text (standard error after a '!') and takes pieces of at most `size` until none is left.
Texts Pieces(OutputBacklog& backlog, const Texts& added, std::size_t size, bool final) {
    for (const auto& text : added) backlog.Add(text.substr(text[0] == L'!'), text[0] == L'!');
    Texts pieces;
    for (OutputPiece piece; !(piece = backlog.Take(size, final)).text.empty();)
        pieces.push_back((piece.isError ? L"!" : L"") + piece.text);
    return pieces;
}

TEST(OutputBacklog, PiecesKeepCrLfAndSurrogatePairsWholeAndHoldBackWhatMayContinue) {
    const std::wstring emoji = L"\xD83D\xDE00";  // U+1F600
    const struct {
        Texts added;
        std::size_t size;
        Texts pieces;
    } cases[] = {
        {{L"abc\r\ndef"}, 4, {L"abc", L"\r\nde", L"f"}},  // the CR waits for its LF
        {{L"abcd\r\nef"}, 4, {L"abcd", L"\r\nef"}},       // the boundary falls between the pair's neighbours
        {{L"\r\nxy"}, 1, {L"\r\n", L"x", L"y"}},          // a one-unit piece takes the pair whole
        {{L"ab" + emoji + L"cd"}, 3, {L"ab", emoji + L"c", L"d"}},
        {{L"a\rb"}, 2, {L"a\r", L"b"}},  // a lone CR is no pair
        {{L"o1", L"!e1", L"!e2", L"o2"}, 100, {L"o1", L"!e1e2", L"o2"}},
    };
    for (const auto& c : cases) {
        OutputBacklog backlog(1000);
        EXPECT_EQ(Pieces(backlog, c.added, c.size, true), c.pieces) << c.size;
    }
    // Unless the run has ended, an ending CR or high surrogate waits for the next read.
    OutputBacklog backlog(10);
    EXPECT_EQ(Pieces(backlog, {L"line\r"}, 100, false), Texts{L"line"});
    EXPECT_EQ(Pieces(backlog, {L"\nnext\xD83D"}, 100, false), Texts{L"\r\nnext"});
    EXPECT_EQ(Pieces(backlog, {L"\xDE00"}, 100, false), Texts{emoji});
    // Standard error after it: the CR cannot meet its LF any more.
    EXPECT_EQ(Pieces(backlog, {L"tail\r", L"!e\r"}, 100, false), (Texts{L"tail\r", L"!e"}));
    EXPECT_EQ(Pieces(backlog, {L"123456789"}, 100, true), (Texts{L"!\r", L"123456789"}));
    EXPECT_FALSE(backlog.Full());
    backlog.Add(L"0123456789", false);
    EXPECT_TRUE(backlog.Full());
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

// UTF-16 units, whatever the width of wchar_t.
std::wstring Units(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

// An OEM code page of its own: ASCII, then U+2500 + (byte - 0x80) for the bytes 0x80 to 0xFF.
OutputDecoder Oem() {
    OemTable table{};
    for (std::size_t b = 0; b < 256; ++b) table[b] = static_cast<wchar_t>(b < 128 ? b : 0x2500 + b - 128);
    return OutputDecoder(DecodeThroughTable(table));
}

TEST(OutputDecoder, OemBytesMapThroughTheTableAndUtf8IsDecodedWholeWhereverSplitElseReadAsOem) {
    std::string all;
    std::wstring expected;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b)), expected.push_back(b < 128 ? b : 0x2480 + b);
    EXPECT_EQ(Oem().Decode(all), expected);
    const std::u8string_view encoded = u8"Привет Γειά 你好 😀𝄞\r\n";
    const std::string bytes(encoded.begin(), encoded.end());
    for (std::size_t split = 0; split <= bytes.size(); ++split) {
        OutputDecoder decoder = Oem();
        std::wstring text = decoder.Decode(bytes.substr(0, split));
        text += decoder.Decode(bytes.substr(split));
        EXPECT_EQ(text + decoder.Flush(), Units(u"Привет Γειά 你好 😀𝄞\r\n")) << split;
    }
    // Invalid UTF-8 is read as OEM.
    const struct {
        const char* bytes;
        std::u16string_view text;
    } cases[] = {
        {"\xD0\x9F\xFF", u"\u2550\u251F\u257F"},            // a valid sequence does not save the chunk
        {"\xC0\xAF", u"\u2540\u252F"},                      // overlong
        {"\xE0\x9F\xBF", u"\u2560\u251F\u253F"},            // overlong, three bytes
        {"\xED\xA0\x80", u"\u256D\u2520\u2500"},            // a surrogate
        {"\xF4\x90\x80\x80", u"\u2574\u2510\u2500\u2500"},  // past U+10FFFF
        {"\x80x", u"\u2500x"},
    };
    for (const auto& c : cases) EXPECT_EQ(Oem().Decode(c.bytes), Units(c.text)) << c.bytes;
    // A lead byte at the end waits; what follows decides.
    OutputDecoder decoder = Oem();
    EXPECT_EQ(decoder.Decode("caf\xE9"), L"caf");
    EXPECT_EQ(decoder.Decode(" ok"), Units(u"\u2569 ok"));
    EXPECT_EQ(decoder.Decode("\xE2\x94"), L"");
    EXPECT_EQ(decoder.Flush(), Units(u"\u2562\u2514"));
}

}  // namespace
}  // namespace tarvo
