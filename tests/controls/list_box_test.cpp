#include "controls/list_box.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/raised_error.h"
#include "controls/accelerator_routing.h"
#include "controls/def_prefs_handles.h"
#include "test_window.h"

namespace tarvo {
namespace {

void Pump() { testing::PumpMessages(); }

class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override { owner_.reset(testing::CreateProbeWindow(ownerLog_)); }

    void InitList() {
        list_.Init(owner_.get(), RECT{10, 10, 210, 160});
        ASSERT_NE(list_.ListBoxhWnd(), nullptr);
    }

    void RecordEvents() {
        auto note = [this](const wchar_t* name) { return [this, name] { log_.push_back(name); }; };
        auto noteKey = [this](const wchar_t* name) {
            return [this, name](std::int16_t& key, std::int16_t&) { log_.push_back(name + std::to_wstring(key)); };
        };
        ListBoxEvents& events = list_.Events;
        events.SelectionChange = note(L"SelectionChange");
        events.KeyDown = noteKey(L"KeyDown ");
        events.KeyPress = [this](std::int16_t& key) { log_.push_back(L"KeyPress " + std::to_wstring(key)); };
        events.KeyUp = noteKey(L"KeyUp ");
        events.DblClickItem = note(L"DblClickItem");
        events.VScroll = note(L"VScroll");
        events.HScroll = note(L"HScroll");
        events.KeyEnter = note(L"KeyEnter");
    }

    void AddItems(std::initializer_list<const wchar_t*> items) {
        for (const wchar_t* item : items) ASSERT_TRUE(list_.Methods().AddItem(item));
    }

    void Focus() {
        ::SetFocus(list_.ContainerhWnd());
        Pump();
    }

    // Posted like real input, so it passes through the routing of the message loop.
    void Key(UINT message, WPARAM key) {
        ::PostMessageW(list_.ListBoxhWnd(), message, key, 1);
        Pump();
    }

