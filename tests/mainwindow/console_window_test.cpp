// The console end to end: the real main window, its rich edit pane and the real
// command interpreter, driven by keystrokes as a user would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/command_controller.h"
#include "console/output_renderer.h"
#include "controls/accelerator_routing.h"
#include "fast_writer_text.h"
#include "common/win_api_error.h"
#include "main_form_fixture.h"
#include "test_support.h"

namespace tarvo {
namespace {

using test::Child;
using test::Count;
using test::Visible;

// The pane keeps a line break as CR alone.
template <typename Text>
std::wstring InPane(const Text& text) {
    std::wstring shown;
    for (auto c : text) {
        if (c != '\n') shown.push_back(static_cast<wchar_t>(c));
    }
    return shown;
}

class ConsoleWindowTest : public test::MainFormFixture {
protected:
    void SetUp() override { Open(L"tarvo_console_test", L"Software\\TarvoTest\\ConsoleWindow"); }

    // The colour and boldness of one character; the caret goes back to the end.
    std::pair<long, bool> FormatAt(std::size_t position) {
        const auto at = static_cast<long>(position);
        Pane().SelectionCharRangeSet(at, at + 1);
        const std::pair<long, bool> format{Pane().FormatColourGet(1), Pane().FormatBoldGet(1)};
        form_.Console().Renderer().CaretToEnd();
        return format;
    }
    long ColourAt(std::size_t position) { return FormatAt(position).first; }
    void CaretAt(long position) {
        Pane().SelectionCharRangeSet(position, position);
        Pump();
    }
};

TEST_F(ConsoleWindowTest, PromptIsBlueBoldTypedTextPlainAndOnlyTheCommandEditable) {
    ASSERT_EQ(Text(), Prompt());
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_);
    EXPECT_EQ(test::Caption(form_.hWnd()), L"tarvo_console_test - Tarvo");
    Type(L"ec");
    EXPECT_EQ(FormatAt(0), std::make_pair(0xFF0000L, true));
    EXPECT_EQ(FormatAt(Prompt().size()), std::make_pair(0x000000L, false));

    const std::wstring before = Text();
    CaretAt(1);  // inside the prompt
    Type(L"zz");
    test::PostKey(Edit(), VK_DELETE);
    Pump();
    EXPECT_EQ(Text(), before);

