// The list box and the input box on a probe form, driven through the program's
// own message routing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/accelerator_routing.h"
#include "controls/input_box.h"
#include "controls/list_box.h"
#include "controls/system_fonts.h"
#include "expect_raised.h"
#include "test_support.h"
#include "test_window.h"

namespace tarvo {
namespace {

using Log = std::vector<std::wstring>;
using testing::PumpMessages;

class TextControlTest : public ::testing::Test {
protected:
    void SetUp() override { owner.reset(testing::CreateProbeWindow(ownerLog)); }
    void TearDown() override { AcceleratorRouting::PreviewKeysWith(nullptr); }

    template <typename Events>
    void RecordKeys(Events& events) {
        events.KeyDown = [this](std::int16_t& key, std::int16_t&) { log.push_back(L"KeyDown " + std::to_wstring(key)); };
        events.KeyUp = [this](std::int16_t& key, std::int16_t&) { log.push_back(L"KeyUp " + std::to_wstring(key)); };
        events.KeyPress = [this](std::int16_t& key) { log.push_back(L"KeyPress " + std::to_wstring(key)); };
        events.KeyEnter = [this] { log.push_back(L"KeyEnter"); };
    }
    // Posted like real input, so it passes through the routing of the message loop.
    static void Keys(HWND window, std::initializer_list<std::pair<UINT, WPARAM>> keys) {
        for (const auto& [message, key] : keys) {
            ::PostMessageW(window, message, key, 1);
            PumpMessages();  // one at a time: a translated character is queued behind what is already posted
        }
    }
    static long Style(HWND window, int which, long bits) { return static_cast<long>(::GetWindowLongPtrW(window, which)) & bits; }
    void InitList() {
        list.Init(owner.get(), RECT{10, 10, 210, 160});
        for (const wchar_t* item : {L"one", L"two", L"three"}) ASSERT_TRUE(list.Methods().AddItem(item));
        RecordKeys(list.Events);
        const auto note = [this](const wchar_t* name) { return [this, name] { log.push_back(name); }; };
        list.Events.SelectionChange = note(L"SelectionChange");
        list.Events.DblClickItem = note(L"DblClickItem");
        list.Events.VScroll = note(L"VScroll");
        list.Events.HScroll = note(L"HScroll");
    }
    long Selected() const { return list.Methods().CurSelIndexGet(); }

