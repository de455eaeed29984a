// The console over a thousand commands of every kind, through the real main
// window driven by keystrokes and clicks: once the warm-up is over, what the
// process holds must not grow with the number of commands. Counts only.
#include <windows.h>
#include <richedit.h>
#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "common/library_search.h"
#include "console/console_system.h"
#include "main_form_fixture.h"
#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

constexpr int kCommands = 1000;
constexpr int kWarmUpCommands = 100;
// After the warm-up the program's caches are full (fonts per kind, the rich
// edit's prompt and error styles, shared icons). What may still move is the
// system's own: thread-pool workers, a handle each, come and go with the load,
// and the system may cache an object on a late first use. A leak of one per
// command would add 900, of one per cycle of twelve commands 75. Every window
// is the program's own.
constexpr long kAllowance = 8;
// Heaps grow in blocks; and a pane written piece by piece may hold more text
// runs than the same text put in at once, which is what the copy measures.
constexpr long long kMemorySlackBytes = 1 << 20;
constexpr long long kCopyFactorPercent = 125;

struct Rtf {
    std::string bytes;
    std::size_t next = 0;
};

DWORD CALLBACK CollectRtf(DWORD_PTR cookie, LPBYTE bytes, LONG size, LONG* done) {
    reinterpret_cast<Rtf*>(cookie)->bytes.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    *done = size;
    return 0;
}

DWORD CALLBACK HandOutRtf(DWORD_PTR cookie, LPBYTE bytes, LONG size, LONG* done) {
    auto& rtf = *reinterpret_cast<Rtf*>(cookie);
    *done = static_cast<LONG>(rtf.bytes.copy(reinterpret_cast<char*>(bytes), static_cast<std::size_t>(size), rtf.next));
    rtf.next += static_cast<std::size_t>(*done);
    return 0;
}

void Stream(HWND pane, UINT message, WPARAM format, Rtf& rtf, EDITSTREAMCALLBACK callback) {
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, callback};
    ::SendMessageW(pane, message, format, reinterpret_cast<LPARAM>(&stream));
}

class ConsoleSoakTest : public test::MainFormFixture {
protected:
    void SetUp() override {
        RestrictLibrarySearch();  // as the program runs
        Open(L"tarvo_soak_test", L"Software\\TarvoTest\\Soak");
        ::CreateDirectoryW((folder_ + L"\\Inner").c_str(), nullptr);
    }

