#include <gtest/gtest.h>

#include "expect_raised.h"
#include "rich_edit_test_support.h"

namespace tarvo {
namespace {

using testing::ExpectRaised;

class RichEditMethodsTest : public testing::RichEditFixture {
protected:
    RichEditMethods& M() { return edit.Methods(); }
    RichEditMethods& Select(long start, long end) {
        M().SelectionCharRangeSet(start, end);
        return M();
    }
};

TEST_F(RichEditMethodsTest, InsertTextReplacesTheSelectionAndTakesTheInsertionFormat) {
    M().InsertText(L"plain");
    Select(5, 5).FormatBoldSet(true);
    M().FormatColourSet(0x0000FF);
    M().InsertText(L" red");
    EXPECT_EQ(Text(), L"plain red");
    EXPECT_TRUE(Select(5, 9).FormatBoldGet());
    EXPECT_EQ(M().FormatColourGet(), 0x0000FF);
    EXPECT_FALSE(Select(0, 5).FormatBoldGet());
    M().InsertText(L"x");
    EXPECT_EQ(Text(), L"x red");

    std::wstring longText;
    for (int i = 0; i < 3000; ++i) longText += L"\u00e9\u4e2d" + std::to_wstring(i % 10);
    M().SelectAll();
    M().InsertText(longText);
    EXPECT_EQ(M().TextInRangeGet(0, -1), longText);
}

TEST_F(RichEditMethodsTest, EachEffectReachesOnlyItsOwnCharacters) {
    using Get = bool (RichEditMethods::*)(long) const;
    using Set = void (RichEditMethods::*)(bool, long);
    const std::pair<Get, Set> effects[] = {
        {&RichEditMethods::FormatBoldGet, &RichEditMethods::FormatBoldSet},
        {&RichEditMethods::FormatItalicGet, &RichEditMethods::FormatItalicSet},
        {&RichEditMethods::FormatUnderlineGet, &RichEditMethods::FormatUnderlineSet},
        {&RichEditMethods::FormatStrikeOutGet, &RichEditMethods::FormatStrikeOutSet},
        {&RichEditMethods::FormatProtectedGet, &RichEditMethods::FormatProtectedSet},
        {&RichEditMethods::FormatSubScriptGet, &RichEditMethods::FormatSubScriptSet}};
    Text(L"abcdefgh");
    for (int i = 0; i < 6; ++i) (Select(i, i + 1).*effects[i].second)(true, 1);
    for (int at = 0; at < 7; ++at)
        for (int i = 0; i < 6; ++i) EXPECT_EQ((Select(at, at + 1).*effects[i].first)(1), at == i) << at << " " << i;
    Select(4, 5).FormatProtectedSet(false);
    EXPECT_FALSE(M().FormatProtectedGet());
    Select(5, 6).FormatSuperScriptSet(true);  // super- and subscript exclude each other
    EXPECT_TRUE(M().FormatSuperScriptGet());
    EXPECT_FALSE(M().FormatSubScriptGet());
}

TEST_F(RichEditMethodsTest, ColoursAreTranslatedAndMinusOneIsTheAutomaticColour) {
    const auto autoColour = [&] {
        CHARFORMAT2W format{};
        format.cbSize = sizeof(format);
        format.dwMask = CFM_COLOR;
        ::SendMessageW(Edit(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return (format.dwEffects & CFE_AUTOCOLOR) != 0;
    };
    Text(L"colour me");
    M().SelectAll();
    M().FormatColourSet(0xFF0000);
    EXPECT_EQ(M().FormatColourGet(), 0xFF0000);
    EXPECT_FALSE(autoColour());
    M().FormatColourSet(-1, 1);
    EXPECT_TRUE(autoColour());
    for (int index : {COLOR_HIGHLIGHT, 30}) {  // 30 is the last system colour
        M().FormatColourSet(static_cast<long>(0x80000000u | index));
        EXPECT_EQ(static_cast<DWORD>(M().FormatColourGet()), ::GetSysColor(index)) << index;
    }
}

TEST_F(RichEditMethodsTest, FindSelectionAndRangesLinesAndModification) {
    Text(L"bone one Two two");
    long start = 0, end = -1, from = 10, shortEnd = 8;
    EXPECT_EQ(M().Find(L"one", start, end, false, false), 1);
    EXPECT_EQ(M().Find(L"one", start, end, true, false), 5);
    EXPECT_EQ(M().Find(L"two", start, end, false, false), 9);
    EXPECT_EQ(M().Find(L"two", start, end, false, true), 13);
    EXPECT_EQ(M().Find(L"three", start, end, false, false), -1);
    EXPECT_EQ(M().Find(L"Two", from, end, true, true), -1);
    EXPECT_EQ(M().Find(L"two", start, shortEnd, false, false), -1);

    EXPECT_EQ(Select(3, 3).SelectedText(), L"");
    EXPECT_EQ(Select(5, 8).SelectedText(), L"one");
    M().SelectionCharRangeGet(start = -5, end = -5);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(5L, 8L));
    EXPECT_EQ(M().TextInRangeGet(5, 5), L"");
    EXPECT_EQ(M().TextInRangeGet(0, 1), L"b");
    EXPECT_EQ(M().TextInRangeGet(13, 100), L"two");

    Text(L"one\r\ntwo\r\nthree");
    EXPECT_EQ(M().LineCount(), 3);
    EXPECT_EQ(M().LineForCharacterIndex(8), 2);
    EXPECT_EQ(Select(8, 8).CurrentLine(), 2);
    M().ModifiedSet(false);
    TypeChar(L'!');
    EXPECT_TRUE(M().ModifiedGet());
    EXPECT_TRUE(M().EditCanUndo());
    M().ParagraphNumberingSet(PFN_BULLET);
    EXPECT_EQ(M().ParagraphNumberingGet(), PFN_BULLET);
}

TEST_F(RichEditMethodsTest, FontsRoundTripAndFaceNamesOverSixteenRaiseNineAndChangeNothing) {
    Text(L"font");
    M().SelectAll();
    StdFontInfo font;
    font.Name = L"Courier New";
    font.Size = 12;
    font.Bold = true;
    M().FormatFontSet(font);
    const StdFontInfo read = M().FormatFontGet();
    EXPECT_EQ(read.Name, L"Courier New");
    EXPECT_EQ(read.Size, 12);
    EXPECT_TRUE(read.Bold);
    EXPECT_FALSE(read.Italic);

    ASSERT_TRUE(edit.View().DefaultFont());
    const std::wstring defaultFace = edit.View().DefaultFont()->Name;
    StdFontInfo tooLong = font;
    tooLong.Name = L"ABCDEFGHIJKLMNOPQ";
    tooLong.Bold = false;
    ExpectRaised(9, L"", [&] { M().FormatFontSet(tooLong); });
    ExpectRaised(9, L"", [&] { edit.View().DefaultFont(tooLong); });
    EXPECT_TRUE(M().FormatFontGet().Bold);
    EXPECT_EQ(edit.View().DefaultFont()->Name, defaultFace);
    tooLong.Name = L"ABCDEFGHIJKLMNOP";  // 16 is allowed
    EXPECT_NO_THROW(M().FormatFontSet(tooLong));
    font.Size = 20;
    edit.View().DefaultFont(font);
    Text(L"abc");
    EXPECT_EQ(M().FormatFontGet(4).Name, L"Courier New");
    EXPECT_EQ(M().FormatFontGet(4).Size, 20);
}

TEST_F(RichEditMethodsTest, AllowShortCutHasThirteenFlags) {
    EXPECT_TRUE(edit.AllowShortCut(1));
    edit.AllowShortCut(13, false);
    EXPECT_FALSE(edit.AllowShortCut(13));
    for (int index : {0, 14}) {
        ExpectRaised(9, L"", [&] { edit.AllowShortCut(index); });
        ExpectRaised(9, L"", [&] { edit.AllowShortCut(index, true); });
    }
}

TEST_F(RichEditMethodsTest, ViewSettingsReachTheEditAndCreationStylesFollowTheSettingsBeforeInit) {
    edit.View().maxLength(5);
    EXPECT_EQ(edit.View().maxLength(), 5);
    // Unlimited: typing goes on past the 32,767 characters an edit may start with.
    edit.View().maxLength(-1);
    Text(std::wstring(40000, L'a'));
    Select(40000, 40000);
    TypeChar(L'z');
    EXPECT_EQ(M().CharacterCount(), 40001);
    Text(L"");
    edit.View().PlainText(true);
    EXPECT_EQ(::SendMessageW(Edit(), EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, TM_PLAINTEXT);
    edit.View().ShowVScroll(false);
    EXPECT_EQ(::GetWindowLongW(Edit(), GWL_STYLE) & WS_VSCROLL, 0);
    edit.View().Border(true);
    EXPECT_NE(::GetWindowLongW(Edit(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    edit.Behavior().ReadOnly(true);
    TypeChar(L'z');
    EXPECT_EQ(Text(), L"");
    EXPECT_THROW(edit.View().MarginRight(40000), RaisedError);
    EXPECT_EQ(edit.View().MarginRight(), 8);

    VRX_RichEdit single;
    ASSERT_TRUE(single.Create(form.get(), 0, 0, 120, 40));
    single.View().SingleLine(true);
    single.View().HideSelectionWhenWindowInactive(true);
    single.View().AlwaysShowScrollBars(true);
    single.Init();
    const LONG style = ::GetWindowLongW(single.RichEdithWnd(), GWL_STYLE);
    EXPECT_EQ(style & (ES_MULTILINE | ES_NOHIDESEL), 0);
    EXPECT_NE(style & ES_DISABLENOSCROLL, 0);
    single.View().SingleLine(false);  // ignored once the window exists
    EXPECT_TRUE(single.View().SingleLine());
}

TEST_F(RichEditMethodsTest, WordWrapAndUrlDetectionWrittenBeforeInitNeedWritingAgain) {
    VRX_RichEdit late;
    ASSERT_TRUE(late.Create(form.get(), 0, 0, 120, 100));
    late.View().WordWrap(true);
    late.View().AutoURLDetect(true);
    late.Init();
    const HWND window = late.RichEdithWnd();
    ASSERT_TRUE(window);
    ::SetWindowTextW(window, L"a long line of words that cannot fit into one hundred and twenty pixels");
    EXPECT_EQ(late.Methods().LineCount(), 1);
    EXPECT_EQ(::SendMessageW(window, EM_GETAUTOURLDETECT, 0, 0), 0);
    late.View().WordWrap(true);
    late.View().AutoURLDetect(true);
    EXPECT_GT(late.Methods().LineCount(), 1);
    EXPECT_NE(::SendMessageW(window, EM_GETAUTOURLDETECT, 0, 0), 0);
}

}  // namespace
}  // namespace tarvo
