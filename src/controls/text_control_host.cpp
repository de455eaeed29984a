#include "controls/text_control_host.h"

namespace tarvo {

namespace {

constexpr wchar_t kContainerClass[] = L"TarvoControlContainer";

bool IsKeyDown(int virtualKey) { return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

void RegisterContainerClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kContainerClass;
        return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    (void)registered;
}

}  // namespace

std::int16_t CurrentShiftState() {
    std::int16_t shift = 0;
    if (IsKeyDown(VK_SHIFT)) shift |= 1;
    if (IsKeyDown(VK_CONTROL)) shift |= 2;
    if (IsKeyDown(VK_MENU)) shift |= 4;
    return shift;
}

bool IsControlNavigationKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP && msg.message != WM_CHAR) return false;
    const WPARAM key = msg.wParam;
    return key == VK_RETURN || key == VK_ESCAPE || (key >= VK_PRIOR && key <= VK_DOWN);
}

unique_hwnd CreateControlContainer(HWND parent, const RECT& bounds) {
    RegisterContainerClass();
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

}  // namespace tarvo
