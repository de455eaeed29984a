// The main window as a whole: layout, toolbar and keys, the find bar and the
// coupling of folder tree and console, on real windows driven by keystrokes.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "controls/accelerator_routing.h"
#include "mainwindow/main_form.h"

namespace tarvo {
namespace {

std::wstring TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    wchar_t full[MAX_PATH];
    ::GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
    return full;
}

int Height(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r.bottom - r.top;
}

int Width(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r.right - r.left;
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = TempFolder(L"tarvo_main_form_test");
        ::CreateDirectoryW((folder_ + L"\\Inner").c_str(), nullptr);
        MainFormOptions options;
        options.startFolder = folder_;
        options.settings.subkey = kSettingsKey;
        options.homePage = L"https://tarvo.example.org/";
        options.ShowHelp = [this] { ++helpShown_; };
        options.Beep = [this] { ++beeps_; };
        ASSERT_TRUE(form_.Load(std::move(options)));
        ::SetForegroundWindow(form_.hWnd());
        ::SetFocus(Edit());
        Pump();
    }
    void TearDown() override {
        ::DestroyWindow(form_.hWnd());
        MSG quit;
        while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    }

    static void Pump() {
        for (int i = 0; i < 4; ++i) {
            AcceleratorRouting::PumpPending();
            ::Sleep(10);
        }
    }
    HWND Edit() { return form_.RichEdit().RichEdithWnd(); }
    RichEditMethods& Pane() { return form_.RichEdit().Methods(); }
    std::wstring Text() { return Pane().TextInRangeGet(0, Pane().CharacterCount()); }

