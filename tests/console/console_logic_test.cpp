// The console's logic without windows: its rules over a fake pane, runner and
// system, and the text logic beneath them (names and titles, the echo skip, the
// output backlog and the decoder).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "console/command_controller.h"
#include "console/command_line.h"
#include "console/echo_skip.h"
#include "console/output_backlog.h"
#include "console/output_decoder.h"

namespace tarvo {
namespace {

using Texts = std::vector<std::wstring>;

TEST(ConsoleTexts, TitleAdminNameAndStartFolder) {
    EXPECT_EQ(FolderTitle(L"C:\\Windows\\System32", true), L"System32 - Tarvo Admin mode");
    for (const wchar_t* admin : {L"c:\\x\\TARVO2ADMIN.EXE", L"d:\\x/y/Tarvo2Admin.exe", L"tarvo2admin"})
        EXPECT_TRUE(IsAdminExecutable(admin));
    for (const wchar_t* other : {L"C:\\Tarvo2Admin\\Tarvo2.exe", L"C:\\x\\Tarvo2Admin2.exe"}) EXPECT_FALSE(IsAdminExecutable(other));
    EXPECT_EQ(StartFolderFromArguments(L"\"C:\\Program Files\\\""), L"C:\\Program Files\\");
}

TEST(EchoSkip, DropsOnlyAnEchoOfTheSentLinesOnceAndStopsAtTheFirstDifference) {
    const std::tuple<Texts, Texts, Texts> cases[] = {  // lines sent, chunks read, what is shown of them
        {{L"dir"}, {L"di", L"r\r", L"\nnext"}, {L"", L"", L"next"}},  // an echo split over reads
        {{L"hello"}, {L"got hello\r\n"}, {L"got hello\r\n"}},           // no echo: nothing lost
        {{L"abc"}, {L"abX"}, {L"X"}},                                  // what matched before a difference goes
        {{L"one", L"two"}, {L"one\r\ntwo\r\nrest"}, {L"rest"}},        // two lines sent before any output
        {{L"ls"}, {L"ls\r\nls\r\n"}, {L"ls\r\n"}},                       // the echo once, not every later line alike
        {{L""}, {L"\r\nout"}, {L"\r\nout"}},                           // an empty line has no echo
        {{L"x", L"^"}, {L"x\r\n"}, {L"x\r\n"}},                        // cleared, as at the start of a run
    };
    for (auto [sent, chunks, shown] : cases) {
        EchoSkip skip;
        for (const auto& line : sent) line == L"^" ? skip.Clear() : skip.Expect(line);
        for (auto& chunk : chunks) skip.Apply(chunk);
        EXPECT_EQ(std::pair(chunks, skip.Active()), std::pair(shown, false)) << sent[0];
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
    const std::tuple<Texts, std::size_t, Texts> cases[] = {  // texts added, piece size, pieces taken
        {{L"abc\r\ndef"}, 4, {L"abc", L"\r\nde", L"f"}},  // the CR waits for its LF
        {{L"abcd\r\nef"}, 4, {L"abcd", L"\r\nef"}},       // the boundary falls between the pair's neighbours
        {{L"\r\nxy"}, 1, {L"\r\n", L"x", L"y"}},          // a one-unit piece takes the pair whole
        {{L"ab" + emoji + L"cd"}, 3, {L"ab", emoji + L"c", L"d"}},
        {{L"a\rb"}, 2, {L"a\r", L"b"}},  // a lone CR is no pair
        {{L"o1", L"!e1", L"!e2", L"o2"}, 100, {L"o1", L"!e1e2", L"o2"}},
    };
    for (const auto& [added, size, pieces] : cases) {
        OutputBacklog backlog(1000);
        EXPECT_EQ(Pieces(backlog, added, size, true), pieces) << size;
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
    // Characters and milliseconds of a piece, how often, and the next size: halfway from the last size (at
    // first 32,768) to what fits the budget at the piece's rate, within 32 and 256 KiB.
    for (const auto& [characters, milliseconds, times, next] :
         {std::tuple{65536u, 20, 1, 81920u},         // 3,276.8 a millisecond: 131,072 would fit
          {81920u, 160, 1, 51200u},                 // a slow piece: 512 a millisecond, 20,480 would fit
          {16383u, 1000, 1, 51200u}, {65536u, 0, 1, 51200u},  // too small a piece, or too quick a one, to judge the rate by
          {100000u, 1, 20, 262144u}, {20000u, 1000, 20, 32768u}}) {
        for (int i = 0; i < times; ++i) sizer.Record(characters, milliseconds);
        EXPECT_EQ(sizer.NextSize(), next) << characters;
    }
}

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
    const std::u8string_view encoded = u8"Привет Γειά 你好 😀𝄞߿\r\n";
    const std::string bytes(encoded.begin(), encoded.end());
    for (std::size_t split = 0; split <= bytes.size(); ++split) {
        OutputDecoder decoder = Oem();
        std::wstring text = decoder.Decode(bytes.substr(0, split));
        text += decoder.Decode(bytes.substr(split));
        // In UTF-16 units.
        EXPECT_EQ(text + decoder.Flush(), L"Привет Γειά 你好 \xD83D\xDE00\xD834\xDD1E\x07FF\r\n") << split;
    }
    // Invalid UTF-8 is read as OEM.
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"\xD0\x9F\xFF", L"\u2550\u251F\u257F"},            // a valid sequence does not save the chunk
        {"\xC0\xAF", L"\u2540\u252F"},                      // overlong
        {"\xE0\x9F\xBF", L"\u2560\u251F\u253F"},            // overlong, three bytes
        {"\xED\xA0\x80", L"\u256D\u2520\u2500"},            // a surrogate
        {"\xF4\x90\x80\x80", L"\u2574\u2510\u2500\u2500"},  // past U+10FFFF
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(Oem().Decode(bytes), text) << bytes;
    // A lead byte at the end waits; what follows decides.
    OutputDecoder decoder = Oem();
    EXPECT_EQ(decoder.Decode("caf\xE9"), L"caf");
    EXPECT_EQ(decoder.Decode(" ok"), L"\u2569 ok");
    EXPECT_EQ(decoder.Decode("\xE2\x94"), L"");
    EXPECT_EQ(decoder.Flush(), L"\u2562\u2514");
}

// The console's world in memory: a pane that formats as the rich edit does (new
// text takes the insertion point's format, and moving the selection gives the
// insertion point the format of the character before it, while selecting where
// it already is changes nothing; a line break is kept as a CR alone; a moved
// selection is reported while events are wanted), and a runner, system and
// recent list that log every call.
class ConsoleRules : public ::testing::Test, IConsolePane, IProcessRunner, IConsoleSystem, IRecentList {
protected:
    using Format = std::array<std::uint32_t, 3>;  // colour, bold, protected
    std::wstring text;
    std::vector<Format> formats;
    Format caret;
    long start = 0, end = 0;
    bool redraw = true, events = true, busy = false, folderThere = true, stopEnabled = false;
    std::uint32_t fails = 0;  // the code every folder change and run fails with
    std::wstring current = L"C:\\w", copied;
    Texts log;
    CommandController controller{{[this](bool on) { stopEnabled = on; }, [] { return true; },
                                  [this](const std::wstring& path) { log.push_back(L"tree:" + path); },
                                  [this](const std::wstring& caption) { log.push_back(L"caption:" + caption); }},
                                 *this, *this, *this, false};
    OutputRenderer& renderer = controller.Renderer();

