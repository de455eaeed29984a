// The list box and the input box on a probe form, driven through the program's
// own message routing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "controls/accelerator_routing.h"
#include "controls/def_prefs_handles.h"
#include "controls/input_box.h"
#include "controls/list_box.h"
#include "expect_raised.h"
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
        auto noteKey = [this](const wchar_t* name) {
            return [this, name](std::int16_t& key, std::int16_t&) { log_.push_back(name + std::to_wstring(key)); };
        };
        events.KeyDown = noteKey(L"KeyDown ");
        events.KeyUp = noteKey(L"KeyUp ");
        events.KeyPress = [this](std::int16_t& key) { log_.push_back(L"KeyPress " + std::to_wstring(key)); };
        events.KeyEnter = [this] { log_.push_back(L"KeyEnter"); };
    }
    // Posted like real input, so it passes through the routing of the message loop.
    static void Key(HWND window, UINT message, WPARAM key) {
        ::PostMessageW(window, message, key, 1);
        PumpMessages();
    }
    static void Focus(HWND container) {
        ::SetFocus(container);
        PumpMessages();
    }

    testing::WindowLog ownerLog_;
    unique_hwnd owner_;
    Log log_;
};

class ListBoxTest : public TextControlTest {
protected:
    void InitList(std::initializer_list<const wchar_t*> items = {}) {
        list_.Init(owner_.get(), RECT{10, 10, 210, 160});
        ASSERT_NE(list_.ListBoxhWnd(), nullptr);
        for (const wchar_t* item : items) ASSERT_TRUE(list_.Methods().AddItem(item));
    }
    void RecordEvents() {
        RecordKeys(list_.Events);
        auto note = [this](const wchar_t* name) { return [this, name] { log_.push_back(name); }; };
        auto& e = list_.Events;
        std::tie(e.SelectionChange, e.DblClickItem, e.VScroll, e.HScroll) =
            std::tuple(note(L"SelectionChange"), note(L"DblClickItem"), note(L"VScroll"), note(L"HScroll"));
    }
    void Key(UINT message, WPARAM key) { TextControlTest::Key(list_.ListBoxhWnd(), message, key); }
    void DoubleClickItem(int index) {
        RECT item{};
        HWND window = list_.ListBoxhWnd();
        ::SendMessageW(window, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
            ::SendMessageW(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
        }
        PumpMessages();
    }

    VRX_ListBox list_;
};

TEST_F(ListBoxTest, ItemsAreAppendedInsertedRemovedAndReadBack) {
    InitList();
    ListMethods& items = list_.Methods();
    EXPECT_TRUE(items.AddItem(L"first", -1));
    EXPECT_TRUE(items.AddItem(L"zero", 0));
    EXPECT_TRUE(items.AddItem(L"Привет → 世界"));
    EXPECT_TRUE(items.AddItem(L"a"));
    EXPECT_FALSE(items.AddItem(L"never", -2));
    ASSERT_EQ(items.ItemCountGet(), 4);
    EXPECT_EQ((Log{items.ItemGet(-1), items.ItemGet(0), items.ItemGet(1), items.ItemGet(2), items.ItemGet(3),
                   items.ItemGet(4)}),
              (Log{L"", L"zero", L"first", L"Привет → 世界", L"a", L""}));

    items.CurSelIndexSet(2);
    EXPECT_EQ(items.CurSelIndexGet(), 2);
    EXPECT_TRUE(items.RemoveItem(0));
    EXPECT_FALSE(items.RemoveItem(7));
    EXPECT_EQ(items.ItemGet(0), L"first");
    items.EraseAll();
    EXPECT_EQ(items.ItemCountGet(), 0);
    EXPECT_EQ(items.CurSelIndexGet(), -1);
}

TEST_F(ListBoxTest, StorageSizeOverflowIsErrorSixAndWithoutAWindowNothingHappens) {
    EXPECT_FALSE(list_.Methods().AddItem(L"x"));
    EXPECT_FALSE(list_.Methods().SetStorageSize(10, 1));
    MSG msg{nullptr, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_EQ(list_.TranslateAccel(msg), 1);

    InitList();
    EXPECT_TRUE(list_.Methods().SetStorageSize(1, 2097151));  // just under 2 GB still fits
    testing::ExpectRaised(6, L"", [&] { list_.Methods().SetStorageSize(1, 2097152); }, L"Overflow");
}

TEST_F(ListBoxTest, DoubleClickRaisesTheSelectionFirstThenDblClickItem) {
    InitList({L"one", L"two", L"three"});
    RecordEvents();
    DoubleClickItem(1);
    ASSERT_FALSE(log_.empty());
    EXPECT_EQ(log_.front(), L"SelectionChange");
    EXPECT_EQ(log_.back(), L"DblClickItem");
    EXPECT_EQ(std::count(log_.begin(), log_.end(), L"DblClickItem"), 1);
    EXPECT_EQ(list_.Methods().CurSelIndexGet(), 1);
}

TEST_F(ListBoxTest, EnterRaisesKeyEnterOnlyAndNavigationKeysBeatTheFormsPreview) {
    InitList({L"one", L"two", L"three"});
    list_.Methods().CurSelIndexSet(0);
    RecordEvents();
    Focus(list_.ContainerhWnd());
    EXPECT_EQ(::GetFocus(), list_.ListBoxhWnd());
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &list_);
    Key(WM_KEYDOWN, VK_RETURN);
    Key(WM_KEYUP, VK_RETURN);
    EXPECT_EQ(log_, Log{L"KeyEnter"});

    log_.clear();
    Key(WM_KEYDOWN, VK_DOWN);
    Key(WM_KEYUP, VK_DOWN);
    Key(WM_CHAR, 't');  // the list acts on the key before the control reports it
    EXPECT_EQ(log_, (Log{L"SelectionChange", L"KeyDown 40", L"KeyUp 40", L"SelectionChange", L"KeyPress 116"}));
    EXPECT_EQ(list_.Methods().CurSelIndexGet(), 2);

    list_.Methods().CurSelIndexSet(0);
    AcceleratorRouting::PreviewKeysWith([](MSG&) { return true; });
    Key(WM_KEYDOWN, VK_END);
    EXPECT_EQ(list_.Methods().CurSelIndexGet(), 2);
}

TEST_F(ListBoxTest, WantEventsFalseSilencesEventsButNotTheList) {
    InitList({L"one", L"two", L"three"});
    list_.Methods().CurSelIndexSet(0);
    RecordEvents();
    list_.Behavior().WantEvents(false);
    Focus(list_.ContainerhWnd());
    Key(WM_KEYDOWN, VK_DOWN);
    Key(WM_KEYDOWN, VK_RETURN);
    DoubleClickItem(2);
    ::SendMessageW(list_.ListBoxhWnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(list_.Methods().CurSelIndexGet(), 2);

    list_.Behavior().WantEvents(true);
    ::SendMessageW(list_.ListBoxhWnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    ::SendMessageW(list_.ListBoxhWnd(), WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(log_, (Log{L"VScroll", L"HScroll"}));
}

TEST_F(ListBoxTest, TheContainerHandsOnSizeFocusAndClicksAndTakesEverythingAlongWhenDestroyed) {
    InitList({L"a"});
    list_.Move(RECT{0, 0, 120, 90});
    RECT listRect{};
    ::GetWindowRect(list_.ListBoxhWnd(), &listRect);
    EXPECT_EQ(std::make_pair(listRect.right - listRect.left, listRect.bottom - listRect.top), std::make_pair(120L, 90L));

    ::SetFocus(owner_.get());
    const LPARAM click = MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN);
    const auto mouseActivate = [&] {
        return ::SendMessageW(list_.ListBoxhWnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(owner_.get()), click);
    };
    EXPECT_EQ(mouseActivate(), MA_NOACTIVATE);
    EXPECT_EQ(::GetFocus(), list_.ListBoxhWnd());
    EXPECT_NE(mouseActivate(), MA_NOACTIVATE);  // once focused, the list's own answer counts

    HWND first = list_.ListBoxhWnd();
    InitList();
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_EQ(list_.Methods().ItemCountGet(), 0);

    HWND container = nullptr;
    {
        VRX_ListBox scoped;
        scoped.Init(owner_.get(), RECT{0, 0, 50, 50});
        container = scoped.ContainerhWnd();
        Focus(container);
        EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &scoped);
    }
    EXPECT_FALSE(::IsWindow(container));
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), nullptr);
}

