#include "controls/panel.h"

#include <windowsx.h>

#include "common/window_class.h"
#include "controls/text_control_host.h"

namespace tarvo {

namespace {
constexpr wchar_t kPanelClass[] = L"TarvoPanel";

int ButtonOf(UINT msg, WPARAM wParam) {
    const int button = ButtonOfMessage(msg);
    return button != 0 ? button : ButtonsInKeyFlags(wParam);
}
}  // namespace

bool Panel::Create(HWND parent, COLORREF background) {
    if (!RegisterWindowClass(kPanelClass, WindowProcFor<Panel, &Panel::HandleMessage>)) return false;
    background_.reset(::CreateSolidBrush(background));
    HWND hwnd = ::CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                  10, 10, parent, nullptr, ::GetModuleHandleW(nullptr), this);
    return hwnd != nullptr;
}

SIZE Panel::ClientSize() const {
    RECT client{};
    ::GetClientRect(window_.get(), &client);
    return {client.right, client.bottom};
}

LRESULT Panel::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const float x = static_cast<float>(GET_X_LPARAM(lParam));
    const float y = static_cast<float>(GET_Y_LPARAM(lParam));
    switch (msg) {
        case WM_NCCREATE:
            window_.reset(hwnd);
            break;
        case WM_NCDESTROY:
            window_.release();
            break;
        case WM_SIZE:
            if (Resize) Resize();
            return 0;
        case WM_ERASEBKGND: {
            RECT client{};
            ::GetClientRect(hwnd, &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, background_.get());
            return 1;
        }
        case WM_PAINT: {
            const paint_scope paint(hwnd);
            if (Paint) Paint(paint.dc());
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            LOGBRUSH brush{};
            ::GetObjectW(background_.get(), sizeof(brush), &brush);
            ::SetBkColor(reinterpret_cast<HDC>(wParam), brush.lbColor);
            return reinterpret_cast<LRESULT>(background_.get());
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (MouseDown) MouseDown(ButtonOf(msg, wParam), CurrentShiftState(), x, y);
            return 0;
        case WM_MOUSEMOVE:
            if (MouseMove) MouseMove(ButtonOf(msg, wParam), CurrentShiftState(), x, y);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (MouseUp) MouseUp(ButtonOf(msg, wParam), CurrentShiftState(), x, y);
            return 0;
        case WM_COMMAND:
        case WM_NOTIFY:
            // Controls inside the panel report to the window that owns the panel.
            return ::SendMessageW(::GetParent(hwnd), msg, wParam, lParam);
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace tarvo