    CaretAt(form_.Console().Renderer().InputStart() + 1);  // between "e" and "c"
    Type(L"X");
    EXPECT_EQ(Text(), Prompt() + L"eXc");
}

TEST_F(ConsoleWindowTest, StandardErrorIsRedBehindOneMarkPerRead) {
    Enter(Child(L"two-streams"));
    std::wstring text = Text();
    const auto a = text.find(L"\ra\rb\r");
    const auto mark = text.find(L"STDERR: x\ry\r");
    ASSERT_NE(a, std::wstring::npos) << Visible(text);
    ASSERT_NE(mark, std::wstring::npos) << Visible(text);
    EXPECT_LT(a, mark);
    EXPECT_EQ(Count(text, L"STDERR: "), 1u);
    EXPECT_EQ(ColourAt(a + 1), 0x000000L);
    EXPECT_EQ(ColourAt(mark), 0x0000FFL);
    EXPECT_EQ(ColourAt(mark + 10), 0x0000FFL);  // "y"
    EXPECT_EQ(text.substr(text.size() - Prompt().size()), Prompt());
    EXPECT_EQ(ColourAt(text.size() - 1), 0xFF0000L);
    EXPECT_FALSE(form_.StopEnabled());

    Enter(Child(L"err-split"));
    text = Text();
    EXPECT_NE(text.find(L"STDERR: first halfSTDERR: second half"), std::wstring::npos) << Visible(text);
}

TEST_F(ConsoleWindowTest, FolderQueriesAndChanges) {
    Enter(L"cd");
    EXPECT_NE(Text().find(L"cd\r" + folder_ + L"\r" + Prompt()), std::wstring::npos) << Visible(Text());

    const std::wstring parent = folder_.substr(0, folder_.find_last_of(L'\\'));
    const bool parentIsRoot = parent.size() == 2;
    Enter(L"cd  ..");
    EXPECT_EQ(form_.Console().CurrentFolder(), parentIsRoot ? parent + L"\\" : parent);
    EXPECT_EQ(test::Caption(form_.hWnd()),
              (parentIsRoot ? parent + L"\\" : parent.substr(parent.find_last_of(L'\\') + 1)) + L" - Tarvo");

    const std::wstring now = form_.Console().CurrentFolder();
    Enter(L"cd nosuch_folder_here");
    const std::wstring text = Text();
    const auto message = text.find(L'\r', text.find(L"cd nosuch_folder_here")) + 1;
    const auto failure = text.find(L"nosuch_folder_here\r", message);
    ASSERT_NE(failure, std::wstring::npos) << Visible(text);
    EXPECT_GT(failure, message + 5) << "the system's text comes before the name";
    EXPECT_EQ(ColourAt(message), 0x0000FFL);
    EXPECT_EQ(ColourAt(failure), 0x0000FFL);
    EXPECT_EQ(form_.Console().CurrentFolder(), now);

    form_.Console().ChangeFolder(L"");
    EXPECT_GT(Text().size(), text.size() + 2);
    EXPECT_EQ(Text().substr(Text().size() - 2), L"\r\r") << "the message's own line break, then the one after the path";
}

TEST_F(ConsoleWindowTest, AFolderTooLongForACurrentDirectoryIsRefused) {
    // Full forms of 258 and 259 characters: a current directory holds the first, not the second.
    const std::wstring fits(258 - folder_.size() - 1, L'f'), tooLong(259 - folder_.size() - 1, L'g');
    struct Folders {
        std::vector<std::wstring> paths;
        ~Folders() {
            for (const auto& path : paths) ::RemoveDirectoryW(path.c_str());
        }
    } made{{L"\\\\?\\" + folder_ + L"\\" + fits, L"\\\\?\\" + folder_ + L"\\" + tooLong}};
    for (const auto& path : made.paths) ::CreateDirectoryW(path.c_str(), nullptr);
    const std::wstring caption = test::Caption(form_.hWnd());

    Enter(L"cd " + tooLong);
    const std::wstring text = Text();
    const std::wstring refusal = L"\r" + InPane(ApiErrorText(ERROR_FILENAME_EXCED_RANGE)) + tooLong + L"\r\r" + Prompt();
    ASSERT_EQ(text.substr(text.size() - refusal.size()), refusal) << Visible(text);
    EXPECT_EQ(ColourAt(text.size() - refusal.size() + 1), 0x0000FFL);
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_);
    EXPECT_EQ(test::Caption(form_.hWnd()), caption);

    Enter(L"cd " + fits);
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_ + L"\\" + fits);
    Enter(L"cd ..");
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_);
}

TEST_F(ConsoleWindowTest, NothingRunsInAConsoleFolderDeletedFromOutside) {
    const std::wstring gone = folder_ + L"\\gone";
    ::CreateDirectoryW(gone.c_str(), nullptr);
    Enter(L"cd gone");
    ASSERT_EQ(form_.Console().CurrentFolder(), gone);
    // Windows does not remove a process's current directory; the console still shows "gone".
    ::SetCurrentDirectoryW(folder_.c_str());
    ASSERT_TRUE(::RemoveDirectoryW(gone.c_str()));
    bool ran = false;
    form_.myConsole().MessagePump([&] {
        ran = true;
        form_.PumpDuringRun();
    });

    for (const wchar_t* line : {L"dir", L"start dir"}) {
        const std::wstring before = Text();
        Enter(line);
        const std::wstring text = Text();
        const std::wstring missing =
            std::wstring(line) + L"\r" + InPane(ApiErrorText(ERROR_PATH_NOT_FOUND)) + gone + L"\r\r" + Prompt();
        EXPECT_EQ(text.substr(before.size()), missing) << Visible(text);
        EXPECT_EQ(ColourAt(before.size() + wcslen(line) + 1), 0x0000FFL);
    }
    EXPECT_FALSE(ran);
    EXPECT_EQ(form_.Console().CurrentFolder(), gone);
    EXPECT_FALSE(form_.StopEnabled());
}

