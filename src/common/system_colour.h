#pragma once
// This system's colour table, as the lookup OLE colour translations take.
#include <windows.h>

#include <cstdint>

#include "common/ole_colour.h"

namespace tarvo {

inline std::uint32_t SystemColour(int index) { return static_cast<std::uint32_t>(::GetSysColor(index)); }

}  // namespace tarvo
