// The main window as a whole on real windows, driven by keystrokes and clicks
// as a user would: layout, toolbar and keys, the find bar, the folder tree, and
// the console over the rich edit, the system and real children. The console's
// rules themselves are checked over a fake pane in the console's own tests.
#include <richedit.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "common/library_search.h"
#include "common/win_api_error.h"
#include "console/console_system.h"
#include "controls/accelerator_routing.h"
#include "fast_writer_text.h"
#include "mainwindow/main_form.h"
#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

constexpr wchar_t kKey[] = L"Software\\TarvoTest\\MainForm";

// The pane keeps a line break as CR alone.
std::wstring InPane(std::wstring text) {
    std::erase(text, L'\n');
    return text;
}

class MainFormTest : public ::testing::Test {
protected:
    // The real main window in a scratch start folder with its settings under a test key, help and beeps counted.
    void SetUp() override {
        // Every window opens over a rectangle stored far off the screens, as a monitor unplugged since leaves it.
        for (auto [name, twips] : {std::pair{L"WindowLeft", -45000}, {L"WindowTop", 1500}, {L"WindowWidth", 9000},
                                   {L"WindowHeight", 6000}}) {
            ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, REG_DWORD, &twips, sizeof(twips));
        }
        RestrictLibrarySearch();  // as the program runs
        folder_ = test::TempFolder(L"tarvo_main_form_test");
        ::CreateDirectoryW((folder_ + L"\\Inner").c_str(), nullptr);
        MainFormOptions options;
        options.startFolder = folder_;
        options.settings.subkey = kKey;
        options.homePage = L"https://tarvo.example.org/";
        options.ShowHelp = [this] { ++helpShown_; };
        options.Beep = [this] { ++beeps_; };
        ASSERT_TRUE(form_.Load(options));
        ::SetForegroundWindow(form_.hWnd());
        ::SetFocus(Edit());
        Pump();
    }
    void TearDown() override {
        ::DestroyWindow(form_.hWnd());
        // The window ends the message loop when it goes; the next test's window must not see that.
        while (test::TakeQuit()) {
        }
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }
    // Lets the window handle what was posted to it.
    static void Pump() {
        for (int i = 0; i < 4; ++i, ::Sleep(10)) AcceleratorRouting::PumpPending();
    }
    HWND Edit() { return form_.RichEdit().RichEdithWnd(); }
    RichEditMethods& Pane() { return form_.RichEdit().Methods(); }
    std::wstring Text() { return Pane().TextInRangeGet(0, Pane().CharacterCount()); }
    std::wstring Prompt() { return form_.Console().CurrentFolder() + L">"; }
    // Types the line at the end of the pane and presses Enter.
    void Enter(const std::wstring& line) {
        form_.Console().Renderer().CaretToEnd();  // a find or a click may have left the caret in the history
        test::PostText(Edit(), line);
        test::PostKey(Edit(), VK_RETURN);
        Pump();
    }
    // Real key presses, so that the shift state the handlers read is true; the
    // modifiers stay down until the handlers have run.
    static void Chord(std::vector<WORD> keys, WORD key) {
        keys.push_back(key);
        for (WORD down : keys) ::keybd_event(static_cast<BYTE>(down), 0, 0, 0);
        Pump();
        for (auto up = keys.rbegin(); up != keys.rend(); ++up) ::keybd_event(static_cast<BYTE>(*up), 0, KEYEVENTF_KEYUP, 0);
        Pump();
    }
    // A real left-button drag in the pane from one character position to another.
    void DragInPane(long from, long to) {
        POINTL start{}, end{};
        for (auto [point, at] : {std::pair{&start, from}, {&end, to}})
            ::SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(point), at);
        for (int step = 0; step <= 5; ++step) {
            POINT at{start.x + 2 + (end.x - start.x) * std::min(step, 4) / 4, start.y + 4 + (end.y - start.y) * std::min(step, 4) / 4};
            ::ClientToScreen(Edit(), &at);
            const DWORD button = step == 0 ? MOUSEEVENTF_LEFTDOWN : step == 5 ? MOUSEEVENTF_LEFTUP : 0;
            ::mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button, at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1),
                          at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1), 0, 0);
            Pump();
        }
    }

    // The colour of one character; the next Enter puts the caret back at the end.
    long ColourAt(std::size_t at) {
        Pane().SelectionCharRangeSet(static_cast<long>(at), static_cast<long>(at) + 1);
        return Pane().FormatColourGet(1);
    }
    // What entering `line` adds to the pane.
    std::wstring EnterAndRead(const std::wstring& line) {
        const std::size_t before = Text().size();
        Enter(line);
        return Text().substr(before);
    }
    std::wstring TreeSelection() {
        return form_.FolderTree().shTree().FullPathGet(AsNode(form_.FolderTree().Methods().SelectedNodeGet()));
    }
    void Check(HWND box, bool on) { ::SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

    std::wstring folder_;
    int helpShown_ = 0, beeps_ = 0;
    mainForm form_;
};

