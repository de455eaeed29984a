#pragma once
// The modifier keys and mouse buttons as key and mouse events report them.
#include <windows.h>

#include <cstdint>

#include "controls/input_bits.h"

namespace tarvo {

inline bool IsKeyDown(int virtualKey) { return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

// The modifier keys held now.
inline std::int16_t CurrentShiftState() {
    return static_cast<std::int16_t>((IsKeyDown(VK_SHIFT) ? kShiftDown : 0) | (IsKeyDown(VK_CONTROL) ? kCtrlDown : 0) |
                                     (IsKeyDown(VK_MENU) ? kAltDown : 0));
}

// The mouse buttons held now.
inline std::int16_t CurrentMouseButtons() {
    return static_cast<std::int16_t>((IsKeyDown(VK_LBUTTON) ? kLeftButton : 0) |
                                     (IsKeyDown(VK_RBUTTON) ? kRightButton : 0) |
                                     (IsKeyDown(VK_MBUTTON) ? kMiddleButton : 0));
}

// The button a press, release or double click message is about; 0 for any other message.
inline std::int16_t ButtonOfMessage(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return kLeftButton;
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return kRightButton;
        case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return kMiddleButton;
        default: return 0;
    }
}

// The buttons held according to the key flags of a mouse message.
inline std::int16_t ButtonsInKeyFlags(WPARAM flags) {
    return static_cast<std::int16_t>(((flags & MK_LBUTTON) ? kLeftButton : 0) | ((flags & MK_RBUTTON) ? kRightButton : 0) |
                                     ((flags & MK_MBUTTON) ? kMiddleButton : 0));
}

}  // namespace tarvo
