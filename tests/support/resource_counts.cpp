#include "resource_counts.h"

namespace tarvo::test {

namespace {

// Handle values are multiples of 4 and handed out from the bottom of the
// table, so a few thousand open handles all lie below this.
constexpr ULONG_PTR kHighestHandleValue = 0x10000;

// For systems whose GetProcessHandleCount answers 0: every value that names an open handle.
long HandlesByValue() {
    long open = 0;
    DWORD flags = 0;
    for (ULONG_PTR value = 4; value < kHighestHandleValue; value += 4) {
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++open;
    }
    return open;
}

BOOL CALLBACK CountChildWindow(HWND, LPARAM counter) {
    ++*reinterpret_cast<long*>(counter);
    return TRUE;
}

BOOL CALLBACK CountTopLevelWindow(HWND window, LPARAM counter) {
    ++*reinterpret_cast<long*>(counter);
    ::EnumChildWindows(window, CountChildWindow, counter);
    return TRUE;
}

long ThreadWindows() {
    long windows = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountTopLevelWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace

long HandleCount() {
    DWORD count = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count > 0) return static_cast<long>(count);
    return HandlesByValue();
}

ResourceCounts CountResources() {
    ResourceCounts counts;
    counts.handles = HandleCount();
    counts.gdiObjects = static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
    counts.windows = ThreadWindows();
    return counts;
}

std::string Describe(const ResourceCounts& counts) {
    return "handles " + std::to_string(counts.handles) + ", GDI objects " + std::to_string(counts.gdiObjects) +
           ", windows " + std::to_string(counts.windows);
}

}  // namespace tarvo::test
