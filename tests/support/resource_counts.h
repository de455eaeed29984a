#pragma once
// What the process holds, for tests that look for leaks by counting.
#include <windows.h>

#include <string>

namespace tarvo::test {

struct ResourceCounts {
    long handles = 0;
    long gdiObjects = 0;  // 0 where the system does not count them (GetGuiResources answers 0)
    long windows = 0;     // windows of the calling thread, counted one by one
};

// The kernel handles the process has open.
long HandleCount();
ResourceCounts CountResources();
std::string Describe(const ResourceCounts& counts);

}  // namespace tarvo::test
