// VRX_RichEdit on a probe form, focused, driven through the program's own message routing.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "common/handles.h"
#include "controls/accelerator_routing.h"
#include "controls/rich_edit.h"
#include "expect_raised.h"
#include "resource_counts.h"
#include "test_support.h"
#include "test_window.h"

namespace tarvo {
namespace {

using testing::ExpectRaised;
using testing::PumpMessages;
using Log = std::vector<std::wstring>;

class RichEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.reset(testing::CreateProbeWindow(formLog));
        ASSERT_TRUE(edit.Create(form.get(), 0, 0, 280, 160));
        edit.Init();
        ASSERT_TRUE(Edit()) << "no RichEdit20W window";
        ::SetForegroundWindow(form.get());
        ::SetFocus(edit.hWnd());
        PumpMessages();
    }
    void TearDown() override { AcceleratorRouting::PreviewKeysWith(nullptr); }

    HWND Edit() const { return edit.RichEdithWnd(); }
    RichEditMethods& M() { return edit.Methods(); }
    RichEditMethods& Select(long start, long end) {
        M().SelectionCharRangeSet(start, end);
        return M();
    }
    std::wstring Text() const { return test::Caption(Edit()); }
    void Text(const std::wstring& text) {
        ::SetWindowTextW(Edit(), text.c_str());
        PumpMessages();
    }
    void Press(std::initializer_list<WPARAM> keys) {
        for (WPARAM key : keys) test::PostKey(Edit(), key);
        PumpMessages();
    }
    void Type(const std::wstring& text) {
        test::PostText(Edit(), text);
        PumpMessages();
    }
    // Presses `key` while a real modifier is down: the handlers read the asynchronous key state.
    void PressWith(BYTE modifier, WPARAM key) {
        for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            ::keybd_event(modifier, 0, up, 0);
            EXPECT_TRUE(test::WaitUntil([&] {
                PumpMessages();
                return (::GetAsyncKeyState(modifier) < 0) == !up;
            }, 5000)) << "modifier " << int{modifier};
            if (!up) Press({key});
        }
    }

    testing::WindowLog formLog;
    unique_hwnd form;
    VRX_RichEdit edit;  // destroyed before the form that hosts it
};

