// The list box, the input box and the rich edit on a probe form, driven through
// the program's own message routing, and the system fonts they show.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "controls/accelerator_routing.h"
#include "controls/input_box.h"
#include "controls/list_box.h"
#include "controls/rich_edit.h"
#include "controls/system_fonts.h"
#include "expect_raised.h"
#include "gdi_objects.h"
#include "resource_counts.h"
#include "test_support.h"
#include "test_window.h"

namespace tarvo {
namespace {

using Log = std::vector<std::wstring>;
using testing::ExpectRaised;

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
            AcceleratorRouting::PumpPending();  // one at a time: a translated character is queued behind what is already posted
        }
    }
    static long Style(HWND window, int which, long bits) { return static_cast<long>(::GetWindowLongPtrW(window, which)) & bits; }

    testing::WindowLog ownerLog;
    unique_hwnd owner;
    Log log;
};

TEST_F(TextControlTest, ListSettingsEventsNavigationAndItemsAndADestroyedListTakesItsWindowsAndRoutingAlong) {
    VRX_ListBox list;
    ListMethods& items = list.Methods();
    EXPECT_FALSE(items.AddItem(L"x"));  // no window yet
    list.View().Border(true);  // settings before Init become creation styles
    list.View().AlwaysShowScrollBars(true);
    list.Init(owner.get(), RECT{10, 10, 210, 160});
    for (const wchar_t* item : {L"one", L"two", L"three"}) ASSERT_TRUE(items.AddItem(item));
    RecordKeys(list.Events);
    for (const auto& [event, name] : {std::pair{&ListBoxEvents::SelectionChange, L"SelectionChange"},
                                      {&ListBoxEvents::DblClickItem, L"DblClickItem"}, {&ListBoxEvents::VScroll, L"VScroll"},
                                      {&ListBoxEvents::HScroll, L"HScroll"}})
        list.Events.*event = [this, name] { log.push_back(name); };
    const HWND window = list.ListBoxhWnd();
    // The border, no-scroll disabling, strings, notify.
    EXPECT_EQ(Style(window, GWL_EXSTYLE, WS_EX_CLIENTEDGE) | Style(window, GWL_STYLE, 0xFFFF), 0x1341);
    EXPECT_EQ(::SendMessageW(window, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(DefaultFontHandle(kMenuFont)));
    for (const bool anotherIsActive : {false, true}) {  // a control gone releases the routing only if it has it
        auto scoped = std::make_unique<VRX_ListBox>();
        scoped->Init(owner.get(), RECT{0, 0, 50, 50});
        const HWND container = scoped->ContainerhWnd();
        ::SetFocus(anotherIsActive ? list.ContainerhWnd() : container);
        scoped.reset();
        EXPECT_TRUE(!::IsWindow(container) && AcceleratorRouting::ActiveTarget() == (anotherIsActive ? &list : nullptr));
    }
    items.CurSelIndexSet(0);
    ::SetFocus(owner.get());
    for (const bool focused : {false, true}) {  // the form stays as it is; once focused, the list's own answer counts
        const LRESULT answer = ::SendMessageW(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(owner.get()),
                                              MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        EXPECT_TRUE((answer == MA_NOACTIVATE) != focused && ::GetFocus() == window &&
                    AcceleratorRouting::ActiveTarget() == &list);
    }
    // The list acts on a key before the control reports it.
    Keys(window, {{WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, VK_DOWN}, {WM_KEYUP, VK_DOWN}, {WM_CHAR, 't'}});
    RECT item{};
    ::SendMessageW(window, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_HSCROLL, WM_VSCROLL})
        ::SendMessageW(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(item.left + 5, item.top + 2));
    EXPECT_EQ(log, (Log{L"KeyEnter", L"SelectionChange", L"KeyDown 40", L"KeyUp 40", L"SelectionChange", L"KeyPress 116",
                        L"SelectionChange", L"DblClickItem", L"HScroll", L"VScroll"}));

    // Every navigation key reaches the list although the form's preview would take it.
    items.CurSelIndexSet(0);
    AcceleratorRouting::PreviewKeysWith([](MSG&) { return true; });
    for (const auto& [key, expected] : {std::pair{VK_DOWN, 1}, {VK_END, 2}, {VK_UP, 1}, {VK_HOME, 0}, {VK_NEXT, 2},
                                        {VK_PRIOR, 0}, {'T', 0}}) {
        Keys(window, {{WM_KEYDOWN, key}});
        EXPECT_EQ(items.CurSelIndexGet(), expected) << key;
    }
    log.clear();
    list.Behavior().WantEvents(false);  // silences the events, not the list
    Keys(window, {{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_RETURN}});
    ::SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(log, Log{});
    EXPECT_EQ(items.CurSelIndexGet(), 1);

    EXPECT_TRUE(items.AddItem(L"a", 0) && !items.AddItem(L"never", -2));
    EXPECT_EQ((Log{items.ItemGet(-1), items.ItemGet(0), items.ItemGet(1), items.ItemGet(3), items.ItemGet(4)}),
              (Log{L"", L"a", L"one", L"three", L""}));
    items.EraseAll();
    EXPECT_EQ(items.ItemCountGet() + items.CurSelIndexGet(), -1);
    EXPECT_TRUE(items.SetStorageSize(1, 2097151));  // just under 2 GB still fits
    ExpectRaised(6, L"", [&] { items.SetStorageSize(1, 2097152); }, L"Overflow");
    list.View().ShowVScroll(false);  // settings after Init reach the window
    list.View().Border(false);
    EXPECT_EQ(Style(window, GWL_EXSTYLE, WS_EX_CLIENTEDGE) | Style(window, GWL_STYLE, WS_VSCROLL | WS_HSCROLL), WS_HSCROLL);
}

TEST_F(TextControlTest, TheInputBoxIsOneMenuFontLineAndFourPixelsHighAndRaisesOnlyKeyEnterForEnter) {
    VRX_InputBox box;
    box.Init(owner.get(), RECT{10, 10, 310, 110});
    const HWND edit = box.EdithWnd();
    const long line = DefaultFontHeight(kMenuFont, unique_window_dc(box.ContainerhWnd()).get());
    for (const HWND window : {box.ContainerhWnd(), edit})  // the container has no frame
        EXPECT_EQ(test::WindowRect(window).bottom - test::WindowRect(window).top, line + 4);
    RecordKeys(box.Events);
    ::SetFocus(box.ContainerhWnd());  // the focus and the keys pass on to the edit
    // The message loop translates the key into its character.
    Keys(edit, {{WM_KEYDOWN, 'A'}, {WM_KEYUP, 'A'}, {WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}});
    AcceleratorRouting::PreviewKeysWith([](MSG&) { return true; });
    Keys(edit, {{WM_KEYDOWN, VK_HOME}, {WM_KEYDOWN, 'Q'}, {WM_KEYDOWN, VK_END}});  // Q is not a navigation key: swallowed
    EXPECT_EQ(box.Methods().TextGet(), L"a");
    EXPECT_EQ(log, (Log{L"KeyDown 65", L"KeyPress 97", L"KeyUp 65", L"KeyEnter", L"KeyDown 36", L"KeyDown 35"}));
}

class RichEditTest : public TextControlTest {
protected:
    void SetUp() override {
        TextControlTest::SetUp();
        ASSERT_TRUE(edit.Create(owner.get(), 0, 0, 280, 160));
        edit.Init();
        ::SetForegroundWindow(owner.get());
        ::SetFocus(edit.hWnd());
        AcceleratorRouting::PumpPending();
    }
    HWND Edit() const { return edit.RichEdithWnd(); }
    RichEditMethods& M() { return edit.Methods(); }
    RichEditMethods& Select(long start, long end) {
        M().SelectionCharRangeSet(start, end);
        return M();
    }
    std::wstring Text() const { return test::Caption(Edit()); }
    void Text(const std::wstring& text) {
        ::SetWindowTextW(Edit(), text.c_str());
        AcceleratorRouting::PumpPending();
    }
    void Press(std::initializer_list<WPARAM> keys) {
        for (WPARAM key : keys) test::PostKey(Edit(), key);
        AcceleratorRouting::PumpPending();
    }
    // Presses `key` while a real modifier is down: the handlers read the asynchronous key state.
    void PressWith(BYTE modifier, WPARAM key) {
        for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            ::keybd_event(modifier, 0, up, 0);
            EXPECT_TRUE(test::WaitUntil([&] {
                AcceleratorRouting::PumpPending();
                return (::GetAsyncKeyState(modifier) < 0) == !up;
            }, 5000)) << "modifier " << int{modifier};
            if (!up) Press({key});
        }
    }

    VRX_RichEdit edit;
};

