#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "controls/accelerator_routing.h"
#include "rich_edit_test_support.h"

namespace tarvo {
namespace {

using RichEditKeys = testing::RichEditFixture;

TEST_F(RichEditKeys, EnterWithConsumeEnterRaisesKeyEnterOnceAndLeavesTheText) {
    SetText(L"dir");
    edit.Methods().SelectionCharRangeSet(3, 3);
    edit.Behavior().ConsumeEnter(true);
    int enters = 0;
    edit.KeyEnter = [&] { ++enters; };
    PressKey(VK_RETURN);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(Text(), L"dir");
}

TEST_F(RichEditKeys, EnterWithoutConsumeEnterAlsoBreaksTheLine) {
    SetText(L"dir");
    edit.Methods().SelectionCharRangeSet(3, 3);
    int enters = 0;
    edit.KeyEnter = [&] { ++enters; };
    PressKey(VK_RETURN);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(edit.Methods().LineCount(), 2);
}

TEST_F(RichEditKeys, AKeyDownHandlerThatChangesTheKeyWithholdsIt) {
    SetText(L"abc");
    edit.Methods().SelectionCharRangeSet(0, 0);
    std::vector<short> seen;
    edit.KeyDown = [&](short& key, short&) {
        seen.push_back(key);
        if (key == VK_DELETE) key = 0;
    };
    PressKey(VK_DELETE);
    EXPECT_EQ(Text(), L"abc");
    edit.KeyDown = [&](short& key, short&) { seen.push_back(key); };
    PressKey(VK_DELETE);
    EXPECT_EQ(Text(), L"bc");
    EXPECT_EQ(seen, (std::vector<short>{VK_DELETE, VK_DELETE}));
}

TEST_F(RichEditKeys, AKeyPressHandlerThatChangesTheCharacterWithholdsIt) {
    std::vector<short> seen;
    edit.KeyPress = [&](short& c) {
        seen.push_back(c);
        if (c == L'x') c = 0;
    };
    TypeChar(L'x');
    TypeChar(L'y');
    EXPECT_EQ(Text(), L"y");
    EXPECT_EQ(seen, (std::vector<short>{L'x', L'y'}));
}

TEST_F(RichEditKeys, KeyUpReportsTheKeyAndShiftStateButNeverForEnter) {
    std::vector<short> ups;
    short shiftSeen = -1;
    edit.KeyUp = [&](short& key, short& shift) {
        ups.push_back(key);
        shiftSeen = shift;
    };
    PressKey(VK_HOME);
    PressKey(VK_RETURN);
    EXPECT_EQ(ups, std::vector<short>{VK_HOME});
    EXPECT_EQ(shiftSeen, 0);
}

TEST_F(RichEditKeys, TabIsTypedWhenTrappedAndLeftToTheFormWithShiftOrCtrl) {
    int formTabs = 0;
    // The form's own handling of Tab: it would move the focus.
    AcceleratorRouting::SetKeyPreview([&](MSG& msg) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) ++formTabs;
        return msg.wParam == VK_TAB;
    });
    PressKey(VK_TAB);
    EXPECT_EQ(Text(), L"\t");
    EXPECT_EQ(formTabs, 0);

    WithModifier(VK_SHIFT, [&] { PressKey(VK_TAB); });
    WithModifier(VK_CONTROL, [&] { PressKey(VK_TAB); });
    EXPECT_EQ(Text(), L"\t");
    EXPECT_EQ(formTabs, 2);

    edit.View().TrapTab(false);
    PressKey(VK_TAB);
    EXPECT_EQ(Text(), L"\t");
    EXPECT_EQ(formTabs, 3);
}

TEST_F(RichEditKeys, ShiftStateOfKeyDownComesFromTheKeyboard) {
    std::vector<short> shifts;
    edit.KeyDown = [&](short& key, short& shift) {
        if (key == VK_END) shifts.push_back(shift);
    };
    PressKey(VK_END);
    WithModifier(VK_SHIFT, [&] { PressKey(VK_END); });
    WithModifier(VK_CONTROL, [&] { PressKey(VK_END); });
    EXPECT_EQ(shifts, (std::vector<short>{0, 1, 2}));
}

using RichEditNotifications = testing::RichEditFixture;

