#pragma once
// What the hosted text controls (list box, input box) share: the container
// window each control owns around its native inner window, the shift state of
// their key events, and the keys they take before the hosting form.
#include <windows.h>

#include <cstdint>

#include "common/handles.h"

namespace tarvo {

// 1 Shift, 2 Ctrl, 4 Alt, from the keys' asynchronous state.
std::int16_t CurrentShiftState();

// Enter, Esc, Page Up/Down, End, Home and the arrows: the keys a focused text
// control handles itself, even when the form has its own use for them.
bool IsControlNavigationKey(const MSG& msg);

// A plain child window of `parent` that hosts one control's inner window.
unique_hwnd CreateControlContainer(HWND parent, const RECT& bounds);

SIZE ClientSize(HWND window);

}  // namespace tarvo
