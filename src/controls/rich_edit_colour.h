#pragma once
// OLE colours (0x00BBGGRR, or 0x80000000 | system colour index) to RGB values.
#include <windows.h>

namespace tarvo {

// The RGB value of an OLE colour, -1 when it is not a valid one.
long TranslateOleColour(long oleColour);

}  // namespace tarvo
