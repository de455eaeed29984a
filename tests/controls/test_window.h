#pragma once
// A plain top-level window for the control tests, with a procedure that records
// what reaches it; and the pointer moved as a user moves it.
#include <windows.h>

#include <string>
#include <vector>

#include "common/window_class.h"

namespace tarvo::testing {

constexpr UINT kProbeMessage = WM_USER + 77;
constexpr LRESULT kWindowOwnResult = 100;

// Appends "window" to the calls on kProbeMessage or WM_COMMAND and answers them with kWindowOwnResult.
struct WindowLog {
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg != kProbeMessage && msg != WM_COMMAND) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
        calls.push_back(L"window");
        return kWindowOwnResult;
    }
    std::vector<std::wstring> calls;  // in order: "window", listener names, ...
};

// A visible window whose procedure is the log's.
inline HWND CreateProbeWindow(WindowLog& log) {
    RegisterWindowClass(L"TarvoProbeWindow", WindowProcFor<WindowLog, &WindowLog::Handle>, 0,
                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return ::CreateWindowExW(0, L"TarvoProbeWindow", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), &log);
}

// Puts the real pointer on (x, y) of the window's client area, so that the window under it is the
// one the message claims, and sends the mouse message there (a left press with its button down).
inline void PointerAt(HWND window, UINT message, int x, int y) {
    POINT screen{x, y};
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageW(window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
}

}  // namespace tarvo::testing
