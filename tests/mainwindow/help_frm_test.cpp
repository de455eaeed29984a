// The help browser on real windows under a temporary program folder whose
// help pages each test writes itself.
#include "mainwindow/help_frm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "controls/accelerator_routing.h"
#include "test_support.h"

namespace tarvo {
namespace {

using Names = std::vector<std::wstring>;

using test::Visible;

void Pump() {
    for (int i = 0; i < 3; ++i, ::Sleep(5)) AcceleratorRouting::PumpPending();
}

class HelpFrmTest : public ::testing::Test {
protected:
    // A rich-text page whose body is `text`; `file` is the full file name.
    void WriteFile(const std::wstring& file, const std::string& text) {
        folder_.WriteFile(L"help\\" + file, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 " + text + "\\par}");
    }
    void DeletePage(const std::wstring& name) { ::DeleteFileW((folder_.Path() + L"\\help\\" + name + L".rtf").c_str()); }
    void LoadStandardPages() {
        WriteFile(L"index.rtf", "Welcome. Read Alpha first, then Beta.");
        WriteFile(L"Alpha.rtf", "This is Alpha. Next comes Beta, later Gamma; or go to the index.");
        WriteFile(L"Beta.rtf", "Beta talks about the alphabet and ALPHA.");
        WriteFile(L"Gamma.rtf", "Gamma is the last page.");
        LoadForm();
    }
    void LoadForm() {
        ASSERT_TRUE(help_.Load(folder_.Path()));
        Pump();
    }
    long Locate(const std::wstring& word) { return static_cast<long>(Text().find(word)); }
    std::wstring Text() { return help_.ShownText(); }
    bool IsLink(long start, long length) {
        RichEditMethods& pane = help_.RichHelp().Methods();
        pane.SelectionCharRangeSet(start, start + length);
        return pane.FormatLinkGet(1);
    }
    bool WordIsLink(const std::wstring& word) {
        const long at = Locate(word);
        EXPECT_GE(at, 0) << Visible(word) << " is not on the page";
        return at >= 0 && IsLink(at, static_cast<long>(word.size()));
    }
    // What the pane raises when the user releases the left button on the link at `word`.
    void ClickLink(const std::wstring& word) {
        const long at = Locate(word);
        ASSERT_GE(at, 0) << Visible(word) << " is not on the page";
        short message = WM_LBUTTONUP;
        long start = at, end = at + static_cast<long>(word.size());
        help_.RichHelp().LinkOver(message, start, end);
        Pump();
    }
    void Back() { help_.ToolBtn_Click(HelpFrm::kBack); }
    // Back, Home, Forward.
    std::vector<bool> Buttons() {
        return {help_.ToolBtn(HelpFrm::kBack).Enabled(), help_.ToolBtn(HelpFrm::kHome).Enabled(),
                help_.ToolBtn(HelpFrm::kForward).Enabled()};
    }