    // Counts the command; the warm-up ends with the counts taken.
    void Done() {
        if (++commands_ != kWarmUpCommands) return;
        warm_ = test::CountResources();
        warmPaneLength_ = Pane().CharacterCount();
    }
    void Command(const std::wstring& line) {
        Enter(line);
        Done();
    }
    void FailingStart() {
        const std::wstring saved = ComSpecValue();
        ::SetEnvironmentVariableW(L"ComSpec", (folder_ + L"\\no_such_interpreter.exe").c_str());
        Command(L"dir");
        ::SetEnvironmentVariableW(L"ComSpec", saved.c_str());
    }
    // The click on the stop button waits in the queue behind Enter, so the
    // runner's pump takes it while the child waits for its input.
    void StoppedRun() {
        const HWND stop = form_.ToolBtn(kStopWaiting).hwnd();
        form_.Console().Renderer().CaretToEnd();
        test::PostText(Edit(), L"set /p soak=");
        test::PostKey(Edit(), VK_RETURN);
        ::PostMessageW(stop, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        ::PostMessageW(stop, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        Pump();
        Done();
    }
    // Puts the recent command in place of the typed text, then runs it.
    void RecallAndRun(const std::wstring& line) {
        Type(L"typed");
        const HWND box = form_.PrevCmds().ListBoxhWnd();
        const auto index = ::SendMessageW(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(line.c_str()));
        form_.PrevCmds().Methods().CurSelIndexSet(static_cast<std::int32_t>(index));
        ::SetFocus(box);
        test::PostKey(box, VK_RETURN);
        Pump();
        test::PostKey(Edit(), VK_RETURN);
        Pump();
        Done();
    }
    void Find(const std::wstring& text) {
        const HWND box = form_.InputFind().EdithWnd();
        ::SetFocus(box);
        ::PostMessageW(box, EM_SETSEL, 0, -1);
        test::PostText(box, text);
        test::PostKey(box, VK_RETURN);
        Pump();
        ::SetFocus(Edit());
        Done();
    }

    // Every kind of command the console handles, in twelve commands.
    void Cycle(int number) {
        const std::wstring output = L"echo soak output " + std::to_wstring(number);  // a new recent command each time
        Command(output);
        Command(L"echo soak error 1>&2");
        FailingStart();
        Command(L"start rem");
        Command(number % 2 ? L"cd Inner" : L"CD Inner");  // recorded once whatever the case
        Command(L"cd ..");
        Command(L"cd no_such_soak_folder");
        Command(folder_.substr(0, 2));  // the drive's root
        Command(L"cd " + folder_);
        RecallAndRun(output);
        Find(L"soak error");
        StoppedRun();
    }

    // Private bytes the text added to the pane since the warm-up costs when put
    // afresh with its formats into a rich edit; the recent commands are few.
    long long CostOfNewContent() {
        Rtf rtf;
        ::SendMessageW(Edit(), EM_SETSEL, warmPaneLength_, -1);
        Stream(Edit(), EM_STREAMOUT, SF_RTF | SFF_SELECTION, rtf, CollectRtf);
        form_.Console().Renderer().CaretToEnd();
        unique_hwnd pane(::CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD | ES_MULTILINE, 0, 0, 400, 300,
                                           form_.hWnd(), nullptr, nullptr, nullptr));
        ::SendMessageW(pane.get(), EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
        const long long before = test::CountResources().privateBytes;
        Stream(pane.get(), EM_STREAMIN, SF_RTF, rtf, HandOutRtf);
        return test::CountResources().privateBytes - before;
    }

    int commands_ = 0;
    test::ResourceCounts warm_;
    long warmPaneLength_ = 0;
};

TEST_F(ConsoleSoakTest, AThousandCommandsOfEveryKindLeaveNothingBehindOnceWarm) {
    int cycles = 0;
    while (commands_ < kCommands) Cycle(++cycles);
    Pump();
    const test::ResourceCounts last = test::CountResources();
    std::cout << "after " << kWarmUpCommands << " commands: " << test::Describe(warm_) << "\n"
              << "after " << commands_ << " commands: " << test::Describe(last) << "\n";

    // Every kind of command did its work to the end.
    const std::wstring text = Text();
    const auto times = [&](const std::wstring& part) { return static_cast<int>(test::Count(text, part)); };
    EXPECT_EQ(times(L"STDERR: soak error"), cycles);
    EXPECT_EQ(times(L"\rsoak output "), 2 * cycles);
    EXPECT_EQ(times(L"set /p soak=\r\r" + Prompt()), cycles);
    EXPECT_EQ(times(L"\\Inner>cd ..\r"), cycles);
    EXPECT_EQ(times(folder_.substr(0, 2) + L"\\>cd " + folder_ + L"\r"), cycles);
    EXPECT_EQ(beeps_, 0);
    EXPECT_EQ(form_.Console().CurrentFolder(), folder_);
    EXPECT_EQ(form_.PrevCmds().Methods().ItemCountGet(), cycles + 8) << "each other kind once, whatever its case";

    EXPECT_LE(last.handles, warm_.handles + kAllowance);
    EXPECT_LE(last.gdiObjects, warm_.gdiObjects + kAllowance);
    EXPECT_LE(last.userObjects, warm_.userObjects + kAllowance);
    EXPECT_LE(last.windows, warm_.windows);
    const long long contentCost = CostOfNewContent();
    std::cout << "the text added to the pane costs " << contentCost << " bytes afresh\n";
    EXPECT_LE(last.privateBytes - warm_.privateBytes, contentCost * kCopyFactorPercent / 100 + kMemorySlackBytes);
}

}  // namespace
}  // namespace tarvo
