#include "controls/input_box.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/guarded_call.h"
#include "controls/def_prefs_handles.h"

namespace tarvo {

namespace {

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP | ES_AUTOHSCROLL;
static_assert(kEditStyle == 0x56010080);

constexpr UINT kRepaintNow = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW;
static_assert(kRepaintNow == 0x505);

constexpr std::array<UINT, 3> kContainerMessages = {WM_SETFOCUS, WM_COMMAND, WM_SIZE};
constexpr std::array<UINT, 11> kEditMessages = {WM_SETFOCUS,    WM_MOUSEACTIVATE, WM_CHAR,      WM_LBUTTONDOWN,
                                                WM_LBUTTONUP,   WM_MBUTTONDOWN,   WM_MBUTTONUP, WM_RBUTTONDOWN,
                                                WM_RBUTTONUP,   WM_KEYDOWN,       WM_KEYUP};

}  // namespace

// ---- Behavior ----

bool InputBehavior::ReadOnly() const {
    if (!edit_) return readOnly_;
    return HasStyleBit(edit_, GWL_STYLE, ES_READONLY);
}

void InputBehavior::ReadOnly(bool value) {
    readOnly_ = value;
    if (edit_) ::SendMessageW(edit_, EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

// ---- Methods ----

std::wstring InputMethods::TextGet() const {
    if (!edit_) return {};
    const LRESULT length = ::SendMessageW(edit_, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(edit_, WM_GETTEXT, static_cast<WPARAM>(buffer.size()), reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data(), static_cast<std::size_t>(std::max<LRESULT>(0, std::min(copied, length))));
}

void InputMethods::TextSet(const std::wstring& newContent) {
    if (edit_) ::SendMessageW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(newContent.c_str()));
}

// ---- The control ----

VRX_InputBox::VRX_InputBox() : host_(*this, kContainerMessages, kEditMessages) {}

VRX_InputBox::~VRX_InputBox() {
    HandOver(nullptr);
    host_.Close();
}

void VRX_InputBox::Init(HWND parent, const RECT& bounds) {
    DestroyEdit();
    if (host_.PlaceContainer(parent, bounds)) CreateEdit();
}

void VRX_InputBox::Move(const RECT& bounds) { host_.Move(bounds); }

void VRX_InputBox::CreateEdit() {
    const DWORD style = kEditStyle | (behavior_.readOnly_ ? ES_READONLY : 0);
    const DWORD exStyle = view_.border_ ? WS_EX_CLIENTEDGE : 0;
    HWND edit = host_.CreateInner(L"Edit", style, exStyle);
    if (!edit) return;
    HandOver(edit);
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFontHandle(kMenuFont)), FALSE);
    FitHeightToFont();
    Resize();
}

void VRX_InputBox::DestroyEdit() {
    HandOver(nullptr);
    host_.DestroyInner();
}

void VRX_InputBox::HandOver(HWND edit) {
    behavior_.edit_ = edit;
    methods_.edit_ = edit;
    view_.edit_ = edit;
}

// The container's client area becomes one menu-font line plus 4 pixels.
void VRX_InputBox::FitHeightToFont() {
    HWND container = host_.Container();
    long fontHeight = 0;
    {
        unique_window_dc dc(container);
        fontHeight = DefaultFontHeight(kMenuFont, dc.get());
    }
    RECT window{};
    ::GetWindowRect(container, &window);
    const int frameHeight = (window.bottom - window.top) - ClientSize(container).cy;
    ::SetWindowPos(container, nullptr, 0, 0, window.right - window.left, static_cast<int>(fontHeight) + 4 + frameHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void VRX_InputBox::Resize() {
    if (!EdithWnd()) return;
    host_.FitInner(false);
    const SIZE size = ClientSize(host_.Container());
    const RECT area{0, 0, size.cx, size.cy};
    ::RedrawWindow(EdithWnd(), &area, nullptr, kRepaintNow);
}

long VRX_InputBox::MsgResponse(UINT& currentMessage) { return HostedMsgResponse(currentMessage); }

LRESULT VRX_InputBox::WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    return GuardedCall(
        [&]() -> LRESULT {
            if (const auto handled = host_.HandOffFocus(hwnd, iMsg, wParam, lParam)) return *handled;
            if (hwnd == host_.Container()) {
                if (iMsg == WM_SIZE) Resize();
            } else {
                RaiseKeyEvent(Events, iMsg, wParam);
            }
            return 0;
        },
        LRESULT{0});
}

long VRX_InputBox::TranslateAccel(MSG& msg) { return host_.RouteKey(msg, IsControlNavigationKey(msg)); }

}  // namespace tarvo