    test::TempProgramFolder folder_;
    HelpFrm help_;
};

TEST_F(HelpFrmTest, LoadsHiddenWithTheIndexAndLinksToOtherPagesOnly) {
    LoadStandardPages();
    Names pages = help_.Pages();
    std::sort(pages.begin(), pages.end());
    EXPECT_EQ(pages, (Names{L"Alpha", L"Beta", L"Gamma", L"index"}));
    EXPECT_EQ(help_.History(), Names{L"index"});
    EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(::IsWindowVisible(help_.hWnd()));
    EXPECT_EQ(test::Caption(help_.hWnd()), L"Help browser - Tarvo2");
    EXPECT_TRUE(WordIsLink(L"Alpha"));
    EXPECT_FALSE(WordIsLink(L"Welcome"));
    RichEditMethods& pane = help_.RichHelp().Methods();
    pane.SelectionCharRangeSet(3, 7);
    help_.MarkLinks();
    long start = 0, end = 0;
    pane.SelectionCharRangeGet(start, end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(3L, 7L)) << "marking links keeps the selection";

    ClickLink(L"Beta");
    ASSERT_EQ(help_.History().back(), L"Beta");
    EXPECT_TRUE(IsLink(Locate(L"alphabet"), 5)) << "any case, inside words";
    EXPECT_FALSE(IsLink(Locate(L"alphabet") + 5, 3));
    EXPECT_TRUE(WordIsLink(L"ALPHA"));
    EXPECT_FALSE(WordIsLink(L"Beta")) << "the page's own name stays plain text";
    ClickLink(L"ALPHA");  // the page is named as the link is written
    ASSERT_EQ(help_.History().back(), L"ALPHA");
    EXPECT_FALSE(WordIsLink(L"Alpha")) << "its own name in any case stays plain text";
}

TEST_F(HelpFrmTest, BackForwardAndHomeFollowTheHistoryMissingPagesChangeOnlyThePosition) {
    LoadStandardPages();
    ClickLink(L"Alpha");
    ClickLink(L"Beta");
    ASSERT_EQ(help_.History(), (Names{L"index", L"Alpha", L"Beta"}));

    Back();
    EXPECT_EQ(help_.HistoryPos(), 2u);
    EXPECT_NE(Text().find(L"This is Alpha"), std::wstring::npos);
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(WordIsLink(L"Gamma")) << "links are marked again for the page Back brought";
    help_.ToolBtn_Click(HelpFrm::kForward);
    EXPECT_EQ(help_.HistoryPos(), 3u);
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, false}));

    Back();
    help_.ToolBtn_Click(HelpFrm::kHome);
    EXPECT_EQ(help_.History(), (Names{L"index", L"Alpha", L"index"}));
    EXPECT_NE(Text().find(L"Welcome"), std::wstring::npos);
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, false, false}));
    Back();
    help_.ToolBtn_Click(HelpFrm::kForward);
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, false, false})) << "forward onto the start page";

    for (int i = 0; i < 3; ++i) Back();  // nothing before the first page: the position stays
    EXPECT_EQ(help_.HistoryPos(), 1u);
    EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));

    ClickLink(L"Alpha");
    EXPECT_EQ(help_.History(), (Names{L"index", L"Alpha"})) << "a link after Back drops the forward entries";
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, false}));

    // Missing pages change only the position.
    DeletePage(L"Gamma");
    const std::wstring alpha = Text();
    ClickLink(L"Gamma");
    EXPECT_EQ(help_.History(), (Names{L"index", L"Alpha"}));
    EXPECT_EQ(Text(), alpha);

    ClickLink(L"Beta");
    DeletePage(L"Alpha");
    const std::wstring beta = Text();
    Back();
    EXPECT_EQ(help_.HistoryPos(), 2u);
    EXPECT_EQ(Text(), beta);

    HelpFrm withoutFolder;
    ASSERT_TRUE(withoutFolder.Load(folder_.Path() + L"\\elsewhere"));
    EXPECT_TRUE(withoutFolder.Pages().empty());
    EXPECT_TRUE(withoutFolder.History().empty());
    EXPECT_EQ(withoutFolder.ShownText(), L"");
    EXPECT_FALSE(withoutFolder.ToolBtn(HelpFrm::kHome).Enabled());
}

TEST_F(HelpFrmTest, OnlyFilesEndingInLowerCaseRtfArePagesAndNoneLinksToItselfWhateverTheCase) {
    WriteFile(L"index.rtf", "Upper, Folder, Notes and alpha.");
    WriteFile(L"Upper.RTF", "upper");
    WriteFile(L"Notes.txt", "notes");
    WriteFile(L".rtf", "nameless");
    WriteFile(L"alpha.rtf", "This is ALPHA, not the index.");
    ::CreateDirectoryW((folder_.Path() + L"\\help\\Folder.rtf").c_str(), nullptr);
    LoadForm();
    Names pages = help_.Pages();
    std::sort(pages.begin(), pages.end());
    EXPECT_EQ(pages, (Names{L"", L"alpha", L"index"}));
    EXPECT_FALSE(WordIsLink(L"Upper"));
    EXPECT_FALSE(WordIsLink(L"Folder"));
    EXPECT_TRUE(WordIsLink(L"alpha"));
    ClickLink(L"alpha");
    ASSERT_EQ(help_.History(), (Names{L"index", L"alpha"}));
    EXPECT_FALSE(WordIsLink(L"ALPHA"));
    EXPECT_TRUE(WordIsLink(L"index"));
}

