#pragma once
// A plain top-level window for the control tests, with a procedure that records
// what reaches it; and the pointer moved as a user moves it.
#include <windows.h>

#include <string>
#include <vector>

namespace tarvo::testing {

constexpr UINT kProbeMessage = WM_USER + 77;
constexpr LRESULT kWindowOwnResult = 100;

struct WindowLog {
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    std::vector<std::wstring> calls;  // in order: "window", listener names, ...
};

// Creates a visible window whose procedure appends "window" to the log on
// kProbeMessage or WM_COMMAND and answers them with kWindowOwnResult.
HWND CreateProbeWindow(WindowLog& log);
// Puts the real pointer on (x, y) of the window's client area, so that the window under it is the
// one the message claims, and sends the mouse message there (a left press with its button down).
void PointerAt(HWND window, UINT message, int x, int y);

}  // namespace tarvo::testing