TEST_F(RichEditTest, KeysRaiseTheirEventsWithTheShiftStateAndOnlyTrappedTabEnterAndNavigationBeatTheFormsPreview) {
    const auto note = [&](const wchar_t* name, short key, short shift) {
        if (key < VK_SHIFT || key > VK_MENU) log.push_back(name + std::to_wstring(key) + L"/" + std::to_wstring(shift));
    };
    edit.KeyEnter = [&] { log.push_back(L"enter"); };
    edit.KeyDown = [&](short& key, short& shift) {
        note(L"down ", key, shift);
        if (key == VK_DELETE) key = 0;
    };
    edit.KeyUp = [&](short& key, short& shift) { note(L"up ", key, shift); };
    edit.KeyPress = [&](short& c) {
        note(L"press ", c, 0);
        if (c == L'x') c = 0;
    };
    std::vector<WPARAM> previewed;
    AcceleratorRouting::PreviewKeysWith([&](MSG& msg) {
        if (msg.message != WM_KEYDOWN || msg.wParam == VK_SHIFT || msg.wParam == VK_CONTROL) return false;
        previewed.push_back(msg.wParam);
        return msg.wParam != VK_DELETE;  // the form takes the other key downs it sees: Tab would move the focus
    });
    Text(L"abc");  // the caret goes to the start
    edit.Behavior().ConsumeEnter(true);
    Press({VK_RETURN, VK_DELETE});
    Keys(Edit(), {{WM_CHAR, 'x'}, {WM_CHAR, 'y'}});
    PressWith(VK_SHIFT, VK_END);
    PressWith(VK_CONTROL, VK_HOME);
    Press({VK_TAB});
    edit.View().TrapTab(false);
    Press({VK_TAB});
    edit.View().TrapTab(true);
    edit.Behavior().ReadOnly(true);
    Press({VK_TAB, VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN});
    test::PostKey(owner.get(), VK_DOWN);  // aimed at another window: the edit is not asked
    edit.Behavior().ReadOnly(false);
    EXPECT_EQ(Text(), L"\tyabc");
    edit.Behavior().ConsumeEnter(false);
    Press({VK_RETURN});
    EXPECT_EQ(M().LineCount(), 2);
    EXPECT_EQ(log, (Log{L"enter", L"down 46/0", L"up 46/0", L"press 120/0", L"press 121/0", L"down 35/1", L"up 35/1",
                        L"down 36/2", L"up 36/2", L"press 9/0", L"up 9/0", L"up 9/0", L"down 33/0", L"up 33/0", L"down 34/0",
                        L"up 34/0", L"down 35/0", L"up 35/0", L"down 36/0", L"up 36/0", L"down 37/0", L"up 37/0", L"down 38/0",
                        L"up 38/0", L"down 39/0", L"up 39/0", L"down 40/0", L"up 40/0", L"enter"}));
    EXPECT_EQ(previewed, (std::vector<WPARAM>{VK_DELETE, VK_TAB, VK_TAB, VK_DOWN}));
}

