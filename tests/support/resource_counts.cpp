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

BOOL CALLBACK CountWindowAndItsChildren(HWND window, LPARAM counter) {
    ++*reinterpret_cast<long*>(counter);
    ::EnumChildWindows(window, [](HWND, LPARAM count) -> BOOL { ++*reinterpret_cast<long*>(count); return TRUE; }, counter);
    return TRUE;
}

long ThreadWindows() {
    long windows = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWindowAndItsChildren, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Committed memory private to the process, region by region.
long long PrivateBytes() {
    long long total = 0;
    MEMORY_BASIC_INFORMATION region{};
    const char* at = nullptr;
    while (::VirtualQuery(at, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += static_cast<long long>(region.RegionSize);
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
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
    counts.userObjects = static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS));
    counts.windows = ThreadWindows();
    counts.privateBytes = PrivateBytes();
    return counts;
}

std::string Describe(const ResourceCounts& counts) {
    return "handles " + std::to_string(counts.handles) + ", GDI objects " + std::to_string(counts.gdiObjects) +
           ", USER objects " + std::to_string(counts.userObjects) + ", windows " + std::to_string(counts.windows) +
           ", private bytes " + std::to_string(counts.privateBytes);
}

}  // namespace tarvo::test
