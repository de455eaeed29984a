// The help browser on real windows under a temporary program folder whose
// help pages the test writes itself.
#include "mainwindow/help_frm.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "controls/accelerator_routing.h"
#include "test_support.h"

namespace tarvo {
namespace {

TEST(HelpFrm, PagesLinkToOtherPagesInAnyCaseTheButtonsSitAsLaidOutAndFollowTheHistoryAndCloseOnlyHides) {
    test::TempProgramFolder folder;
    // Only files ending in exactly ".rtf" are pages, even one named ".rtf" alone.
    for (auto [file, text] : {std::pair{L"index.rtf", "Welcome. Read Alpha, then Beta. Upper, Folder, Notes."},
                              {L"Alpha.rtf", "This is Alpha. Next comes Beta, later Gamma; or go to the index."},
                              {L"Beta.rtf", "Beta talks about the alphabet and ALPHA, not beta."},
                              {L"Gamma.rtf", "Gamma."}, {L"Upper.RTF", "x"}, {L"Notes.txt", "x"}, {L".rtf", "x"}}) {
        folder.WriteFile(std::wstring(L"help\\") + file, std::string("{\\rtf1\\ansi ") + text + "\\par}");
    }
    ::CreateDirectoryW((folder.Path() + L"\\help\\Folder.rtf").c_str(), nullptr);
    HelpFrm help;
    ASSERT_TRUE(help.Load(folder.Path()));
    AcceleratorRouting::PumpPending();
    const auto marked = [&] {  // the page shown with its links in brackets
        const std::wstring text = help.ShownText();
        std::wstring marked;
        bool inLink = false;
        for (long at = 0; at < static_cast<long>(text.size()); ++at) {
            help.RichHelp().Methods().SelectionCharRangeSet(at, at + 1);
            const bool link = help.RichHelp().Methods().FormatLinkGet(1);
            if (link != std::exchange(inLink, link)) marked += link ? L'[' : L']';
            if (text[at] != L'\r') marked += text[at];  // the last paragraph's mark comes and goes
        }
        return marked;
    };
    const auto state = [&] {  // the history with the current page starred, then Back, Home and Forward as enabled or not
        std::wstring state;
        for (std::size_t i = 0; i < help.History().size(); ++i)
            state += (i + 1 == help.HistoryPos() ? L"*" : L"") + help.History()[i] + L" ";
        for (auto [button, name] : {std::pair{HelpFrm::kBack, L'<'}, {HelpFrm::kHome, L'H'}, {HelpFrm::kForward, L'>'}}) {
            state += help.ToolBtn(button).Enabled() ? name : L'-';
        }
        return state;
    };
    const auto clickLink = [&](const std::wstring& word) {  // what the pane raises when the left button is released on it
        short message = WM_LBUTTONUP;
        long start = static_cast<long>(help.ShownText().find(word)), end = start + static_cast<long>(word.size());
        help.RichHelp().LinkOver(message, start, end);
        AcceleratorRouting::PumpPending();
    };

    EXPECT_EQ(std::set(help.Pages().begin(), help.Pages().end()),
              (std::set<std::wstring>{L"", L"Alpha", L"Beta", L"Gamma", L"index"}));
    // The last of the three buttons on the strip above the pane, in a client area of 9165 x 7830 twips.
    const RECT forward = test::RectInParent(help.ToolBtn(HelpFrm::kForward).hwnd());
    EXPECT_EQ(std::to_wstring(forward.left) + L"-" + std::to_wstring(forward.right) + L" " + test::Caption(help.hWnd()) + L" " +
                  std::to_wstring(ClientSize(help.hWnd()).cx) + L"x" + std::to_wstring(ClientSize(help.hWnd()).cy),
              L"86-114 Help browser - Tarvo2 611x522");
    EXPECT_EQ(state(), L"*index ---");
    EXPECT_EQ(marked(), L"Welcome. Read [Alpha], then [Beta]. Upper, Folder, Notes.");
    clickLink(L"Alpha");
    clickLink(L"Beta");
    EXPECT_EQ(marked(), L"Beta talks about the [alpha]bet and [ALPHA], not beta.");
    std::wstring log;
    for (int button : {HelpFrm::kBack, HelpFrm::kForward, HelpFrm::kBack, HelpFrm::kHome, HelpFrm::kBack,
                       HelpFrm::kForward, HelpFrm::kBack, HelpFrm::kBack, HelpFrm::kBack}) {
        help.ToolBtn_Click(button);
        log += state() + L"\n";
    }
    EXPECT_EQ(log, L"index *Alpha Beta <H>\nindex Alpha *Beta <H-\nindex *Alpha Beta <H>\nindex Alpha *index <--\n"
                   L"index *Alpha index <H>\nindex Alpha *index <--\nindex *Alpha index <H>\n*index Alpha index -->\n"
                   L"*index Alpha index -->\n");
    clickLink(L"Alpha");
    EXPECT_EQ(state(), L"index *Alpha <H-") << "a link after Back drops the forward entries";
    EXPECT_EQ(marked(), L"This is Alpha. Next comes [Beta], later [Gamma]; or go to the [index].");

    // A missing page changes only the position.
    clickLink(L"Beta");
    ::DeleteFileW((folder.Path() + L"\\help\\Alpha.rtf").c_str());
    help.ToolBtn_Click(HelpFrm::kBack);
    EXPECT_EQ(state(), L"index *Alpha Beta <H-");
    EXPECT_EQ(marked(), L"Beta talks about the [alpha]bet and [ALPHA], not beta.");

    ::ShowWindow(help.hWnd(), SW_MINIMIZE);
    ::SendMessageW(help.hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(::IsWindow(help.hWnd()) && !::IsWindowVisible(help.hWnd()));
    help.Show();
    EXPECT_TRUE(::IsWindowVisible(help.hWnd()) && !::IsIconic(help.hWnd())) << "shown again, a minimised browser is restored";
    EXPECT_EQ(state(), L"index *Alpha Beta <H-") << "the pages wait for the next showing";
}

}  // namespace
}  // namespace tarvo