TEST_F(RichEditNotifications, ProtectedTextRefusesChangesUnlessTheHandlerAllows) {
    SetText(L"C:\\>");
    edit.Methods().SelectAll();
    edit.Methods().FormatProtectedSet(true);
    edit.Methods().SelectionCharRangeSet(4, 4);
    std::vector<std::pair<long, long>> attempts;
    bool allow = false;
    edit.ModifyProtected = [&](bool& doIt, long& lMin, long& lMax) {
        attempts.emplace_back(lMin, lMax);
        EXPECT_FALSE(doIt);
        doIt = allow;
    };
    PressKey(VK_BACK);
    if (attempts.empty() && testing::RunningUnderWine()) {
        GTEST_SKIP() << "Wine's rich edit neither sends EN_PROTECTED nor protects text; "
                        "ModifyProtectedDecidesTheEditsAnswer covers the control's side";
    }
    edit.Methods().SelectionCharRangeSet(0, 0);
    TypeChar(L'x');
    EXPECT_EQ(Text(), L"C:\\>");
    EXPECT_GE(attempts.size(), 2u);  // one for each refused change

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
        EXPECT_FALSE(doIt);
        ranges.emplace_back(lMin, lMax);
        doIt = allow;
    };
    const auto send = [&] { return ::SendMessageW(edit.hWnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&attempt)); };
    EXPECT_EQ(send(), 1);  // refused
    allow = true;
    EXPECT_EQ(send(), 0);  // allowed
    EXPECT_EQ(ranges, (std::vector<std::pair<long, long>>{{2, 5}, {2, 5}}));
    attempt.nmhdr.hwndFrom = form.get();  // not from the edit: ignored
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(ranges.size(), 2u);
}

TEST_F(RichEditNotifications, SelectionChangeReportsTheNewRange) {
    SetText(L"hello world");
    std::vector<std::vector<long>> changes;
    edit.SelectionChange = [&](long& lMin, long& lMax, long& type) { changes.push_back({lMin, lMax, type}); };
    edit.Methods().SelectionCharRangeSet(6, 11);
    edit.Methods().SelectionCharRangeSet(2, 2);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0][0], 6);
    EXPECT_EQ(changes[0][1], 11);
    EXPECT_EQ(changes[0][2] & SEL_TEXT, SEL_TEXT);
    EXPECT_EQ(changes[1][0], 2);
    EXPECT_EQ(changes[1][1], 2);
    // Windows reports an empty selection as 0; Wine adds SEL_MULTICHAR to it.
    EXPECT_EQ(changes[1][2] & ~SEL_MULTICHAR, SEL_EMPTY);
}

TEST_F(RichEditNotifications, TypingRaisesChangeAndWantEventsFalseSilencesIt) {
    int changes = 0;
    edit.Change = [&] { ++changes; };
    TypeChar(L'a');
    EXPECT_GE(changes, 1);
    const int before = changes;
    edit.Behavior().WantEvents(false);
    EXPECT_EQ(::SendMessageW(Edit(), EM_GETEVENTMASK, 0, 0), 0);
    TypeChar(L'b');
    EXPECT_EQ(changes, before);
    edit.Behavior().WantEvents(true);
    EXPECT_EQ(::SendMessageW(Edit(), EM_GETEVENTMASK, 0, 0), 0x043B0007);
    TypeChar(L'c');
    EXPECT_GT(changes, before);
    EXPECT_EQ(Text(), L"abc");
}