TEST_F(RichEditTest, NotificationsAndMouseAndScrollMessagesReachTheirEventsUnlessWantEventsIsFalse) {
    Text(L"hello world");
    std::vector<std::vector<long>> seen;
    // Windows reports an empty selection as 0; Wine adds SEL_MULTICHAR to it.
    edit.SelectionChange = [&](long& lMin, long& lMax, long& type) { seen.push_back({lMin, lMax, type & ~SEL_MULTICHAR}); };
    edit.ModifyProtected = [&](bool& doIt, long& lMin, long& lMax) {
        seen.push_back({doIt, lMin, lMax});
        doIt = lMin > 0;
    };
    Select(6, 11);
    Select(11, 11);
    edit.SelectionChange = nullptr;
    ENPROTECTED attempt{{Edit(), 0, EN_PROTECTED}, WM_CHAR, 0, 0, {2, 5}};
    const auto notify = [&] { return ::SendMessageW(edit.hWnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&attempt)); };
    EXPECT_EQ(notify(), 0);  // allowed by the handler
    attempt.chrg = {0, 5};
    EXPECT_EQ(notify(), 1);  // refused
    attempt.nmhdr.hwndFrom = owner.get();  // not from the edit: ignored
    EXPECT_EQ(notify(), 0);
    EXPECT_EQ(seen, (std::vector<std::vector<long>>{{6, 11, SEL_TEXT}, {11, 11, SEL_EMPTY}, {0, 2, 5}, {0, 0, 5}}));

    testing::PointerAt(Edit(), WM_MOUSEMOVE, 10, 20);  // 150, 300 twips at 96 dots per inch
    for (const auto& [event, name] : {std::pair{&VRX_RichEdit::MouseDown, L"down "}, {&VRX_RichEdit::MouseUp, L"up "},
                                      {&VRX_RichEdit::MouseMove, L"move "}})
        edit.*event = [this, name](short& button, short&, float&, float&) { log.push_back(name + std::to_wstring(button)); };
    edit.DblClick = [&](float& x, float& y) { log.push_back(L"double " + std::to_wstring(int(x)) + L"," + std::to_wstring(int(y))); };
    edit.VScroll = [&] { log.push_back(L"vscroll"); };
    edit.HScroll = [&] { log.push_back(L"hscroll"); };
    edit.Change = [&] { log.push_back(L"change"); };
    edit.Behavior().WantEvents(false);
    Keys(Edit(), {{WM_CHAR, 'b'}});
    edit.Behavior().WantEvents(true);
    // Change, update, scroll, keys, mouse, selection, dropped files, protection and links;
    // Wine reports links even unasked, so only the mask shows a missing one.
    EXPECT_EQ(::SendMessageW(Edit(), EM_GETEVENTMASK, 0, 0), 0x043B0007);
    Keys(Edit(), {{WM_CHAR, 'c'}});
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP,
                         WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_MOUSEMOVE, WM_VSCROLL, WM_HSCROLL})
        ::SendMessageW(Edit(), message, 0, message == WM_VSCROLL || message == WM_HSCROLL ? 0 : MAKELPARAM(10, 20));
    EXPECT_EQ(log, (Log{L"change", L"down 1", L"up 1", L"down 2", L"up 2", L"down 4", L"up 4", L"double 150,300",
                        L"double 150,300", L"move 0", L"vscroll", L"hscroll"}));

    edit.View().AutoURLDetect(true);
    Text(L"see http://example.org/ now");
    edit.LinkOver = [&](short& type, long& lMin, long& lMax) { seen.push_back({type, lMin, lMax}); };
    POINT p{};
    ::SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), 8);
    ::SendMessageW(Edit(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x + 2, p.y + 2));
    ::SendMessageW(Edit(), WM_LBUTTONUP, 0, MAKELPARAM(p.x + 2, p.y + 2));
    EXPECT_EQ(seen.back(), (std::vector<long>{WM_LBUTTONUP, 4, 23}));
}

