#include <gtest/gtest.h>

#include "common/raised_error.h"
#include "rich_edit_test_support.h"

namespace tarvo {
namespace {

constexpr long kRed = 0x0000FF;
constexpr long kBlue = 0xFF0000;

class RichEditMethodsTest : public testing::RichEditFixture {
protected:
    RichEditMethods& M() { return edit.Methods(); }
    DWORD EffectsOf(long start, long end, DWORD mask) {
        M().SelectionCharRangeSet(start, end);
        CHARFORMAT2W format{};
        format.cbSize = sizeof(format);
        format.dwMask = mask;
        ::SendMessageW(Edit(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format.dwEffects;
    }
};

TEST_F(RichEditMethodsTest, InsertTextReplacesTheSelectionAndTakesTheInsertionFormat) {
    M().InsertText(L"plain");
    EXPECT_EQ(Text(), L"plain");
    M().SelectionCharRangeSet(5, 5);
    M().FormatBoldSet(true);
    M().FormatColourSet(kRed);
    M().InsertText(L" red");
    EXPECT_EQ(Text(), L"plain red");
    M().SelectionCharRangeSet(5, 9);
    EXPECT_TRUE(M().FormatBoldGet());
    EXPECT_EQ(M().FormatColourGet(), kRed);
    M().SelectionCharRangeSet(0, 5);
    EXPECT_FALSE(M().FormatBoldGet());
    M().InsertText(L"x");
    EXPECT_EQ(Text(), L"x red");
}

TEST_F(RichEditMethodsTest, InsertTextStreamsLongAndNonAsciiTextWhole) {
    std::wstring text;
    for (int i = 0; i < 3000; ++i) text += L"\u00e9\u4e2d" + std::to_wstring(i % 10);
    M().InsertText(text);
    EXPECT_EQ(M().CharacterCount(), static_cast<long>(text.size()));
    EXPECT_EQ(M().TextInRangeGet(0, -1), text);
}

TEST_F(RichEditMethodsTest, ColourAndEffectsRoundTripAndAutomaticColourReturns) {
    SetText(L"colour me");
    M().SelectAll();
    M().FormatColourSet(kBlue);
    EXPECT_EQ(M().FormatColourGet(), kBlue);
    EXPECT_EQ(EffectsOf(0, -1, CFM_COLOR) & CFE_AUTOCOLOR, 0u);
    M().SelectAll();
    M().FormatColourSet(-1, 1);
    EXPECT_EQ(EffectsOf(0, -1, CFM_COLOR) & CFE_AUTOCOLOR, static_cast<DWORD>(CFE_AUTOCOLOR));

    M().SelectionCharRangeSet(0, 6);
    M().FormatProtectedSet(true);
    M().FormatItalicSet(true);
    M().FormatUnderlineSet(true);
    EXPECT_TRUE(M().FormatProtectedGet());
    EXPECT_TRUE(M().FormatItalicGet());
    EXPECT_TRUE(M().FormatUnderlineGet());
    EXPECT_FALSE(M().FormatStrikeOutGet());
    M().SelectionCharRangeSet(7, 9);
    EXPECT_FALSE(M().FormatProtectedGet());
    EXPECT_FALSE(M().FormatItalicGet());
    M().SelectionCharRangeSet(0, 6);
    M().FormatProtectedSet(false);
    EXPECT_FALSE(M().FormatProtectedGet());
}

TEST_F(RichEditMethodsTest, SystemColoursAreTranslatedBeforeTheyAreSent) {
    SetText(L"x");
    M().SelectAll();
    M().FormatColourSet(static_cast<long>(0x80000000u | COLOR_HIGHLIGHT));
    EXPECT_EQ(static_cast<DWORD>(M().FormatColourGet()), ::GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(RichEditMethodsTest, SuperscriptAndSubscriptExcludeEachOther) {
    SetText(L"x2");
    M().SelectionCharRangeSet(1, 2);
    M().FormatSubScriptSet(true);
    EXPECT_TRUE(M().FormatSubScriptGet());
    EXPECT_FALSE(M().FormatSuperScriptGet());
    M().FormatSuperScriptSet(true);
    EXPECT_TRUE(M().FormatSuperScriptGet());
    EXPECT_FALSE(M().FormatSubScriptGet());
    M().FormatSuperScriptSet(false);
    EXPECT_FALSE(M().FormatSuperScriptGet());
}

TEST_F(RichEditMethodsTest, FindSearchesForwardToTheEndWithWholeWordAndCase) {
    SetText(L"bone one Two two");
    long start = 0, end = -1;
    EXPECT_EQ(M().Find(L"one", start, end, false, false), 1);
    EXPECT_EQ(M().Find(L"one", start, end, true, false), 5);
    EXPECT_EQ(M().Find(L"two", start, end, false, false), 9);
    EXPECT_EQ(M().Find(L"two", start, end, false, true), 13);
    EXPECT_EQ(M().Find(L"Two", start, end, true, true), 9);
    EXPECT_EQ(M().Find(L"three", start, end, false, false), -1);
    long from = 10;
    EXPECT_EQ(M().Find(L"Two", from, end, true, true), -1);
    EXPECT_EQ(from, 10);
    long shortEnd = 8;
    EXPECT_EQ(M().Find(L"two", start, shortEnd, false, false), -1);
}

TEST_F(RichEditMethodsTest, SelectedTextAndTextInRange) {
    SetText(L"hello world");
    M().SelectionCharRangeSet(3, 3);
    EXPECT_EQ(M().SelectedText(), L"");
    M().SelectAll();
    EXPECT_EQ(M().SelectedText(), L"hello world");
    long start = -5, end = -5;
    M().SelectionCharRangeGet(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_GE(end, 11);  // the edit may count its final paragraph mark
    M().SelectionCharRangeSet(6, 11);
    EXPECT_EQ(M().SelectedText(), L"world");
    EXPECT_EQ(M().TextInRangeGet(5, 5), L"");
    EXPECT_EQ(M().TextInRangeGet(0, 5), L"hello");
    EXPECT_EQ(M().TextInRangeGet(0, -1), L"hello world");
    EXPECT_EQ(M().TextInRangeGet(6, 100), L"world");
    M().SelectNone();
    M().SelectionCharRangeGet(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 0);
}

TEST_F(RichEditMethodsTest, LinesCountsAndModification) {
    SetText(L"one\r\ntwo\r\nthree");
    EXPECT_EQ(M().LineCount(), 3);
    EXPECT_EQ(M().CharacterCount(), ::GetWindowTextLengthW(Edit()));
    EXPECT_EQ(M().LineForCharacterIndex(0), 0);
    const long threeAt = M().Find(L"three", *std::make_unique<long>(0), *std::make_unique<long>(-1), false, false);
    EXPECT_EQ(M().LineForCharacterIndex(threeAt), 2);
    M().SelectionCharRangeSet(threeAt, threeAt);
    EXPECT_EQ(M().CurrentLine(), 2);
    EXPECT_EQ(M().FirstVisibleLine(), 0);
    M().ModifiedSet(false);
    EXPECT_FALSE(M().ModifiedGet());
    TypeChar(L'!');
    EXPECT_TRUE(M().ModifiedGet());
    EXPECT_TRUE(M().EditCanUndo());
}

TEST_F(RichEditMethodsTest, FontRoundTripsAndALongFaceNameChangesNothing) {
    SetText(L"font");
    M().SelectAll();
    StdFontInfo font;
    font.Name = L"Courier New";
    font.Size = 12;
    font.Bold = true;
    font.Italic = true;
    M().FormatFontSet(font);
    StdFontInfo read = M().FormatFontGet();
    EXPECT_EQ(read.Name, L"Courier New");
    EXPECT_EQ(read.Size, 12);
    EXPECT_TRUE(read.Bold);
    EXPECT_TRUE(read.Italic);
    EXPECT_FALSE(read.Underline);

    StdFontInfo tooLong = font;
    tooLong.Name = L"ABCDEFGHIJKLMNOPQ";  // 17 characters
    tooLong.Bold = false;
    try {
        M().FormatFontSet(tooLong);
        FAIL() << "no error for a long face name";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), 9);
    }
    EXPECT_TRUE(M().FormatFontGet().Bold);
    tooLong.Name = L"ABCDEFGHIJKLMNOP";  // 16 is allowed
    EXPECT_NO_THROW(M().FormatFontSet(tooLong));
}

TEST_F(RichEditMethodsTest, ParagraphNumberingRoundTrips) {
    SetText(L"item");
    M().ParagraphNumberingSet(PFN_BULLET);
    EXPECT_EQ(M().ParagraphNumberingGet(), PFN_BULLET);
    M().ParagraphNumberingSet(0);
    EXPECT_EQ(M().ParagraphNumberingGet(), 0);
}

class RichEditViewTest : public testing::RichEditFixture {};

TEST_F(RichEditViewTest, DefaultFontIsTheMenuFontAndALongFaceNameRaises) {
    ASSERT_TRUE(edit.View().DefaultFont());
    const StdFontInfo before = *edit.View().DefaultFont();
    StdFontInfo font;
    font.Name = L"Seventeen Letters";
    font.Size = 20;
    try {
        edit.View().DefaultFont(font);
        FAIL() << "no error for a long face name";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), 9);
    }
    EXPECT_EQ(edit.View().DefaultFont()->Name, before.Name);
    font.Name = L"Courier New";
    edit.View().DefaultFont(font);
    SetText(L"abc");
    EXPECT_EQ(edit.Methods().FormatFontGet(4).Name, L"Courier New");
    EXPECT_EQ(edit.Methods().FormatFontGet(4).Size, 20);
}

TEST_F(RichEditViewTest, AllowShortCutHasThirteenFlags) {
    EXPECT_TRUE(edit.AllowShortCut(1));
    EXPECT_TRUE(edit.AllowShortCut(13));
    edit.AllowShortCut(13, false);
    EXPECT_FALSE(edit.AllowShortCut(13));
    for (int index : {0, 14, -1}) {
        try {
            edit.AllowShortCut(index);
            FAIL() << "no error for index " << index;
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), 9);
        }
        EXPECT_THROW(edit.AllowShortCut(index, true), RaisedError);
    }
}

TEST_F(RichEditViewTest, WindowSettingsReachTheEdit) {
    edit.View().maxLength(5);
    EXPECT_EQ(edit.View().maxLength(), 5);
    edit.View().PlainText(true);
    EXPECT_EQ(::SendMessageW(Edit(), EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, TM_PLAINTEXT);
    edit.View().ShowVScroll(false);
    EXPECT_EQ(::GetWindowLongW(Edit(), GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_FALSE(edit.View().ShowVScroll());
    edit.View().Border(true);
    EXPECT_NE(::GetWindowLongW(Edit(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    edit.Behavior().ReadOnly(true);
    EXPECT_TRUE(edit.Behavior().ReadOnly());
    TypeChar(L'z');
    EXPECT_EQ(Text(), L"");
    EXPECT_THROW(edit.View().MarginRight(40000), RaisedError);
    EXPECT_EQ(edit.View().MarginRight(), 8);
}

TEST_F(RichEditViewTest, WordWrapAndUrlDetectionWrittenBeforeInitNeedWritingAgain) {
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
    EXPECT_TRUE(late.View().WordWrap());
    EXPECT_TRUE(late.View().AutoURLDetect());
}

TEST_F(RichEditViewTest, CreationStylesFollowTheSettingsBeforeInit) {
    VRX_RichEdit single;
    ASSERT_TRUE(single.Create(form.get(), 0, 0, 120, 40));
    single.View().SingleLine(true);
    single.View().HideSelectionWhenWindowInactive(true);
    single.View().AlwaysShowScrollBars(true);
    single.Init();
    const LONG style = ::GetWindowLongW(single.RichEdithWnd(), GWL_STYLE);
    EXPECT_EQ(style & ES_MULTILINE, 0);
    EXPECT_EQ(style & ES_NOHIDESEL, 0);
    EXPECT_NE(style & ES_DISABLENOSCROLL, 0);
    single.View().SingleLine(false);  // ignored once the window exists
    EXPECT_TRUE(single.View().SingleLine());
    EXPECT_NE(::GetWindowLongW(Edit(), GWL_STYLE) & ES_MULTILINE, 0);
}

}  // namespace
}  // namespace tarvo