TEST_F(ListBoxTest, SettingsBeforeInitBecomeCreationStylesAndLaterOnesChangeTheWindow) {
    list_.View().Border(true);
    list_.View().AlwaysShowScrollBars(true);
    InitList();
    HWND window = list_.ListBoxhWnd();
    EXPECT_NE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(::GetWindowLongPtrW(window, GWL_STYLE) & 0xFFFF, 0x1141);  // no-scroll disabling, strings, notify
    list_.View().AlwaysShowScrollBars(false);  // creation-time only
    EXPECT_TRUE(list_.View().AlwaysShowScrollBars());
    EXPECT_EQ(::SendMessageW(window, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(DefaultFontHandle(kMenuFont)));

    list_.View().Border(false);
    EXPECT_EQ(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    list_.View().ShowVScroll(false);
    EXPECT_EQ(::GetWindowLongPtrW(window, GWL_STYLE) & WS_VSCROLL, 0);
    list_.Behavior().Enabled(false);
    EXPECT_FALSE(::IsWindowEnabled(window));
}

class InputBoxTest : public TextControlTest {
protected:
    void InitBox() {
        box_.Init(owner_.get(), RECT{10, 10, 310, 110});
        ASSERT_NE(box_.EdithWnd(), nullptr);
    }
    void Key(UINT message, WPARAM key) { TextControlTest::Key(box_.EdithWnd(), message, key); }
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
    for (const std::wstring& text : {std::wstring(L"Ünïcödé → 世界"), std::wstring(3000, L'x'), std::wstring()}) {
        box_.Methods().TextSet(text);
        EXPECT_EQ(box_.Methods().TextGet(), text);
    }

    long fontHeight = 0;
    {
        unique_window_dc dc(box_.ContainerhWnd());
        fontHeight = DefaultFontHeight(kMenuFont, dc.get());
        if (DefPrefsHandles::Shared().Description(kMenuFont)->lfHeight == -12 &&
            ::GetDeviceCaps(dc.get(), LOGPIXELSY) == 96) {
            EXPECT_EQ(fontHeight, 16);
        }
    }
    ASSERT_GT(fontHeight, 0);
    RECT client{}, edit{};
    ::GetClientRect(box_.ContainerhWnd(), &client);
    ::GetWindowRect(box_.EdithWnd(), &edit);
    EXPECT_EQ((std::vector<long>{client.right, client.bottom, edit.bottom - edit.top}),
              (std::vector<long>{300, fontHeight + 4, fontHeight + 4}));
    EXPECT_EQ(::SendMessageW(box_.EdithWnd(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(DefaultFontHandle(kMenuFont)));
}

TEST_F(InputBoxTest, KeysRaiseTheirEventsEnterOnlyKeyEnterAndNavigationBeatsThePreview) {
    InitBox();
    RecordKeys(box_.Events);
    Focus(box_.ContainerhWnd());
    EXPECT_EQ(::GetFocus(), box_.EdithWnd());
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &box_);
    Key(WM_KEYDOWN, 'A');  // the message loop translates it into its character
    Key(WM_KEYUP, 'A');
    Key(WM_KEYDOWN, VK_RETURN);
    Key(WM_KEYUP, VK_RETURN);
    EXPECT_EQ(log_, (Log{L"KeyDown 65", L"KeyPress 97", L"KeyUp 65", L"KeyEnter"}));
    EXPECT_EQ(box_.Methods().TextGet(), L"a");

    log_.clear();
    box_.Methods().TextSet(L"abcdef");
    ::SendMessageW(box_.EdithWnd(), EM_SETSEL, 3, 3);
    AcceleratorRouting::PreviewKeysWith([](MSG&) { return true; });
    Key(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(Caret(), 0u);
    Key(WM_KEYDOWN, VK_END);
    EXPECT_EQ(Caret(), 6u);
    Key(WM_KEYDOWN, 'Q');  // not a navigation key: the preview swallows it
    EXPECT_EQ(log_, (Log{L"KeyDown 36", L"KeyDown 35"}));
}

TEST_F(InputBoxTest, ReadOnlyAndBorderBecomeCreationStylesAndReadOnlyFollowsTheWindow) {
    box_.Behavior().ReadOnly(true);
    box_.View().Border(false);
    InitBox();
    HWND edit = box_.EdithWnd();
    EXPECT_NE(::GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY, 0);
    EXPECT_EQ(::GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    ::SendMessageW(edit, EM_SETREADONLY, FALSE, 0);  // the window decides once it exists
    EXPECT_FALSE(box_.Behavior().ReadOnly());

    box_.View().Border(true);
    InitBox();
    EXPECT_FALSE(::IsWindow(edit));
    EXPECT_NE(::GetWindowLongPtrW(box_.EdithWnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

}  // namespace
}  // namespace tarvo
