// The main window as a whole on real windows, driven by keystrokes and clicks
// as a user would: layout, toolbar and keys, the find bar, the folder tree, and
// the console over the rich edit, the system and real children. The console's
// rules themselves are checked over a fake pane in the console's own tests.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <string>
#include <vector>

#include "common/win_api_error.h"
#include "fast_writer_text.h"
#include "main_form_fixture.h"
#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

using test::Child;
using test::Visible;
using test::WindowRect;

constexpr wchar_t kKey[] = L"Software\\TarvoTest\\MainForm";

int Height(HWND window) { return WindowRect(window).bottom - WindowRect(window).top; }
int Width(HWND window) { return WindowRect(window).right - WindowRect(window).left; }

// The pane keeps a line break as CR alone.
std::wstring InPane(std::wstring text) {
    std::erase(text, L'\n');
    return text;
}

// A visible main window of another process.
HWND OtherMainWindow() {
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, L"TarvoMainForm", nullptr)) != nullptr;) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(w, &process);
        if (process != ::GetCurrentProcessId() && ::IsWindowVisible(w)) return w;
    }
    return nullptr;
}

class MainFormTest : public test::MainFormFixture {
protected:
    void SetUp() override {
        // Every window opens over a rectangle stored far off the screens, as a monitor unplugged since leaves it.
        for (auto [name, twips] : {std::pair{L"WindowLeft", -45000}, {L"WindowTop", 1500}, {L"WindowWidth", 9000},
                                   {L"WindowHeight", 6000}}) {
            ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, REG_DWORD, &twips, sizeof(twips));
        }
        Open(L"tarvo_main_form_test", kKey);
        ::CreateDirectoryW((folder_ + L"\\Inner").c_str(), nullptr);
    }
    // The colour of one character, and 0x1000000 more when it is bold; the caret goes back to the end.
    long FormatAt(std::size_t at) {
        Pane().SelectionCharRangeSet(static_cast<long>(at), static_cast<long>(at) + 1);
        const long format = Pane().FormatColourGet(1) + (Pane().FormatBoldGet(1) ? 0x1000000 : 0);
        form_.Console().Renderer().CaretToEnd();
        return format;
    }
    void TypeAt(long position, const std::wstring& text) {
        Pane().SelectionCharRangeSet(position, position);
        Pump();
        Type(text);
    }
    // What entering `line` adds to the pane.
    std::wstring EnterAndRead(const std::wstring& line) {
        const std::size_t before = Text().size();
        Enter(line);
        return Text().substr(before);
    }
    std::wstring TreeSelection() {
        HTREEITEM selected = form_.FolderTree().Methods().SelectedNodeGet();
        return selected ? form_.FolderTree().shTree().FullPathGet(AsNode(selected)) : std::wstring();
    }
    // Where the selection starts and what it holds.
    std::pair<long, std::wstring> Selected() {
        long start = 0, end = 0;
        Pane().SelectionCharRangeGet(start, end);
        return {start, Text().substr(start, end - start)};
    }
    void Check(HWND box, bool on) { ::SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
};

