#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

#include "controls/accelerator_routing.h"
#include "rich_edit_test_support.h"

namespace tarvo {
namespace {

using RichEditKeys = testing::RichEditFixture;
using Keys = std::vector<short>;

TEST_F(RichEditKeys, EnterRaisesKeyEnterOnceAndHandlersThatChangeTheKeyOrCharacterWithholdIt) {
    int enters = 0;
    edit.KeyEnter = [&] { ++enters; };
    Text(L"dir");
    edit.Methods().SelectionCharRangeSet(3, 3);
    edit.Behavior().ConsumeEnter(true);
    PressKey(VK_RETURN);
    EXPECT_EQ(Text(), L"dir");
    edit.Behavior().ConsumeEnter(false);
    PressKey(VK_RETURN);
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(edit.Methods().LineCount(), 2);

    Text(L"abc");
    edit.Methods().SelectionCharRangeSet(0, 0);
    Keys downs, chars;
    edit.KeyDown = [&](short& key, short&) {
        downs.push_back(key);
        if (key == VK_DELETE && downs.size() == 1) key = 0;
    };
    edit.KeyPress = [&](short& c) {
        chars.push_back(c);
        if (c == L'x') c = 0;
    };
    PressKey(VK_DELETE);
    PressKey(VK_DELETE);
    TypeChar(L'x');
    TypeChar(L'y');
    EXPECT_EQ(Text(), L"ybc");
    EXPECT_EQ(downs, (Keys{VK_DELETE, VK_DELETE}));
    EXPECT_EQ(chars, (Keys{L'x', L'y'}));
}

TEST_F(RichEditKeys, ShiftStatesComeFromTheKeyboardAndEnterHasNoKeyUp) {
    Keys shifts, ups;
    edit.KeyDown = [&](short& key, short& shift) {
        if (key == VK_END) shifts.push_back(shift);
    };
    edit.KeyUp = [&](short& key, short&) { ups.push_back(key); };
    PressKey(VK_END);
    WithModifier(VK_SHIFT, [&] { PressKey(VK_END); });
    WithModifier(VK_CONTROL, [&] { PressKey(VK_END); });
    EXPECT_EQ(shifts, (Keys{0, 1, 2}));
    ups.clear();
    PressKey(VK_HOME);
    PressKey(VK_RETURN);
    EXPECT_EQ(ups, Keys{VK_HOME});
}

TEST_F(RichEditKeys, TabIsTypedWhenTrappedAndLeftToTheFormWithShiftOrCtrl) {
    int formTabs = 0;
    // The form's own handling of Tab: it would move the focus.
    AcceleratorRouting::PreviewKeysWith([&](MSG& msg) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) ++formTabs;
        return msg.wParam == VK_TAB;
    });
    PressKey(VK_TAB);
    EXPECT_EQ(Text(), L"\t");
    EXPECT_EQ(formTabs, 0);
    WithModifier(VK_SHIFT, [&] { PressKey(VK_TAB); });
    WithModifier(VK_CONTROL, [&] { PressKey(VK_TAB); });
    edit.View().TrapTab(false);
    PressKey(VK_TAB);
    edit.View().TrapTab(true);
    edit.Behavior().ReadOnly(true);
    PressKey(VK_TAB);
    EXPECT_EQ(Text(), L"\t");
    EXPECT_EQ(formTabs, 4);
}

TEST_F(RichEditKeys, EnterAndNavigationKeysBeatTheFormsPreviewOtherKeysDoNot) {
    AcceleratorRouting::PreviewKeysWith([](MSG&) { return true; });
    int enters = 0;
    edit.KeyEnter = [&] { ++enters; };
    Text(L"abc\rdef\rghi");
    edit.Methods().SelectionCharRangeSet(5, 5);
    // From the caret each key leaves: Home, End, Left, Right are exact; the others leave the line.
    for (const auto& [key, low, high] : std::vector<std::tuple<WPARAM, long, long>>{
             {VK_HOME, 4, 4}, {VK_END, 7, 7}, {VK_LEFT, 6, 6}, {VK_RIGHT, 7, 7}, {VK_UP, 0, 3}, {VK_DOWN, 4, 11},
             {VK_NEXT, 8, 11}, {VK_PRIOR, 0, 3}}) {
        PressKey(key);
        long start = -1, end = -1;
        edit.Methods().SelectionCharRangeGet(start, end);
        EXPECT_TRUE(start >= low && start <= high) << key << ": " << start;
    }
    const std::wstring before = Text();
    PressKey(VK_BACK);  // swallowed by the preview: nothing deleted
    EXPECT_EQ(Text(), before);
    PressKey(VK_RETURN);
    EXPECT_EQ(enters, 1);
}

using RichEditNotifications = testing::RichEditFixture;

TEST_F(RichEditNotifications, ModifyProtectedDecidesTheEditsAnswer) {
    ENPROTECTED attempt{};
    attempt.nmhdr.hwndFrom = Edit();
    attempt.nmhdr.code = EN_PROTECTED;
    attempt.msg = WM_CHAR;
    attempt.chrg = {2, 5};
    std::vector<std::pair<long, long>> ranges;
    bool allow = false;
    edit.ModifyProtected = [&](bool& doIt, long& lMin, long& lMax) {
        EXPECT_FALSE(doIt);
        ranges.emplace_back(lMin, lMax);
        doIt = allow;
    };
    const auto send = [&] { return ::SendMessageW(edit.hWnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&attempt)); };
    EXPECT_EQ(send(), 1);  // refused
    allow = true;
    EXPECT_EQ(send(), 0);  // allowed
    attempt.nmhdr.hwndFrom = form.get();  // not from the edit: ignored
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(ranges, (std::vector<std::pair<long, long>>{{2, 5}, {2, 5}}));
}