TEST_F(MainFormTest, KeysFindHelpAndMoveFocusTheBarsSitAsLaidOutNewWindowsLeaveNoHandlesAndAMinimisedCloseKeepsTheRectangle) {
    const long withBar = test::WindowRect(form_.BigContainer()).bottom;  // its top stays under the toolbar
    std::wstring bar;  // shown or not and the toggle button down or not, then the working area's growth
    for (int i = 0; i < 2; ++i) {
        Chord({VK_CONTROL}, 'F');
        bar += std::to_wstring(::IsWindowVisible(form_.BottomBar())) + std::to_wstring(form_.ToolBtn(kToggleFindBar).Value()) +
               L" " + std::to_wstring(test::WindowRect(form_.BigContainer()).bottom - withBar) + L" ";
    }
    EXPECT_EQ(bar, L"00 28 11 0 ");
    EXPECT_EQ(::GetFocus(), form_.InputFind().EdithWnd());
    Chord({}, VK_TAB);  // Tab leaves the find box, Shift+Tab comes back the same way
    EXPECT_NE(::GetFocus(), form_.InputFind().EdithWnd());
    Chord({VK_SHIFT}, VK_TAB);
    EXPECT_EQ(::GetFocus(), form_.InputFind().EdithWnd());
    for (auto keys :
         std::vector<std::vector<WORD>>{{}, {VK_SHIFT}, {VK_CONTROL, VK_MENU}, {VK_MENU}, {VK_MENU, VK_SHIFT}})
        Chord(keys, VK_F1);
    EXPECT_EQ(helpShown_, 5);

    ::SetFocus(Edit());
    test::PostText(Edit(), L"ab");
    Chord({}, VK_TAB);
    for (WORD modifier : {VK_SHIFT, VK_CONTROL}) {
        ::SetFocus(Edit());
        Chord({modifier}, VK_TAB);
        EXPECT_TRUE(::GetFocus() != Edit() && ::IsChild(form_.hWnd(), ::GetFocus())) << "modifier " << modifier;
    }
    EXPECT_EQ(Text(), Prompt() + L"ab\t") << "a plain Tab is typed";

    // The left pane's width and the toolbar's groups as laid out.
    EXPECT_EQ(test::WindowRect(form_.PicLeft()).right - test::WindowRect(form_.PicLeft()).left, 200);
    std::wstring lefts;  // the administrator button shows here
    const long barLeft = test::WindowRect(form_.TopBar()).left;
    for (int i = 0; i < kToolButtonCount; ++i)
        lefts += std::to_wstring(test::WindowRect(form_.ToolBtn(i).hwnd()).left - barLeft) + L" ";
    EXPECT_EQ(lefts, L"10 44 78 112 176 210 274 308 342 376 ");
    EXPECT_NE(form_.ToolBtn(kHomePage).ToolTip().find(L"https://tarvo.example.org/"), std::wstring::npos);

    // A second program started from the toolbar leaves no handle of it behind.
    const test::ResourceCounts before = test::CountResources();
    for (int round = 0; round < 2; ++round) {
        form_.ToolBtn_Click(kNewWindow);
        HWND other = nullptr;  // visible once it has loaded
        ASSERT_TRUE(test::WaitUntil([&] {
            do {
                other = ::FindWindowExW(nullptr, other, L"TarvoMainForm", nullptr);
            } while (other && (other == form_.hWnd() || !::IsWindowVisible(other)));
            return other != nullptr;
        }, 60000)) << "no new window";
        DWORD id = 0;
        ::GetWindowThreadProcessId(other, &id);
        unique_handle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
        ::PostMessageW(other, WM_CLOSE, 0, 0);
        EXPECT_EQ(::WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
    }
    const test::ResourceCounts after = test::CountResources();
    EXPECT_LE(after.handles, before.handles + 1) << "a worker thread of the system may hold one; before: "
                                                 << test::Describe(before) << ", after: " << test::Describe(after);
    EXPECT_EQ(after.windows, before.windows);

    ::ShowWindow(form_.hWnd(), SW_MINIMIZE);
    ::SendMessageW(form_.hWnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(test::RegNumber(HKEY_CURRENT_USER, kKey, L"WindowState"), 1u);
    EXPECT_EQ(test::RegNumber(HKEY_CURRENT_USER, kKey, L"WindowWidth"), 9000u) << "kept as stored";
}

TEST_F(MainFormTest, ToolbarCommandsAndFindNextWithItsOptionsActAndNeitherUndoRedoNorADragOfHistoryChangesTheHistory) {
    Enter(L"echo alpha beta alphabet ALPHA dirs only");
    const auto base = static_cast<long>(Text().find(L"echo alpha"));
    Pane().SelectionCharRangeSet(base + 47, base + 57);  // "beta alpha" of the output
    form_.ToolBtn_Click(kCopy);
    EXPECT_EQ(test::ClipboardText(form_.hWnd()), L"beta alpha");
    form_.Console().Renderer().CaretToEnd();
    test::SetClipboardText(form_.hWnd(), L"echo one");
    form_.ToolBtn_Click(kPaste);
    EXPECT_EQ(Text().substr(Text().size() - Prompt().size() - 8), Prompt() + L"echo one");
    const WindowSettings stored({HKEY_CURRENT_USER, kKey});
    EXPECT_EQ(stored.LoadSettings().currentFolder, L"c:\\");
    form_.ToolBtn_Click(kSaveStartFolder);
    EXPECT_EQ(stored.LoadSettings().currentFolder, folder_);

    // From the end Ctrl+G starts at the top; the offsets of the hits from the command.
    form_.InputFind().Methods().TextSet(L"alpha");
    for (auto [matchCase, wholeWord, hits] : {std::tuple{false, false, L"5 16 25 41 52 61 5 "},
                                              {true, false, L"5 16 41 52 5 16 41 "}, {false, true, L"5 25 41 61 5 25 41 "}}) {
        Check(form_.MatchCaseBox(), matchCase);
        Check(form_.WholeWordBox(), wholeWord);
        form_.Console().Renderer().CaretToEnd();
        std::wstring seen;
        for (long i = 0, start = 0, end = 0; i < 7; ++i) {
            Chord({VK_CONTROL}, 'G');
            Pane().SelectionCharRangeGet(start, end);
            seen += std::to_wstring(start - base) + L" ";
        }
        EXPECT_EQ(seen, hits) << matchCase << wholeWord;
    }
    form_.InputFind().Methods().TextSet(L"nowhere-at-all");
    EXPECT_FALSE(form_.FindNext());
    EXPECT_EQ(beeps_, 1) << "for the miss alone";

    for (const wchar_t* line : {L"", L"cd"}) Enter(line);  // the pasted command runs
    const std::wstring history = Text();
    for (const wchar_t* typed : {L"", L"abc"}) {
        test::PostText(Edit(), typed);
        for (int i = 0; i < 12; ++i) Chord({VK_CONTROL}, i % 6 < 3 ? 'Z' : 'Y');
        EXPECT_EQ(Text().substr(0, history.size()), history) << test::Visible(Text());
    }
    const long one = static_cast<long>(history.find(L"one"));
    Pane().SelectionCharRangeSet(one, one + 3);
    Pump();
    DragInPane(one + 1, Pane().CharacterCount());  // onto the command being typed
    EXPECT_EQ(Text().substr(0, history.size()), history) << test::Visible(Text());
}

TEST_F(MainFormTest, BothStreamsArriveWholeInOrderWithAMarkPerErrorReadAndAfterMegabytesTheNextCommandRunsAndScrolls) {
    // 2 MiB in 32 writes of 64 KiB, a line on standard error after every 8th; then a command typed.
    const std::wstring begin = L"fast 2097152 8\r", after = L"\r" + Prompt() + L"echo typed\rtyped\r\r" + Prompt();
    Enter(test::Child(L"fast 2097152 8"));
    Enter(L"echo typed");
    const std::wstring text = Text();
    const std::size_t end = text.size() - after.size();
    ASSERT_EQ(text.substr(end), after) << test::Visible(text.substr(text.size() - 200));
    std::wstring out, errors;
    int marks = 0;
    for (std::size_t i = text.find(begin) + begin.size(), at; i < end; ++marks) {
        at = std::min(text.find(L"STDERR: ", i), end);
        out += text.substr(i, at - i);
        if (at == end) break;
        EXPECT_EQ(ColourAt(at) + ColourAt(at + 8), 2 * 0x0000FF) << "the mark and the error line";
        for (i = at + 8; text[i] == L'e' && text[i + 7] == L'\r'; i += 8) errors += text.substr(i, 8);
        EXPECT_TRUE(i == end || ColourAt(i) == 0x000000) << "standard output after an error read";
    }
    const std::string written = test::FastWriterText(2097152);
    EXPECT_EQ(out, InPane(std::wstring(written.begin(), written.end())));
    EXPECT_EQ(errors, L"e000001\re000002\re000003\re000004\r");
    EXPECT_TRUE(marks >= 1 && marks <= 4) << marks;

    EXPECT_NE(::GetWindowLongW(Edit(), GWL_STYLE) & WS_VSCROLL, 0);
    ::SendMessageW(Edit(), WM_VSCROLL, SB_BOTTOM, 0);
    Pump();
    EXPECT_GT(Pane().FirstVisibleLine(), Pane().LineCount() - 60) << "the last line is in view at the bottom";
}


TEST_F(MainFormTest, FolderChangesStopAtTheLongestPathNothingRunsInAFolderGoneAndTheTreeFollowsWhenSyncIsTickedExceptDuringARun) {
    // Full forms of 258 and 259 characters: a current directory holds the first, not the second.
    const std::wstring fits(258 - folder_.size() - 1, L'f'), tooLong(259 - folder_.size() - 1, L'g');
    for (const auto& name : {fits, tooLong}) ::CreateDirectoryW((L"\\\\?\\" + folder_ + L"\\" + name).c_str(), nullptr);
    const std::wstring refused = EnterAndRead(L"cd " + tooLong);
    EXPECT_EQ(refused, L"cd " + tooLong + L"\r" + InPane(ApiErrorText(ERROR_FILENAME_EXCED_RANGE)) + tooLong +
                           L"\r\r" + Prompt());
    EXPECT_EQ(ColourAt(Text().size() - refused.size() + tooLong.size() + 4), 0x0000FF);
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_);
    Enter(L"cd " + fits);
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_ + L"\\" + fits);

    const std::wstring gone = folder_ + L"\\gone";
    ::CreateDirectoryW(gone.c_str(), nullptr);
    Enter(L"cd " + gone);
    ::SetCurrentDirectoryW(folder_.c_str());  // a process's current directory cannot be removed
    for (const auto& name : {fits, tooLong}) ::RemoveDirectoryW((L"\\\\?\\" + folder_ + L"\\" + name).c_str());
    ASSERT_TRUE(::RemoveDirectoryW(gone.c_str()));
    const std::wstring missing = L"\r" + InPane(ApiErrorText(ERROR_PATH_NOT_FOUND)) + gone + L"\r\r" + Prompt();
    EXPECT_EQ(EnterAndRead(L"dir"), L"dir" + missing);
    EXPECT_EQ(ColourAt(Text().size() - missing.size() + 1), 0x0000FF);

    Enter(L"cd " + folder_ + L"\\Inner");
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_)) << "it stays while the box is unticked";
    Check(form_.SyncBox(), true);
    Enter(L"cd");
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_ + L"\\Inner"));
    const HTREEITEM inner = form_.FolderTree().Methods().SelectedNodeGet();
    Enter(L"cd ..");
    form_.myConsole().MessagePump([&] {
        if (form_.myConsole().Busy()) form_.OnFolderActivated(inner);
        form_.PumpDuringRun();
    });
    Enter(L"echo running");
    EXPECT_TRUE(TextEqualsIgnoringCase(form_.Console().CurrentFolder(), folder_)) << "dropped during the run";
    form_.OnFolderActivated(inner);
    EXPECT_TRUE(TextEqualsIgnoringCase(form_.Console().CurrentFolder(), folder_ + L"\\Inner"));
}