    // Real key presses, so that the shift state the handlers read is true.
    static void Chord(std::vector<WORD> modifiers, WORD key) {
        std::vector<INPUT> inputs;
        auto push = [&](WORD vk, bool up) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = vk;
            in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(in);
        };
        // The handlers read the modifiers' state when they run, so they stay down until then.
        for (WORD m : modifiers) push(m, false);
        push(key, false);
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        Pump();
        inputs.clear();
        push(key, true);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) push(*it, true);
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        Pump();
    }
    void Type(const std::wstring& text) {
        for (wchar_t c : text) ::PostMessageW(Edit(), WM_CHAR, c, 1);
        Pump();
    }
    void Enter(const std::wstring& line) {
        form_.Console().Renderer().CaretToEnd();  // a find may have left a selection in the history
        Type(line);
        ::PostMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 1);
        ::PostMessageW(Edit(), WM_KEYUP, VK_RETURN, 0xC0000001);
        Pump();
    }
    bool SyncTicked() { return ::SendMessageW(form_.SyncBox(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void TickSync(bool on) { ::SendMessageW(form_.SyncBox(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
    std::wstring TreeSelection() {
        HTREEITEM selected = form_.FolderTree().Methods().SelectedNodeGet();
        return selected ? form_.FolderTree().shTree().FullPathGet(AsNode(selected)) : std::wstring();
    }
    long SelectionStart() {
        long start = 0, end = 0;
        Pane().SelectionCharRangeGet(start, end);
        return start;
    }
    long SelectionEnd() {
        long start = 0, end = 0;
        Pane().SelectionCharRangeGet(start, end);
        return end;
    }

    static constexpr const wchar_t* kSettingsKey = L"Software\\TarvoTest\\MainForm";
    std::wstring folder_;
    int helpShown_ = 0;
    int beeps_ = 0;
    mainForm form_;
};

TEST_F(MainFormTest, FindBarTogglesWithCtrlFAndGivesItsHeightToTheWorkingArea) {
    const int withBar = Height(form_.BigContainer());
    ASSERT_TRUE(::IsWindowVisible(form_.BottomBar()));
    EXPECT_FALSE(form_.ToolBtn(kToggleFindBar).Value());

    Chord({VK_CONTROL}, 'F');
    EXPECT_FALSE(::IsWindowVisible(form_.BottomBar()));
    EXPECT_EQ(form_.ToolBtn(kToggleFindBar).Value(), false);
    EXPECT_EQ(Height(form_.BigContainer()), withBar + mainForm::kFindBarHeight);

    Chord({VK_CONTROL}, 'F');
    EXPECT_TRUE(::IsWindowVisible(form_.BottomBar()));
    EXPECT_EQ(form_.ToolBtn(kToggleFindBar).Value(), true);
    EXPECT_EQ(Height(form_.BigContainer()), withBar);
    EXPECT_EQ(::GetFocus(), form_.InputFind().EdithWnd());

    ::SetFocus(Edit());
    Chord({VK_CONTROL, VK_SHIFT}, 'F');
    EXPECT_TRUE(::IsWindowVisible(form_.BottomBar()));

    form_.ToolBtn_Click(kToggleFindBar);
    EXPECT_FALSE(::IsWindowVisible(form_.BottomBar()));
    EXPECT_EQ(form_.ToolBtn(kToggleFindBar).Value(), false);
}

TEST_F(MainFormTest, LeftPaneStartsAtTwoHundredAndKeepsItsMinimumAndTheHeaders) {
    EXPECT_EQ(Width(form_.PicLeft()), 200);
    form_.SplitVer().SetPosition(40);
    EXPECT_EQ(Width(form_.PicLeft()), 100);

    form_.SplitHor().SetPosition(0);
    EXPECT_GE(Height(form_.LeftTop()), mainForm::kHeaderHeight);
    form_.SplitHor().SetPosition(100000);
    EXPECT_GE(Height(form_.LeftBottom()), mainForm::kHeaderHeight);
}

TEST_F(MainFormTest, ToolbarGroupsSitAsLaidOut) {
    RECT bar{};
    ::GetWindowRect(form_.TopBar(), &bar);
    auto left = [&](int i) {
        RECT r{};
        ::GetWindowRect(form_.ToolBtn(i).hwnd(), &r);
        return r.left - bar.left;
    };
    const int h = mainForm::kTopBarHeight;
    EXPECT_EQ(left(0), 10);
    EXPECT_EQ(left(1), 10 + (h + 2));  // the administrator button shows on this system
    EXPECT_EQ(left(4), 10 + 4 * (h + 2) + 30);
    EXPECT_EQ(left(6), 10 + 6 * (h + 2) + 60);
    EXPECT_EQ(left(9), 10 + 9 * (h + 2) + 60);
    EXPECT_NE(form_.ToolBtn(kHomePage).ToolTip().find(L"https://tarvo.example.org/"), std::wstring::npos);
}

TEST_F(MainFormTest, F1OpensHelpWithAnyModifier) {
    Chord({}, VK_F1);
    Chord({VK_SHIFT}, VK_F1);
    Chord({VK_CONTROL, VK_MENU}, VK_F1);
    EXPECT_EQ(helpShown_, 3);
}

TEST_F(MainFormTest, StopDisablesItselfBeforeAnyOutput) {
    EXPECT_FALSE(form_.StopEnabled());
    bool enabledDuringRun = false, disabledByClick = false;
    form_.myConsole().SetMessagePump([&] {
        if (form_.myConsole().Busy() && form_.StopEnabled()) {
            enabledDuringRun = true;
            form_.ToolBtn_Click(kStopWaiting);
            disabledByClick = !form_.StopEnabled();
        }
        AcceleratorRouting::PumpPending();
    });
    Enter(L"set /p waiting=");  // reads its input, writes nothing
    EXPECT_TRUE(enabledDuringRun);
    EXPECT_TRUE(disabledByClick);
    EXPECT_FALSE(form_.StopEnabled());
    EXPECT_FALSE(form_.myConsole().Busy());
}

TEST_F(MainFormTest, FindNextWalksTheHitsAndWraps) {
    Enter(L"echo alpha beta alphabet ALPHA");
    form_.InputFind().Methods().TextSet(L"alpha");
    const std::wstring text = Text();

    // Caret at the end: the search starts at the top, without a beep.
    EXPECT_TRUE(form_.FindNext());
    EXPECT_EQ(beeps_, 0);
    const long first = SelectionStart();
    EXPECT_EQ(text.substr(static_cast<std::size_t>(first), 5), L"alpha");
    EXPECT_EQ(SelectionEnd(), first + 5);

    form_.FindNext();
    EXPECT_GT(SelectionStart(), first);

    // Ctrl+G from the pane runs the same search.
    std::vector<long> starts;
    for (int i = 0; i < 8; ++i) {
        Chord({VK_CONTROL}, 'G');
        starts.push_back(SelectionStart());
    }
    EXPECT_NE(std::find(starts.begin(), starts.end(), first), starts.end()) << "the walk wraps to the top";
    EXPECT_EQ(beeps_, 0);

    form_.InputFind().Methods().TextSet(L"nowhere-at-all");
    form_.FindNext();
    form_.FindNext();
    EXPECT_EQ(beeps_, 2);
}

TEST_F(MainFormTest, FindOptionsAreReadOnEveryRun) {
    Enter(L"echo dirs only");
    form_.InputFind().Methods().TextSet(L"DIRS ONLY");
    EXPECT_TRUE(form_.FindNext());
    ::SendMessageW(form_.MatchCaseBox(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_FALSE(form_.FindNext());
    ::SendMessageW(form_.MatchCaseBox(), BM_SETCHECK, BST_UNCHECKED, 0);

    // A hit that is the only one is selected again and again.
    Enter(L"echo %OS%");  // the command shows the name, only the output the value
    form_.InputFind().Methods().TextSet(L"Windows_NT");
    EXPECT_TRUE(form_.FindNext());
    const long only = SelectionStart();
    EXPECT_TRUE(form_.FindNext());
    EXPECT_EQ(SelectionStart(), only);

    form_.InputFind().Methods().TextSet(L"dir");
    ::SendMessageW(form_.WholeWordBox(), BM_SETCHECK, BST_CHECKED, 0);
    const int before = beeps_;
    form_.FindNext();  // "dir" appears only inside "dirs"
    EXPECT_EQ(beeps_, before + 1);
}

TEST_F(MainFormTest, EnterInTheFindBoxSearches) {
    Enter(L"echo needle");
    form_.InputFind().Methods().TextSet(L"needle");
    ::SetFocus(form_.InputFind().EdithWnd());
    Pump();
    ::PostMessageW(form_.InputFind().EdithWnd(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    EXPECT_EQ(SelectionEnd() - SelectionStart(), 6);
}

TEST_F(MainFormTest, TheTreeFollowsTheConsoleOnlyWhenSyncIsTicked) {
    const std::wstring start = TreeSelection();
    EXPECT_TRUE(TextEqualsIgnoringCase(start, folder_)) << std::string(start.begin(), start.end());
    EXPECT_FALSE(SyncTicked());

    Enter(L"cd Inner");
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_));
    TickSync(true);
    Enter(L"cd");
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_ + L"\\Inner"));
    Enter(L"cd ..");
    EXPECT_TRUE(TextEqualsIgnoringCase(TreeSelection(), folder_));
}

TEST_F(MainFormTest, ActivatingAFolderInTheTreeMovesTheConsole) {
    TickSync(true);
    Enter(L"cd Inner");
    HTREEITEM inner = form_.FolderTree().Methods().SelectedNodeGet();
    Enter(L"cd ..");
    const std::wstring before = Text();

    // The node of the current folder: nothing happens.
    form_.OnFolderActivated(form_.FolderTree().Methods().SelectedNodeGet());
    EXPECT_EQ(Text(), before);

    // Return on a selected node acts like a double-click.
    form_.FolderTree().Methods().SelectedNodeSet(inner, true);
    ::SetFocus(form_.FolderTree().TreeViewhWnd());
    Pump();
    ::PostMessageW(form_.FolderTree().TreeViewhWnd(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    EXPECT_TRUE(TextEqualsIgnoringCase(form_.Console().CurrentFolder(), folder_ + L"\\Inner"));
    EXPECT_NE(Text().find(L"\r" + form_.Console().CurrentFolder() + L">"), std::wstring::npos);
}

TEST_F(MainFormTest, ActivationsDuringARunAreDropped) {
    TickSync(true);
    Enter(L"cd Inner");
    HTREEITEM inner = form_.FolderTree().Methods().SelectedNodeGet();
    Enter(L"cd ..");
    const std::wstring folder = form_.Console().CurrentFolder();
    form_.myConsole().SetMessagePump([&, done = false]() mutable {
        if (!done && form_.myConsole().Busy()) {
            done = true;
            form_.OnFolderActivated(inner);
        }
        AcceleratorRouting::PumpPending();
    });
    Enter(L"echo running");
    Pump();
    EXPECT_EQ(form_.Console().CurrentFolder(), folder);
}

TEST_F(MainFormTest, CtrlCCopiesTheSelectionWithCrLfAndCtrlShiftCDoesNot) {
    Enter(L"echo first& echo second");
    const std::wstring text = Text();
    const auto at = text.find(L"first\rsecond");
    ASSERT_NE(at, std::wstring::npos);
    auto clipboard = [&] {
        std::wstring copied;
        if (!::OpenClipboard(form_.hWnd())) return copied;
        if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            copied = static_cast<const wchar_t*>(::GlobalLock(data));
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
        return copied;
    };
    auto setClipboard = [&](const wchar_t* value) {
        ::OpenClipboard(form_.hWnd());
        ::EmptyClipboard();
        const SIZE_T bytes = (wcslen(value) + 1) * sizeof(wchar_t);
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(::GlobalLock(block), value, bytes);
        ::GlobalUnlock(block);
        ::SetClipboardData(CF_UNICODETEXT, block);
        ::CloseClipboard();
    };
    Pane().SelectionCharRangeSet(static_cast<long>(at), static_cast<long>(at + 12));

    // The pane's own key handler; the rich edit may copy by itself as well.
    auto& renderer = form_.Console().Renderer();
    setClipboard(L"before");
    short key = 'C';
    renderer.OnKeyDown(key, 3, form_.hWnd());
    EXPECT_EQ(clipboard(), L"before");
    renderer.OnKeyDown(key, 2, form_.hWnd());
    EXPECT_EQ(clipboard(), L"first\r\nsecond");

    setClipboard(L"before");
    form_.ToolBtn_Click(kCopy);
    EXPECT_EQ(clipboard(), L"first\r\nsecond");
}

}  // namespace
}  // namespace tarvo
