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
    std::uint32_t runResult = 0, enterResult = 0;
    std::wstring current = L"C:\\w";

    bool Busy() const noexcept override { return busy; }
    std::int32_t WriteData(const std::wstring& line) override { return log.push_back(L"write:" + line), 0; }
    std::uint32_t RunCommand(const std::wstring& line) override { return log.push_back(L"run:" + line), runResult; }
    std::uint32_t RunWithoutWait(const std::wstring& line) override { return log.push_back(L"start:" + line), runResult; }
    std::uint32_t EnterFolder(const std::wstring& path) override {
        log.push_back(L"enter:" + path);
        if (enterResult == 0) current = path == L".." ? L"C:\\" : path;
        return enterResult;
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
    // What the line adds to the pane from where it is typed.
    std::wstring Enter(const std::wstring& line) {
        log.clear();
        const std::size_t before = pane.text.size();
        pane.InsertText(line);
        controller.OnCommandEntered();
        return pane.text.substr(before);
    }
    void Output(std::wstring out, std::wstring err) { renderer.myConsole_OutputReceived(out, err); }
};

TEST_F(ConsoleRules, PromptOutputAndErrorsKeepTheirColoursAndEverythingBeforeTheInputIsProtected) {
    ASSERT_EQ(pane.text, L"C:\\w>");
    EXPECT_EQ(renderer.InputStart(), 5);
    pane.InsertText(L"ab");  // typed before output arrives
    EXPECT_EQ(pane.Formats(), L"BBBBBnn");

    Output(L"o\r\n", L"");
    Output(L"", L"e");
    Output(L"k", L"");
    ASSERT_EQ(pane.text, L"C:\\w>abo\rSTDERR: ek");
    EXPECT_EQ(renderer.InputStart(), 19);
    pane.InsertText(L"z");
    EXPECT_EQ(pane.Formats(), L"BBBBBNNNNRRRRRRRRRNn");
}

TEST_F(ConsoleRules, EachKindOfLineGetsItsFramingAndOutcome) {
    EXPECT_EQ(Enter(L"  "), L"  \rC:\\w>");
    EXPECT_EQ(Enter(L"cd"), L"cd\rC:\\w\rC:\\w>");
    EXPECT_EQ(log, (Log{L"tree:C:\\w"}));
    EXPECT_EQ(Enter(L"cd  sub"), L"cd  sub\rsub>");
    EXPECT_EQ(log, (Log{L"enter:sub", L"caption:sub - Tarvo", L"tree:sub", L"rec:cd sub"}));
    EXPECT_EQ(Enter(L"d:"), L"d:\rd:\\>");
    EXPECT_EQ(log, (Log{L"rec:d:", L"enter:d:\\", L"caption:d:\\ - Tarvo", L"tree:d:\\"}));
    EXPECT_EQ(Enter(L"cd.."), L"cd..\rC:\\>");
    EXPECT_EQ(log, (Log{L"enter:..", L"caption:C:\\ - Tarvo", L"tree:C:\\"}));

    EXPECT_EQ(Enter(L"x"), L"x\r");
    EXPECT_EQ(log, (Log{L"run:cmd.exe /c x", L"rec:x"}));
    EXPECT_TRUE(stopEnabled);
    EXPECT_EQ(renderer.InputStart(), static_cast<long>(pane.text.size())) << "typed lines start after the command";
    controller.myConsole_Complete();
    EXPECT_FALSE(stopEnabled);
    EXPECT_EQ(Enter(L"start  y z"), L"start  y z\rC:\\>");
    EXPECT_EQ(log, (Log{L"start:cmd.exe /c y z", L"rec:start y z"}));
}

