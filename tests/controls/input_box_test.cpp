#include "controls/input_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/accelerator_routing.h"
#include "controls/def_prefs_handles.h"
#include "test_window.h"

namespace tarvo {
namespace {

void Pump() { testing::PumpMessages(); }

class InputBoxTest : public ::testing::Test {
protected:
    void SetUp() override { owner_.reset(testing::CreateProbeWindow(ownerLog_)); }

    void InitBox() {
        box_.Init(owner_.get(), RECT{10, 10, 310, 110});
        ASSERT_NE(box_.EdithWnd(), nullptr);
    }

    void RecordEvents() {
        auto noteKey = [this](const wchar_t* name) {
            return [this, name](std::int16_t& key, std::int16_t&) { log_.push_back(name + std::to_wstring(key)); };
        };
        box_.Events.KeyDown = noteKey(L"KeyDown ");
        box_.Events.KeyPress = [this](std::int16_t& key) { log_.push_back(L"KeyPress " + std::to_wstring(key)); };
        box_.Events.KeyUp = noteKey(L"KeyUp ");
        box_.Events.KeyEnter = [this] { log_.push_back(L"KeyEnter"); };
    }

    void Focus() {
        ::SetFocus(box_.ContainerhWnd());
        Pump();
    }

    void Key(UINT message, WPARAM key) {
        ::PostMessageW(box_.EdithWnd(), message, key, 1);
        Pump();
    }

    DWORD CaretPosition() const {
        DWORD start = 0;
        ::SendMessageW(box_.EdithWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        return start;
    }

    testing::WindowLog ownerLog_;
    unique_hwnd owner_;
    VRX_InputBox box_;
    std::vector<std::wstring> log_;
};

TEST_F(InputBoxTest, TextSetThenTextGetRoundTrips) {
    InitBox();
    for (const std::wstring& text : std::vector<std::wstring>{L"find me", L"", L"Ünïcödé → 世界", std::wstring(3000, L'x')}) {
        box_.Methods().TextSet(text);
        EXPECT_EQ(box_.Methods().TextGet(), text);
    }
}

TEST_F(InputBoxTest, WithoutAWindowTextIsEmptyAndSettersOnlyStore) {
    box_.Methods().TextSet(L"lost");
    EXPECT_EQ(box_.Methods().TextGet(), L"");
    box_.Behavior().SetReadOnly(true);
    EXPECT_TRUE(box_.Behavior().ReadOnly());
    MSG msg{nullptr, WM_KEYDOWN, VK_HOME, 0, 0, {}};
    EXPECT_EQ(box_.TranslateAccel(msg), 1);
}

TEST_F(InputBoxTest, HeightIsTheMenuFontLinePlusFourPixels) {
    InitBox();
    long fontHeight = 0;
    {
        unique_window_dc dc(box_.ContainerhWnd());
        fontHeight = DefaultFontHeight(kMenuFont, dc.get());
        const LOGFONTA* menu = DefPrefsHandles::Shared().Description(kMenuFont);
        if (menu->lfHeight == -12 && ::GetDeviceCaps(dc.get(), LOGPIXELSY) == 96) {
            EXPECT_EQ(fontHeight, 16);
        }
    }
    ASSERT_GT(fontHeight, 0);
    RECT client{};
    ::GetClientRect(box_.ContainerhWnd(), &client);
    EXPECT_EQ(client.bottom, fontHeight + 4);
    EXPECT_EQ(client.right, 300);

    RECT edit{};
    ::GetWindowRect(box_.EdithWnd(), &edit);
    EXPECT_EQ(edit.bottom - edit.top, fontHeight + 4);
    EXPECT_EQ(edit.right - edit.left, 300);
    EXPECT_EQ(::SendMessageW(box_.EdithWnd(), WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(DefaultFontHandle(kMenuFont)));
}

TEST_F(InputBoxTest, EnterRaisesKeyEnterOnceAndLeavesTheText) {
    InitBox();
    RecordEvents();
    Focus();
    EXPECT_EQ(::GetFocus(), box_.EdithWnd());
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &box_);
    Key(WM_CHAR, 'h');
    Key(WM_CHAR, 'i');
    log_.clear();

    Key(WM_KEYDOWN, VK_RETURN);
    Key(WM_KEYUP, VK_RETURN);
    EXPECT_EQ(log_, std::vector<std::wstring>{L"KeyEnter"});
    EXPECT_EQ(box_.Methods().TextGet(), L"hi");
}

TEST_F(InputBoxTest, TypingRaisesKeyEventsAndEditsTheText) {
    InitBox();
    RecordEvents();
    Focus();
    // The message loop translates the key into its character.
    Key(WM_KEYDOWN, 'A');
    Key(WM_KEYUP, 'A');
    EXPECT_EQ(log_, (std::vector<std::wstring>{L"KeyDown 65", L"KeyPress 97", L"KeyUp 65"}));
    EXPECT_EQ(box_.Methods().TextGet(), L"a");
}

TEST_F(InputBoxTest, NavigationKeysReachTheEditDespiteTheFormsKeyPreview) {
    InitBox();
    box_.Methods().TextSet(L"abcdef");
    RecordEvents();
    Focus();
    ::SendMessageW(box_.EdithWnd(), EM_SETSEL, 3, 3);
    AcceleratorRouting::SetKeyPreview([](MSG&) { return true; });
    Key(WM_KEYDOWN, VK_HOME);
    const DWORD afterHome = CaretPosition();
    Key(WM_KEYDOWN, VK_END);
    const DWORD afterEnd = CaretPosition();
    Key(WM_KEYDOWN, 'Q');  // not a navigation key: the preview swallows it
    AcceleratorRouting::SetKeyPreview(nullptr);
    EXPECT_EQ(afterHome, 0u);
    EXPECT_EQ(afterEnd, 6u);
    EXPECT_EQ(log_, (std::vector<std::wstring>{L"KeyDown 36", L"KeyDown 35"}));
}

TEST_F(InputBoxTest, ReadOnlyAndBorderBecomeCreationStylesAndReadOnlyFollowsTheWindow) {
    box_.Behavior().SetReadOnly(true);
    box_.View().SetBorder(false);
    InitBox();
    HWND edit = box_.EdithWnd();
    EXPECT_NE(::GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY, 0);
    EXPECT_EQ(::GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);

    box_.Behavior().SetReadOnly(false);
    EXPECT_FALSE(box_.Behavior().ReadOnly());
    ::SendMessageW(edit, EM_SETREADONLY, TRUE, 0);  // the window decides once it exists
    EXPECT_TRUE(box_.Behavior().ReadOnly());

    box_.View().SetBorder(true);
    EXPECT_EQ(::GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    InitBox();
    EXPECT_NE(::GetWindowLongPtrW(box_.EdithWnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_FALSE(::IsWindow(edit));
}

}  // namespace
}  // namespace tarvo