TEST_F(MainFormTest, OpensOnScreenTypedLinesReachABatchOneByOneCommandsTypedAheadRunInOrderAndClosingDuringARunSavesTheWindow) {
    const RECT r = test::WindowRect(form_.hWnd());  // as shown
    EXPECT_TRUE(r.right > 0 && r.left < ::GetSystemMetrics(SM_CXSCREEN)) << r.left;
    ASSERT_TRUE(test::WriteFileBytes(folder_ + L"\\reader.bat", "@echo off\r\nset /p a=\r\necho [%a%]\r\n"
                                     "set /p b=\r\necho [%b%]\r\nset /p c=\r\necho [%c%]\r\n"));
    // The batch prints nothing before it reads; then two lines before it answers: each goes alone.
    const std::vector<std::pair<std::wstring, std::vector<std::wstring>>> steps{{L"reader.bat\r", {L"hello42"}},
                                                                                {L"[hello42]", {L"first", L"second"}}};
    bool stopEnabled = false;
    form_.myConsole().MessagePump([&, step = std::size_t{0}]() mutable {
        stopEnabled = stopEnabled || form_.StopEnabled();
        if (step < steps.size() && form_.myConsole().Busy() && Text().find(steps[step].first) != std::wstring::npos) {
            for (const auto& line : steps[step++].second) {
                test::PostText(Edit(), line);
                ::PostMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 1);
            }
        }
        form_.PumpDuringRun();
    });
    std::wstring expected = L"reader.bat\rhello42\r[hello42]\rfirst\rsecond\r[first]\r[second]\r\r" + Prompt();
    EXPECT_EQ(EnterAndRead(L"reader.bat"), expected);
    EXPECT_TRUE(stopEnabled && !form_.StopEnabled()) << "Stop is enabled only during the run";

    form_.myConsole().MessagePump([this] { form_.PumpDuringRun(); });
    expected = Text();
    for (int i = 0; i < 10; ++i) {  // all queued before the first one runs
        test::PostText(Edit(), L"echo q" + std::to_wstring(i));
        test::PostKey(Edit(), VK_RETURN);
        expected += L"echo q" + std::to_wstring(i) + L"\rq" + std::to_wstring(i) + L"\r\r" + Prompt();
    }
    auto& recent = form_.PrevCmds().Methods();
    ASSERT_TRUE(test::WaitUntil([&] {
        Pump();
        return recent.ItemCountGet() == 11 && !form_.myConsole().Busy();
    }, 60000));
    Pump();
    EXPECT_EQ(Text(), expected);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(recent.ItemGet(i), i ? L"echo q" + std::to_wstring(i - 1) : L"reader.bat");

    const HWND window = form_.hWnd();
    form_.myConsole().MessagePump([&, closed = false]() mutable {
        if (!closed && form_.myConsole().Busy()) closed = ::PostMessageW(window, WM_CLOSE, 0, 0);
        form_.PumpDuringRun();
    });
    Enter(L"set /p waiting=");
    Pump();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(test::TakeQuit(), 0);
    std::vector<long> stored;  // 15 twips per pixel at 96 dpi
    for (const wchar_t* name : {L"WindowState", L"WindowLeft", L"WindowTop", L"WindowWidth", L"WindowHeight"}) {
        stored.push_back(static_cast<long>(test::RegNumber(HKEY_CURRENT_USER, kKey, name).value_or(1)));
    }
    EXPECT_EQ(stored, std::vector<long>({0, r.left * 15, r.top * 15, (r.right - r.left) * 15, (r.bottom - r.top) * 15}));
}

