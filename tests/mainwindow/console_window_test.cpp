// The console in the real main window, over the rich edit, the system and real
// children, driven by keystrokes as a user would. The rules themselves are
// checked over a fake pane in the console's own tests.
#include <gtest/gtest.h>

#include <string>

#include "common/win_api_error.h"
#include "main_form_fixture.h"
#include "test_support.h"

namespace tarvo {
namespace {

using test::Child;
using test::Visible;

class ConsoleWindowTest : public test::MainFormFixture {
protected:
    void SetUp() override { Open(L"tarvo_console_test", L"Software\\TarvoTest\\ConsoleWindow"); }

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
    // A system message as the pane keeps it, a line break as CR alone.
    static std::wstring Message(DWORD code) {
        std::wstring text = ApiErrorText(code);
        std::erase(text, L'\n');
        return text;
    }
};

TEST_F(ConsoleWindowTest, PromptIsBlueBoldAndOnlyTheCommandIsEditableEvenByUndo) {
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
    Enter(L"");
    const std::wstring history = Text();
    for (int i = 0; i < 4; ++i) Chord({VK_CONTROL}, 'Z');
    EXPECT_EQ(Text(), history);
}

TEST_F(ConsoleWindowTest, StandardErrorIsRedBehindOneMarkPerRead) {
    const std::wstring run = EnterAndRead(Child(L"two-streams"));
    ASSERT_EQ(run, Child(L"two-streams") + L"\ra\rb\rSTDERR: x\ry\r\r" + Prompt()) << Visible(run);
    const std::size_t mark = Text().size() - run.size() + run.find(L"STDERR");
    EXPECT_EQ(FormatAt(mark - 2), 0x000000);
    EXPECT_EQ(FormatAt(mark), 0x0000FF);
    EXPECT_EQ(FormatAt(mark + 10), 0x0000FF);  // "y"
    EXPECT_EQ(FormatAt(Text().size() - 1), 0x1FF0000);
    EXPECT_FALSE(form_.StopEnabled());
}

TEST_F(ConsoleWindowTest, FolderChangesStopAtTheLongestCurrentDirectoryAndNothingRunsInAFolderGone) {
    // Full forms of 258 and 259 characters: a current directory holds the first, not the second.
    const std::wstring fits(258 - folder_.size() - 1, L'f'), tooLong(259 - folder_.size() - 1, L'g');
    for (const auto& name : {fits, tooLong}) ::CreateDirectoryW((L"\\\\?\\" + folder_ + L"\\" + name).c_str(), nullptr);
    EXPECT_EQ(EnterAndRead(L"cd " + tooLong),
              L"cd " + tooLong + L"\r" + Message(ERROR_FILENAME_EXCED_RANGE) + tooLong + L"\r\r" + Prompt());
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_);
    Enter(L"cd " + fits);
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_ + L"\\" + fits);
    EXPECT_EQ(test::Caption(form_.hWnd()), fits + L" - Tarvo");
    Enter(L"cd ..");
    for (const auto& name : {fits, tooLong}) ::RemoveDirectoryW((L"\\\\?\\" + folder_ + L"\\" + name).c_str());

    const std::wstring gone = folder_ + L"\\gone";
    ::CreateDirectoryW(gone.c_str(), nullptr);
    Enter(L"cd gone");
    ::SetCurrentDirectoryW(folder_.c_str());  // a process's current directory cannot be removed
    ASSERT_TRUE(::RemoveDirectoryW(gone.c_str()));
    const std::wstring missing = L"\r" + Message(ERROR_PATH_NOT_FOUND) + gone + L"\r\r" + Prompt();
    EXPECT_EQ(EnterAndRead(L"start dir"), L"start dir" + missing);
    EXPECT_EQ(EnterAndRead(L"dir"), L"dir" + missing);
    EXPECT_EQ(FormatAt(Text().size() - missing.size() + 1), 0x0000FF);
    EXPECT_FALSE(form_.StopEnabled());
}

TEST_F(ConsoleWindowTest, RecentCommandsAreDistinctInFirstEntryOrderAndReplaceTheTypedOne) {
    for (const wchar_t* line : {L"cls", L"dir", L"DIR", L"dir", L"cls", L"", L"cd", L"cd .."}) Enter(line);
    auto& list = form_.PrevCmds().Methods();
    ASSERT_EQ(list.ItemCountGet(), 2);
    EXPECT_EQ(list.ItemGet(0) + L"|" + list.ItemGet(1), L"cls|dir");

    Type(L"half typed");
    const std::wstring history = Text().substr(0, Text().size() - 10);
    const HWND box = form_.PrevCmds().ListBoxhWnd();
    list.CurSelIndexSet(1);
    ::SetFocus(box);
    test::PostKey(box, VK_RETURN);
    Pump();
    EXPECT_EQ(Text(), history + L"dir");
    EXPECT_EQ(::GetFocus(), Edit());

    list.CurSelIndexSet(0);  // the first click of the double-click
    RECT item{};
    ::SendMessageW(box, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    ::PostMessageW(box, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(item.left + 2, item.top + 2));
    ::PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(item.left + 2, item.top + 2));
    Pump();
    EXPECT_EQ(Text(), history + L"cls");
}

}  // namespace
}  // namespace tarvo
