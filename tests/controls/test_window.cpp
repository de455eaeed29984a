#include "test_window.h"

#include "common/window_class.h"

namespace tarvo::testing {

LRESULT WindowLog::Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kProbeMessage && msg != WM_COMMAND) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    calls.push_back(L"window");
    return kWindowOwnResult;
}

HWND CreateProbeWindow(WindowLog& log) {
    RegisterWindowClass(L"TarvoProbeWindow", WindowProcFor<WindowLog, &WindowLog::Handle>, 0,
                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return ::CreateWindowExW(0, L"TarvoProbeWindow", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), &log);
}

void PointerAt(HWND window, UINT message, int x, int y) {
    POINT screen{x, y};
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageW(window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
}

}  // namespace tarvo::testing