TEST_F(HelpFrmTest, ToolbarAndPaneFillTheWindowTheMouseNavigatesAndCloseOnlyHides) {
    LoadStandardPages();
    RECT client{};
    ::GetClientRect(help_.hWnd(), &client);
    EXPECT_EQ(client.right, 611);
    EXPECT_EQ(client.bottom, 522);
    for (int i = 0; i < 3; ++i) {
        const RECT button = test::RectInParent(help_.ToolBtn(i).hwnd());
        EXPECT_EQ(button.left, 10 + i * 38) << "button " << i;
        EXPECT_EQ(button.right - button.left, 28);
        EXPECT_GT(help_.ToolBtn(i).Picture().Width(), 0) << "button " << i << " has no icon";
        EXPECT_EQ(help_.ToolBtn(i).ToolTip(), L"") << "button " << i;
    }
    EXPECT_EQ(test::RectInParent(help_.RichHelp().hWnd()).top, 28);
    ::SetWindowPos(help_.hWnd(), nullptr, 0, 0, 420, 300, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    ::GetClientRect(help_.hWnd(), &client);
    EXPECT_EQ(test::RectInParent(help_.ToolBack().hwnd()).right, client.right);
    EXPECT_EQ(test::RectInParent(help_.RichHelp().hWnd()).bottom, client.bottom);

    // The mouse on a link and on a button navigates.
    help_.Show();
    Pump();
    const HWND edit = help_.RichHelp().RichEdithWnd();
    POINTL at{};
    ::SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), Locate(L"Alpha") + 2);
    const LPARAM where = MAKELPARAM(at.x + 1, at.y + 4);
    ::SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::SendMessageW(edit, WM_LBUTTONUP, 0, where);
    Pump();
    ASSERT_EQ(help_.History(), (Names{L"index", L"Alpha"}));
    const HWND back = help_.ToolBtn(HelpFrm::kBack).hwnd();
    ::SendMessageW(back, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(back, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(help_.HistoryPos(), 1u);

    ::SendMessageW(help_.hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    ASSERT_TRUE(::IsWindow(help_.hWnd()));
    EXPECT_FALSE(::IsWindowVisible(help_.hWnd()));
    EXPECT_EQ(help_.History(), (Names{L"index", L"Alpha"})) << "the pages wait for the next showing";
    EXPECT_EQ(help_.HistoryPos(), 1u);
}

// The pages the program ships, copied beside the test by the build.
TEST(ShippedHelpPages, EveryPageLoadsAndLinksToAnother) {
    HelpFrm help;
    ASSERT_TRUE(help.Load(test::ExeFolder() + L"\\help_frm_test_program"));
    ASSERT_EQ(help.History(), Names{L"index"}) << "no start page in " << Visible(help.HelpDir());
    EXPECT_GE(help.Pages().size(), 6u);

    for (const std::wstring& page : help.Pages()) {
        help.ShowPage(page);
        ASSERT_EQ(help.History().back(), page) << Visible(page) << " does not load";
        RichEditMethods& pane = help.RichHelp().Methods();
        const long count = pane.CharacterCount();
        long links = 0;
        for (long at = 0; at < count; ++at) {
            pane.SelectionCharRangeSet(at, at + 1);
            if (pane.FormatLinkGet(1)) ++links;
        }
        EXPECT_GT(links, 0) << Visible(page) << " links to no other page";
    }
}

}  // namespace
}  // namespace tarvo