TEST_F(RichEditTest, FormatsRangesFontsShortcutsAndViewSettingsReachTheEditAndTheSettingsBeforeInitItsStyle) {
    using R = RichEditMethods;
    const std::pair<bool (R::*)(long) const, void (R::*)(bool, long)> effects[] = {
        {&R::FormatBoldGet, &R::FormatBoldSet}, {&R::FormatItalicGet, &R::FormatItalicSet},
        {&R::FormatUnderlineGet, &R::FormatUnderlineSet}, {&R::FormatStrikeOutGet, &R::FormatStrikeOutSet},
        {&R::FormatProtectedGet, &R::FormatProtectedSet}, {&R::FormatSubScriptGet, &R::FormatSubScriptSet}};
    Text(L"abcdefgh");
    for (int i = 0; i < 6; ++i) (Select(i, i + 1).*effects[i].second)(true, 1);
    for (int at = 0; at < 7; ++at)
        for (int i = 0; i < 6; ++i) EXPECT_EQ((Select(at, at + 1).*effects[i].first)(1), at == i) << at << " " << i;
    Select(5, 6).FormatSuperScriptSet(true);  // super- and subscript exclude each other
    EXPECT_TRUE(M().FormatSuperScriptGet() && !M().FormatSubScriptGet());

    M().SelectAll();
    M().FormatColourSet(0x8000000D);  // a system colour: the highlight
    EXPECT_EQ(static_cast<DWORD>(M().FormatColourGet()), ::GetSysColor(COLOR_HIGHLIGHT));
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    for (const long colour : {0xFF0000L, -1L}) {  // -1 is the automatic colour
        M().FormatColourSet(colour);
        ::SendMessageW(Edit(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        EXPECT_EQ((format.dwEffects & CFE_AUTOCOLOR) ? -1L : static_cast<long>(format.crTextColor & 0xFFFFFF), colour);
    }

    Text(L"bone one Two two");
    EXPECT_EQ(M().TextInRangeGet(13, 100), L"two");
    M().SelectAll();
    StdFontInfo font{L"ABCDEFGHIJKLMNOPQ", 12, 0, true};  // a face name of seventeen characters is refused
    ExpectRaised(9, L"", [&] { M().FormatFontSet(font); });
    ExpectRaised(9, L"", [&] { edit.View().DefaultFont(font); });
    EXPECT_FALSE(M().FormatFontGet().Bold || edit.View().DefaultFont()->Name == font.Name);
    font.Name.pop_back();
    M().FormatFontSet(font);
    EXPECT_EQ(std::make_tuple(M().FormatFontGet().Name, M().FormatFontGet().Size, M().FormatFontGet().Bold),
              std::make_tuple(font.Name, 12.0, true));
    EXPECT_TRUE(edit.AllowShortCut(1) && edit.AllowShortCut(13));
    for (int index : {0, 14}) ExpectRaised(9, L"", [&] { edit.AllowShortCut(index, true); });

    edit.View().maxLength(-1);  // unlimited: typing goes on past 32,767 characters
    Text(std::wstring(40000, L'a'));
    Select(40000, 40000);
    Keys(Edit(), {{WM_CHAR, 'z'}});
    EXPECT_EQ(M().CharacterCount(), 40001);
    // From the settings before Init: multi-line, the selection always shown, scroll bars only when needed.
    EXPECT_EQ(Style(Edit(), GWL_STYLE, 0xFFFF), 0x81C4);
    edit.View().ShowVScroll(false);
    edit.View().Border(true);
    EXPECT_EQ(Style(Edit(), GWL_STYLE, WS_VSCROLL | ES_SUNKEN) | Style(Edit(), GWL_EXSTYLE, WS_EX_CLIENTEDGE),
              ES_SUNKEN | WS_EX_CLIENTEDGE);
    EXPECT_THROW(edit.View().MarginRight(40000), RaisedError);
    EXPECT_EQ(edit.View().MarginRight(), 8);
}

TEST_F(RichEditTest, FilesRoundTripWithProgressPathsOverTheOpenCallsLimitAreRefusedLeavingNoHandleOpenAndStoragesCountFromOne) {
    test::TempProgramFolder folder;
    const std::wstring dir = folder.Path() + L"\\", text = L"\u00e9t\u00e9 \u4e2d\u6587";
    const long handles = test::HandleCount();
    std::vector<std::pair<long, long>> progress;
    edit.ProgressStatus = [&](long& amount, long& total) { progress.emplace_back(amount, total); };
    Text(text);
    ASSERT_TRUE(edit.SaveToFile(dir + L"unicode.txt", SF_TEXT | SF_UNICODE));
    Text(L"old");
    ASSERT_TRUE(edit.LoadFromFile(dir + L"unicode.txt", SF_TEXT | SF_UNICODE));
    EXPECT_EQ(Text(), text);
    // Saving reports each block before writing it, loading the bytes read so far; neither knows a total.
    EXPECT_EQ(progress, (std::vector<std::pair<long, long>>{{12, -1}, {12, -1}, {12, -1}}));
    const std::wstring longest = std::wstring(40, L'd') + L"\\" + std::wstring(127 - dir.size() - 45, L'f') + L".txt";
    folder.WriteFile(longest, "fits");
    EXPECT_TRUE(edit.LoadFromFile(dir + longest, SF_TEXT));
    EXPECT_FALSE(edit.LoadFromFile(dir + longest + L"x", SF_TEXT) || edit.SaveToFile(dir + longest + L"x", SF_TEXT) ||
                 edit.LoadFromFile(dir + L"missing.txt", SF_TEXT));
    EXPECT_EQ(Text(), L"fits");
    EXPECT_EQ(test::HandleCount(), handles) << "files are closed after saving, loading and refusing";

    edit.Behavior().UseOLECallback(true);
    edit.Init();
    for (const wchar_t* name : {L"VRXRE 1", L"VRXRE 2"}) {  // the object storages, numbered from one
        com_ptr<IStorage> storage;
        STATSTG stat{};
        edit.OleCallback()->GetNewStorage(storage.put());
        ASSERT_TRUE(storage && SUCCEEDED(storage->Stat(&stat, STATFLAG_DEFAULT)));
        EXPECT_STREQ(stat.pwcsName, name);
        ::CoTaskMemFree(stat.pwcsName);
    }
}

// Every kind Tahoma at -11, the menu font at `height` with `weight`, italic or not, in `charset`.
DefPrefsHandles::Descriptions MenuFontOf(LONG height, LONG weight, BYTE italic = 0, BYTE charset = 0) {
    DefPrefsHandles::Descriptions d{};
    d.fill({-11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma"});
    d[kMenuFont - 1] = {height, 0, 0, 0, weight, italic, 0, 0, charset, 0, 0, 0, 0, "Tahoma"};
    return d;
}

TEST(DefPrefsHandles, HandlesAreCachedPerKindAndFreedKindsOutsideOneToSixAreRefusedAndHeightsBecomePixelsOrPoints) {
    const long gdiObjects = test::GdiObjects();
    {
        DefPrefsHandles prefs(MenuFontOf(-12, 400));
        const HFONT menu = prefs.GetHandle(kMenuFont);
        EXPECT_TRUE(menu && prefs.GetHandle(kMenuFont) == menu && prefs.GetHandle(kIconTitleFont));
        EXPECT_NE(prefs.GetHandle(kMessageFont), menu);
        for (int kind : {0, 7}) {
            ExpectRaised(9, L"", [&] { prefs.GetHandle(kind); }, L"Subscript out of range");
            EXPECT_EQ(prefs.GetHeightInPixelAtDpi(kind, 96), 0);
            EXPECT_FALSE(prefs.FontObjectAtDpi(kind, 96).has_value());
        }
        EXPECT_EQ(prefs.GetHeightInPixelAtDpi(kMenuFont, 96), -16);
        const StdFontInfo font = prefs.FontObjectAtDpi(kMenuFont, 96).value();
        EXPECT_EQ(std::make_tuple(font.Size, font.Name, font.Bold), std::make_tuple(9.0, std::wstring(L"Tahoma"), false));
    }
    EXPECT_EQ(test::GdiObjects(), gdiObjects) << "the cached fonts go with their owner";

    // A positive height is the size in points.
    const StdFontInfo positive = DefPrefsHandles(MenuFontOf(10, 401, 1, 204)).FontObjectAtDpi(kMenuFont, 96).value();
    EXPECT_EQ(std::make_tuple(positive.Size, positive.Bold, positive.Italic, positive.Charset),
              std::make_tuple(10.0, true, true, 204));
    ExpectRaised(6, L"", [] { DefPrefsHandles(MenuFontOf(0x7FFFFFFF, 400)).GetHeightInPixelAtDpi(kMenuFont, 96); },
                          L"Overflow");
}

}  // namespace
}  // namespace tarvo
