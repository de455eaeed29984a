#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "controls/accelerator_routing.h"
#include "rich_edit_test_support.h"

namespace tarvo {
namespace {

using RichEditKeys = testing::RichEditFixture;
using Keys = std::vector<short>;

TEST_F(RichEditKeys, EnterRaisesKeyEnterOnceAndConsumeEnterDecidesWhetherItBreaksTheLine) {
    int enters = 0;
    edit.KeyEnter = [&] { ++enters; };
    Text(L"dir");
    edit.Methods().SelectionCharRangeSet(3, 3);
    edit.Behavior().ConsumeEnter(true);
    PressKey(VK_RETURN);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(Text(), L"dir");

    edit.Behavior().ConsumeEnter(false);
    PressKey(VK_RETURN);
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(edit.Methods().LineCount(), 2);
}

TEST_F(RichEditKeys, HandlersThatChangeTheKeyOrCharacterWithholdIt) {
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
    EXPECT_EQ(Text(), L"abc");
    PressKey(VK_DELETE);
    EXPECT_EQ(Text(), L"bc");
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
    const auto caretAfter = [&](WPARAM key) {
        PressKey(key);
        long start = -1, end = -1;
        edit.Methods().SelectionCharRangeGet(start, end);
        return start;
    };
    edit.Methods().SelectionCharRangeSet(5, 5);
    EXPECT_EQ(caretAfter(VK_HOME), 4);
    EXPECT_EQ(caretAfter(VK_END), 7);
    EXPECT_EQ(caretAfter(VK_LEFT), 6);
    EXPECT_EQ(caretAfter(VK_RIGHT), 7);
    EXPECT_LT(caretAfter(VK_UP), 4);
    EXPECT_GT(caretAfter(VK_DOWN), 3);
    EXPECT_GT(caretAfter(VK_NEXT), 7);
    EXPECT_LT(caretAfter(VK_PRIOR), 4);
    const std::wstring before = Text();
    PressKey(VK_BACK);  // swallowed by the preview: nothing deleted
    EXPECT_EQ(Text(), before);
    PressKey(VK_RETURN);
    EXPECT_EQ(enters, 1);
}

using RichEditNotifications = testing::RichEditFixture;

TEST_F(RichEditNotifications, ProtectedTextRefusesChangesUnlessTheHandlerAllows) {
    Text(L"C:\\>");
    edit.Methods().SelectAll();
    edit.Methods().FormatProtectedSet(true);
    edit.Methods().SelectionCharRangeSet(4, 4);
    int attempts = 0;
    bool allow = false;
    edit.ModifyProtected = [&](bool& doIt, long&, long&) {
        ++attempts;
        EXPECT_FALSE(doIt);
        doIt = allow;
    };
    PressKey(VK_BACK);
    if (attempts == 0 && testing::RunningUnderWine()) {
        GTEST_SKIP() << "Wine's rich edit neither sends EN_PROTECTED nor protects text; "
                        "ModifyProtectedDecidesTheEditsAnswer covers the control's side";
    }
    edit.Methods().SelectionCharRangeSet(0, 0);
    TypeChar(L'x');
    EXPECT_EQ(Text(), L"C:\\>");
    EXPECT_GE(attempts, 2);  // one for each refused change

    allow = true;
    edit.Methods().SelectionCharRangeSet(4, 4);
    PressKey(VK_BACK);
    EXPECT_EQ(Text(), L"C:\\");
}

TEST_F(RichEditNotifications, ModifyProtectedDecidesTheEditsAnswer) {
    ENPROTECTED attempt{};
    attempt.nmhdr.hwndFrom = Edit();
    attempt.nmhdr.code = EN_PROTECTED;
    attempt.msg = WM_CHAR;
    attempt.chrg = {2, 5};
    std::vector<std::pair<long, long>> ranges;
    bool allow = false;
    edit.ModifyProtected = [&](bool& doIt, long& lMin, long& lMax) {
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
    EXPECT_EQ(selections[0][0], 6);
    EXPECT_EQ(selections[0][1], 11);
    EXPECT_EQ(selections[0][2] & SEL_TEXT, SEL_TEXT);
    EXPECT_EQ(selections[1][0], 11);
    // Windows reports an empty selection as 0; Wine adds SEL_MULTICHAR to it.
    EXPECT_EQ(selections[1][2] & ~SEL_MULTICHAR, SEL_EMPTY);

    int changes = 0;
    edit.Change = [&] { ++changes; };
    edit.Behavior().WantEvents(false);
    TypeChar(L'b');
    EXPECT_EQ(changes, 0);
    edit.Behavior().WantEvents(true);
    EXPECT_EQ(::SendMessageW(Edit(), EM_GETEVENTMASK, 0, 0), 0x043B0007);
    TypeChar(L'c');
    EXPECT_GE(changes, 1);
    EXPECT_EQ(Text(), L"hello worldbc");
}

TEST_F(RichEditNotifications, MouseAndScrollMessagesReachTheirEvents) {
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
    const LPARAM at = MAKELPARAM(10, 20);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDBLCLK,
                         WM_MBUTTONDBLCLK, WM_MOUSEMOVE, WM_VSCROLL, WM_HSCROLL}) {
        ::SendMessageW(Edit(), message, 0, message == WM_VSCROLL || message == WM_HSCROLL ? 0 : at);
    }
    EXPECT_EQ(log, (std::vector<std::wstring>{L"down 1", L"up 1", L"down 2", L"up 2", L"move 0", L"vscroll",
                                              L"hscroll"}));
    ASSERT_EQ(doubles.size(), 1u);  // the middle button's double click raises nothing
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(Edit(), &cursor);
    unique_window_dc screen(nullptr);
    EXPECT_FLOAT_EQ(doubles[0].first, cursor.x * 1440.0f / ::GetDeviceCaps(screen.get(), LOGPIXELSX));
    EXPECT_FLOAT_EQ(doubles[0].second, cursor.y * 1440.0f / ::GetDeviceCaps(screen.get(), LOGPIXELSY));
}

TEST_F(RichEditNotifications, ClickingLinkTextReportsTheLinkAndAThrowingHandlerLeavesTheEditWorking) {
    edit.View().AutoURLDetect(true);
    Text(L"see http://example.org/ now");
    std::vector<std::vector<long>> links;
    edit.LinkOver = [&](short& type, long& lMin, long& lMax) { links.push_back({type, lMin, lMax}); };
    edit.Methods().SelectionCharRangeSet(0, 0);
    POINT p{};
    ::SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), 8);
    ::SendMessageW(Edit(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x + 2, p.y + 2));
    ::SendMessageW(Edit(), WM_LBUTTONUP, 0, MAKELPARAM(p.x + 2, p.y + 2));
    ASSERT_FALSE(links.empty());
    EXPECT_EQ(links.back(), (std::vector<long>{WM_LBUTTONUP, 4, 23}));

    Text(L"");
    edit.KeyPress = [](short&) { throw std::runtime_error("handler failed"); };
    TypeChar(L'k');
    edit.KeyPress = nullptr;
    TypeChar(L'm');
    EXPECT_EQ(Text().back(), L'm');
}

