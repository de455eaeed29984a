#pragma once
// ShiftStateBit and MouseButtonBit: the modifier and button bits that key and
// mouse events report, without Win32, for the logic that reads them.
#include <cstdint>

namespace tarvo {

// Bits of the shift argument of key and mouse events.
enum ShiftStateBit : std::int16_t { kShiftDown = 1, kCtrlDown = 2, kAltDown = 4 };
// Bits of the button argument of mouse events.
enum MouseButtonBit : std::int16_t { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

}  // namespace tarvo
