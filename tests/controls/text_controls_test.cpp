// The list box and the input box on a probe form, driven through the program's
// own message routing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/accelerator_routing.h"
#include "controls/system_fonts.h"
#include "controls/input_box.h"
#include "controls/list_box.h"
#include "expect_raised.h"
#include "test_support.h"
#include "test_window.h"

namespace tarvo {
namespace {

using Log = std::vector<std::wstring>;
using testing::PumpMessages;

class TextControlTest : public ::testing::Test {
protected:
    void SetUp() override { owner_.reset(testing::CreateProbeWindow(ownerLog_)); }
    void TearDown() override { AcceleratorRouting::PreviewKeysWith(nullptr); }

    template <typename Events>
    void RecordKeys(Events& events) {
        events.KeyDown = [this](std::int16_t& key, std::int16_t&) { log_.push_back(L"KeyDown " + std::to_wstring(key)); };
        events.KeyUp = [this](std::int16_t& key, std::int16_t&) { log_.push_back(L"KeyUp " + std::to_wstring(key)); };
        events.KeyPress = [this](std::int16_t& key) { log_.push_back(L"KeyPress " + std::to_wstring(key)); };
        events.KeyEnter = [this] { log_.push_back(L"KeyEnter"); };
    }
    // Posted like real input, so it passes through the routing of the message loop.
    static void Keys(HWND window, std::initializer_list<std::pair<UINT, WPARAM>> keys) {
        for (const auto& [message, key] : keys) {
            ::PostMessageW(window, message, key, 1);
            PumpMessages();  // one at a time: a translated character is queued behind what is already posted
        }
    }
    static long StyleBits(HWND window, int which) { return static_cast<long>(::GetWindowLongPtrW(window, which)); }

