#pragma once
// The window classes of the program: registered once by name, and served by
// one static procedure per owner type. The owner passes itself as the creation
// parameter; the procedure keeps it in the window's user data from WM_NCCREATE,
// forgets it after WM_NCDESTROY and lets no exception out.
#include <windows.h>

#include "common/guarded_call.h"

namespace tarvo {

// Registers the class unless this module already has one of that name.
inline bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style = 0,
                                HBRUSH background = nullptr) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.hInstance = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoExW(wc.hInstance, name, &wc)) return true;
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The object a window of WindowProcFor belongs to; null before WM_NCCREATE and after WM_NCDESTROY.
template <typename Owner>
Owner* WindowOwner(HWND hwnd) {
    return reinterpret_cast<Owner*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

template <typename Owner, LRESULT (Owner::*Handle)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK WindowProcFor(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    Owner* owner = WindowOwner<Owner>(hwnd);
    if (msg == WM_NCDESTROY) ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (!owner) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return GuardedCall([&] { return (owner->*Handle)(hwnd, msg, wParam, lParam); },
                       [&] { return ::DefWindowProcW(hwnd, msg, wParam, lParam); });
}

}  // namespace tarvo