    long CharacterCount() const override { return Size() + LineCount() - 1; }
    long LineCount() const override { return static_cast<long>(std::count(text.begin(), text.end(), L'\r')) + 1; }
    void Select(long s, long e) override {
        s = Clamp(s), e = e < 0 ? Size() : Clamp(e);
        const bool moved = s != start || e != end;
        if (moved) caret = s < e ? formats[s] : s > 0 ? formats[s - 1] : Format{};
        start = s, end = e;
        if (moved && events) renderer.OnSelectionChange(s, e, s < e);  // 0: nothing selected
    }
    void Selection(long& s, long& e) const override { s = start, e = end; }
    std::wstring TextInRange(long s, long e) const override { return text.substr(Clamp(s), Clamp(e) - Clamp(s)); }
    std::wstring SelectedText() const override { return TextInRange(start, end); }
    void InsertText(const std::wstring& t) override {
        std::wstring in = t;
        std::erase(in, L'\n');
        text.replace(start, end - start, in);
        formats.erase(formats.begin() + start, formats.begin() + end);
        formats.insert(formats.begin() + start, in.size(), caret);
        start = end = start + static_cast<long>(in.size());
    }
    void FormatColour(std::uint32_t colour) override { Apply(0, colour); }
    void FormatBold(bool bold) override { Apply(1, bold); }
    void FormatProtected(bool on) override { Apply(2, on); }
    void Redraw(bool on) override { redraw = on; }
    void WantEvents(bool on) override { events = on; }
    // One letter a character: 'B' blue 0xFF0000 and bold, 'R' red 0x0000FF, 'N' black 0x000000,
    // '?' any other format; lower case when the character is not protected.
    std::wstring Formats() const {
        std::wstring map;
        for (const auto& [colour, bold, isProtected] : formats) {
            const wchar_t letter = bold ? (colour == 0xFF0000 ? L'B' : L'?') : colour == 0x0000FF ? L'R' : colour ? L'?' : L'N';
            map.push_back(isProtected || letter == L'?' ? letter : static_cast<wchar_t>(letter + 32));
        }
        return map;
    }
    long Size() const { return static_cast<long>(text.size()); }
    long Clamp(long at) const { return std::clamp(at, 0L, Size()); }
    void Apply(std::size_t field, std::uint32_t value) {
        if (start == end) caret[field] = value;
        for (long i = start; i < end; ++i) formats[i][field] = value;
    }