TEST_F(ConsoleRules, FailuresWriteTheSystemsMessageInRedAndANewPrompt) {
    world.enterResult = 2;
    EXPECT_EQ(Enter(L"cd x"), L"cd x\rE2\rx\r\rC:\\w>");
    EXPECT_EQ(pane.Formats().substr(5), L"NNNNRRRRRRRBBBBB");
    EXPECT_EQ(Enter(L"cd .."), L"cd ..\rE2\r\rC:\\w>") << "no path after the message";
    EXPECT_EQ(log, (Log{L"enter:.."}));

    world.runResult = 5;
    EXPECT_EQ(Enter(L"dir"), L"dir\rE5\r\rC:\\w>");
    EXPECT_FALSE(stopEnabled);
    EXPECT_EQ(Enter(L"start q"), L"start q\rE5\r\rC:\\w>");
    world.folderThere = false;
    EXPECT_EQ(Enter(L"start q"), L"start q\rE3\rC:\\w\r\rC:\\w>");
    EXPECT_EQ(log, (Log{L"rec:start q"})) << "nothing runs in a folder that is gone";
}

TEST_F(ConsoleRules, LinesEnteredDuringARunGoToTheChildAndTypedAheadTextFollowsTheNextPrompt) {
    world.busy = true;
    EXPECT_EQ(Enter(L"hello"), L"hello\r");
    EXPECT_EQ(log, (Log{L"write:hello"}));
    EXPECT_EQ(pane.Formats(), L"BBBBBNNNNNN");
    EXPECT_EQ(renderer.InputStart(), 11);
    world.busy = false;

    pane.InsertText(L"next");
    controller.myConsole_Complete();
    EXPECT_EQ(pane.text, L"C:\\w>hello\r\rC:\\w>next");
    EXPECT_EQ(renderer.InputStart(), 17);
    EXPECT_EQ(pane.Formats().substr(11), L"NBBBBBnnnn");
    renderer.ReplaceTypedText(L"dir");  // a recent command chosen
    EXPECT_EQ(pane.text.substr(17), L"dir");
    EXPECT_EQ(pane.Formats().substr(11), L"NBBBBBnnn");
    renderer.ReplaceTypedText(L"");
    EXPECT_EQ(pane.text.size(), 17u);
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
    short key = 'C';
    renderer.OnKeyDown(key, 3);
    EXPECT_EQ(copied, L"");
    renderer.OnKeyDown(key, 2);
    EXPECT_EQ(copied, L"b1\r\n2");
}

TEST_F(ConsoleRules, OutputDuringARunIsWrittenInBoundedPiecesAndRepaintedAfterwards) {
    bool running = true;
    renderer.DeferRedrawWhile([&] { return running; });
    Output(std::wstring(40000, L'a'), L"");
    Output(L"", L"e\r\n");
    Output(L"b\r", L"");
    EXPECT_EQ(pane.text.size(), 5u);
    ASSERT_TRUE(renderer.WriteFinalPiece());
    EXPECT_EQ(pane.text.size(), 5u + 32768);
    EXPECT_FALSE(pane.redraw);
    renderer.OnPumpPass();  // a repaint only, as input is waiting
    renderer.OnPumpPass();  // after the run's own piece, a pass for the messages alone
    EXPECT_EQ(pane.text.size(), 5u + 32768);
    EXPECT_TRUE(pane.redraw);
    renderer.OnPumpPass();
    EXPECT_EQ(pane.text.size(), 5u + 40000);
    for (int pass = 0; pass < 4; ++pass) renderer.OnPumpPass();  // repaint, piece, repaint, piece
    ASSERT_EQ(pane.text.substr(40004), L"aSTDERR: e\rb") << "the CR waits for an LF";
    EXPECT_EQ(pane.Formats().substr(40004), L"NRRRRRRRRRRN");
    renderer.FlushRedraw();
    EXPECT_EQ(pane.text.substr(40015), L"b\r");
    EXPECT_TRUE(pane.redraw);
    EXPECT_FALSE(renderer.WriteFinalPiece());

    Output(std::wstring(262143, L'c'), L"");
    EXPECT_FALSE(renderer.BacklogFull());
    Output(L"c", L"");
    EXPECT_TRUE(renderer.BacklogFull());
    running = false;
    renderer.AppendText(L"!");
    EXPECT_EQ(pane.text.size(), 40017u + 262144 + 1) << "anything written first writes the backlog";
}

}  // namespace
}  // namespace tarvo