using RichEditLayout = testing::RichEditFixture;

TEST_F(RichEditLayout, ResizingTheContainerFitsTheEditAndItsFormattingRectangle) {
    edit.Move(5, 5, 200, 120);
    testing::PumpMessages();
    RECT window{}, format{};
    ::GetWindowRect(Edit(), &window);
    EXPECT_EQ(window.right - window.left, 200);
    EXPECT_EQ(window.bottom - window.top, 120);
    ::SendMessageW(Edit(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_GE(format.left, 8);
    EXPECT_LE(format.right, 200 - 8);
    EXPECT_EQ(format.top, 2);
}

TEST_F(RichEditLayout, TheContainerHandsTheFocusOnAndAClickFocusesWithoutActivating) {
    ::SetFocus(form.get());
    AcceleratorRouting::Release(&edit);
    const LRESULT result = ::SendMessageW(Edit(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(form.get()),
                                          MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(result, MA_NOACTIVATE);
    EXPECT_EQ(::GetFocus(), Edit());
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), static_cast<ITranslateAccelerator*>(&edit));
}

TEST_F(RichEditLayout, InitCanBeRepeatedAndKeepsTheEventsFlowing) {
    const HWND first = Edit();
    edit.Init();
    EXPECT_FALSE(::IsWindow(first) && ::GetParent(first) == edit.hWnd());
    int changes = 0;
    edit.Change = [&] { ++changes; };
    ::SetFocus(edit.hWnd());
    TypeChar(L'q');
    EXPECT_EQ(Text(), L"q");
    EXPECT_GE(changes, 1);

    VRX_RichEdit unhosted;
    unhosted.Init();  // no container: nothing is created, settings are only stored
    EXPECT_EQ(unhosted.RichEdithWnd(), nullptr);
    unhosted.Behavior().ReadOnly(true);
    EXPECT_TRUE(unhosted.Behavior().ReadOnly());
    EXPECT_EQ(unhosted.Methods().SelectedText(), L"");
}

}  // namespace
}  // namespace tarvo
