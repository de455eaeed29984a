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

class HelpFrmTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Only files ending in exactly ".rtf" are pages, even one named ".rtf" alone.
        for (auto [file, text] : {std::pair{L"index.rtf", "Welcome. Read Alpha, then Beta. Upper, Folder, Notes."},
                                  {L"Alpha.rtf", "This is Alpha. Next comes Beta, later Gamma; or go to the index."},
                                  {L"Beta.rtf", "Beta talks about the alphabet and ALPHA, not beta."},
                                  {L"Gamma.rtf", "Gamma."}, {L"Upper.RTF", "x"}, {L"Notes.txt", "x"}, {L".rtf", "x"}}) {
            folder_.WriteFile(std::wstring(L"help\\") + file, std::string("{\\rtf1\\ansi ") + text + "\\par}");
        }
        ::CreateDirectoryW((folder_.Path() + L"\\help\\Folder.rtf").c_str(), nullptr);
        ASSERT_TRUE(help_.Load(folder_.Path()));
        AcceleratorRouting::PumpPending();
    }
    // The page shown with its links in brackets.
    std::wstring Marked() {
        RichEditMethods& pane = help_.RichHelp().Methods();
        const std::wstring text = help_.ShownText();
        std::wstring marked;
        bool inLink = false;
        for (std::size_t at = 0; at < text.size(); ++at) {
            pane.SelectionCharRangeSet(static_cast<long>(at), static_cast<long>(at) + 1);
            const bool link = pane.FormatLinkGet(1);
            if (link != inLink) marked += link ? L'[' : L']';
            inLink = link;
            if (text[at] != L'\r') marked += text[at];  // the last paragraph's mark comes and goes
        }
        return marked;
    }
    // The history with the current page starred, then Back, Home and Forward as enabled or not.
    std::wstring State() {
        std::wstring state;
        for (std::size_t i = 0; i < help_.History().size(); ++i) {
            state += (i + 1 == help_.HistoryPos() ? L"*" : L"") + help_.History()[i] + L" ";
        }
        for (auto [button, name] : {std::pair{HelpFrm::kBack, L'<'}, {HelpFrm::kHome, L'H'}, {HelpFrm::kForward, L'>'}}) {
            state += help_.ToolBtn(button).Enabled() ? name : L'-';
        }
        return state;
    }
    // What the pane raises when the user releases the left button on the link at `word`.
    void ClickLink(const std::wstring& word) {
        short message = WM_LBUTTONUP;
        long start = static_cast<long>(help_.ShownText().find(word)), end = start + static_cast<long>(word.size());
        help_.RichHelp().LinkOver(message, start, end);
        AcceleratorRouting::PumpPending();
    }
    void Click(int button) {
        help_.ToolBtn_Click(button);
        log_ += State() + L"\n";
    }

    test::TempProgramFolder folder_;
    HelpFrm help_;
    std::wstring log_;
};

TEST_F(HelpFrmTest, PagesLinkToOtherPagesInAnyCaseTheButtonsSitAsLaidOutAndFollowTheHistoryAndCloseOnlyHides) {
    const std::vector<std::wstring> pages = help_.Pages();
    EXPECT_EQ(std::set(pages.begin(), pages.end()), (std::set<std::wstring>{L"", L"Alpha", L"Beta", L"Gamma", L"index"}));
    // The last of the three buttons on the strip above the pane, in a client area of 9165 x 7830 twips.
    const RECT forward = test::RectInParent(help_.ToolBtn(HelpFrm::kForward).hwnd());
    EXPECT_EQ(std::to_wstring(forward.left) + L"-" + std::to_wstring(forward.right) + L" " + test::Caption(help_.hWnd()) + L" " +
                  std::to_wstring(ClientSize(help_.hWnd()).cx) + L"x" + std::to_wstring(ClientSize(help_.hWnd()).cy),
              L"86-114 Help browser - Tarvo2 611x522");
    EXPECT_EQ(State(), L"*index ---");
    EXPECT_EQ(Marked(), L"Welcome. Read [Alpha], then [Beta]. Upper, Folder, Notes.");
    ClickLink(L"Alpha");
    ClickLink(L"Beta");
    EXPECT_EQ(Marked(), L"Beta talks about the [alpha]bet and [ALPHA], not beta.");
    for (int button : {HelpFrm::kBack, HelpFrm::kForward, HelpFrm::kBack, HelpFrm::kHome, HelpFrm::kBack,
                       HelpFrm::kForward, HelpFrm::kBack, HelpFrm::kBack, HelpFrm::kBack}) {
        Click(button);
    }
    EXPECT_EQ(log_, L"index *Alpha Beta <H>\nindex Alpha *Beta <H-\nindex *Alpha Beta <H>\nindex Alpha *index <--\n"
                    L"index *Alpha index <H>\nindex Alpha *index <--\nindex *Alpha index <H>\n*index Alpha index -->\n"
                    L"*index Alpha index -->\n");
    ClickLink(L"Alpha");
    EXPECT_EQ(State(), L"index *Alpha <H-") << "a link after Back drops the forward entries";
    EXPECT_EQ(Marked(), L"This is Alpha. Next comes [Beta], later [Gamma]; or go to the [index].");

    // A missing page changes only the position.
    ClickLink(L"Beta");
    ::DeleteFileW((folder_.Path() + L"\\help\\Alpha.rtf").c_str());
    Click(HelpFrm::kBack);
    EXPECT_EQ(State(), L"index *Alpha Beta <H-");
    EXPECT_EQ(Marked(), L"Beta talks about the [alpha]bet and [ALPHA], not beta.");

    ::SendMessageW(help_.hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(::IsWindow(help_.hWnd()) && !::IsWindowVisible(help_.hWnd()));
    EXPECT_EQ(State(), L"index *Alpha Beta <H-") << "the pages wait for the next showing";
}

}  // namespace
}  // namespace tarvo