TEST_F(MainFormTest, CtrlFTogglesTheFindBarF1OpensHelpTabsLeaveThePaneAndPanesAndButtonsSitAsLaidOut) {
    const int withBar = Height(form_.BigContainer());
    std::wstring bar;  // shown or not and the toggle button down or not, then the working area's growth
    for (int i = 0; i < 2; ++i) {
        Chord({VK_CONTROL}, 'F');
        bar += std::to_wstring(::IsWindowVisible(form_.BottomBar())) + std::to_wstring(form_.ToolBtn(kToggleFindBar).Value()) +
               L" " + std::to_wstring(Height(form_.BigContainer()) - withBar) + L" ";
    }
    EXPECT_EQ(bar, L"00 28 11 0 ");
    EXPECT_EQ(::GetFocus(), form_.InputFind().EdithWnd());
    Chord({}, VK_TAB);  // Tab leaves the find box, Shift+Tab comes back the same way
    EXPECT_NE(::GetFocus(), form_.InputFind().EdithWnd());
    Chord({VK_SHIFT}, VK_TAB);
    EXPECT_EQ(::GetFocus(), form_.InputFind().EdithWnd());
    for (auto modifiers : std::vector<std::vector<WORD>>{{}, {VK_SHIFT}, {VK_CONTROL, VK_MENU}, {VK_MENU}, {VK_MENU, VK_SHIFT}}) {
        Chord(modifiers, VK_F1);
    }
    EXPECT_EQ(helpShown_, 5);

    ::SetFocus(Edit());
    Type(L"ab");
    Chord({}, VK_TAB);
    for (WORD modifier : {VK_SHIFT, VK_CONTROL}) {
        ::SetFocus(Edit());
        Chord({modifier}, VK_TAB);
        EXPECT_TRUE(::GetFocus() != Edit() && ::IsChild(form_.hWnd(), ::GetFocus())) << "modifier " << modifier;
    }
    EXPECT_EQ(Text(), Prompt() + L"ab\t") << "a plain Tab is typed";

    // The left pane's width, the minimum of the console's, and the toolbar's groups as laid out.
    EXPECT_EQ(Width(form_.PicLeft()), 200);
    form_.SplitVer().Position(40);
    EXPECT_EQ(Width(form_.PicLeft()), 100);
    std::wstring lefts;  // the administrator button shows here
    for (int i = 0; i < kToolButtonCount; ++i) lefts += std::to_wstring(WindowRect(form_.ToolBtn(i).hwnd()).left - WindowRect(form_.TopBar()).left) + L" ";
    EXPECT_EQ(lefts, L"10 44 78 112 176 210 274 308 342 376 ");
    EXPECT_NE(form_.ToolBtn(kHomePage).ToolTip().find(L"https://tarvo.example.org/"), std::wstring::npos);
}

TEST_F(MainFormTest, ToolbarCommandsCopyPasteSelectAllAndSaveTheFolderAndFindNextWalksAndWrapsWithItsOptions) {
    Enter(L"echo alpha beta alphabet ALPHA dirs only");
    const auto base = static_cast<long>(Text().find(L"echo alpha"));
    Pane().SelectionCharRangeSet(base + 47, base + 57);  // "beta alpha" of the output
    form_.ToolBtn_Click(kCopy);
    EXPECT_EQ(test::ClipboardText(form_.hWnd()), L"beta alpha");
    form_.ToolBtn_Click(kSelectAll);
    EXPECT_EQ(Selected().second, Text());
    form_.Console().Renderer().CaretToEnd();
    test::SetClipboardText(form_.hWnd(), L"x");
    form_.ToolBtn_Click(kPaste);
    EXPECT_EQ(Text().substr(Text().size() - Prompt().size() - 1), Prompt() + L"x");
    const WindowSettings stored({HKEY_CURRENT_USER, settingsKey_});
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
        for (int i = 0; i < 7; ++i) {
            Chord({VK_CONTROL}, 'G');
            seen += std::to_wstring(Selected().first - base) + L" ";
        }
        EXPECT_EQ(seen, hits) << matchCase << wholeWord;
    }
    EXPECT_EQ(beeps_, 0);
    form_.InputFind().Methods().TextSet(L"nowhere-at-all");
    EXPECT_FALSE(form_.FindNext());
    EXPECT_EQ(beeps_, 1);
}

TEST_F(MainFormTest, TheTreeFollowsTheConsoleOnlyWhenSyncIsTickedAndMovesItExceptDuringARun) {
    std::wstring followed;  // the tree's selection after each command, relative to the start folder
    for (const wchar_t* line : {L"cd Inner", L"cd", L"cd ..", L"cd Inner"}) {
        Enter(line);
        followed += TreeSelection().substr(std::min(folder_.size(), TreeSelection().size())) + L"|";
        Check(form_.SyncBox(), true);
    }
    EXPECT_EQ(followed, L"|\\Inner||\\Inner|") << "it stays while the box is unticked";
    const HTREEITEM inner = form_.FolderTree().Methods().SelectedNodeGet();
    const std::wstring before = Text();
    form_.OnFolderActivated(inner);  // the current folder: nothing
    EXPECT_EQ(Text(), before);
    Enter(L"cd ..");
    form_.myConsole().MessagePump([&] {
        if (form_.myConsole().Busy()) form_.OnFolderActivated(inner);
        form_.PumpDuringRun();
    });
    Enter(L"echo running");
    EXPECT_TRUE(TextEqualsIgnoringCase(form_.Console().CurrentFolder(), folder_)) << "dropped during the run";
    // Return on a selected node acts like a double-click.
    form_.FolderTree().Methods().SelectedNodeSet(inner, true);
    ::SetFocus(form_.FolderTree().TreeViewhWnd());
    test::PostKey(form_.FolderTree().TreeViewhWnd(), VK_RETURN);
    Pump();
    EXPECT_TRUE(TextEqualsIgnoringCase(form_.Console().CurrentFolder(), folder_ + L"\\Inner"));
}

