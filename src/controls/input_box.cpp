#include "controls/input_box.h"

#include <algorithm>
#include <array>
#include <vector>

#include "controls/def_prefs_handles.h"
#include "controls/text_control_host.h"

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
    return (::GetWindowLongPtrW(edit_, GWL_STYLE) & ES_READONLY) != 0;
}

void InputBehavior::SetReadOnly(bool value) {
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

VRX_InputBox::~VRX_InputBox() {
    DestroyEdit();
    AcceleratorRouting::Release(this);
    for (UINT iMsg : kContainerMessages) MSubclass::DetachMessage(this, container_.get(), iMsg);
    container_.reset();
}

void VRX_InputBox::Init(HWND parent, const RECT& bounds) {
    DestroyEdit();
    if (!container_) {
        container_ = CreateControlContainer(parent, bounds);
        if (!container_) return;
        for (UINT iMsg : kContainerMessages) MSubclass::AttachMessage(this, container_.get(), iMsg);
    } else {
        Move(bounds);
    }
    CreateEdit();
}

void VRX_InputBox::Move(const RECT& bounds) {
    if (!container_) return;
    ::MoveWindow(container_.get(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 TRUE);
}

void VRX_InputBox::CreateEdit() {
    const DWORD style = kEditStyle | (behavior_.readOnly_ ? ES_READONLY : 0);
    const DWORD exStyle = view_.border_ ? WS_EX_CLIENTEDGE : 0;
    const SIZE size = ClientSize(container_.get());
    edit_.reset(::CreateWindowExW(exStyle, L"Edit", L"", style, 0, 0, size.cx, size.cy, container_.get(), nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr));
    if (!edit_) return;
    ::EnableWindow(edit_.get(), TRUE);
    for (UINT iMsg : kEditMessages) MSubclass::AttachMessage(this, edit_.get(), iMsg);
    HandOver(edit_.get());
    ::SendMessageW(edit_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFontHandle(kMenuFont)), FALSE);
    FitHeightToFont();
    Resize();
}

void VRX_InputBox::DestroyEdit() {
    if (!edit_) return;
    for (UINT iMsg : kEditMessages) MSubclass::DetachMessage(this, edit_.get(), iMsg);
    ::ShowWindow(edit_.get(), SW_HIDE);
    HandOver(nullptr);
    edit_.reset();
}

void VRX_InputBox::HandOver(HWND edit) {
    behavior_.edit_ = edit;
    methods_.edit_ = edit;
    view_.edit_ = edit;
}

// The container's client area becomes one menu-font line plus 4 pixels.
void VRX_InputBox::FitHeightToFont() {
    long fontHeight = 0;
    {
        unique_window_dc dc(container_.get());
        fontHeight = DefaultFontHeight(kMenuFont, dc.get());
    }
    RECT window{};
    ::GetWindowRect(container_.get(), &window);
    const SIZE client = ClientSize(container_.get());
    const int frameHeight = (window.bottom - window.top) - client.cy;
    ::SetWindowPos(container_.get(), nullptr, 0, 0, window.right - window.left,
                   static_cast<int>(fontHeight) + 4 + frameHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void VRX_InputBox::Resize() {
    if (!edit_) return;
    const SIZE size = ClientSize(container_.get());
    ::MoveWindow(edit_.get(), 0, 0, size.cx, size.cy, FALSE);
    const RECT area{0, 0, size.cx, size.cy};
    ::RedrawWindow(edit_.get(), &area, nullptr, kRepaintNow);
}

long VRX_InputBox::MsgResponse(UINT& currentMessage) {
    return currentMessage == WM_MOUSEACTIVATE ? kConsume : kBefore;
}

LRESULT VRX_InputBox::WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    try {
        if (hwnd == container_.get()) {
            if (iMsg == WM_SETFOCUS && edit_) ::SetFocus(edit_.get());
            if (iMsg == WM_SIZE) Resize();
            return 0;
        }
        switch (iMsg) {
            case WM_SETFOCUS:
                AcceleratorRouting::Activate(this, edit_.get());
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

LRESULT VRX_InputBox::OnMouseActivate(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    if (::GetFocus() == hwnd) return MSubclass::CallOldWindowProc(hwnd, iMsg, wParam, lParam);
    ::SetFocus(container_.get());
    return MA_NOACTIVATE;
}

void VRX_InputBox::RaiseEvent(UINT iMsg, WPARAM wParam) {
    // Handlers get copies: what they change is not passed on to the edit.
    auto keyCode = static_cast<std::int16_t>(LOWORD(wParam));
    switch (iMsg) {
        case WM_KEYDOWN:
            if (keyCode == VK_RETURN) {
                if (Events.KeyEnter) Events.KeyEnter();
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
        default:
            break;
    }
}

long VRX_InputBox::TranslateAccel(MSG& msg) {
    if (!edit_ || !IsControlNavigationKey(msg)) return 1;
    ::SendMessageW(edit_.get(), msg.message, msg.wParam, msg.lParam);
    return 0;
}

}  // namespace tarvo
