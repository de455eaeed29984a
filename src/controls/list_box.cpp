#include "controls/list_box.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "common/raised_error.h"
#include "controls/def_prefs_handles.h"
#include "controls/text_control_host.h"

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

void ListBehavior::SetEnabled(bool value) {
    enabled_ = value;
    if (list_) ::EnableWindow(list_, value ? TRUE : FALSE);
}

void ListBehavior::SetRedraw(bool value) {
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

void ListView::SetAlwaysShowScrollBars(bool value) {
    if (!list_) alwaysShowScrollBars_ = value;
}

void ListView::SetHideSelectionWhenWindowInactive(bool value) {
    if (!list_) hideSelectionWhenWindowInactive_ = value;
}

void ListView::SetExStyleBit(DWORD bit, bool on) {
    if (!list_) return;
    auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(list_, GWL_EXSTYLE));
    exStyle = on ? (exStyle | bit) : (exStyle & ~bit);
    ::SetWindowLongPtrW(list_, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
    ::SetWindowPos(list_, nullptr, 0, 0, 0, 0, kRefreshFrame);
}

// True when the window took the requested state (always true without a window).
bool ListView::SetStyleBit(DWORD bit, bool on) {
    if (!list_) return true;
    auto style = static_cast<DWORD>(::GetWindowLongPtrW(list_, GWL_STYLE));
    style = on ? (style | bit) : (style & ~bit);
    ::SetWindowLongPtrW(list_, GWL_STYLE, static_cast<LONG_PTR>(style));
    const auto reread = static_cast<DWORD>(::GetWindowLongPtrW(list_, GWL_STYLE));
    ::SetWindowPos(list_, nullptr, 0, 0, 0, 0, kRefreshFrame);
    return ((reread & bit) != 0) == on;
}

void ListView::SetBorder(bool value) {
    border_ = value;
    SetExStyleBit(WS_EX_CLIENTEDGE, value);
}

void ListView::SetRightToLeft(bool value) {
    rightToLeft_ = value;
    SetExStyleBit(WS_EX_LAYOUTRTL, value);
}

void ListView::SetShowVScroll(bool value) {
    if (SetStyleBit(WS_VSCROLL, value)) showVScroll_ = value;
}

void ListView::SetShowHScroll(bool value) {
    if (SetStyleBit(WS_HSCROLL, value)) showHScroll_ = value;
}

// ---- The control ----

VRX_ListBox::~VRX_ListBox() {
    DestroyList();
    AcceleratorRouting::Release(this);
    for (UINT iMsg : kContainerMessages) MSubclass::DetachMessage(this, container_.get(), iMsg);
    container_.reset();
}

void VRX_ListBox::Init(HWND parent, const RECT& bounds) {
    DestroyList();
    if (!container_) {
        container_ = CreateControlContainer(parent, bounds);
        if (!container_) return;
        for (UINT iMsg : kContainerMessages) MSubclass::AttachMessage(this, container_.get(), iMsg);
    } else {
        Move(bounds);
    }
    CreateList();
}

void VRX_ListBox::CreateList() {
    DWORD exStyle = 0;
    if (view_.border_) exStyle |= WS_EX_CLIENTEDGE;
    if (view_.rightToLeft_) exStyle |= WS_EX_LAYOUTRTL;
    const SIZE size = ClientSize(container_.get());
    list_.reset(::CreateWindowExW(exStyle, L"ListBox", L"", kListStyle, 0, 0, size.cx, size.cy, container_.get(),
                                  nullptr, ::GetModuleHandleW(nullptr), nullptr));
    if (!list_) return;
    ::EnableWindow(list_.get(), TRUE);
    for (UINT iMsg : kListMessages) MSubclass::AttachMessage(this, list_.get(), iMsg);
    HandOver(list_.get());
    ::SendMessageW(list_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFontHandle(kMenuFont)), FALSE);
    Resize();
}

void VRX_ListBox::DestroyList() {
    if (!list_) return;
    methods_.EraseAll();
    for (UINT iMsg : kListMessages) MSubclass::DetachMessage(this, list_.get(), iMsg);
    ::ShowWindow(list_.get(), SW_HIDE);
    HandOver(nullptr);
    list_.reset();
}

void VRX_ListBox::HandOver(HWND list) {
    behavior_.list_ = list;
    methods_.list_ = list;
    view_.list_ = list;
}

void VRX_ListBox::Refresh() {
    if (!container_) return;
    ::InvalidateRect(container_.get(), nullptr, TRUE);
    ::UpdateWindow(container_.get());
}

void VRX_ListBox::Move(const RECT& bounds) {
    if (!container_) return;
    ::MoveWindow(container_.get(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 TRUE);
}

void VRX_ListBox::Resize() {
    if (!list_) return;
    const SIZE size = ClientSize(container_.get());
    ::MoveWindow(list_.get(), 0, 0, size.cx, size.cy, TRUE);
}

long VRX_ListBox::MsgResponse(UINT& currentMessage) {
    return currentMessage == WM_MOUSEACTIVATE ? kConsume : kBefore;
}

LRESULT VRX_ListBox::WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    try {
        if (hwnd == container_.get()) {
            if (iMsg == WM_SETFOCUS && list_) ::SetFocus(list_.get());
            if (iMsg == WM_SIZE) Resize();
            if (iMsg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == list_.get()) RaiseEvent(iMsg, wParam);
            return 0;
        }
        switch (iMsg) {
            case WM_SETFOCUS:
                AcceleratorRouting::Activate(this, list_.get());
                return 0;
            case WM_MOUSEACTIVATE:
                return OnMouseActivate(hwnd, iMsg, wParam, lParam);
            default:
                RaiseEvent(iMsg, wParam);
                return 0;
        }
    } catch (...) {
        // A failing event handler must not unwind through the window procedure.
        return 0;
    }
}

LRESULT VRX_ListBox::OnMouseActivate(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    if (::GetFocus() == hwnd) return MSubclass::CallOldWindowProc(hwnd, iMsg, wParam, lParam);
    ::SetFocus(container_.get());
    return MA_NOACTIVATE;
}

void VRX_ListBox::RaiseEvent(UINT iMsg, WPARAM wParam) {
    if (!behavior_.wantEvents_ || !IsEventMessage(iMsg)) return;
    // Handlers get copies: what they change is not passed on to the list.
    auto keyCode = static_cast<std::int16_t>(LOWORD(wParam));
    switch (iMsg) {
        case WM_KEYDOWN:
            if (keyCode == VK_RETURN) {
                Raise(Events.KeyEnter);
            } else if (Events.KeyDown) {
                std::int16_t shift = CurrentShiftState();
                Events.KeyDown(keyCode, shift);
            }
            break;
        case WM_KEYUP:
            if (keyCode != VK_RETURN && Events.KeyUp) {
                std::int16_t shift = CurrentShiftState();
                Events.KeyUp(keyCode, shift);
            }
            break;
        case WM_CHAR:
            if (Events.KeyPress) Events.KeyPress(keyCode);
            break;
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
            break;
    }
}

long VRX_ListBox::TranslateAccel(MSG& msg) {
    if (!list_ || !IsControlNavigationKey(msg)) return 1;
    ::SendMessageW(list_.get(), msg.message, msg.wParam, msg.lParam);
    return 0;
}

}  // namespace tarvo