TEST_F(RichEditTest, KeysRaiseTheirEventsWithTheShiftStateAndOnlyTrappedTabEnterAndNavigationBeatTheFormsPreview) {
    Log log;
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
    Text(L"abc");
    Select(0, 0);
    edit.Behavior().ConsumeEnter(true);
    Press({VK_RETURN, VK_DELETE});
    Type(L"xy");
    PressWith(VK_SHIFT, VK_END);
    PressWith(VK_CONTROL, VK_HOME);
    Press({VK_TAB});
    PressWith(VK_SHIFT, VK_TAB);
    PressWith(VK_CONTROL, VK_TAB);
    edit.View().TrapTab(false);
    Press({VK_TAB});
    edit.View().TrapTab(true);
    edit.Behavior().ReadOnly(true);
    Press({VK_TAB});
    EXPECT_EQ(Text(), L"\tyabc");
    EXPECT_EQ(log, (Log{L"enter", L"down 46/0", L"up 46/0", L"press 120/0", L"press 121/0", L"down 35/1", L"up 35/1",
                        L"down 36/2", L"up 36/2", L"press 9/0", L"up 9/1", L"up 9/2", L"up 9/0", L"up 9/0"}));
    EXPECT_EQ(previewed, (std::vector<WPARAM>{VK_DELETE, VK_TAB, VK_TAB, VK_TAB, VK_TAB}));

    Text(L"abc\rdef\rghi");
    Select(5, 5);
    // From the caret each key leaves: Home, End, Left, Right are exact; the others leave the line.
    for (const auto& [key, low, high] : std::vector<std::tuple<WPARAM, long, long>>{
             {VK_HOME, 4, 4}, {VK_END, 7, 7}, {VK_LEFT, 6, 6}, {VK_RIGHT, 7, 7}, {VK_UP, 0, 3}, {VK_DOWN, 4, 11},
             {VK_NEXT, 8, 11}, {VK_PRIOR, 0, 3}}) {
        Press({key});
        long start = -1, end = -1;
        M().SelectionCharRangeGet(start, end);
        EXPECT_TRUE(start >= low && start <= high) << key << ": " << start;
    }
    edit.Behavior().ReadOnly(false);
    edit.Behavior().ConsumeEnter(false);
    Press({VK_RETURN});
    EXPECT_EQ(M().LineCount(), 4);
    EXPECT_EQ(log.back(), L"enter");
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
    attempt.nmhdr.hwndFrom = form.get();  // not from the edit: ignored
    EXPECT_EQ(notify(), 0);
    EXPECT_EQ(seen, (std::vector<std::vector<long>>{{6, 11, SEL_TEXT}, {11, 11, SEL_EMPTY}, {0, 2, 5}, {0, 0, 5}}));

    Log log;
    const auto note = [&](const wchar_t* name) {
        return [&log, name](short& button, short&, float& x, float& y) {
            log.push_back(name + std::to_wstring(button) + L" " + std::to_wstring(int(x)) + L"," + std::to_wstring(int(y)));
        };
    };
    edit.MouseDown = note(L"down ");
    edit.MouseUp = note(L"up ");
    edit.MouseMove = note(L"move ");
    edit.DblClick = [&](float& x, float& y) { log.push_back(L"double " + std::to_wstring(int(x)) + L"," + std::to_wstring(int(y))); };
    edit.VScroll = [&] { log.push_back(L"vscroll"); };
    edit.HScroll = [&] { log.push_back(L"hscroll"); };
    edit.Change = [&] { log.push_back(L"change"); };
    POINT origin{0, 0};
    ::ClientToScreen(Edit(), &origin);
    ::SetCursorPos(origin.x + 10, origin.y + 20);  // 150, 300 twips at 96 dots per inch
    edit.Behavior().WantEvents(false);
    Type(L"b");
    ::SendMessageW(Edit(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
    edit.Behavior().WantEvents(true);
    // Change, update, scroll, keys, mouse, selection, dropped files, protection and links;
    // Wine reports links even unasked, so only the mask shows a missing one.
    EXPECT_EQ(::SendMessageW(Edit(), EM_GETEVENTMASK, 0, 0), 0x043B0007);
    Type(L"c");
    EXPECT_EQ(Text(), L"hello worldbc");
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP,
                         WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_MOUSEMOVE, WM_VSCROLL, WM_HSCROLL})
        ::SendMessageW(Edit(), message, 0, message == WM_VSCROLL || message == WM_HSCROLL ? 0 : MAKELPARAM(10, 20));
    EXPECT_EQ(log, (Log{L"change", L"down 1 150,300", L"up 1 150,300", L"down 2 150,300", L"up 2 150,300",
                        L"down 4 150,300", L"up 4 150,300", L"double 150,300", L"double 150,300", L"move 0 150,300",
                        L"vscroll", L"hscroll"}));

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

TEST_F(RichEditTest, FormatEffectsAndColoursReachOnlyTheirCharactersAndInsertedTextTakesTheFormatAtTheCaret) {
    M().InsertText(L"plain");
    Select(5, 5).FormatColourSet(0x0000FF);
    M().InsertText(L" red");
    EXPECT_EQ(Text(), L"plain red");
    EXPECT_EQ(Select(6, 9).FormatColourGet(), 0x0000FF);
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

    M().SelectAll();
    M().FormatColourSet(0x8000000D);  // a system colour: the highlight
    EXPECT_EQ(static_cast<DWORD>(M().FormatColourGet()), ::GetSysColor(COLOR_HIGHLIGHT));
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    for (const long colour : {0xFF0000L, -1L}) {  // -1 is the automatic colour
        M().FormatColourSet(colour);
        ::SendMessageW(Edit(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        EXPECT_EQ(format.dwEffects & CFE_AUTOCOLOR ? -1L : static_cast<long>(format.crTextColor), colour);
    }
}

TEST_F(RichEditTest, FindFontsShortcutsAndViewSettingsReachTheEditAndSettingsBeforeInitBecomeCreationStyles) {
    Text(L"bone one Two two");
    long start = 0, end = -1, from = 10, shortEnd = 8;
    EXPECT_EQ(M().Find(L"one", start, end, true, false), 5);
    EXPECT_EQ(M().Find(L"two", start, end, false, true), 13);
    EXPECT_EQ(M().Find(L"Two", from, end, true, true), -1);
    EXPECT_EQ(M().Find(L"two", start, shortEnd, false, false), -1);
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
    Type(L"z");
    EXPECT_EQ(M().CharacterCount(), 40001);
    EXPECT_EQ(::GetWindowLongW(Edit(), GWL_STYLE) & 0xFFFF, 0x81C4);  // multi-line, selection always shown
    edit.View().ShowVScroll(false);
    edit.View().Border(true);
    EXPECT_EQ(::GetWindowLongW(Edit(), GWL_STYLE) & (WS_VSCROLL | ES_SUNKEN), ES_SUNKEN);
    EXPECT_EQ(::GetWindowLongW(Edit(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
    EXPECT_THROW(edit.View().MarginRight(40000), RaisedError);
    EXPECT_EQ(edit.View().MarginRight(), 8);
    VRX_RichEdit single;
    ASSERT_TRUE(single.Create(form.get(), 0, 0, 120, 40));
    single.View().SingleLine(true);
    single.View().AlwaysShowScrollBars(true);
    single.Init();
    single.View().SingleLine(false);  // ignored once the window exists
    EXPECT_TRUE(single.View().SingleLine());
    EXPECT_EQ(::GetWindowLongW(single.RichEdithWnd(), GWL_STYLE) & 0xFFFF, 0xA1C0);  // no-scroll disabling, single line
}

TEST_F(RichEditTest, FilesRoundTripWithProgressAndPathsOverTheOpenCallsLimitAreRefusedLeavingNoHandleOpen) {
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
    folder.WriteFile(longest + L"x", "too long");
    ASSERT_EQ((dir + longest).size(), 127u);
    EXPECT_TRUE(edit.LoadFromFile(dir + longest, SF_TEXT));
    EXPECT_FALSE(edit.LoadFromFile(dir + longest + L"x", SF_TEXT) || edit.SaveToFile(dir + longest + L"x", SF_TEXT) ||
                 edit.LoadFromFile(dir + L"missing.txt", SF_TEXT));
    EXPECT_EQ(Text(), L"fits");
    EXPECT_EQ(test::HandleCount(), handles) << "files are closed after saving, loading and refusing";
}

TEST_F(RichEditTest, StoragesAreNumberedFromOnePerInstance) {
    EXPECT_EQ(edit.OleCallback(), nullptr);  // not asked for
    VRX_RichEdit first, second;
    std::vector<std::wstring> names;
    for (auto [control, count] : {std::pair{&first, 2}, std::pair{&second, 1}}) {
        ASSERT_TRUE(control->Create(form.get(), 0, 0, 100, 50));
        control->Behavior().UseOLECallback(true);
        control->Init();
        ASSERT_NE(control->OleCallback(), nullptr);
        for (int i = 0; i < count; ++i) {
            com_ptr<IStorage> storage;
            STATSTG stat{};
            ASSERT_EQ(control->OleCallback()->GetNewStorage(storage.put()), S_OK);
            ASSERT_TRUE(storage && SUCCEEDED(storage->Stat(&stat, STATFLAG_DEFAULT)) && stat.pwcsName);
            names.push_back(stat.pwcsName);
            ::CoTaskMemFree(stat.pwcsName);
        }
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"VRXRE 1", L"VRXRE 2", L"VRXRE 1"}));
}

}  // namespace
}  // namespace tarvo