    void DoubleClickItem(int index) {
        RECT item{};
        ::SendMessageW(list_.ListBoxhWnd(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        HWND window = list_.ListBoxhWnd();
        ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(window, WM_LBUTTONUP, 0, at);
        ::SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        ::SendMessageW(window, WM_LBUTTONUP, 0, at);
        Pump();
    }

    testing::WindowLog ownerLog_;
    unique_hwnd owner_;
    VRX_ListBox list_;
    std::vector<std::wstring> log_;
};

TEST_F(ListBoxTest, AddItemAppendsInsertsAndRefusesOtherNegativeIndices) {
    InitList();
    ListMethods& items = list_.Methods();
    EXPECT_TRUE(items.AddItem(L"first", -1));
    ASSERT_EQ(items.ItemCountGet(), 1);
    EXPECT_EQ(items.ItemGet(0), L"first");

    EXPECT_TRUE(items.AddItem(L"zero", 0));
    EXPECT_TRUE(items.AddItem(L"last"));
    EXPECT_FALSE(items.AddItem(L"never", -2));
    ASSERT_EQ(items.ItemCountGet(), 3);
    EXPECT_EQ(items.ItemGet(0), L"zero");
    EXPECT_EQ(items.ItemGet(1), L"first");
    EXPECT_EQ(items.ItemGet(2), L"last");
}

TEST_F(ListBoxTest, ItemGetOutsideTheListIsEmpty) {
    InitList();
    AddItems({L"only"});
    EXPECT_EQ(list_.Methods().ItemGet(1), L"");
    EXPECT_EQ(list_.Methods().ItemGet(500), L"");
    EXPECT_EQ(list_.Methods().ItemGet(-1), L"");
    EXPECT_TRUE(list_.Methods().AddItem(L"Привет → 世界"));
    EXPECT_EQ(list_.Methods().ItemGet(1), L"Привет → 世界");
}

TEST_F(ListBoxTest, RemoveEraseAndSelection) {
    InitList();
    ListMethods& items = list_.Methods();
    AddItems({L"a", L"b", L"c"});
    EXPECT_EQ(items.CurSelIndexGet(), -1);
    items.CurSelIndexSet(2);
    EXPECT_EQ(items.CurSelIndexGet(), 2);

    EXPECT_TRUE(items.RemoveItem(0));
    EXPECT_FALSE(items.RemoveItem(7));
    EXPECT_EQ(items.ItemCountGet(), 2);
    EXPECT_EQ(items.ItemGet(0), L"b");

    items.EraseAll();
    EXPECT_EQ(items.ItemCountGet(), 0);
    EXPECT_EQ(items.CurSelIndexGet(), -1);
}

TEST_F(ListBoxTest, WithoutAWindowEveryOperationIsNeutral) {
    ListMethods& items = list_.Methods();
    EXPECT_FALSE(items.AddItem(L"x"));
    EXPECT_FALSE(items.RemoveItem(0));
    EXPECT_EQ(items.ItemGet(0), L"");
    EXPECT_EQ(items.ItemCountGet(), 0);
    EXPECT_EQ(items.CurSelIndexGet(), 0);
    EXPECT_FALSE(items.SetStorageSize(10, 1));
    MSG msg{nullptr, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_EQ(list_.TranslateAccel(msg), 1);
}

TEST_F(ListBoxTest, StorageSizeOverflowIsErrorSix) {
    InitList();
    EXPECT_TRUE(list_.Methods().SetStorageSize(100, 4));
    EXPECT_TRUE(list_.Methods().SetStorageSize(1, 2097151));  // just under 2 GB still fits
    try {
        list_.Methods().SetStorageSize(1, 2097152);
        FAIL() << "no overflow error";
    } catch (const RaisedError& error) {
        EXPECT_EQ(error.Number(), kErrOverflow);
    }
    EXPECT_THROW(list_.Methods().SetStorageSize(1, -2097153), RaisedError);
}

TEST_F(ListBoxTest, DoubleClickRaisesSelectionChangeFirstThenDblClickItem) {
    InitList();
    AddItems({L"one", L"two", L"three"});
    RecordEvents();
    DoubleClickItem(1);
    ASSERT_GE(log_.size(), 2u);
    EXPECT_EQ(log_.front(), L"SelectionChange");
    EXPECT_EQ(log_.back(), L"DblClickItem");
    EXPECT_EQ(std::count(log_.begin(), log_.end(), L"DblClickItem"), 1);
    EXPECT_EQ(list_.Methods().CurSelIndexGet(), 1);

}

TEST_F(ListBoxTest, EnterOnTheFocusedListRaisesKeyEnterOnly) {
    InitList();
    AddItems({L"one", L"two"});
    RecordEvents();
    Focus();
    EXPECT_EQ(::GetFocus(), list_.ListBoxhWnd());
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &list_);

    Key(WM_KEYDOWN, VK_RETURN);
    Key(WM_KEYUP, VK_RETURN);
    EXPECT_EQ(log_, std::vector<std::wstring>{L"KeyEnter"});
}

TEST_F(ListBoxTest, OtherKeysRaiseKeyDownKeyPressKeyUpAndReachTheList) {
    InitList();
    AddItems({L"one", L"two", L"three"});
    list_.Methods().CurSelIndexSet(0);
    RecordEvents();
    Focus();
    Key(WM_KEYDOWN, VK_DOWN);
    Key(WM_KEYUP, VK_DOWN);
    Key(WM_CHAR, 't');
    // The list acts on the key before the control reports it.
    EXPECT_EQ(log_, (std::vector<std::wstring>{L"SelectionChange", L"KeyDown 40", L"KeyUp 40", L"SelectionChange",
                                               L"KeyPress 116"}));
    EXPECT_EQ(list_.Methods().CurSelIndexGet(), 2);
}

TEST_F(ListBoxTest, NavigationKeysBeatTheFormsKeyPreview) {
    InitList();
    AddItems({L"one", L"two", L"three"});
    list_.Methods().CurSelIndexSet(0);
    Focus();
    AcceleratorRouting::SetKeyPreview([](MSG&) { return true; });
    Key(WM_KEYDOWN, VK_END);
    AcceleratorRouting::SetKeyPreview(nullptr);
    EXPECT_EQ(list_.Methods().CurSelIndexGet(), 2);
}

TEST_F(ListBoxTest, WantEventsFalseSilencesEventsButNotTheList) {
    InitList();
    AddItems({L"one", L"two", L"three"});
    list_.Methods().CurSelIndexSet(0);
    RecordEvents();
    list_.Behavior().SetWantEvents(false);
    Focus();
    Key(WM_KEYDOWN, VK_DOWN);
    Key(WM_KEYDOWN, VK_RETURN);
    DoubleClickItem(2);
    ::SendMessageW(list_.ListBoxhWnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(list_.Methods().CurSelIndexGet(), 2);

    list_.Behavior().SetWantEvents(true);
    ::SendMessageW(list_.ListBoxhWnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    ::SendMessageW(list_.ListBoxhWnd(), WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(log_, (std::vector<std::wstring>{L"VScroll", L"HScroll"}));
}

TEST_F(ListBoxTest, ContainerFocusAndSizeReachTheList) {
    InitList();
    RECT client{};
    ::GetClientRect(list_.ContainerhWnd(), &client);
    RECT listRect{};
    ::GetWindowRect(list_.ListBoxhWnd(), &listRect);
    EXPECT_EQ(listRect.right - listRect.left, client.right);
    EXPECT_EQ(listRect.bottom - listRect.top, client.bottom);

    list_.Move(RECT{0, 0, 120, 90});
    ::GetWindowRect(list_.ListBoxhWnd(), &listRect);
    EXPECT_EQ(listRect.right - listRect.left, 120);
    EXPECT_EQ(listRect.bottom - listRect.top, 90);

    Focus();
    EXPECT_EQ(::GetFocus(), list_.ListBoxhWnd());
}

TEST_F(ListBoxTest, AClickOnTheUnfocusedListTakesTheFocusWithoutActivating) {
    InitList();
    ::SetFocus(owner_.get());
    const LPARAM click = MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN);
    EXPECT_EQ(::SendMessageW(list_.ListBoxhWnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(owner_.get()), click),
              MA_NOACTIVATE);
    EXPECT_EQ(::GetFocus(), list_.ListBoxhWnd());
    // Once focused, the list's own answer counts.
    EXPECT_NE(::SendMessageW(list_.ListBoxhWnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(owner_.get()), click),
              MA_NOACTIVATE);
}

TEST_F(ListBoxTest, SettingsBeforeInitBecomeCreationStyles) {
    list_.View().SetBorder(true);
    list_.View().SetAlwaysShowScrollBars(true);
    InitList();
    const auto exStyle = ::GetWindowLongPtrW(list_.ListBoxhWnd(), GWL_EXSTYLE);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(list_.ListBoxhWnd(), GWL_STYLE));
    EXPECT_NE(exStyle & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(style & 0xFFFF, 0x1141u);  // LBS_DISABLENOSCROLL | NOINTEGRALHEIGHT | HASSTRINGS | NOTIFY
    EXPECT_TRUE(list_.View().AlwaysShowScrollBars());
    list_.View().SetAlwaysShowScrollBars(false);  // creation-time only
    EXPECT_TRUE(list_.View().AlwaysShowScrollBars());
    EXPECT_EQ(::SendMessageW(list_.ListBoxhWnd(), WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(DefaultFontHandle(kMenuFont)));
}

TEST_F(ListBoxTest, ViewAndBehaviorSettersChangeTheLiveWindow) {
    InitList();
    HWND window = list_.ListBoxhWnd();
    list_.View().SetBorder(true);
    EXPECT_NE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    list_.View().SetBorder(false);
    EXPECT_EQ(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);

    list_.View().SetShowVScroll(true);
    EXPECT_TRUE(list_.View().ShowVScroll());
    list_.View().SetShowVScroll(false);
    EXPECT_FALSE(list_.View().ShowVScroll());
    EXPECT_EQ(::GetWindowLongPtrW(window, GWL_STYLE) & WS_VSCROLL, 0);

    list_.Behavior().SetEnabled(false);
    EXPECT_FALSE(::IsWindowEnabled(window));
    list_.Behavior().SetEnabled(true);
    EXPECT_TRUE(::IsWindowEnabled(window));

}

TEST_F(ListBoxTest, ReInitGivesAFreshEmptyListAndDestructionRestoresTheContainer) {
    InitList();
    AddItems({L"a"});
    HWND first = list_.ListBoxhWnd();
    InitList();
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_EQ(list_.Methods().ItemCountGet(), 0);
    EXPECT_TRUE(list_.Methods().AddItem(L"b"));

    HWND container;
    {
        VRX_ListBox scoped;
        scoped.Init(owner_.get(), RECT{0, 0, 50, 50});
        container = scoped.ContainerhWnd();
        ::SetFocus(container);
        Pump();
        EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &scoped);
    }
    EXPECT_FALSE(::IsWindow(container));
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), nullptr);
}

}  // namespace
}  // namespace tarvo
