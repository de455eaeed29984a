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

TEST_F(RichEditMethodsTest, InsertedTextTakesTheInsertionFormatAndEachEffectReachesOnlyItsOwnCharacters) {
    M().InsertText(L"plain");
    Select(5, 5).FormatBoldSet(true);
    M().FormatColourSet(0x0000FF);
    M().InsertText(L" red");
    EXPECT_EQ(Text(), L"plain red");
    EXPECT_TRUE(Select(5, 9).FormatBoldGet());
    EXPECT_EQ(M().FormatColourGet(), 0x0000FF);
    EXPECT_FALSE(Select(0, 5).FormatBoldGet());

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
    Select(5, 6).FormatSuperScriptSet(true);  // super- and subscript exclude each other
    EXPECT_TRUE(M().FormatSuperScriptGet() && !M().FormatSubScriptGet());
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

TEST_F(RichEditMethodsTest, FindHonoursCaseWholeWordsAndTheRangeAndLinesCountFromZero) {
    Text(L"bone one Two two");
    long start = 0, end = -1, from = 10, shortEnd = 8;
    EXPECT_EQ(M().Find(L"one", start, end, false, false), 1);
    EXPECT_EQ(M().Find(L"one", start, end, true, false), 5);
    EXPECT_EQ(M().Find(L"two", start, end, false, false), 9);
    EXPECT_EQ(M().Find(L"two", start, end, false, true), 13);
    EXPECT_EQ(M().Find(L"Two", from, end, true, true), -1);
    EXPECT_EQ(M().Find(L"two", start, shortEnd, false, false), -1);
    EXPECT_EQ(M().TextInRangeGet(13, 100), L"two");
    Text(L"one\r\ntwo\r\nthree");
    EXPECT_EQ(Select(8, 8).CurrentLine(), 2);
}

TEST_F(RichEditMethodsTest, FaceNamesOverSixteenAndShortcutFlagsOutsideOneToThirteenRaiseNine) {
    Text(L"font");
    M().SelectAll();
    StdFontInfo font;
    font.Name = L"Courier New";
    font.Size = 12;
    font.Bold = true;
    M().FormatFontSet(font);
    EXPECT_EQ(std::make_pair(M().FormatFontGet().Name, M().FormatFontGet().Size), std::make_pair(std::wstring(L"Courier New"), 12.0));
    ASSERT_TRUE(edit.View().DefaultFont());
    const std::wstring defaultFace = edit.View().DefaultFont()->Name;
    StdFontInfo tooLong = font;
    tooLong.Name = L"ABCDEFGHIJKLMNOPQ";
    tooLong.Bold = false;
    ExpectRaised(9, L"", [&] { M().FormatFontSet(tooLong); });
    ExpectRaised(9, L"", [&] { edit.View().DefaultFont(tooLong); });
    EXPECT_TRUE(M().FormatFontGet().Bold);
    EXPECT_EQ(edit.View().DefaultFont()->Name, defaultFace);
    tooLong.Name = L"ABCDEFGHIJKLMNOP";
    EXPECT_NO_THROW(M().FormatFontSet(tooLong));

    EXPECT_TRUE(edit.AllowShortCut(1));
    edit.AllowShortCut(13, false);
    EXPECT_FALSE(edit.AllowShortCut(13));
    for (int index : {0, 14}) ExpectRaised(9, L"", [&] { edit.AllowShortCut(index, true); });
}

TEST_F(RichEditMethodsTest, ViewSettingsReachTheEditAndCreationStylesFollowTheSettingsBeforeInit) {
    edit.View().maxLength(-1);  // unlimited: typing goes on past 32,767 characters
    Text(std::wstring(40000, L'a'));
    Select(40000, 40000);
    TypeChar(L'z');
    EXPECT_EQ(M().CharacterCount(), 40001);
    Text(L"");
    edit.View().ShowVScroll(false);
    edit.View().Border(true);
    EXPECT_EQ(::GetWindowLongW(Edit(), GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_EQ(::GetWindowLongW(Edit(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
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
    EXPECT_EQ(::GetWindowLongW(single.RichEdithWnd(), GWL_STYLE) & (ES_MULTILINE | ES_NOHIDESEL | ES_DISABLENOSCROLL),
              ES_DISABLENOSCROLL);
    single.View().SingleLine(false);  // ignored once the window exists
    EXPECT_TRUE(single.View().SingleLine());
}

}  // namespace
}  // namespace tarvo