    bool Busy() const noexcept override { return busy; }
    std::int32_t WriteData(const std::wstring& line) override { return log.push_back(L"write:" + line), 0; }
    std::uint32_t RunCommand(const std::wstring& line) override { return log.push_back(L"run:" + line), fails; }
    std::uint32_t RunWithoutWait(const std::wstring& line) override { return log.push_back(L"start:" + line), fails; }
    std::uint32_t EnterFolder(const std::wstring& path) override {
        log.push_back(L"enter:" + path);
        if (fails == 0) current = path == L".." ? L"C:\\" : path;
        return fails;
    }
    bool ReenterFolder(const std::wstring& folder) override { return folderThere && folder == current; }
    std::wstring CurrentFolder() override { return current; }
    std::wstring ErrorText(std::uint32_t code) override { return L"E" + std::to_wstring(code) + L"\r\n"; }
    std::wstring ComSpec() override { return L"cmd.exe"; }
    void AddRecentCommand(const std::wstring& command) override { log.push_back(L"rec:" + command); }

    void SetUp() override {
        controller.CurrentFolder(L"C:\\w");
        controller.RecentCommandList(this);
        renderer.Hooks({{}, [] { return true; }, [this](const std::wstring& text) { copied += text + L"|"; }});
        renderer.WritePrompt();
    }
    // What the line adds to the pane from where it is typed; a run it starts is logged and completed.
    std::wstring Enter(const std::wstring& line) {
        log.clear();
        const std::size_t before = text.size();
        InsertText(line);
        controller.OnCommandEntered();
        if (stopEnabled && !busy) {
            EXPECT_EQ(renderer.InputStart(), static_cast<long>(text.size())) << "typed lines start after the command";
            log.push_back(L"ran");
            controller.myConsole_Complete();
        }
        EXPECT_FALSE(stopEnabled && !busy) << line;
        return text.substr(before);
    }
    // Reads of standard output and standard error, one pair a read.
    void Output(std::initializer_list<std::pair<std::wstring, std::wstring>> reads) {
        for (auto [out, err] : reads) renderer.myConsole_OutputReceived(out, err);
    }
};

TEST_F(ConsoleRules, PromptOutputErrorsAndTypedLinesKeepTheirColoursKeysThatWouldEditTheHistoryAreWithheldAndCopyGivesCrLf) {
    ASSERT_EQ(text, L"C:\\w>");
    InsertText(L"ab");  // typed before output arrives
    EXPECT_EQ(Formats(), L"BBBBBnn");
    const std::tuple<long, short, short, bool, bool> keys[] = {  // caret, key, shift, key down or press, kept
        {4, 0x2E, 0, true, false}, {5, 0x2E, 0, true, true}, {5, 0x08, 0, true, false}, {6, 0x08, 0, true, true},
        {4, 'V', 2, true, false},  {4, 'V', 3, true, true},  {4, 'X', 2, true, false},  {4, 0x2D, 1, true, false},
        {4, 'A', 0, true, true},   {4, 'q', 0, false, false}, {5, 'q', 0, false, true}, {5, 8, 0, false, false},
        {4, 13, 0, false, true},   {4, '\t', 0, false, false}, {4, 'C', 2, true, true},  // Ctrl+C: nothing selected, nothing copied
    };
    for (const auto& [caret, code, shift, down, kept] : keys) {
        Select(caret, caret);
        short key = code;
        down ? renderer.OnKeyDown(key, shift) : renderer.OnKeyPress(key);
        EXPECT_EQ(key, kept ? code : 0) << caret << " " << code << " " << down;
    }
    EXPECT_TRUE((Select(4, 6), renderer.SelectionInHistory()));
    EXPECT_FALSE((Select(5, 6), renderer.SelectionInHistory()));
    EXPECT_EQ((Select(5, 5), caret[2]), 0u) << "back at the input's start, what is typed is not protected";
    Output({{L"o\r\n", L""}, {L"", L"e"}, {L"k", L""}});
    ASSERT_EQ(text, L"C:\\w>abo\rSTDERR: ek");
    busy = true;  // a line typed for the running program goes to it
    EXPECT_EQ(Enter(L"z"), L"z\r");
    EXPECT_EQ(log, (Texts{L"write:z"})) << "from the input's start after the output";
    busy = false;
    InsertText(L"next");  // typed ahead: it follows the next prompt
    controller.myConsole_Complete();
    EXPECT_EQ(text.substr(21), L"\rC:\\w>next");
    EXPECT_EQ(renderer.InputStart(), 27);
    EXPECT_EQ(Formats(), L"BBBBBNNNNRRRRRRRRRNNNNBBBBBnnnn");
    renderer.ReplaceTypedText(L"dir");  // a recent command chosen
    EXPECT_EQ(text.substr(21) + Formats().substr(21), L"\rC:\\w>dirNBBBBBnnn");
    renderer.ReplaceTypedText(L"");
    EXPECT_EQ(text.size(), 27u);
    Select(6, 10);
    // Ctrl+Shift+C copies nothing, Ctrl+C and Ctrl+Insert copy.
    for (auto [key, shift] : {std::pair<short, short>{'C', 3}, {'C', 2}, {0x2D, 2}}) renderer.OnKeyDown(key, shift);
    EXPECT_EQ(copied, L"bo\r\nS|bo\r\nS|");
}

// Each row: the typed line, the code the system fails with, what the pane shows after it, and what happened.
TEST_F(ConsoleRules, EachKindOfLineGetsItsFramingAndOutcome) {
    const std::tuple<const wchar_t*, std::uint32_t, std::wstring, Texts> cases[] = {
        {L"cd x", 2, L"cd x\rE2\rx\r\rC:\\w>", {L"enter:x", L"rec:cd x"}},
        {L"cd ..", 2, L"cd ..\rE2\r\rC:\\w>", {L"enter:.."}},  // no path after the message
        {L"dir", 5, L"dir\rE5\r\rC:\\w>", {L"run:cmd.exe /c dir", L"rec:dir"}},
        {L"start q", 5, L"start q\rE5\r\rC:\\w>", {L"start:cmd.exe /c q", L"rec:start q"}},
        {L" \t ", 0, L" \t \rC:\\w>", {}},
        {L"cd", 0, L"cd\rC:\\w\rC:\\w>", {L"tree:C:\\w"}},
        {L"cD.", 0, L"cD.\rC:\\w\rC:\\w>", {L"tree:C:\\w"}},
        {L"Cd .", 0, L"Cd .\rC:\\w\rC:\\w>", {L"tree:C:\\w"}},
        {L"cd \t Program  Files ", 0, L"cd \t Program  Files \rProgram Files>",
         {L"enter:Program Files", L"caption:Program Files - Tarvo", L"tree:Program Files", L"rec:cd Program Files"}},
        {L"CD\t..", 0, L"CD\t..\rC:\\>", {L"enter:..", L"caption:C:\\ - Tarvo", L"tree:C:\\"}},
        {L"cd d:", 0, L"cd d:\rd:\\>", {L"enter:d:\\", L"caption:d:\\ - Tarvo", L"tree:d:\\", L"rec:cd d:"}},
        {L"cd d:\\x", 0, L"cd d:\\x\rd:\\x>", {L"enter:d:\\x", L"caption:x - Tarvo", L"tree:d:\\x", L"rec:cd d:\\x"}},
        {L"1:", 0, L"1:\r1:\\>", {L"rec:1:", L"enter:1:\\", L"caption:1:\\ - Tarvo", L"tree:1:\\"}},
        {L"START   notepad  a.txt", 0, L"START   notepad  a.txt\r1:\\>",
         {L"start:cmd.exe /c notepad a.txt", L"rec:start notepad a.txt"}},
        {L"start ", 0, L"start \r\r1:\\>", {L"run:cmd.exe /c start", L"rec:start", L"ran"}},
        {L"startx foo", 0, L"startx foo\r\r1:\\>", {L"run:cmd.exe /c startx foo", L"rec:startx foo", L"ran"}},
        {L"cd\\", 0, L"cd\\\r\r1:\\>", {L"run:cmd.exe /c cd\\", L"rec:cd\\", L"ran"}},
        {L"ab:", 0, L"ab:\r\r1:\\>", {L"run:cmd.exe /c ab:", L"rec:ab:", L"ran"}},
        {L" x\r", 0, L" x\r\r\r1:\\>", {L"run:cmd.exe /c x", L"rec:x", L"ran"}},
    };
    for (const auto& [typed, code, shown, done] : cases) {
        fails = code;
        EXPECT_EQ(Enter(typed), shown) << typed;
        EXPECT_EQ(log, done) << typed;
    }
    EXPECT_EQ(Formats().substr(5, 16), L"NNNNRRRRRRRBBBBB") << "the message in red";
    folderThere = false;
    EXPECT_EQ(Enter(L"start q"), L"start q\rE3\r1:\\\r\r1:\\>");
    EXPECT_EQ(Enter(L"x"), L"x\rE3\r1:\\\r\r1:\\>");
    EXPECT_EQ(log, Texts{L"rec:x"}) << "nothing runs in a folder that is gone";
}

TEST_F(ConsoleRules, OutputDuringARunIsWrittenInBoundedPiecesAndRepaintedAfterwards) {
    bool running = true;
    renderer.DeferRedrawWhile([&] { return running; });
    Output({{std::wstring(40000, L'a'), L""}, {L"", L"e\r\n"}, {L"b\r", L""}});
    ASSERT_TRUE(renderer.WriteFinalPiece());
    EXPECT_EQ(text.size(), 5u + 32768);
    EXPECT_FALSE(redraw);
    for (int pass = 0; pass < 2; ++pass) renderer.OnPumpPass();  // a repaint (input waits), a pass for messages alone
    EXPECT_TRUE(redraw);
    EXPECT_EQ(text.size(), 5u + 32768);
    for (int pass = 0; pass < 5; ++pass) renderer.OnPumpPass();  // piece, repaint, piece, repaint, piece
    ASSERT_EQ(text.substr(40004), L"aSTDERR: e\rb") << "the CR waits for an LF";
    EXPECT_EQ(Formats().substr(40004), L"NRRRRRRRRRRN");
    renderer.FlushRedraw();
    EXPECT_TRUE(redraw);
    Output({{L"c", L""}});
    running = false;
    renderer.AppendText(L"!");
    EXPECT_EQ(text.substr(40015), L"b\rc!") << "anything written first writes the backlog";
}

}  // namespace
}  // namespace tarvo