TEST_F(ConsoleWindowTest, UndoRedoDragAndImeLeaveTheHistoryAsItWas) {
    for (const wchar_t* line : {L"echo one", L"cd", L"echo two"}) Enter(line);
    const std::wstring history = Text();
    auto undoAndRedo = [&] {
        for (WORD key : {'Z', 'Y'}) {
            for (int i = 0; i < 5; ++i) Chord({VK_CONTROL}, key);
            EXPECT_EQ(Text().substr(0, history.size()), history) << Visible(Text());
        }
        for (UINT message : {EM_UNDO, WM_UNDO, EM_UNDO, EM_REDO}) ::SendMessageW(Edit(), message, 0, 0);
        Pump();
        EXPECT_EQ(Text().substr(0, history.size()), history) << Visible(Text());
    };
    undoAndRedo();
    EXPECT_EQ(Text(), history);
    Type(L"abc");
    undoAndRedo();

    // Dragging "one" from the history onto the command being typed.
    const long one = static_cast<long>(history.find(L"one"));
    Pane().SelectionCharRangeSet(one, one + 3);
    Pump();
    DragInPane(one + 1, Pane().CharacterCount());
    EXPECT_EQ(Text().substr(0, history.size()), history) << Visible(Text());

    test::SetClipboardText(form_.hWnd(), L"pasted");
    Pane().SelectionCharRangeSet(one, one + 3);
    form_.ToolBtn_Click(kPaste);  // as the Edit menu pastes
    CaretAt(one);
    ::SendMessageW(Edit(), WM_IME_CHAR, L'x', 1);
    Pump();
    EXPECT_EQ(Text().substr(0, history.size()), history) << Visible(Text());
}

TEST_F(ConsoleWindowTest, UnsetComSpecGivesTheSystemMessageAndANewPrompt) {
    const std::wstring saved = ComSpecValue();
    ::SetEnvironmentVariableW(L"ComSpec", nullptr);
    Enter(L"dir");
    ::SetEnvironmentVariableW(L"ComSpec", saved.c_str());
    const std::wstring text = Text();
    EXPECT_EQ(Count(text, Prompt()), 2u) << Visible(text);
    EXPECT_GT(text.size(), 2 * Prompt().size() + 6) << "no message between the prompts";
    EXPECT_FALSE(form_.StopEnabled());
}

TEST_F(ConsoleWindowTest, EnterDuringARunFeedsTheChildTheTypedLineAloneOnItsOwnLine) {
    bool stopWasEnabled = false;
    // Typed after the child asked: queued behind the first Enter, handled inside the run.
    form_.myConsole().MessagePump([&, sent = false]() mutable {
        stopWasEnabled = stopWasEnabled || form_.StopEnabled();
        if (!sent && Text().find(L"Name? ") != std::wstring::npos) {
            sent = true;
            test::PostText(Edit(), L"hello");
            ::PostMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 1);
        }
        form_.PumpDuringRun();
    });
    Enter(Child(L"prompt-read"));
    const std::wstring text = Text();
    EXPECT_TRUE(stopWasEnabled);
    // The child's answer does not echo the line, so none of it is lost.
    EXPECT_NE(text.find(L"\rName? hello\rgot:hello\r\r" + Prompt()), std::wstring::npos) << Visible(text);
    EXPECT_EQ(Count(text, Prompt()), 2u);
}