    testing::WindowLog ownerLog_;
    unique_hwnd owner_;
    Log log_;
};

class ListBoxTest : public TextControlTest {
protected:
    void InitList(std::initializer_list<const wchar_t*> items = {L"one", L"two", L"three"}) {
        list_.Init(owner_.get(), RECT{10, 10, 210, 160});
        ASSERT_NE(list_.ListBoxhWnd(), nullptr);
        for (const wchar_t* item : items) ASSERT_TRUE(list_.Methods().AddItem(item));
        RecordKeys(list_.Events);
        auto note = [this](const wchar_t* name) { return [this, name] { log_.push_back(name); }; };
        list_.Events.SelectionChange = note(L"SelectionChange");
        list_.Events.DblClickItem = note(L"DblClickItem");
        list_.Events.VScroll = note(L"VScroll");
        list_.Events.HScroll = note(L"HScroll");
    }
    void DoubleClickItem(int index) {
        RECT item{};
        ::SendMessageW(list_.ListBoxhWnd(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            ::SendMessageW(list_.ListBoxhWnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                           MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2));
        PumpMessages();
    }
    long Selected() { return list_.Methods().CurSelIndexGet(); }

    VRX_ListBox list_;
};

TEST_F(ListBoxTest, ItemsOutsideTheListAreRefusedAndStorageOverflowIsErrorSix) {
    EXPECT_FALSE(list_.Methods().AddItem(L"x"));  // no window yet
    MSG msg{nullptr, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_EQ(list_.TranslateAccel(msg), 1);
    InitList({L"a"});
    ListMethods& items = list_.Methods();
    EXPECT_TRUE(items.AddItem(L"zero", 0));
    EXPECT_FALSE(items.AddItem(L"never", -2));
    EXPECT_EQ((Log{items.ItemGet(-1), items.ItemGet(0), items.ItemGet(1), items.ItemGet(2)}), (Log{L"", L"zero", L"a", L""}));
    EXPECT_FALSE(items.RemoveItem(2));
    items.CurSelIndexSet(1);
    items.EraseAll();
    EXPECT_EQ(items.ItemCountGet() + Selected(), -1);
    EXPECT_TRUE(items.SetStorageSize(1, 2097151));  // just under 2 GB still fits
    testing::ExpectRaised(6, L"", [&] { items.SetStorageSize(1, 2097152); }, L"Overflow");
}

TEST_F(ListBoxTest, KeysAndClicksRaiseTheirEventsInOrderAndNavigationBeatsThePreview) {
    InitList();
    list_.Methods().CurSelIndexSet(0);
    ::SetFocus(list_.ContainerhWnd());
    PumpMessages();
    EXPECT_EQ(::GetFocus(), list_.ListBoxhWnd());
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &list_);
    Keys(list_.ListBoxhWnd(), {{WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}});
    EXPECT_EQ(log_, Log{L"KeyEnter"});
    log_.clear();
    // The list acts on the key before the control reports it.
    Keys(list_.ListBoxhWnd(), {{WM_KEYDOWN, VK_DOWN}, {WM_KEYUP, VK_DOWN}, {WM_CHAR, 't'}});
    EXPECT_EQ(log_, (Log{L"SelectionChange", L"KeyDown 40", L"KeyUp 40", L"SelectionChange", L"KeyPress 116"}));
    EXPECT_EQ(Selected(), 2);
    log_.clear();
    DoubleClickItem(1);
    EXPECT_EQ(log_, (Log{L"SelectionChange", L"DblClickItem"}));
    ::SendMessageW(list_.ListBoxhWnd(), WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(log_.back(), L"HScroll");

    // Every navigation key reaches the list although the form's preview would take it.
    list_.Methods().CurSelIndexSet(0);
    AcceleratorRouting::PreviewKeysWith([](MSG&) { return true; });
    for (const auto& [key, selected] : {std::pair{VK_DOWN, 1}, {VK_END, 2}, {VK_UP, 1}, {VK_HOME, 0}, {VK_NEXT, 2},
                                        {VK_PRIOR, 0}}) {
        Keys(list_.ListBoxhWnd(), {{WM_KEYDOWN, key}});
        EXPECT_EQ(Selected(), selected) << key;
    }
    AcceleratorRouting::PreviewKeysWith(nullptr);

    log_.clear();
    list_.Behavior().WantEvents(false);  // silences the events, not the list
    Keys(list_.ListBoxhWnd(), {{WM_KEYDOWN, VK_UP}, {WM_KEYDOWN, VK_RETURN}});
    DoubleClickItem(0);
    ::SendMessageW(list_.ListBoxhWnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(log_, Log{});
    EXPECT_EQ(Selected(), 0);
}

TEST_F(ListBoxTest, AClickFocusesWithoutActivatingAndTheListTakesItsWindowsAndRoutingAlong) {
    HWND container = nullptr;
    {
        VRX_ListBox scoped;
        scoped.Init(owner_.get(), RECT{0, 0, 50, 50});
        container = scoped.ContainerhWnd();
        ::SetFocus(owner_.get());
        const auto mouseActivate = [&] {
            return ::SendMessageW(scoped.ListBoxhWnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(owner_.get()),
                                  MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        };
        EXPECT_EQ(mouseActivate(), MA_NOACTIVATE);
        EXPECT_EQ(::GetFocus(), scoped.ListBoxhWnd());
        EXPECT_NE(mouseActivate(), MA_NOACTIVATE);  // once focused, the list's own answer counts
        PumpMessages();
        EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &scoped);
    }
    EXPECT_FALSE(::IsWindow(container));
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), nullptr);
}

TEST_F(ListBoxTest, SettingsBeforeInitBecomeCreationStylesAndLaterOnesChangeTheWindow) {
    list_.View().Border(true);
    list_.View().AlwaysShowScrollBars(true);
    InitList();
    const HWND window = list_.ListBoxhWnd();
    EXPECT_EQ(StyleBits(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(StyleBits(window, GWL_STYLE) & 0xFFFF, 0x1141);  // no-scroll disabling, strings, notify
    EXPECT_EQ(::SendMessageW(window, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(DefaultFontHandle(kMenuFont)));
    list_.View().Border(false);
    list_.View().ShowVScroll(false);
    list_.Behavior().Enabled(false);
    EXPECT_EQ(StyleBits(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(StyleBits(window, GWL_STYLE) & (WS_VSCROLL | WS_DISABLED), WS_DISABLED);
}

class InputBoxTest : public TextControlTest {
protected:
    void InitBox() {
        box_.Init(owner_.get(), RECT{10, 10, 310, 110});
        ASSERT_NE(box_.EdithWnd(), nullptr);
    }
    DWORD Caret() const {
        DWORD start = 0;
        ::SendMessageW(box_.EdithWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        return start;
    }

    VRX_InputBox box_;
};

TEST_F(InputBoxTest, TextNeedsAWindowAndTheHeightIsTheMenuFontLinePlusFourPixels) {
    box_.Methods().TextSet(L"lost");
    EXPECT_EQ(box_.Methods().TextGet(), L"");
    InitBox();
    long fontHeight = 0;
    {
        unique_window_dc dc(box_.ContainerhWnd());
        fontHeight = DefaultFontHeight(kMenuFont, dc.get());
        if (DefPrefsHandles::Shared().Description(kMenuFont)->lfHeight == -12 && ::GetDeviceCaps(dc.get(), LOGPIXELSY) == 96) {
            EXPECT_EQ(fontHeight, 16);
        }
    }
    ASSERT_GT(fontHeight, 0);
    RECT client{};
    ::GetClientRect(box_.ContainerhWnd(), &client);
    EXPECT_EQ((std::vector<long>{client.right, client.bottom, test::WindowRect(box_.EdithWnd()).bottom -
                                                               test::WindowRect(box_.EdithWnd()).top}),
              (std::vector<long>{300, fontHeight + 4, fontHeight + 4}));
    EXPECT_EQ(::SendMessageW(box_.EdithWnd(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(DefaultFontHandle(kMenuFont)));
}

TEST_F(InputBoxTest, KeysRaiseTheirEventsEnterOnlyKeyEnterAndNavigationBeatsThePreview) {
    InitBox();
    RecordKeys(box_.Events);
    ::SetFocus(box_.ContainerhWnd());
    PumpMessages();
    EXPECT_EQ(::GetFocus(), box_.EdithWnd());
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &box_);
    // The message loop translates the key into its character.
    Keys(box_.EdithWnd(), {{WM_KEYDOWN, 'A'}, {WM_KEYUP, 'A'}, {WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}});
    EXPECT_EQ(log_, (Log{L"KeyDown 65", L"KeyPress 97", L"KeyUp 65", L"KeyEnter"}));
    EXPECT_EQ(box_.Methods().TextGet(), L"a");
    log_.clear();
    box_.Methods().TextSet(L"abcdef");
    ::SendMessageW(box_.EdithWnd(), EM_SETSEL, 3, 3);
    AcceleratorRouting::PreviewKeysWith([](MSG&) { return true; });
    Keys(box_.EdithWnd(), {{WM_KEYDOWN, VK_HOME}});
    EXPECT_EQ(Caret(), 0u);
    Keys(box_.EdithWnd(), {{WM_KEYDOWN, VK_END}, {WM_KEYDOWN, 'Q'}});  // not a navigation key: swallowed
    EXPECT_EQ(Caret(), 6u);
    EXPECT_EQ(log_, (Log{L"KeyDown 36", L"KeyDown 35"}));
}

TEST_F(InputBoxTest, ReadOnlyAndBorderBecomeCreationStylesAndReadOnlyFollowsTheWindow) {
    box_.Behavior().ReadOnly(true);
    box_.View().Border(false);
    InitBox();
    const HWND edit = box_.EdithWnd();
    EXPECT_EQ(StyleBits(edit, GWL_STYLE) & ES_READONLY, ES_READONLY);
    EXPECT_EQ(StyleBits(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    ::SendMessageW(edit, EM_SETREADONLY, FALSE, 0);  // the window decides once it exists
    EXPECT_FALSE(box_.Behavior().ReadOnly());
    box_.View().Border(true);
    InitBox();
    EXPECT_FALSE(::IsWindow(edit));
    EXPECT_EQ(StyleBits(box_.EdithWnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
}

}  // namespace
}  // namespace tarvo