// The soak check.
constexpr int kCycles = 84;       // 1,008 commands
constexpr int kWarmUpCycles = 8;  // and four commands
// After the warm-up the program's caches are full (fonts per kind, the rich
// edit's prompt and error styles, shared icons). What may still move is the
// system's own: thread-pool workers, a handle each, come and go with the load,
// and the system may cache an object on a late first use. A leak of one per
// command would add 900, of one per cycle of twelve commands 75. Every window
// is the program's own.
constexpr long kAllowance = 8;

// Collects what a rich edit streams out.
DWORD CALLBACK CollectRtf(DWORD_PTR cookie, LPBYTE bytes, LONG size, LONG* done) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    *done = size;
    return 0;
}

// The console over a thousand commands of every kind, driven by keystrokes and
// clicks: once the warm-up is over, what the process holds must not grow with
// the number of commands. Counts only; it runs alone as console_soak_test.
class ConsoleSoakTest : public MainFormTest {
protected:
    // Every kind of command the console handles, in twelve commands; the warm-up ends after the 100th.
    void Cycle(int number) {
        const std::wstring output = L"echo soak output " + std::to_wstring(number);  // a new recent command each time
        Enter(output);
        Enter(L"echo soak error 1>&2");
        ::SetEnvironmentVariableW(L"ComSpec", (folder_ + L"\\no_such_interpreter.exe").c_str());
        Enter(L"dir");  // a start that fails
        ::SetEnvironmentVariableW(L"ComSpec", comSpec_.c_str());
        Enter(L"start rem");
        if (number == kWarmUpCycles + 1) {
            warm_ = test::CountResources();
            warmPaneLength_ = Pane().CharacterCount();
        }
        Enter(number % 2 ? L"cd Inner" : L"CD Inner");  // recorded once whatever the case
        Enter(L"cd ..");
        Enter(L"cd no_such_soak_folder");
        Enter(folder_.substr(0, 2));  // the drive's root
        Enter(L"cd " + folder_);
        test::PostText(Edit(), L"typed");  // the recent command takes its place, then runs
        const HWND box = form_.PrevCmds().ListBoxhWnd();
        form_.PrevCmds().Methods().CurSelIndexSet(static_cast<std::int32_t>(
            ::SendMessageW(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(output.c_str()))));
        test::PostKey(box, VK_RETURN);
        Pump();
        Enter(L"");
        form_.InputFind().Methods().TextSet(L"soak error");
        test::PostKey(form_.InputFind().EdithWnd(), VK_RETURN);  // Return in the find box
        Pump();
        // The click on the stop button waits in the queue behind Enter, so the
        // runner's pump takes it while the child waits for its input.
        form_.Console().Renderer().CaretToEnd();
        test::PostText(Edit(), L"set /p soak=");
        test::PostKey(Edit(), VK_RETURN);
        const HWND stop = form_.ToolBtn(kStopWaiting).hwnd();
        ::PostMessageW(stop, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        ::PostMessageW(stop, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        Pump();
    }

    // Private bytes the text added to the pane since the warm-up costs when put
    // afresh with its formats into a rich edit; the recent commands are few.
    long long CostOfNewContent() {
        std::string rtf;
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, CollectRtf};
        ::SendMessageW(Edit(), EM_SETSEL, warmPaneLength_, -1);
        ::SendMessageW(Edit(), EM_STREAMOUT, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&stream));
        unique_hwnd pane(::CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD | ES_MULTILINE, 0, 0, 400, 300,
                                           form_.hWnd(), nullptr, nullptr, nullptr));
        ::SendMessageW(pane.get(), EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
        const long long before = test::CountResources().privateBytes;
        SETTEXTEX asRtf{ST_DEFAULT, CP_ACP};
        ::SendMessageW(pane.get(), EM_SETTEXTEX, reinterpret_cast<WPARAM>(&asRtf), reinterpret_cast<LPARAM>(rtf.c_str()));
        return test::CountResources().privateBytes - before;
    }

