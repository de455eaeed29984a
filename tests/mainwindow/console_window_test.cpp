// The console end to end: the real main window, its rich edit pane and the real
// command interpreter, driven by keystrokes as a user would.
#include <gtest/gtest.h>

#include <string>

#include "console/command_controller.h"
#include "console/output_renderer.h"
#include "controls/accelerator_routing.h"
#include "mainwindow/main_form.h"

namespace tarvo {
namespace {

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\'));
}

std::wstring Child(const std::wstring& args) { return L"\"" + ExeFolder() + L"\\tarvo_test_child.exe\" " + args; }

std::wstring MakeTempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    wchar_t full[MAX_PATH];
    ::GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// Shows line breaks in failure messages.
std::string Visible(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c == L'\r') out += "\\r";
        else if (c == L'\n') out += "\\n";
        else out.push_back(c < 128 ? static_cast<char>(c) : '?');
    }
    return out;
}

std::size_t Count(const std::wstring& text, const std::wstring& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

class ConsoleWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTempFolder(L"tarvo_console_test");
        MainFormOptions options;
        options.startFolder = folder_;
        options.settings.subkey = L"Software\\TarvoTest\\ConsoleWindow";
        ASSERT_TRUE(form_.Load(std::move(options)));
        ::SetForegroundWindow(form_.hWnd());
        ::SetFocus(Edit());
        Pump();
    }
    void TearDown() override {
        ::SetEnvironmentVariableW(L"ComSpec", savedComSpec_.c_str());
        ::DestroyWindow(form_.hWnd());
        // The window ends the message loop when it goes; the next test's window must not see that.
        MSG quit;
        while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    HWND Edit() { return form_.RichEdit().RichEdithWnd(); }
    RichEditMethods& Pane() { return form_.RichEdit().Methods(); }
    static void Pump() {
        for (int i = 0; i < 3; ++i) {
            AcceleratorRouting::PumpPending();
            ::Sleep(5);
        }
    }
    void Type(const std::wstring& text) {
        for (wchar_t c : text) ::PostMessageW(Edit(), WM_CHAR, c, 1);
        Pump();
    }
    void PressKey(HWND to, WPARAM key) {
        ::PostMessageW(to, WM_KEYDOWN, key, 1);
        ::PostMessageW(to, WM_KEYUP, key, 0xC0000001);
        Pump();
    }
    void Enter(const std::wstring& line) {
        Type(line);
        ::PostMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 1);
        ::PostMessageW(Edit(), WM_KEYUP, VK_RETURN, 0xC0000001);
        for (int i = 0; i < 3; ++i) {
            MSG m;
            while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
                AcceleratorRouting::ProcessMessage(m);
            }
            ::Sleep(5);
        }
    }
    std::wstring Text() { return Pane().TextInRangeGet(0, Pane().CharacterCount()); }
    long ColourAt(long position) {
        Pane().SelectionCharRangeSet(position, position + 1);
        const long colour = Pane().FormatColourGet(1);
        CaretToEnd();
        return colour;
    }
    bool BoldAt(long position) {
        Pane().SelectionCharRangeSet(position, position + 1);
        const bool bold = Pane().FormatBoldGet(1);
        CaretToEnd();
        return bold;
    }
    void CaretToEnd() { form_.Console().Renderer().CaretToEnd(); }
    std::wstring Prompt() { return form_.Console().CurrentFolder() + L">"; }
    std::wstring Caption() {
        wchar_t text[512] = {};
        ::GetWindowTextW(form_.hWnd(), text, 512);
        return text;
    }

    std::wstring folder_;
    std::wstring savedComSpec_ = ComSpecValue();
    mainForm form_;
};

TEST_F(ConsoleWindowTest, FirstPromptIsTheStartFolderInBlueBold) {
    ASSERT_EQ(Text(), Prompt());
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_);
    Type(L"abc");
    EXPECT_EQ(ColourAt(0), kPromptColour);
    EXPECT_TRUE(BoldAt(0));
    const long typed = static_cast<long>(Prompt().size());
    EXPECT_EQ(Text(), Prompt() + L"abc");
    EXPECT_EQ(ColourAt(typed), kNormalColour);
    EXPECT_FALSE(BoldAt(typed));
    EXPECT_EQ(Caption(), L"tarvo_console_test - Tarvo");
}

TEST_F(ConsoleWindowTest, StandardErrorIsRedBehindOneMarkPerRead) {
    Enter(Child(L"two-streams"));
    const std::wstring text = Text();
    const auto a = text.find(L"\ra\rb\r");
    const auto mark = text.find(L"STDERR: x\ry\r");
    ASSERT_NE(a, std::wstring::npos) << Visible(text);
    ASSERT_NE(mark, std::wstring::npos) << Visible(text);
    EXPECT_LT(a, mark);
    EXPECT_EQ(Count(text, L"STDERR: "), 1u);
    EXPECT_EQ(ColourAt(static_cast<long>(a + 1)), kNormalColour);
    EXPECT_EQ(ColourAt(static_cast<long>(mark)), kErrorColour);
    EXPECT_EQ(ColourAt(static_cast<long>(mark + 10)), kErrorColour);  // "y"
    // A new prompt follows, in blue again.
    EXPECT_EQ(text.substr(text.size() - Prompt().size()), Prompt());
    EXPECT_EQ(ColourAt(static_cast<long>(text.size() - 1)), kPromptColour);
    EXPECT_FALSE(form_.StopEnabled());
}