// A second program started from the toolbar leaves no handle of it behind.
TEST_F(MainFormTest, NewWindowsLeaveNoHandlesAndAMinimisedCloseKeepsTheRectangle) {
    const test::ResourceCounts before = test::CountResources();
    for (int round = 0; round < 2; ++round) {
        form_.ToolBtn_Click(kNewWindow);
        HWND other = nullptr;
        ASSERT_TRUE(test::WaitUntil([&] { return (other = OtherMainWindow()) != nullptr; }, 60000)) << "no new window";
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
    EXPECT_EQ(test::RegNumber(HKEY_CURRENT_USER, settingsKey_, L"WindowState"), 1u);
    EXPECT_EQ(test::RegNumber(HKEY_CURRENT_USER, settingsKey_, L"WindowWidth"), 9000u) << "kept as stored";
}

TEST_F(MainFormTest, PromptIsBlueBoldOnlyTheCommandIsEditableAndUndoRedoOrADragLeaveTheHistory) {
    ASSERT_EQ(Text(), Prompt());
    Type(L"ec");
    EXPECT_EQ(FormatAt(0), 0x1FF0000);
    EXPECT_EQ(FormatAt(Prompt().size()), 0x000000);
    TypeAt(1, L"zz");  // inside the prompt
    test::PostKey(Edit(), VK_DELETE);
    Pump();
    EXPECT_EQ(Text(), Prompt() + L"ec");
    TypeAt(form_.Console().Renderer().InputStart() + 1, L"X");
    EXPECT_EQ(Text(), Prompt() + L"eXc");
    for (const wchar_t* line : {L"", L"echo one", L"cd"}) Enter(line);
    const std::wstring history = Text();
    for (const wchar_t* typed : {L"", L"abc"}) {
        Type(typed);
        for (WORD key : {'Z', 'Y', 'Z', 'Y'}) {
            for (int i = 0; i < 3; ++i) Chord({VK_CONTROL}, key);
        }
        EXPECT_EQ(Text().substr(0, history.size()), history) << Visible(Text());
    }
    const long one = static_cast<long>(history.find(L"one"));
    Pane().SelectionCharRangeSet(one, one + 3);
    Pump();
    DragInPane(one + 1, Pane().CharacterCount());  // onto the command being typed
    EXPECT_EQ(Text().substr(0, history.size()), history) << Visible(Text());
}

TEST_F(MainFormTest, BothStreamsArriveWholeInOrderInTheirColoursAndAfterMegabytesTheNextCommandRuns) {
    // 2 MiB in 32 writes of 64 KiB, a line on standard error after every 8th; then a command typed.
    const std::wstring begin = L"fast 2097152 8\r", after = L"\r" + Prompt() + L"echo typed\rtyped\r\r" + Prompt();
    Enter(Child(L"fast 2097152 8"));
    Enter(L"echo typed");
    const std::wstring text = Text();
    const std::size_t end = text.size() - after.size();
    ASSERT_EQ(text.substr(end), after) << Visible(text.substr(text.size() - 200));
    std::wstring out, errors;
    int marks = 0;
    for (std::size_t i = text.find(begin) + begin.size(), at; i < end; ++marks) {
        at = std::min(text.find(L"STDERR: ", i), end);
        out += text.substr(i, at - i);
        if (at == end) break;
        EXPECT_EQ(FormatAt(at) + FormatAt(at + 8), 2 * 0x0000FF) << "the mark and the error line";
        for (i = at + 8; text[i] == L'e' && text[i + 7] == L'\r'; i += 8) errors += text.substr(i, 8);
        EXPECT_TRUE(i == end || FormatAt(i) == 0x000000) << "standard output after an error read";
    }
    const std::string written = test::FastWriterText(2097152);
    EXPECT_EQ(out, InPane(std::wstring(written.begin(), written.end())));
    EXPECT_EQ(errors, L"e000001\re000002\re000003\re000004\r");
    EXPECT_TRUE(marks >= 1 && marks <= 4) << marks;

    EXPECT_NE(::GetWindowLongW(Edit(), GWL_STYLE) & WS_VSCROLL, 0);
    SCROLLINFO bar{sizeof(bar), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(::GetScrollInfo(Edit(), SB_VERT, &bar));
    EXPECT_GT(bar.nMax - bar.nMin, static_cast<int>(bar.nPage) * 100) << "43,690 lines are far more than a page";
    ::SendMessageW(Edit(), WM_VSCROLL, SB_BOTTOM, 0);
    Pump();
    EXPECT_GT(Pane().FirstVisibleLine(), Pane().LineCount() - 60) << "the last line is in view at the bottom";
}

TEST_F(MainFormTest, FolderChangesStopAtTheLongestCurrentDirectoryAndNothingRunsInAFolderGone) {
    // Full forms of 258 and 259 characters: a current directory holds the first, not the second.
    const std::wstring fits(258 - folder_.size() - 1, L'f'), tooLong(259 - folder_.size() - 1, L'g');
    for (const auto& name : {fits, tooLong}) ::CreateDirectoryW((L"\\\\?\\" + folder_ + L"\\" + name).c_str(), nullptr);
    const std::wstring refused = EnterAndRead(L"cd " + tooLong);
    EXPECT_EQ(refused, L"cd " + tooLong + L"\r" + InPane(ApiErrorText(ERROR_FILENAME_EXCED_RANGE)) + tooLong +
                           L"\r\r" + Prompt());
    EXPECT_EQ(FormatAt(Text().size() - refused.size() + tooLong.size() + 4), 0x0000FF);
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_);
    Enter(L"cd " + fits);
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_ + L"\\" + fits);
    Enter(L"cd ..");
    for (const auto& name : {fits, tooLong}) ::RemoveDirectoryW((L"\\\\?\\" + folder_ + L"\\" + name).c_str());

    const std::wstring gone = folder_ + L"\\gone";
    ::CreateDirectoryW(gone.c_str(), nullptr);
    Enter(L"cd gone");
    ::SetCurrentDirectoryW(folder_.c_str());  // a process's current directory cannot be removed
    ASSERT_TRUE(::RemoveDirectoryW(gone.c_str()));
    bool ran = false;
    form_.myConsole().MessagePump([&] { ran = true; });
    const std::wstring missing = L"\r" + InPane(ApiErrorText(ERROR_PATH_NOT_FOUND)) + gone + L"\r\r" + Prompt();
    EXPECT_EQ(EnterAndRead(L"start dir"), L"start dir" + missing);
    EXPECT_EQ(EnterAndRead(L"dir"), L"dir" + missing);
    EXPECT_EQ(FormatAt(Text().size() - missing.size() + 1), 0x0000FF);
    EXPECT_FALSE(ran || form_.StopEnabled());
}

