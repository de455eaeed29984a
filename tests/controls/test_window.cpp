#include "test_window.h"

#include "common/window_class.h"
#include "controls/accelerator_routing.h"

namespace tarvo::testing {

LRESULT WindowLog::Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    messages.push_back(msg);
    if (msg != kProbeMessage) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    calls.push_back(L"window");
    return kWindowOwnResult;
}

HWND CreateProbeWindow(WindowLog& log, HWND parent) {
    RegisterWindowClass(L"TarvoProbeWindow", WindowProcFor<WindowLog, &WindowLog::Handle>, 0,
                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    const DWORD style = parent ? (WS_CHILD | WS_VISIBLE) : (WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    return ::CreateWindowExW(0, L"TarvoProbeWindow", L"probe", style, 10, 10, 300, 200, parent, nullptr,
                             ::GetModuleHandleW(nullptr), &log);
}

void PumpMessages() { AcceleratorRouting::PumpPending(); }

}  // namespace tarvo::testing