    const std::wstring comSpec_ = ComSpecValue();
    test::ResourceCounts warm_;
    long warmPaneLength_ = 0;
};

TEST_F(ConsoleSoakTest, AThousandCommandsOfEveryKindLeaveNothingBehindOnceWarm) {
    for (int number = 1; number <= kCycles; ++number) Cycle(number);
    Pump();
    const test::ResourceCounts last = test::CountResources();

    // Every kind of command did its work to the end.
    const std::wstring text = Text();
    const auto times = [&](const std::wstring& part) { return static_cast<int>(test::Count(text, part)); };
    EXPECT_EQ(times(L"STDERR: soak error"), kCycles);
    std::wstring shownOnce;  // each output shows twice: after its command and after its recall
    for (int number = 1; number <= kCycles; ++number)
        if (times(L"\rsoak output " + std::to_wstring(number) + L"\r") != 2) shownOnce += std::to_wstring(number) + L" ";
    EXPECT_EQ(shownOnce, L"");
    EXPECT_EQ(times(L"set /p soak=\r\r" + Prompt()), kCycles);
    EXPECT_EQ(times(L"\\Inner>cd ..\r"), kCycles);
    EXPECT_EQ(times(folder_.substr(0, 2) + L"\\>cd " + folder_ + L"\r"), kCycles);
    EXPECT_EQ(beeps_, 0);
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_);
    EXPECT_EQ(form_.PrevCmds().Methods().ItemCountGet(), kCycles + 8) << "each other kind once, whatever its case";

    EXPECT_LE(last.handles, warm_.handles + kAllowance) << "after 100 commands: " << test::Describe(warm_) << ", after "
                                                        << kCycles * 12 << ": " << test::Describe(last);
    EXPECT_LE(last.gdiObjects, warm_.gdiObjects + kAllowance);
    EXPECT_LE(last.userObjects, warm_.userObjects + kAllowance);
    EXPECT_LE(last.windows, warm_.windows);
    // Heaps grow in blocks (1 MiB); and a pane written piece by piece may hold more
    // text runs than the same text put in at once, which is what the copy measures.
    const long long contentCost = CostOfNewContent();
    EXPECT_LE(last.privateBytes - warm_.privateBytes, contentCost * 125 / 100 + (1 << 20))
        << "the text added to the pane costs " << contentCost << " bytes afresh";
}

}  // namespace
}  // namespace tarvo