TEST_F(MainFormTest, TypedLinesReachABatchOneByOneAndCommandsTypedAheadRunWholeInOrderRecordedOnce) {
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
}

TEST_F(MainFormTest, OpensOnScreenAndClosingDuringARunAbandonsTheChildEndsTheProgramAndSavesTheWindowOnScreen) {
    const RECT shown = WindowRect(form_.hWnd());
    EXPECT_TRUE(shown.right > 0 && shown.left < ::GetSystemMetrics(SM_CXSCREEN)) << shown.left;
    const HWND window = form_.hWnd();
    std::wstring childId;
    form_.myConsole().MessagePump([&] {
        const std::wstring text = Text();  // the child's first line is its process id
        const auto start = text.find(L" 30000\r"), end = text.find(L'\r', start + 7);
        if (childId.empty() && start != std::wstring::npos && end != std::wstring::npos) {
            childId = text.substr(start + 7, end - start - 7);
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
        form_.PumpDuringRun();
    });
    Enter(Child(L"pid-sleep 30000"));
    Pump();
    ASSERT_FALSE(::IsWindow(window)) << Visible(childId);
    EXPECT_EQ(test::TakeQuit(), 0);
    unique_handle child(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::wcstoul(childId.c_str(), nullptr, 10)));
    ASSERT_TRUE(child) << "the child is abandoned, not ended: " << Visible(childId);
    EXPECT_EQ(::WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ::TerminateProcess(child.get(), 0);
    // 15 twips per pixel at 96 dpi.
    const auto left = static_cast<int>(test::RegNumber(HKEY_CURRENT_USER, settingsKey_, L"WindowLeft").value_or(~0u));
    EXPECT_EQ(left, shown.left * 15);
    EXPECT_EQ(test::RegNumber(HKEY_CURRENT_USER, settingsKey_, L"WindowWidth"), static_cast<DWORD>((shown.right - shown.left) * 15));
}

}  // namespace
}  // namespace tarvo