TEST_F(RichEditNotifications, MouseButtonsReachTheirEvents) {
    std::vector<short> downs, ups;
    edit.MouseDown = [&](short& button, short&, float&, float&) { downs.push_back(button); };
    edit.MouseUp = [&](short& button, short&, float&, float&) { ups.push_back(button); };
    ::SendMessageW(Edit(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    ::SendMessageW(Edit(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    ::SendMessageW(Edit(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 10));
    ::SendMessageW(Edit(), WM_RBUTTONUP, 0, MAKELPARAM(20, 10));
    EXPECT_EQ(downs, (std::vector<short>{1, 2}));
    EXPECT_EQ(ups, (std::vector<short>{1, 2}));
}

TEST_F(RichEditNotifications, DoubleClicksAndMovesReportTwipsFromTheCursor) {
    std::vector<std::pair<float, float>> doubles;
    std::vector<short> moveButtons;
    edit.DblClick = [&](float& x, float& y) { doubles.emplace_back(x, y); };
    edit.MouseMove = [&](short& button, short&, float&, float&) { moveButtons.push_back(button); };
    POINT origin{0, 0};
    ::ClientToScreen(Edit(), &origin);
    ::SetCursorPos(origin.x + 10, origin.y + 20);
    ::SendMessageW(Edit(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 20));
    ::SendMessageW(Edit(), WM_MBUTTONDBLCLK, MK_MBUTTON, MAKELPARAM(10, 20));  // no event
    ::SendMessageW(Edit(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
    ASSERT_EQ(doubles.size(), 1u);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(Edit(), &cursor);
    unique_window_dc screen(nullptr);
    EXPECT_FLOAT_EQ(doubles[0].first, cursor.x * 1440.0f / ::GetDeviceCaps(screen.get(), LOGPIXELSX));
    EXPECT_FLOAT_EQ(doubles[0].second, cursor.y * 1440.0f / ::GetDeviceCaps(screen.get(), LOGPIXELSY));
    EXPECT_EQ(moveButtons, std::vector<short>{0});
}

TEST_F(RichEditNotifications, ScrollMessagesRaiseTheirEvents) {
    int vertical = 0, horizontal = 0;
    edit.VScroll = [&] { ++vertical; };
    edit.HScroll = [&] { ++horizontal; };
    ::SendMessageW(Edit(), WM_VSCROLL, SB_LINEDOWN, 0);
    ::SendMessageW(Edit(), WM_HSCROLL, SB_LINERIGHT, 0);
    ::SendMessageW(Edit(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(vertical, 2);
    EXPECT_EQ(horizontal, 1);
}

TEST_F(RichEditNotifications, AHandlerThatThrowsLeavesTheEditWorking) {
    edit.KeyPress = [](short&) { throw std::runtime_error("handler failed"); };
    TypeChar(L'k');
    edit.KeyPress = nullptr;
    TypeChar(L'm');
    EXPECT_EQ(Text().back(), L'm');
}

TEST_F(RichEditNotifications, ClickingLinkTextReportsTheLinkRangeAndMessage) {
    edit.View().AutoURLDetect(true);
    SetText(L"see http://example.org/ now");
    std::vector<std::vector<long>> links;
    edit.LinkOver = [&](short& type, long& lMin, long& lMax) { links.push_back({type, lMin, lMax}); };
    edit.Methods().SelectionCharRangeSet(0, 0);
    POINT p{};
    ::SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), 8);
    ::SendMessageW(Edit(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x + 2, p.y + 2));
    ::SendMessageW(Edit(), WM_LBUTTONUP, 0, MAKELPARAM(p.x + 2, p.y + 2));
    ASSERT_FALSE(links.empty());
    EXPECT_EQ(links.back(), (std::vector<long>{WM_LBUTTONUP, 4, 23}));
}

using RichEditLayout = testing::RichEditFixture;

TEST_F(RichEditLayout, ResizingTheContainerFitsTheEditAndItsFormattingRectangle) {
    edit.Move(5, 5, 200, 120);
    testing::PumpMessages();
    RECT editRect{};
    ::GetClientRect(Edit(), &editRect);
    RECT window{};
    ::GetWindowRect(Edit(), &window);
    EXPECT_EQ(window.right - window.left, 200);
    EXPECT_EQ(window.bottom - window.top, 120);
    RECT format{};
    ::SendMessageW(Edit(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_GE(format.left, 8);
    EXPECT_LE(format.right, 200 - 8);
    EXPECT_EQ(format.top, 2);
}

TEST_F(RichEditLayout, FocusOnTheContainerMovesToTheEditAndRoutesItsKeys) {
    ::SetFocus(form.get());
    ::SetFocus(edit.hWnd());
    testing::PumpMessages();
    EXPECT_EQ(::GetFocus(), Edit());
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), static_cast<ITranslateAccelerator*>(&edit));
}

TEST_F(RichEditLayout, AClickOnTheUnfocusedEditFocusesItWithoutActivating) {
    ::SetFocus(form.get());
    const LRESULT result =
        ::SendMessageW(Edit(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(form.get()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(result, MA_NOACTIVATE);
    EXPECT_EQ(::GetFocus(), Edit());
}

TEST_F(RichEditLayout, InitCanBeRepeatedAndKeepsTheEventsFlowing) {
    const HWND first = Edit();
    edit.Init();
    EXPECT_NE(Edit(), nullptr);
    EXPECT_FALSE(::IsWindow(first) && ::GetParent(first) == edit.hWnd());
    int changes = 0;
    edit.Change = [&] { ++changes; };
    ::SetFocus(edit.hWnd());
    TypeChar(L'q');
    EXPECT_EQ(Text(), L"q");
    EXPECT_GE(changes, 1);
}

TEST(RichEditWithoutWindow, SettersOnlyStoreAndAccessorsStayQuiet) {
    VRX_RichEdit edit;
    edit.Init();  // no container: nothing is created
    EXPECT_EQ(edit.RichEdithWnd(), nullptr);
    edit.Behavior().ReadOnly(true);
    EXPECT_TRUE(edit.Behavior().ReadOnly());
    edit.View().maxLength(10);
    EXPECT_EQ(edit.View().maxLength(), 10);
    EXPECT_EQ(edit.Methods().CharacterCount(), 0);
    EXPECT_FALSE(edit.Methods().ModifiedGet());
    EXPECT_EQ(edit.Methods().SelectedText(), L"");
}

}  // namespace
}  // namespace tarvo
