#include "controls/text_control_host.h"

#include "common/window_class.h"

namespace tarvo {

namespace {

constexpr wchar_t kContainerClass[] = L"TarvoControlContainer";

void MoveTo(HWND window, const RECT& bounds, bool repaint) {
    ::MoveWindow(window, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 repaint ? TRUE : FALSE);
}

}  // namespace

bool IsKeyMessage(const MSG& msg) {
    return msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR;
}

bool IsControlNavigationKey(const MSG& msg) {
    const WPARAM key = msg.wParam;
    return IsKeyMessage(msg) && (key == VK_RETURN || key == VK_ESCAPE || (key >= VK_PRIOR && key <= VK_DOWN));
}

unique_hwnd CreateControlContainer(HWND parent, const RECT& bounds) {
    RegisterWindowClass(kContainerClass, ::DefWindowProcW, 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return unique_hwnd(::CreateWindowExW(0, kContainerClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                         bounds.left, bounds.top, bounds.right - bounds.left,
                                         bounds.bottom - bounds.top, parent, nullptr, ::GetModuleHandleW(nullptr),
                                         nullptr));
}

SIZE ClientSize(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

bool HasStyleBit(HWND window, int index, DWORD bit) {
    return (static_cast<DWORD>(::GetWindowLongPtrW(window, index)) & bit) != 0;
}

void ChangeStyleBit(HWND window, int index, DWORD bit, bool on) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, index));
    ::SetWindowLongPtrW(window, index, static_cast<LONG_PTR>(on ? (style | bit) : (style & ~bit)));
}

long HostedMsgResponse(UINT message) { return message == WM_MOUSEACTIVATE ? kConsume : kBefore; }

std::optional<LRESULT> HandOffFocus(ITranslateAccelerator& target, HWND container, HWND inner, HWND hwnd, UINT iMsg,
                                    WPARAM wParam, LPARAM lParam) {
    if (iMsg == WM_SETFOCUS && hwnd == container) {
        if (inner) ::SetFocus(inner);
        return 0;
    }
    if (iMsg == WM_SETFOCUS) {
        AcceleratorRouting::Activate(&target, hwnd);
        return 0;
    }
    if (iMsg == WM_MOUSEACTIVATE && hwnd != container) {
        if (::GetFocus() == hwnd) return MSubclass::CallOldWindowProc(hwnd, iMsg, wParam, lParam);
        ::SetFocus(container);
        return MA_NOACTIVATE;
    }
    return std::nullopt;
}

bool ControlHost::PlaceContainer(HWND parent, const RECT& bounds) {
    if (container_) {
        Move(bounds);
        return true;
    }
    container_ = CreateControlContainer(parent, bounds);
    if (!container_) return false;
    for (UINT iMsg : containerMessages_) MSubclass::AttachMessage(&listener_, container_.get(), iMsg);
    return true;
}

void ControlHost::Move(const RECT& bounds) {
    if (container_) MoveTo(container_.get(), bounds, true);
}

HWND ControlHost::CreateInner(const wchar_t* className, DWORD style, DWORD exStyle) {
    const SIZE size = ClientSize(container_.get());
    inner_.reset(::CreateWindowExW(exStyle, className, L"", style, 0, 0, size.cx, size.cy, container_.get(), nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr));
    if (!inner_) return nullptr;
    ::EnableWindow(inner_.get(), TRUE);
    for (UINT iMsg : innerMessages_) MSubclass::AttachMessage(&listener_, inner_.get(), iMsg);
    return inner_.get();
}

void ControlHost::DestroyInner(Teardown teardown) {
    if (!inner_) return;
    const bool quiet = teardown == Teardown::kQuiet && container_;
    if (quiet) {
        for (UINT iMsg : containerMessages_) MSubclass::DetachMessage(&listener_, container_.get(), iMsg);
    }
    for (UINT iMsg : innerMessages_) MSubclass::DetachMessage(&listener_, inner_.get(), iMsg);
    ::ShowWindow(inner_.get(), SW_HIDE);
    if (quiet) ::SetParent(inner_.get(), nullptr);
    inner_.reset();
    // The container may already be gone with its parent, as when the form closes first.
    if (quiet && ::IsWindow(container_.get())) {
        for (UINT iMsg : containerMessages_) MSubclass::AttachMessage(&listener_, container_.get(), iMsg);
    }
}

void ControlHost::Close() {
    DestroyInner();
    AcceleratorRouting::Release(&target_);
    if (!container_) return;
    for (UINT iMsg : containerMessages_) MSubclass::DetachMessage(&listener_, container_.get(), iMsg);
    container_.reset();
}

void ControlHost::FitInner(bool repaint) const {
    if (!inner_) return;
    const SIZE size = ClientSize(container_.get());
    MoveTo(inner_.get(), RECT{0, 0, size.cx, size.cy}, repaint);
}

std::optional<LRESULT> ControlHost::HandOffFocus(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    return tarvo::HandOffFocus(target_, container_.get(), inner_.get(), hwnd, iMsg, wParam, lParam);
}

long ControlHost::RouteKey(const MSG& msg, bool takesKey) const {
    if (!inner_ || !takesKey) return 1;
    ::SendMessageW(inner_.get(), msg.message, msg.wParam, msg.lParam);
    return 0;
}

}  // namespace tarvo
