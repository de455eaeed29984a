#include "common/unique_resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

std::vector<int> g_closed;

struct FakeTraits {
    using type = int;
    static int Invalid() noexcept { return -1; }
    static void Close(int value) noexcept { g_closed.push_back(value); }
};
using FakeHandle = UniqueResource<FakeTraits>;

// Every owner of a system handle rests on this: each value is closed exactly once, never the invalid one.
TEST(UniqueResource, ClosesEachValueOnceThroughMoveResetReleaseAndPut) {
    g_closed.clear();
    {
        FakeHandle none, a(3), c(4);
        FakeHandle b(std::move(a));
        EXPECT_FALSE(a.is_valid());
        c = std::move(b);  // closes 4
        c.reset(5);        // closes 3
        EXPECT_EQ(c.release(), 5);
        EXPECT_FALSE(c);
        c.reset(1);
        *c.put() = 6;  // closes 1
        EXPECT_EQ(c.get(), 6);
    }
    EXPECT_EQ(g_closed, (std::vector<int>{4, 3, 1, 6}));
}

}  // namespace
}  // namespace tarvo