TEST_F(ConsoleWindowTest, ABatchReadingLinesGetsExactlyEachTypedLineAndLaterCommandsLoseNothing) {
    ASSERT_TRUE(test::WriteFileBytes(folder_ + L"\\reader.bat", "@echo off\r\nset /p a=\r\necho [%a%]\r\n"
                                     "set /p b=\r\necho [%b%]\r\nset /p c=\r\necho [%c%]\r\n"));
    form_.myConsole().MessagePump([&, step = 0]() mutable {
        const std::wstring text = Text();
        if (step == 0 && form_.myConsole().Busy()) {
            ++step;  // the batch prints nothing before it reads
            test::PostText(Edit(), L"hello42");
            ::PostMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 1);
        } else if (step == 1 && text.find(L"[hello42]") != std::wstring::npos) {
            ++step;  // two lines before the batch answers: each goes alone
            test::PostText(Edit(), L"first");
            ::PostMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 1);
            test::PostText(Edit(), L"second");
            ::PostMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 1);
        }
        form_.PumpDuringRun();
    });
    Enter(L"reader.bat");
    std::wstring text = Text();
    const std::wstring run = L"reader.bat\rhello42\r[hello42]\rfirst\rsecond\r[first]\r[second]\r\r" + Prompt();
    EXPECT_EQ(text.substr(text.size() - run.size()), run) << Visible(text.substr(text.size() - 120));

    form_.myConsole().MessagePump([&] { form_.PumpDuringRun(); });
    Enter(L"echo hello");
    Enter(L"echo world");
    text = Text();
    const std::wstring later = L"echo hello\rhello\r\r" + Prompt() + L"echo world\rworld\r\r" + Prompt();
    EXPECT_EQ(text.substr(text.size() - later.size()), later) << Visible(text.substr(text.size() - 120));
}

TEST_F(ConsoleWindowTest, CommandsTypedAheadRunWholeInOrderAndAreRecordedOnce) {
    std::wstring expected;
    for (int i = 0; i < 10; ++i) {  // all queued before the first one runs
        test::PostText(Edit(), L"echo q" + std::to_wstring(i));
        test::PostKey(Edit(), VK_RETURN);
        expected += L"echo q" + std::to_wstring(i) + L"\rq" + std::to_wstring(i) + L"\r\r" + Prompt();
    }
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            AcceleratorRouting::PumpPending();
            return form_.PrevCmds().Methods().ItemCountGet() == 10 && !form_.myConsole().Busy();
        },
        60000));
    Pump();
    EXPECT_EQ(Text(), Prompt() + expected);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(form_.PrevCmds().Methods().ItemGet(i), L"echo q" + std::to_wstring(i));
}

TEST_F(ConsoleWindowTest, RecentCommandsAreDistinctInFirstEntryOrderAndReplaceTheTypedOne) {
    for (const wchar_t* line : {L"cls", L"dir", L"DIR", L"dir", L"cls", L"", L"cd", L"cd .."}) Enter(line);
    auto& list = form_.PrevCmds();
    ASSERT_EQ(list.Methods().ItemCountGet(), 2);
    EXPECT_EQ(list.Methods().ItemGet(0), L"cls");
    EXPECT_EQ(list.Methods().ItemGet(1), L"dir");

    Type(L"half typed");
    const std::wstring history = Text().substr(0, Text().size() - 10);
    const HWND box = list.ListBoxhWnd();
    list.Methods().CurSelIndexSet(1);
    ::SetFocus(box);
    test::PostKey(box, VK_RETURN);
    Pump();
    EXPECT_EQ(Text(), history + L"dir");
    EXPECT_EQ(::GetFocus(), Edit());

    list.Methods().CurSelIndexSet(0);  // the first click of the double-click
    RECT item{};
    ::SendMessageW(box, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    ::PostMessageW(box, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(item.left + 2, item.top + 2));
    ::PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(item.left + 2, item.top + 2));
    Pump();
    EXPECT_EQ(Text(), history + L"cls");

    list.Methods().CurSelIndexSet(-1);
    ::SetFocus(box);
    test::PostKey(box, VK_RETURN);
    Pump();
    EXPECT_EQ(Text(), history);
}

