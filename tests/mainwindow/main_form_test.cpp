// The main window as a whole: layout, toolbar and keys, the find bar and the
// coupling of folder tree and console, on real windows driven by keystrokes.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/accelerator_routing.h"
#include "main_form_fixture.h"
#include "test_support.h"

namespace tarvo {
namespace {

using test::WindowRect;

int Height(HWND window) { return WindowRect(window).bottom - WindowRect(window).top; }
int Width(HWND window) { return WindowRect(window).right - WindowRect(window).left; }

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
    void Find(const wchar_t* text) { form_.InputFind().Methods().TextSet(text); }

    int helpShown_ = 0;
    int beeps_ = 0;
};

TEST_F(MainFormTest, CtrlFTogglesTheFindBarAndF1OpensHelpWithAnyModifier) {
    const int withBar = Height(form_.BigContainer());
    ASSERT_TRUE(::IsWindowVisible(form_.BottomBar()));
    EXPECT_FALSE(form_.ToolBtn(kToggleFindBar).Value());

    Chord({VK_CONTROL}, 'F');
    EXPECT_FALSE(::IsWindowVisible(form_.BottomBar()));
    EXPECT_FALSE(form_.ToolBtn(kToggleFindBar).Value());
    EXPECT_EQ(Height(form_.BigContainer()), withBar + 28);

    Chord({VK_CONTROL}, 'F');
    EXPECT_TRUE(::IsWindowVisible(form_.BottomBar()));
    EXPECT_TRUE(form_.ToolBtn(kToggleFindBar).Value());
    EXPECT_EQ(Height(form_.BigContainer()), withBar);
    EXPECT_EQ(::GetFocus(), form_.InputFind().EdithWnd());

    ::SetFocus(Edit());
    Chord({VK_CONTROL, VK_SHIFT}, 'F');
    EXPECT_TRUE(::IsWindowVisible(form_.BottomBar()));
    form_.ToolBtn_Click(kToggleFindBar);
    EXPECT_FALSE(::IsWindowVisible(form_.BottomBar()));

    for (auto modifiers : std::vector<std::vector<WORD>>{{}, {VK_SHIFT}, {VK_CONTROL, VK_MENU}, {VK_MENU}, {VK_MENU, VK_SHIFT}}) {
        Chord(modifiers, VK_F1);
    }
    EXPECT_EQ(helpShown_, 5);
}

TEST_F(MainFormTest, ShiftTabAndCtrlTabLeaveThePaneAndTabLeavesTheFindBox) {
    Type(L"ab");
    Chord({}, VK_TAB);
    EXPECT_EQ(::GetFocus(), Edit());
    EXPECT_EQ(Text(), Prompt() + L"ab\t") << "a plain Tab is typed";
    const std::wstring typed = Text();
    for (WORD modifier : {VK_SHIFT, VK_CONTROL}) {
        ::SetFocus(Edit());
        Pump();
        Chord({modifier}, VK_TAB);
        EXPECT_NE(::GetFocus(), Edit()) << "modifier " << modifier;
        EXPECT_TRUE(::IsChild(form_.hWnd(), ::GetFocus()));
    }
    EXPECT_EQ(Text(), typed);

    const HWND find = form_.InputFind().EdithWnd();
    ::SetFocus(find);
    Pump();
    Chord({}, VK_TAB);
    EXPECT_NE(::GetFocus(), find);
    Chord({VK_SHIFT}, VK_TAB);
    EXPECT_EQ(::GetFocus(), find) << "Shift+Tab goes back the same way";
}

TEST_F(MainFormTest, PanesKeepTheirMinimumsAndToolbarGroupsSitAsLaidOut) {
    EXPECT_EQ(Width(form_.PicLeft()), 200);
    form_.SplitVer().Position(40);
    EXPECT_EQ(Width(form_.PicLeft()), 100);
    form_.SplitHor().Position(0);
    EXPECT_GE(Height(form_.LeftTop()), 24);
    form_.SplitHor().Position(100000);
    EXPECT_GE(Height(form_.LeftBottom()), 24);

    const LONG bar = WindowRect(form_.TopBar()).left;
    auto left = [&](int i) { return WindowRect(form_.ToolBtn(i).hwnd()).left - bar; };
    EXPECT_EQ(left(0), 10);
    EXPECT_EQ(left(1), 44);  // the administrator button shows on this system
    EXPECT_EQ(left(4), 176);
    EXPECT_EQ(left(6), 274);
    EXPECT_EQ(left(9), 376);
    EXPECT_NE(form_.ToolBtn(kHomePage).ToolTip().find(L"https://tarvo.example.org/"), std::wstring::npos);
}

TEST_F(MainFormTest, StopDisablesItselfBeforeAnyOutput) {
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
    EXPECT_TRUE(enabledDuringRun);
    EXPECT_TRUE(disabledByClick);
    EXPECT_FALSE(form_.StopEnabled());
    EXPECT_FALSE(form_.myConsole().Busy());
}

TEST_F(MainFormTest, FindNextWalksTheHitsAndWrapsFromTheButtonCtrlGAndEnter) {
    Enter(L"echo alpha beta alphabet ALPHA");
    Find(L"alpha");
    const std::wstring text = Text();

    // Caret at the end: the search starts at the top, without a beep.
    EXPECT_TRUE(form_.FindNext());
    const auto [first, end] = Selection();
    EXPECT_EQ(text.substr(static_cast<std::size_t>(first), 5), L"alpha");
    EXPECT_EQ(end, first + 5);
    form_.FindNext();
    EXPECT_GT(Selection().first, first);

    std::vector<long> starts;
    for (int i = 0; i < 8; ++i) {
        Chord({VK_CONTROL}, 'G');
        starts.push_back(Selection().first);
    }
    EXPECT_NE(std::find(starts.begin(), starts.end(), first), starts.end()) << "the walk wraps to the top";
    EXPECT_EQ(beeps_, 0);

    Find(L"nowhere-at-all");
    form_.FindNext();
    form_.FindNext();
    EXPECT_EQ(beeps_, 2);

    Find(L"beta");
    ::SetFocus(form_.InputFind().EdithWnd());
    Pump();
    ::PostMessageW(form_.InputFind().EdithWnd(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    EXPECT_EQ(text.substr(static_cast<std::size_t>(Selection().first), 4), L"beta");
}

TEST_F(MainFormTest, FindOptionsAreReadOnEveryRun) {
    Enter(L"echo dirs only");
    Find(L"DIRS ONLY");
    EXPECT_TRUE(form_.FindNext());
    ::SendMessageW(form_.MatchCaseBox(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_FALSE(form_.FindNext());
    ::SendMessageW(form_.MatchCaseBox(), BM_SETCHECK, BST_UNCHECKED, 0);

    // A hit that is the only one is selected again and again.
    Enter(L"echo %OS%");  // the command shows the name, only the output the value
    Find(L"Windows_NT");
    EXPECT_TRUE(form_.FindNext());
    const long only = Selection().first;
    EXPECT_TRUE(form_.FindNext());
    EXPECT_EQ(Selection().first, only);

    Find(L"dir");
    ::SendMessageW(form_.WholeWordBox(), BM_SETCHECK, BST_CHECKED, 0);
    const int before = beeps_;
    form_.FindNext();  // "dir" appears only inside "dirs"
    EXPECT_EQ(beeps_, before + 1);
}

TEST_F(MainFormTest, TheTreeFollowsTheConsoleOnlyWhenSyncIsTickedAndMovesItExceptDuringARun) {
    const std::wstring start = TreeSelection();
    EXPECT_TRUE(TextEqualsIgnoringCase(start, folder_)) << test::Visible(start);
    EXPECT_NE(::SendMessageW(form_.SyncBox(), BM_GETCHECK, 0, 0), BST_CHECKED);

    Enter(L"cd Inner");
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_));
    ::SendMessageW(form_.SyncBox(), BM_SETCHECK, BST_CHECKED, 0);
    Enter(L"cd");
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_ + L"\\Inner"));
    const HTREEITEM inner = form_.FolderTree().Methods().SelectedNodeGet();
    Enter(L"cd ..");
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_));

    // Activating a folder in the tree moves the console, except during a run.
    const std::wstring before = Text();
    // The node of the current folder: nothing happens.
    form_.OnFolderActivated(form_.FolderTree().Methods().SelectedNodeGet());
    EXPECT_EQ(Text(), before);

    form_.myConsole().MessagePump([&, done = false]() mutable {
        if (!done && form_.myConsole().Busy()) {
            done = true;
            form_.OnFolderActivated(inner);
        }
        form_.PumpDuringRun();
    });
    Enter(L"echo running");
    Pump();
    EXPECT_TRUE(TextEqualsIgnoringCase(form_.Console().CurrentFolder(), folder_)) << "dropped during the run";

    // Return on a selected node acts like a double-click.
    form_.FolderTree().Methods().SelectedNodeSet(inner, true);
    ::SetFocus(form_.FolderTree().TreeViewhWnd());
    Pump();
    ::PostMessageW(form_.FolderTree().TreeViewhWnd(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    EXPECT_TRUE(TextEqualsIgnoringCase(form_.Console().CurrentFolder(), folder_ + L"\\Inner"));
    EXPECT_NE(Text().find(L"\r" + Prompt()), std::wstring::npos);
}

TEST_F(MainFormTest, CtrlCCopiesTheSelectionWithCrLfAndCtrlShiftCDoesNot) {
    Enter(L"echo first& echo second");
    const auto at = static_cast<long>(Text().find(L"first\rsecond"));
    ASSERT_GE(at, 0);
    Pane().SelectionCharRangeSet(at, at + 12);

    // The pane's own key handler; the rich edit may copy by itself as well.
    auto& renderer = form_.Console().Renderer();
    test::SetClipboardText(form_.hWnd(), L"before");
    short key = 'C';
    renderer.OnKeyDown(key, 3, form_.hWnd());
    EXPECT_EQ(test::ClipboardText(form_.hWnd()), L"before");
    renderer.OnKeyDown(key, 2, form_.hWnd());
    EXPECT_EQ(test::ClipboardText(form_.hWnd()), L"first\r\nsecond");

    test::SetClipboardText(form_.hWnd(), L"before");
    form_.ToolBtn_Click(kCopy);
    EXPECT_EQ(test::ClipboardText(form_.hWnd()), L"first\r\nsecond");
}

}  // namespace
}  // namespace tarvo
