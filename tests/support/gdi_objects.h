#pragma once
// The GDI objects the process holds, for leak checks that must also work where
// GetGuiResources answers 0: there every small handle value is asked for its type.
#include <windows.h>

namespace tarvo::test {

inline long GdiObjects() {
    if (const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(counted);
    long live = 0;
    for (ULONG_PTR value = 1; value < 0x10000; ++value)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0) ++live;
    return live;
}

}  // namespace tarvo::test