TEST_F(RichEditNotifications, SelectionChangesAndTypingRaiseTheirEventsUnlessWantEventsIsFalse) {
    Text(L"hello world");
    std::vector<std::vector<long>> selections;
    edit.SelectionChange = [&](long& lMin, long& lMax, long& type) { selections.push_back({lMin, lMax, type}); };
    edit.Methods().SelectionCharRangeSet(6, 11);
    edit.Methods().SelectionCharRangeSet(11, 11);
    ASSERT_EQ(selections.size(), 2u);
    EXPECT_EQ((std::vector<long>{selections[0][0], selections[0][1], selections[0][2] & SEL_TEXT, selections[1][0]}),
              (std::vector<long>{6, 11, SEL_TEXT, 11}));
    // Windows reports an empty selection as 0; Wine adds SEL_MULTICHAR to it.
    EXPECT_EQ(selections[1][2] & ~SEL_MULTICHAR, SEL_EMPTY);
    int changes = 0;
    edit.Change = [&] { ++changes; };
    edit.Behavior().WantEvents(false);
    TypeChar(L'b');
    EXPECT_EQ(changes, 0);
    edit.Behavior().WantEvents(true);
    // Change, update, scroll, keys, mouse, selection, dropped files, protection and links;
    // Wine reports links even unasked, so only the mask shows a missing one.
    EXPECT_EQ(::SendMessageW(Edit(), EM_GETEVENTMASK, 0, 0), 0x043B0007);
    TypeChar(L'c');
    EXPECT_GE(changes, 1);
    EXPECT_EQ(Text(), L"hello worldbc");
}

TEST_F(RichEditNotifications, MouseScrollAndLinkMessagesReachTheirEvents) {
    std::vector<std::wstring> log;
    std::vector<std::pair<float, float>> doubles;
    const auto note = [&](const wchar_t* name) {
        return [&log, name](short& button, short&, float&, float&) { log.push_back(name + std::to_wstring(button)); };
    };
    edit.MouseDown = note(L"down ");
    edit.MouseUp = note(L"up ");
    edit.MouseMove = note(L"move ");
    edit.DblClick = [&](float& x, float& y) { doubles.emplace_back(x, y); };
    edit.VScroll = [&] { log.push_back(L"vscroll"); };
    edit.HScroll = [&] { log.push_back(L"hscroll"); };
    POINT origin{0, 0};
    ::ClientToScreen(Edit(), &origin);
    ::SetCursorPos(origin.x + 10, origin.y + 20);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDBLCLK,
                         WM_MBUTTONDBLCLK, WM_MOUSEMOVE, WM_VSCROLL, WM_HSCROLL})
        ::SendMessageW(Edit(), message, 0, message == WM_VSCROLL || message == WM_HSCROLL ? 0 : MAKELPARAM(10, 20));
    EXPECT_EQ(log, (std::vector<std::wstring>{L"down 1", L"up 1", L"down 2", L"up 2", L"move 0", L"vscroll",
                                              L"hscroll"}));
    ASSERT_EQ(doubles.size(), 1u);  // the middle button's double click raises nothing
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(Edit(), &cursor);
    unique_window_dc screen(nullptr);
    EXPECT_FLOAT_EQ(doubles[0].first, cursor.x * 1440.0f / ::GetDeviceCaps(screen.get(), LOGPIXELSX));
    EXPECT_FLOAT_EQ(doubles[0].second, cursor.y * 1440.0f / ::GetDeviceCaps(screen.get(), LOGPIXELSY));

    edit.View().AutoURLDetect(true);
    Text(L"see http://example.org/ now");
    std::vector<std::vector<long>> links;
    edit.LinkOver = [&](short& type, long& lMin, long& lMax) { links.push_back({type, lMin, lMax}); };
    POINT p{};
    ::SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), 8);
    ::SendMessageW(Edit(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x + 2, p.y + 2));
    ::SendMessageW(Edit(), WM_LBUTTONUP, 0, MAKELPARAM(p.x + 2, p.y + 2));
    ASSERT_FALSE(links.empty());
    EXPECT_EQ(links.back(), (std::vector<long>{WM_LBUTTONUP, 4, 23}));
}

TEST_F(RichEditNotifications, AClickFocusesWithoutActivatingAndAThrowingHandlerLeavesTheEditWorking) {
    ::SetFocus(form.get());
    AcceleratorRouting::Release(&edit);
    EXPECT_EQ(::SendMessageW(Edit(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(form.get()),
                             MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    EXPECT_EQ(::GetFocus(), Edit());
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), static_cast<ITranslateAccelerator*>(&edit));
    edit.KeyPress = [](short&) { throw std::runtime_error("handler failed"); };
    TypeChar(L'k');
    edit.KeyPress = nullptr;
    TypeChar(L'm');
    EXPECT_EQ(Text().back(), L'm');
}

}  // namespace
}  // namespace tarvo