TEST_F(ConsoleWindowTest, StandardErrorSplitOverTwoReadsIsMarkedTwice) {
    Enter(Child(L"err-split"));
    const std::wstring text = Text();
    EXPECT_NE(text.find(L"STDERR: first halfSTDERR: second half"), std::wstring::npos) << Visible(text);
}

TEST_F(ConsoleWindowTest, HistoryIsProtectedAndTheCommandIsEditable) {
    Type(L"ec");
    const std::wstring before = Text();
    Pane().SelectionCharRangeSet(1, 1);  // inside the prompt
    Pump();
    Type(L"zz");
    ::PostMessageW(Edit(), WM_KEYDOWN, VK_DELETE, 1);
    Pump();
    EXPECT_EQ(Text(), before);

    const long inputStart = form_.Console().Renderer().InputStart();
    Pane().SelectionCharRangeSet(inputStart + 1, inputStart + 1);  // between "e" and "c"
    Pump();
    Type(L"X");
    EXPECT_EQ(Text(), Prompt() + L"eXc");
}

TEST_F(ConsoleWindowTest, FolderQueriesAndChanges) {
    Enter(L"cd");
    EXPECT_NE(Text().find(L"cd\r" + folder_ + L"\r" + Prompt()), std::wstring::npos);

    const std::wstring parent = folder_.substr(0, folder_.find_last_of(L'\\'));
    Enter(L"cd  ..");
    EXPECT_EQ(form_.Console().CurrentFolder(), parent.size() == 2 ? parent + L"\\" : parent);
    const std::wstring parentName = parent.substr(parent.find_last_of(L'\\') + 1);
    EXPECT_EQ(Caption(), (parent.size() == 2 ? parent + L"\\" : parentName) + L" - Tarvo");

    const std::wstring now = form_.Console().CurrentFolder();
    const long before = Pane().CharacterCount();
    Enter(L"cd nosuch_folder_here");
    const std::wstring text = Text();
    const auto failure = text.find(L"nosuch_folder_here\r", text.find(L"cd nosuch_folder_here") + 5);
    ASSERT_NE(failure, std::wstring::npos);
    EXPECT_EQ(ColourAt(static_cast<long>(failure)), kErrorColour);
    EXPECT_EQ(form_.Console().CurrentFolder(), now);
    EXPECT_GT(Pane().CharacterCount(), before);
}

TEST_F(ConsoleWindowTest, UnsetComSpecGivesTheSystemMessageAndANewPrompt) {
    ::SetEnvironmentVariableW(L"ComSpec", nullptr);
    Enter(L"dir");
    const std::wstring text = Text();
    EXPECT_EQ(Count(text, Prompt()), 2u);
    EXPECT_GT(text.size(), 2 * Prompt().size() + 6);  // some message between the prompts
    EXPECT_FALSE(form_.StopEnabled());
}

TEST_F(ConsoleWindowTest, EnterDuringARunFeedsTheChildAndWritesNoPrompt) {
    bool stopWasEnabled = false;
    Type(Child(L"prompt-read"));
    ::PostMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 1);
    ::PostMessageW(Edit(), WM_KEYUP, VK_RETURN, 0xC0000001);
    // Typed after the child asked: queued behind the first Enter, handled inside the run.
    form_.myConsole().SetMessagePump([&, sent = false]() mutable {
        stopWasEnabled = stopWasEnabled || form_.StopEnabled();
        if (!sent && Text().find(L"Name? ") != std::wstring::npos) {
            sent = true;
            Type(L"hello");
            ::PostMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 1);
        }
        AcceleratorRouting::PumpPending();
    });
    Pump();
    const std::wstring text = Text();
    EXPECT_TRUE(stopWasEnabled);
    EXPECT_NE(text.find(L"Name? hello"), std::wstring::npos);
    // The child's "got:hello" loses the echo of the five characters sent.
    EXPECT_NE(text.find(L"Name? helloello\r"), std::wstring::npos) << Visible(text);
    EXPECT_EQ(Count(text, Prompt()), 2u);
}

TEST_F(ConsoleWindowTest, RecentCommandsAreDistinctInFirstEntryOrder) {
    for (const wchar_t* line : {L"rem one", L"REM ONE", L"rem two", L"rem one", L"", L"cd", L"cd .."}) Enter(line);
    auto& list = form_.PrevCmds().Methods();
    ASSERT_EQ(list.ItemCountGet(), 2);
    EXPECT_EQ(list.ItemGet(0), L"rem one");
    EXPECT_EQ(list.ItemGet(1), L"rem two");
}

TEST_F(ConsoleWindowTest, ChoosingARecentCommandReplacesTheTypedOne) {
    Enter(L"rem first");
    Enter(L"rem second");
    Type(L"half typed");
    const std::wstring history = Text().substr(0, Text().size() - 10);
    auto& list = form_.PrevCmds();
    list.Methods().CurSelIndexSet(0);
    ::SetFocus(list.ListBoxhWnd());
    Pump();
    PressKey(list.ListBoxhWnd(), VK_RETURN);
    EXPECT_EQ(Text(), history + L"rem first");
    EXPECT_EQ(::GetFocus(), Edit());

    list.Methods().CurSelIndexSet(-1);
    ::SetFocus(list.ListBoxhWnd());
    Pump();
    PressKey(list.ListBoxhWnd(), VK_RETURN);
    EXPECT_EQ(Text(), history);
}

}  // namespace
}  // namespace tarvo
