// The console's rules over a fake pane, runner and system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/command_controller.h"
#include "fake_pane.h"

namespace tarvo {
namespace {

using Log = std::vector<std::wstring>;

// The runner, the system and the recent list at once, each call logged.
struct FakeSurroundings : IProcessRunner, IConsoleSystem, IRecentList {
    Log log;
    bool busy = false, folderThere = true;
    std::uint32_t fails = 0;  // the code every folder change and run fails with
    std::wstring current = L"C:\\w";

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
};

class ConsoleRules : public ::testing::Test {
protected:
    test::FakePane pane;
    FakeSurroundings world;
    Log& log = world.log;
    bool stopEnabled = false;
    std::wstring copied;
    CommandController controller{{[this](bool on) { stopEnabled = on; }, [] { return true; },
                                  [this](const std::wstring& path) { log.push_back(L"tree:" + path); },
                                  [this](const std::wstring& caption) { log.push_back(L"caption:" + caption); }},
                                 pane, world, world, false};
    OutputRenderer& renderer = controller.Renderer();

    void SetUp() override {
        controller.CurrentFolder(L"C:\\w");
        controller.RecentCommandList(&world);
        renderer.Hooks({{}, [] { return true; }, [this](const std::wstring& text) { copied = text; }});
        renderer.WritePrompt();
    }
    // What the line adds to the pane from where it is typed; a run it starts is logged and completed.
    std::wstring Enter(const std::wstring& line) {
        log.clear();
        const std::size_t before = pane.text.size();
        pane.InsertText(line);
        controller.OnCommandEntered();
        if (stopEnabled && !world.busy) {
            EXPECT_EQ(renderer.InputStart(), static_cast<long>(pane.text.size())) << "typed lines start after the command";
            log.push_back(L"ran");
            controller.myConsole_Complete();
        }
        EXPECT_FALSE(stopEnabled && !world.busy) << line;
        return pane.text.substr(before);
    }
    void Output(std::wstring out, std::wstring err) { renderer.myConsole_OutputReceived(out, err); }
};

TEST_F(ConsoleRules, PromptOutputErrorsAndTypedLinesKeepTheirColoursAndEverythingBeforeTheInputIsProtected) {
    ASSERT_EQ(pane.text, L"C:\\w>");
    pane.InsertText(L"ab");  // typed before output arrives
    EXPECT_EQ(pane.Formats(), L"BBBBBnn");
    Output(L"o\r\n", L"");
    Output(L"", L"e");
    Output(L"k", L"");
    ASSERT_EQ(pane.text, L"C:\\w>abo\rSTDERR: ek");
    EXPECT_EQ(renderer.InputStart(), 19);
    world.busy = true;  // a line typed for the running program goes to it
    EXPECT_EQ(Enter(L"z"), L"z\r");
    EXPECT_EQ(log, (Log{L"write:z"}));
    EXPECT_EQ(renderer.InputStart(), 21);
    world.busy = false;
    pane.InsertText(L"next");  // typed ahead: it follows the next prompt
    controller.myConsole_Complete();
    EXPECT_EQ(pane.text.substr(21), L"\rC:\\w>next");
    EXPECT_EQ(renderer.InputStart(), 27);
    EXPECT_EQ(pane.Formats(), L"BBBBBNNNNRRRRRRRRRNNNNBBBBBnnnn");
    renderer.ReplaceTypedText(L"dir");  // a recent command chosen
    EXPECT_EQ(pane.text.substr(21) + pane.Formats().substr(21), L"\rC:\\w>dirNBBBBBnnn");
    renderer.ReplaceTypedText(L"");
    EXPECT_EQ(pane.text.size(), 27u);
}

// Each row: the typed line, the code the system fails with, what the pane shows after it, and what happened.
TEST_F(ConsoleRules, EachKindOfLineGetsItsFramingAndOutcome) {
    const struct {
        const wchar_t* typed;
        std::uint32_t fails;
        std::wstring shown;
        Log log;
    } cases[] = {
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
        {L"START   notepad  a.txt", 0, L"START   notepad  a.txt\r1:\\>", {L"start:cmd.exe /c notepad a.txt", L"rec:start notepad a.txt"}},
        {L"start ", 0, L"start \r\r1:\\>", {L"run:cmd.exe /c start", L"rec:start", L"ran"}},
        {L"startx foo", 0, L"startx foo\r\r1:\\>", {L"run:cmd.exe /c startx foo", L"rec:startx foo", L"ran"}},
        {L"cd\\", 0, L"cd\\\r\r1:\\>", {L"run:cmd.exe /c cd\\", L"rec:cd\\", L"ran"}},
        {L"ab:", 0, L"ab:\r\r1:\\>", {L"run:cmd.exe /c ab:", L"rec:ab:", L"ran"}},
        {L" x\r", 0, L" x\r\r\r1:\\>", {L"run:cmd.exe /c x", L"rec:x", L"ran"}},
    };
    for (const auto& c : cases) {
        world.fails = c.fails;
        EXPECT_EQ(Enter(c.typed), c.shown) << c.typed;
        EXPECT_EQ(log, c.log) << c.typed;
    }
    EXPECT_EQ(pane.Formats().substr(5, 16), L"NNNNRRRRRRRBBBBB") << "the message in red";
    world.folderThere = false;
    EXPECT_EQ(Enter(L"start q"), L"start q\rE3\r1:\\\r\r1:\\>");
    EXPECT_EQ(Enter(L"x"), L"x\rE3\r1:\\\r\r1:\\>");
    EXPECT_EQ(log, Log{L"rec:x"}) << "nothing runs in a folder that is gone";
}

TEST_F(ConsoleRules, KeysThatWouldEditTheHistoryAreWithheldAndCopyGivesCrLf) {
    pane.InsertText(L"ab");
    const struct {
        long caret;
        short key, shift;
        bool down, kept;
    } cases[] = {
        {4, 0x2E, 0, true, false}, {5, 0x2E, 0, true, true}, {5, 0x08, 0, true, false}, {6, 0x08, 0, true, true},
        {4, 'V', 2, true, false},  {4, 'V', 3, true, true},  {4, 'X', 2, true, false},  {4, 0x2D, 1, true, false},
        {4, 'A', 0, true, true},   {4, 'q', 0, false, false}, {5, 'q', 0, false, true}, {5, 8, 0, false, false},
        {4, 13, 0, false, true},
    };
    for (const auto& c : cases) {
        pane.Select(c.caret, c.caret);
        short key = c.key;
        c.down ? renderer.OnKeyDown(key, c.shift) : renderer.OnKeyPress(key);
        EXPECT_EQ(key, c.kept ? c.key : 0) << c.caret << " " << c.key << " " << c.down;
    }
    EXPECT_TRUE((pane.Select(4, 6), renderer.SelectionInHistory()));
    EXPECT_FALSE((pane.Select(5, 6), renderer.SelectionInHistory()));
    Output(L"1\r\n2", L"");
    pane.Select(6, 10);
    const std::pair<short, short> copies[] = {{'C', 3}, {'C', 2}, {0x2D, 2}};  // Ctrl+Shift+C copies nothing
    for (auto [key, shift] : copies) {
        copied.clear();
        renderer.OnKeyDown(key, shift);
        EXPECT_EQ(copied, shift == 3 ? L"" : L"b1\r\n2") << key;
    }
}

TEST_F(ConsoleRules, OutputDuringARunIsWrittenInBoundedPiecesAndRepaintedAfterwards) {
    bool running = true;
    renderer.DeferRedrawWhile([&] { return running; });
    Output(std::wstring(40000, L'a'), L"");
    Output(L"", L"e\r\n");
    Output(L"b\r", L"");
    ASSERT_TRUE(renderer.WriteFinalPiece());
    EXPECT_EQ(pane.text.size(), 5u + 32768);
    EXPECT_FALSE(pane.redraw);
    for (int pass = 0; pass < 2; ++pass) renderer.OnPumpPass();  // a repaint (input waits), a pass for messages alone
    EXPECT_TRUE(pane.redraw);
    EXPECT_EQ(pane.text.size(), 5u + 32768);
    for (int pass = 0; pass < 5; ++pass) renderer.OnPumpPass();  // piece, repaint, piece, repaint, piece
    ASSERT_EQ(pane.text.substr(40004), L"aSTDERR: e\rb") << "the CR waits for an LF";
    EXPECT_EQ(pane.Formats().substr(40004), L"NRRRRRRRRRRN");
    renderer.FlushRedraw();
    EXPECT_TRUE(pane.redraw);
    Output(L"c", L"");
    running = false;
    renderer.AppendText(L"!");
    EXPECT_EQ(pane.text.substr(40015), L"b\rc!") << "anything written first writes the backlog";
}

}  // namespace
}  // namespace tarvo