    testing::WindowLog ownerLog;
    unique_hwnd owner;
    Log log;
    VRX_ListBox list;
    VRX_InputBox box;
};

TEST_F(TextControlTest, ListItemsOutsideTheListAreRefusedAndStorageOverflowIsErrorSix) {
    EXPECT_FALSE(list.Methods().AddItem(L"x"));  // no window yet
    MSG enter{nullptr, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_EQ(list.TranslateAccel(enter), 1);
    InitList();
    ListMethods& items = list.Methods();
    EXPECT_TRUE(items.AddItem(L"a", 0));
    EXPECT_FALSE(items.AddItem(L"never", -2));
    EXPECT_EQ((Log{items.ItemGet(-1), items.ItemGet(0), items.ItemGet(1), items.ItemGet(3), items.ItemGet(4)}),
              (Log{L"", L"a", L"one", L"three", L""}));
    EXPECT_FALSE(items.RemoveItem(4));
    items.CurSelIndexSet(1);
    items.EraseAll();
    EXPECT_EQ(items.ItemCountGet() + Selected(), -1);
    EXPECT_TRUE(items.SetStorageSize(1, 2097151));  // just under 2 GB still fits
    testing::ExpectRaised(6, L"", [&] { items.SetStorageSize(1, 2097152); }, L"Overflow");
}

TEST_F(TextControlTest, AClickFocusesTheListAndItsKeysClicksAndScrollsRaiseTheirEventsInOrderAndNavigationBeatsThePreview) {
    InitList();
    list.Methods().CurSelIndexSet(0);
    const HWND window = list.ListBoxhWnd();
    ::SetFocus(owner.get());
    const auto mouseActivate = [&] {
        return ::SendMessageW(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(owner.get()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    };
    EXPECT_EQ(mouseActivate(), MA_NOACTIVATE);  // the form stays as it is
    EXPECT_EQ(::GetFocus(), window);
    EXPECT_NE(mouseActivate(), MA_NOACTIVATE);  // once focused, the list's own answer counts
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &list);
    // The list acts on a key before the control reports it.
    Keys(window, {{WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, VK_DOWN}, {WM_KEYUP, VK_DOWN}, {WM_CHAR, 't'}});
    RECT item{};
    ::SendMessageW(window, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_HSCROLL, WM_VSCROLL})
        ::SendMessageW(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(item.left + 5, item.top + 2));
    EXPECT_EQ(log, (Log{L"KeyEnter", L"SelectionChange", L"KeyDown 40", L"KeyUp 40", L"SelectionChange", L"KeyPress 116",
                        L"SelectionChange", L"DblClickItem", L"HScroll", L"VScroll"}));

    // Every navigation key reaches the list although the form's preview would take it.
    list.Methods().CurSelIndexSet(0);
    AcceleratorRouting::PreviewKeysWith([](MSG&) { return true; });
    for (const auto& [key, selected] : {std::pair{VK_DOWN, 1}, {VK_END, 2}, {VK_UP, 1}, {VK_HOME, 0}, {VK_NEXT, 2},
                                        {VK_PRIOR, 0}, {'T', 0}}) {
        Keys(window, {{WM_KEYDOWN, key}});
        EXPECT_EQ(Selected(), selected) << key;
    }
    AcceleratorRouting::PreviewKeysWith(nullptr);
    log.clear();
    list.Behavior().WantEvents(false);  // silences the events, not the list
    Keys(window, {{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_RETURN}});
    ::SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(log, Log{});
    EXPECT_EQ(Selected(), 1);
}

TEST_F(TextControlTest, SettingsBeforeInitBecomeCreationStylesAndADestroyedListTakesItsWindowsAndRoutingAlong) {
    list.View().Border(true);
    list.View().AlwaysShowScrollBars(true);
    InitList();
    const HWND window = list.ListBoxhWnd();
    EXPECT_EQ(Style(window, GWL_EXSTYLE, WS_EX_CLIENTEDGE), WS_EX_CLIENTEDGE);
    EXPECT_EQ(Style(window, GWL_STYLE, 0xFFFF), 0x1141);  // no-scroll disabling, strings, notify
    EXPECT_EQ(::SendMessageW(window, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(DefaultFontHandle(kMenuFont)));
    list.View().Border(false);
    list.View().ShowVScroll(false);
    list.Behavior().Enabled(false);
    EXPECT_EQ(Style(window, GWL_EXSTYLE, WS_EX_CLIENTEDGE), 0);
    EXPECT_EQ(Style(window, GWL_STYLE, WS_VSCROLL | WS_DISABLED), WS_DISABLED);
    box.Behavior().ReadOnly(true);
    box.View().Border(false);
    box.Init(owner.get(), RECT{10, 10, 310, 110});
    EXPECT_EQ(Style(box.EdithWnd(), GWL_STYLE, ES_READONLY) | Style(box.EdithWnd(), GWL_EXSTYLE, WS_EX_CLIENTEDGE), ES_READONLY);

    HWND container = nullptr;
    {
        VRX_ListBox scoped;
        scoped.Init(owner.get(), RECT{0, 0, 50, 50});
        container = scoped.ContainerhWnd();
        ::SetFocus(container);
        EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &scoped);
    }
    EXPECT_FALSE(::IsWindow(container));
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), nullptr);
}

TEST_F(TextControlTest, TheInputBoxIsOneMenuFontLineAndFourPixelsHighAndRaisesOnlyKeyEnterForEnter) {
    box.Methods().TextSet(L"lost");  // no window yet
    EXPECT_EQ(box.Methods().TextGet(), L"");
    box.Init(owner.get(), RECT{10, 10, 310, 110});
    const HWND edit = box.EdithWnd();
    unique_window_dc dc(box.ContainerhWnd());
    const long line = DefaultFontHeight(kMenuFont, dc.get());
    ASSERT_GT(line, 0);
    RECT client{};
    ::GetClientRect(box.ContainerhWnd(), &client);
    EXPECT_EQ((std::vector<long>{client.right, client.bottom, test::WindowRect(edit).bottom - test::WindowRect(edit).top}),
              (std::vector<long>{300, line + 4, line + 4}));
    EXPECT_EQ(::SendMessageW(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(DefaultFontHandle(kMenuFont)));

    RecordKeys(box.Events);
    ::SetFocus(box.ContainerhWnd());
    PumpMessages();
    EXPECT_EQ(::GetFocus(), edit);
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &box);
    // The message loop translates the key into its character.
    Keys(edit, {{WM_KEYDOWN, 'A'}, {WM_KEYUP, 'A'}, {WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}});
    EXPECT_EQ(box.Methods().TextGet(), L"a");
    box.Methods().TextSet(L"abcdef");
    ::SendMessageW(edit, EM_SETSEL, 3, 3);
    AcceleratorRouting::PreviewKeysWith([](MSG&) { return true; });
    Keys(edit, {{WM_KEYDOWN, VK_HOME}, {WM_KEYDOWN, VK_END}, {WM_KEYDOWN, 'Q'}});  // Q is not a navigation key: swallowed
    DWORD caret = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    EXPECT_EQ(caret, 6u);
    EXPECT_EQ(box.Methods().TextGet(), L"abcdef");
    EXPECT_EQ(log, (Log{L"KeyDown 65", L"KeyPress 97", L"KeyUp 65", L"KeyEnter", L"KeyDown 36", L"KeyDown 35"}));
}

}  // namespace
}  // namespace tarvo
