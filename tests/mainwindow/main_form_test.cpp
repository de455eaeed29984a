// The main window as a whole: layout, toolbar and keys, the find bar, the
// coupling of folder tree and console and what it holds, on real windows.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "main_form_fixture.h"
#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

using test::WindowRect;

int Height(HWND window) { return WindowRect(window).bottom - WindowRect(window).top; }
int Width(HWND window) { return WindowRect(window).right - WindowRect(window).left; }

// The visible main windows of other processes.
std::vector<HWND> OtherMainWindows() {
    std::vector<HWND> found;
    for (HWND w = ::FindWindowW(L"TarvoMainForm", nullptr); w; w = ::FindWindowExW(nullptr, w, L"TarvoMainForm", nullptr)) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(w, &process);
        if (process != ::GetCurrentProcessId() && ::IsWindowVisible(w)) found.push_back(w);
    }
    return found;
}

class MainFormTest : public test::MainFormFixture {
protected:
    void SetUp() override {
        MainFormOptions options;
        options.homePage = L"https://tarvo.example.org/";
        options.ShowHelp = [this] { ++helpShown_; };
        options.Beep = [this] { ++beeps_; };
        Open(L"tarvo_main_form_test", L"Software\\TarvoTest\\MainForm", std::move(options));
        ::CreateDirectoryW((folder_ + L"\\Inner").c_str(), nullptr);
    }
    std::wstring TreeSelection() {
        HTREEITEM selected = form_.FolderTree().Methods().SelectedNodeGet();
        return selected ? form_.FolderTree().shTree().FullPathGet(AsNode(selected)) : std::wstring();
    }
    std::pair<long, long> Selection() {
        long start = 0, end = 0;
        Pane().SelectionCharRangeGet(start, end);
        return {start, end};
    }
    std::wstring Selected() { return Text().substr(Selection().first, Selection().second - Selection().first); }
    void Find(const wchar_t* text) { form_.InputFind().Methods().TextSet(text); }
    void Check(HWND box, bool on) { ::SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

    int helpShown_ = 0;
    int beeps_ = 0;
};

TEST_F(MainFormTest, CtrlFTogglesTheFindBarF1OpensHelpTabsLeaveThePaneAndPanesAndButtonsSitAsLaidOut) {
    const int withBar = Height(form_.BigContainer());
    ASSERT_TRUE(::IsWindowVisible(form_.BottomBar()));
    EXPECT_FALSE(form_.ToolBtn(kToggleFindBar).Value());
    Chord({VK_CONTROL}, 'F');
    EXPECT_FALSE(::IsWindowVisible(form_.BottomBar()));
    EXPECT_EQ(Height(form_.BigContainer()), withBar + 28);
    Chord({VK_CONTROL}, 'F');
    EXPECT_TRUE(::IsWindowVisible(form_.BottomBar()));
    EXPECT_TRUE(form_.ToolBtn(kToggleFindBar).Value());
    EXPECT_EQ(Height(form_.BigContainer()), withBar);
    EXPECT_EQ(::GetFocus(), form_.InputFind().EdithWnd());
    Chord({}, VK_TAB);  // Tab leaves the find box, Shift+Tab comes back the same way
    EXPECT_NE(::GetFocus(), form_.InputFind().EdithWnd());
    Chord({VK_SHIFT}, VK_TAB);
    EXPECT_EQ(::GetFocus(), form_.InputFind().EdithWnd());
    ::SetFocus(Edit());
    Chord({VK_CONTROL, VK_SHIFT}, 'F');
    EXPECT_TRUE(::IsWindowVisible(form_.BottomBar()));
    form_.ToolBtn_Click(kToggleFindBar);
    EXPECT_FALSE(::IsWindowVisible(form_.BottomBar()) || form_.ToolBtn(kToggleFindBar).Value());
    for (auto modifiers : std::vector<std::vector<WORD>>{{}, {VK_SHIFT}, {VK_CONTROL, VK_MENU}, {VK_MENU}, {VK_MENU, VK_SHIFT}}) {
        Chord(modifiers, VK_F1);
    }
    EXPECT_EQ(helpShown_, 5);

    ::SetFocus(Edit());
    Type(L"ab");
    Chord({}, VK_TAB);
    EXPECT_EQ(Text(), Prompt() + L"ab\t") << "a plain Tab is typed";
    for (WORD modifier : {VK_SHIFT, VK_CONTROL}) {
        ::SetFocus(Edit());
        Pump();
        Chord({modifier}, VK_TAB);
        EXPECT_NE(::GetFocus(), Edit()) << "modifier " << modifier;
        EXPECT_TRUE(::IsChild(form_.hWnd(), ::GetFocus()));
    }
    EXPECT_EQ(Text(), Prompt() + L"ab\t");

    // Panes keep their minimums and the toolbar's groups sit as laid out.
    EXPECT_EQ(Width(form_.PicLeft()), 200);
    form_.SplitVer().Position(40);
    EXPECT_EQ(Width(form_.PicLeft()), 100);
    form_.SplitHor().Position(0);
    EXPECT_EQ(Height(form_.LeftTop()), 24);
    form_.SplitHor().Position(100000);
    EXPECT_EQ(Height(form_.LeftBottom()), 24);
    const LONG bar = WindowRect(form_.TopBar()).left;
    const int lefts[] = {10, 44, 78, 112, 176, 210, 274, 308, 342, 376};  // the administrator button shows here
    for (int i = 0; i < kToolButtonCount; ++i) EXPECT_EQ(WindowRect(form_.ToolBtn(i).hwnd()).left - bar, lefts[i]) << i;
    EXPECT_NE(form_.ToolBtn(kHomePage).ToolTip().find(L"https://tarvo.example.org/"), std::wstring::npos);
}

// Each command of the toolbar does its own thing.
TEST_F(MainFormTest, ToolbarCommandsCopyPasteSelectAllSaveTheFolderHelpAndStop) {
    Enter(L"echo first& echo second");
    const auto at = static_cast<long>(Text().find(L"first\rsecond"));
    ASSERT_GE(at, 0);
    Pane().SelectionCharRangeSet(at, at + 12);
    test::SetClipboardText(form_.hWnd(), L"before");
    short key = 'C';
    form_.Console().Renderer().OnKeyDown(key, 3);  // Ctrl+Shift+C copies nothing
    EXPECT_EQ(test::ClipboardText(form_.hWnd()), L"before");
    form_.ToolBtn_Click(kCopy);
    EXPECT_EQ(test::ClipboardText(form_.hWnd()), L"first\r\nsecond");

    form_.ToolBtn_Click(kSelectAll);
    EXPECT_EQ(Selected(), Text());
    form_.Console().Renderer().CaretToEnd();
    test::SetClipboardText(form_.hWnd(), L"x");
    form_.ToolBtn_Click(kPaste);
    EXPECT_EQ(Text().substr(Text().size() - Prompt().size() - 1), Prompt() + L"x");

    const WindowSettings stored({HKEY_CURRENT_USER, settingsKey_});
    EXPECT_EQ(stored.LoadSettings().currentFolder, L"c:\\");
    form_.ToolBtn_Click(kSaveStartFolder);
    EXPECT_EQ(stored.LoadSettings().currentFolder, folder_);
    form_.ToolBtn_Click(kHelp);
    EXPECT_EQ(helpShown_, 1);
    EXPECT_EQ(beeps_, 0);

    // Stop is enabled only during a run and disables itself before any output.
    EXPECT_FALSE(form_.StopEnabled());
    bool enabledDuringRun = false, disabledByClick = false;
    form_.myConsole().MessagePump([&] {
        if (form_.myConsole().Busy() && form_.StopEnabled()) {
            enabledDuringRun = true;
            form_.ToolBtn_Click(kStopWaiting);
            disabledByClick = !form_.StopEnabled();
        }
        form_.PumpDuringRun();
    });
    Enter(L"set /p waiting=");  // reads its input, writes nothing
    EXPECT_TRUE(enabledDuringRun && disabledByClick);
    EXPECT_FALSE(form_.StopEnabled() || form_.myConsole().Busy());
}

TEST_F(MainFormTest, FindNextWalksTheHitsWrapsBeepsOnMissesAndReadsItsOptionsEachTime) {
    Enter(L"echo alpha beta alphabet ALPHA dirs only");
    Find(L"alpha");
    EXPECT_TRUE(form_.FindNext());  // caret at the end: from the top, without a beep
    const long first = Selection().first;
    EXPECT_EQ(Selected(), L"alpha");
    std::vector<long> starts{first};
    for (int i = 0; i < 8; ++i) {
        Chord({VK_CONTROL}, 'G');
        starts.push_back(Selection().first);
    }
    EXPECT_GT(starts[1], first);
    EXPECT_NE(std::find(starts.begin() + 2, starts.end(), first), starts.end()) << "the walk wraps to the top";
    EXPECT_EQ(beeps_, 0);
    Find(L"nowhere-at-all");
    form_.FindNext();
    form_.FindNext();
    EXPECT_EQ(beeps_, 2);

    Find(L"beta");
    ::SetFocus(form_.InputFind().EdithWnd());
    test::PostKey(form_.InputFind().EdithWnd(), VK_RETURN);
    Pump();
    EXPECT_EQ(Selected(), L"beta");

    Find(L"DIRS ONLY");
    EXPECT_TRUE(form_.FindNext());
    Check(form_.MatchCaseBox(), true);
    EXPECT_FALSE(form_.FindNext());
    Check(form_.MatchCaseBox(), false);
    Find(L"dir");
    Check(form_.WholeWordBox(), true);
    form_.FindNext();  // "dir" appears only inside "dirs"
    EXPECT_EQ(beeps_, 4);  // and once for the miss with the case matched
    Check(form_.WholeWordBox(), false);
    Enter(L"echo %OS%");  // the command shows the name, only the output the value
    Find(L"Windows_NT");  // the only hit is selected again and again
    EXPECT_TRUE(form_.FindNext());
    const long only = Selection().first;
    EXPECT_TRUE(form_.FindNext());
    EXPECT_EQ(Selection().first, only);
}

TEST_F(MainFormTest, TheTreeFollowsTheConsoleOnlyWhenSyncIsTickedAndMovesItExceptDuringARun) {
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_)) << test::Visible(TreeSelection());
    EXPECT_NE(::SendMessageW(form_.SyncBox(), BM_GETCHECK, 0, 0), BST_CHECKED);
    Enter(L"cd Inner");
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_));
    Check(form_.SyncBox(), true);
    Enter(L"cd");
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_ + L"\\Inner"));
    const HTREEITEM inner = form_.FolderTree().Methods().SelectedNodeGet();
    Enter(L"cd ..");
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_));

    const std::wstring before = Text();
    form_.OnFolderActivated(form_.FolderTree().Methods().SelectedNodeGet());  // the current folder: nothing
    EXPECT_EQ(Text(), before);
    form_.myConsole().MessagePump([&, done = false]() mutable {
        if (!done && form_.myConsole().Busy()) {
            done = true;
            form_.OnFolderActivated(inner);
        }
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
    EXPECT_NE(Text().find(L"\r" + Prompt()), std::wstring::npos);
}

// A second program started from the toolbar leaves no handle of it behind; nor do commands.
TEST_F(MainFormTest, NewWindowsAndCommandsLeaveNoHandlesAndAMinimisedCloseKeepsTheRectangle) {
    Enter(L"echo warm");
    const test::ResourceCounts before = test::CountResources();
    for (int round = 0; round < 4; ++round) {
        form_.ToolBtn_Click(kNewWindow);
        std::vector<HWND> others;
        ASSERT_TRUE(test::WaitUntil([&] { return !(others = OtherMainWindows()).empty(); }, 60000)) << "no new window";
        for (HWND other : others) {
            DWORD id = 0;
            ::GetWindowThreadProcessId(other, &id);
            unique_handle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
            ::PostMessageW(other, WM_CLOSE, 0, 0);
            EXPECT_EQ(::WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
        }
        for (const wchar_t* line : {L"echo out", L"cd Inner", L"cd ..", L"cd no_such_folder", L"echo err 1>&2", L"start rem"}) Enter(line);
    }
    const test::ResourceCounts after = test::CountResources();
    EXPECT_LE(after.handles, before.handles + 1) << "a worker thread of the system may hold one; before: "
                                                 << test::Describe(before) << ", after: " << test::Describe(after);
    EXPECT_LE(after.gdiObjects, before.gdiObjects + 2);
    EXPECT_EQ(after.windows, before.windows);

    ::ShowWindow(form_.hWnd(), SW_MINIMIZE);
    ::SendMessageW(form_.hWnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(test::RegNumber(HKEY_CURRENT_USER, settingsKey_, L"WindowState"), 1u);
    EXPECT_FALSE(test::RegNumber(HKEY_CURRENT_USER, settingsKey_, L"WindowWidth")) << "no rectangle of a minimised window";
}

}  // namespace
}  // namespace tarvo
