#include "test_window.h"

#include "controls/accelerator_routing.h"

namespace tarvo::testing {

namespace {

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* log = reinterpret_cast<WindowLog*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (log) log->messages.push_back(msg);
    if (msg == kProbeMessage) {
        if (log) log->calls.push_back(L"window");
        return kWindowOwnResult;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

const wchar_t* ProbeClass() {
    static const wchar_t* name = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TarvoProbeWindow";
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        ::RegisterClassW(&wc);
        return L"TarvoProbeWindow";
    }();
    return name;
}

}  // namespace

HWND CreateProbeWindow(WindowLog& log, HWND parent) {
    const DWORD style = parent ? (WS_CHILD | WS_VISIBLE) : (WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    return ::CreateWindowExW(0, ProbeClass(), L"probe", style, 10, 10, 300, 200, parent, nullptr,
                             ::GetModuleHandleW(nullptr), &log);
}

void PumpMessages() { AcceleratorRouting::PumpPending(); }

}  // namespace tarvo::testing
