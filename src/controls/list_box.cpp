#include "controls/list_box.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "common/guarded_call.h"
#include "common/raised_error.h"
#include "controls/def_prefs_handles.h"

namespace tarvo {

namespace {

constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL |
                             WS_TABSTOP | LBS_DISABLENOSCROLL | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | LBS_NOTIFY;
static_assert(kListStyle == 0x56311141);

constexpr UINT kRefreshFrame =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER;
static_assert(kRefreshFrame == 0x237);

constexpr std::array<UINT, 3> kContainerMessages = {WM_SETFOCUS, WM_COMMAND, WM_SIZE};
constexpr std::array<UINT, 13> kListMessages = {
    WM_SETFOCUS,   WM_MOUSEACTIVATE, WM_VSCROLL,     WM_HSCROLL,  WM_CHAR,    WM_LBUTTONDOWN, WM_LBUTTONUP,
    WM_MBUTTONDOWN, WM_MBUTTONUP,    WM_RBUTTONDOWN, WM_RBUTTONUP, WM_KEYDOWN, WM_KEYUP};

// The window messages that can become events (WM_KEYDOWN .. WM_VSCROLL).
constexpr bool IsEventMessage(UINT iMsg) { return iMsg >= 256 && iMsg <= 277; }

LRESULT Send(HWND window, UINT iMsg, WPARAM wParam = 0, LPARAM lParam = 0) {
    return window ? ::SendMessageW(window, iMsg, wParam, lParam) : 0;
}

void Raise(const std::function<void()>& event) {
    if (event) event();
}

}  // namespace

// ---- Behavior ----

void ListBehavior::Enabled(bool value) {
    enabled_ = value;
    if (list_) ::EnableWindow(list_, value ? TRUE : FALSE);
}

void ListBehavior::Redraw(bool value) {
    if (value != redraw_ && list_) {
        ::SendMessageW(list_, WM_SETREDRAW, value ? TRUE : FALSE, 0);
        if (value) {
            ::InvalidateRect(list_, nullptr, TRUE);
            ::UpdateWindow(list_);
        }
    }
    redraw_ = value;
}

// ---- Methods ----

bool ListMethods::SetStorageSize(std::int32_t numberOfItems, std::int32_t kilobytes) {
    const std::int64_t bytes = static_cast<std::int64_t>(kilobytes) * 1024;
    if (bytes > std::numeric_limits<std::int32_t>::max() || bytes < std::numeric_limits<std::int32_t>::min()) {
        RaiseStandard(kErrOverflow, std::wstring(MSubclass::AppTitle()) + L".WindowProc");
    }
    if (!list_) return false;
    return Send(list_, LB_INITSTORAGE, static_cast<WPARAM>(numberOfItems), static_cast<LPARAM>(bytes)) != LB_ERRSPACE;
}

bool ListMethods::AddItem(const std::wstring& text, std::int32_t beforeIndex, std::int32_t, bool) {
    if (!list_) return false;
    const auto textParam = reinterpret_cast<LPARAM>(text.c_str());
    if (beforeIndex == -1) {
        Send(list_, LB_ADDSTRING, 0, textParam);
    } else if (beforeIndex >= 0) {
        Send(list_, LB_INSERTSTRING, static_cast<WPARAM>(beforeIndex), textParam);
    } else {
        return false;
    }
    return true;
}

bool ListMethods::RemoveItem(std::int32_t index) {
    if (!list_) return false;
    return Send(list_, LB_DELETESTRING, static_cast<WPARAM>(index)) != LB_ERR;
}

void ListMethods::EraseAll() { Send(list_, LB_RESETCONTENT); }

std::wstring ListMethods::ItemGet(std::int32_t index) const {
    if (!list_) return {};
    const LRESULT length = Send(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = Send(list_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    if (copied == 0 || copied == LB_ERR) return {};
    return std::wstring(buffer.data(), static_cast<std::size_t>(std::min(copied, length)));
}

std::int32_t ListMethods::ItemCountGet() const { return static_cast<std::int32_t>(Send(list_, LB_GETCOUNT)); }

std::int32_t ListMethods::CurSelIndexGet() const {
    return list_ ? static_cast<std::int32_t>(Send(list_, LB_GETCURSEL)) : 0;
}

void ListMethods::CurSelIndexSet(std::int32_t index) { Send(list_, LB_SETCURSEL, static_cast<WPARAM>(index)); }

// ---- View ----

void ListView::AlwaysShowScrollBars(bool value) {
    if (!list_) alwaysShowScrollBars_ = value;
}

void ListView::HideSelectionWhenWindowInactive(bool value) {
    if (!list_) hideSelectionWhenWindowInactive_ = value;
}

void ListView::ApplyExStyleBit(DWORD bit, bool on) {
    if (!list_) return;
    ChangeStyleBit(list_, GWL_EXSTYLE, bit, on);
    ::SetWindowPos(list_, nullptr, 0, 0, 0, 0, kRefreshFrame);
}

// True when the window took the requested state (always true without a window).
bool ListView::ApplyStyleBit(DWORD bit, bool on) {
    if (!list_) return true;
    ChangeStyleBit(list_, GWL_STYLE, bit, on);
    const bool nowSet = HasStyleBit(list_, GWL_STYLE, bit);
    ::SetWindowPos(list_, nullptr, 0, 0, 0, 0, kRefreshFrame);
    return nowSet == on;
}

void ListView::Border(bool value) {
    border_ = value;
    ApplyExStyleBit(WS_EX_CLIENTEDGE, value);
}

void ListView::RightToLeft(bool value) {
    rightToLeft_ = value;
    ApplyExStyleBit(WS_EX_LAYOUTRTL, value);
}

void ListView::ShowVScroll(bool value) {
    if (ApplyStyleBit(WS_VSCROLL, value)) showVScroll_ = value;
}

void ListView::ShowHScroll(bool value) {
    if (ApplyStyleBit(WS_HSCROLL, value)) showHScroll_ = value;
}

// ---- The control ----

VRX_ListBox::VRX_ListBox() : host_(*this, kContainerMessages, kListMessages) {}

VRX_ListBox::~VRX_ListBox() {
    DestroyList();
    host_.Close();
}

void VRX_ListBox::Init(HWND parent, const RECT& bounds) {
    DestroyList();
    if (host_.PlaceContainer(parent, bounds)) CreateList();
}

void VRX_ListBox::CreateList() {
    DWORD exStyle = 0;
    if (view_.border_) exStyle |= WS_EX_CLIENTEDGE;
    if (view_.rightToLeft_) exStyle |= WS_EX_LAYOUTRTL;
    HWND list = host_.CreateInner(L"ListBox", kListStyle, exStyle);
    if (!list) return;
    HandOver(list);
    ::SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFontHandle(kMenuFont)), FALSE);
    host_.FitInner(true);
}

void VRX_ListBox::DestroyList() {
    methods_.EraseAll();
    HandOver(nullptr);
    host_.DestroyInner();
}

void VRX_ListBox::HandOver(HWND list) {
    behavior_.list_ = list;
    methods_.list_ = list;
    view_.list_ = list;
}

void VRX_ListBox::Refresh() {
    HWND container = host_.Container();
    if (!container) return;
    ::InvalidateRect(container, nullptr, TRUE);
    ::UpdateWindow(container);
}

void VRX_ListBox::Move(const RECT& bounds) { host_.Move(bounds); }

long VRX_ListBox::MsgResponse(UINT& currentMessage) { return HostedMsgResponse(currentMessage); }

LRESULT VRX_ListBox::WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    return GuardedCall(
        [&]() -> LRESULT {
            if (const auto handled = host_.HandOffFocus(hwnd, iMsg, wParam, lParam)) return *handled;
            if (hwnd != host_.Container()) {
                RaiseEvent(iMsg, wParam);
            } else if (iMsg == WM_SIZE) {
                host_.FitInner(true);
            } else if (iMsg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == ListBoxhWnd()) {
                RaiseEvent(iMsg, wParam);
            }
            return 0;
        },
        LRESULT{0});
}

void VRX_ListBox::RaiseEvent(UINT iMsg, WPARAM wParam) {
    if (!behavior_.wantEvents_ || !IsEventMessage(iMsg)) return;
    switch (iMsg) {
        case WM_COMMAND: {
            const WORD notification = HIWORD(wParam) & 0x7FFF;
            if (notification == LBN_SELCHANGE) Raise(Events.SelectionChange);
            if (notification == LBN_DBLCLK) Raise(Events.DblClickItem);
            break;
        }
        case WM_HSCROLL:
            Raise(Events.HScroll);
            break;
        case WM_VSCROLL:
            Raise(Events.VScroll);
            break;
        default:
            RaiseKeyEvent(Events, iMsg, wParam);
            break;
    }
}

long VRX_ListBox::TranslateAccel(MSG& msg) { return host_.RouteKey(msg, IsControlNavigationKey(msg)); }

}  // namespace tarvo