TEST_F(ConsoleWindowTest, AFastWritersOutputArrivesWholeInOrderWithAMarkPerErrorRead) {
    // 2 MiB in 32 writes of 64 KiB, a line on standard error after every 8th.
    Enter(Child(L"fast 2097152 8"));
    const std::wstring text = Text();
    const auto begin = text.find(L"o0000000 ");
    ASSERT_NE(begin, std::wstring::npos) << Visible(text.substr(0, 300));
    const std::wstring ending = L"\r" + Prompt();
    ASSERT_EQ(text.substr(text.size() - ending.size()), ending);

    std::wstring out, errors;
    std::size_t marks = 0, firstMark = 0;
    std::vector<std::size_t> afterErrors;  // the first standard output after each read of standard error
    const std::wstring mark = L"STDERR: ";
    for (std::size_t i = begin; i < text.size() - ending.size();) {
        if (text.compare(i, mark.size(), mark) != 0) {
            out.push_back(text[i++]);
            continue;
        }
        if (marks++ == 0) firstMark = i;
        i += mark.size();
        ASSERT_EQ(text[i], L'e') << "a mark starts every read of standard error";
        while (text[i] == L'e' && text[i + 7] == L'\r') {
            errors += text.substr(i, 8);
            i += 8;
        }
        if (i < text.size() - ending.size()) afterErrors.push_back(i);
    }
    EXPECT_EQ(out, InPane(test::FastWriterText(2097152)));
    EXPECT_EQ(errors, L"e000001\re000002\re000003\re000004\r");
    EXPECT_GE(marks, 1u);
    EXPECT_LE(marks, 4u);
    EXPECT_EQ(ColourAt(begin), 0x000000);
    EXPECT_EQ(ColourAt(firstMark), 0x0000FF);
    EXPECT_EQ(ColourAt(firstMark + 8), 0x0000FF);
    for (std::size_t at : afterErrors) EXPECT_EQ(ColourAt(at), 0x000000) << "standard output after an error read";
    EXPECT_FALSE(form_.StopEnabled());
}

TEST_F(ConsoleWindowTest, AfterAMegabyteOfOutputTheNextCommandIsTypedAndRunAndTheScrollBarReachesTheEnd) {
    Enter(Child(L"fast 1048576 0"));
    Enter(L"echo typed after");
    const std::wstring text = Text();
    const std::wstring ending = L"lazy\r\r" + Prompt() + L"echo typed after\rtyped after\r\r" + Prompt();
    ASSERT_GE(text.size(), ending.size());
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending) << Visible(text.substr(text.size() - 200));

    EXPECT_NE(::GetWindowLongW(Edit(), GWL_STYLE) & WS_VSCROLL, 0);
    SCROLLINFO bar{sizeof(bar), SIF_ALL};
    ASSERT_TRUE(::GetScrollInfo(Edit(), SB_VERT, &bar));
    EXPECT_GT(bar.nMax - bar.nMin, static_cast<int>(bar.nPage) * 100) << "21,845 lines are far more than a page";
    ::SendMessageW(Edit(), WM_VSCROLL, SB_BOTTOM, 0);
    Pump();
    const long lines = Pane().LineCount();
    const long first = Pane().FirstVisibleLine();
    EXPECT_GT(first, lines - 60) << "the last line is in view at the bottom";
    EXPECT_LT(first, lines);
}

TEST_F(ConsoleWindowTest, ClosingDuringARunAbandonsTheChildAndClosesWithTheWindowSaved) {
    const HWND window = form_.hWnd();
    std::wstring childId;
    form_.myConsole().MessagePump([&] {
        // The child's first line is its process id.
        const std::wstring text = Text();
        const auto start = text.find(L" 30000\r"), end = text.find(L'\r', start + 7);
        if (childId.empty() && start != std::wstring::npos && end != std::wstring::npos) {
            childId = text.substr(start + 7, end - start - 7);
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
        form_.PumpDuringRun();
    });
    Enter(Child(L"pid-sleep 30000"));
    Pump();
    ASSERT_FALSE(::IsWindow(window)) << Visible(Text());
    const DWORD id = std::wcstoul(childId.c_str(), nullptr, 10);
    unique_handle child(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    ASSERT_TRUE(child) << "the child is abandoned, not ended: " << Visible(childId);
    EXPECT_EQ(::WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ::TerminateProcess(child.get(), 0);
    for (const wchar_t* name : {L"WindowState", L"WindowTop", L"WindowLeft", L"WindowWidth", L"WindowHeight"}) {
        EXPECT_TRUE(test::RegNumber(HKEY_CURRENT_USER, settingsKey_, name)) << Visible(name);
    }
}

}  // namespace
}  // namespace tarvo
