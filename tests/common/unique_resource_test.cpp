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

class UniqueResourceTest : public ::testing::Test {
protected:
    void SetUp() override { g_closed.clear(); }
};

TEST_F(UniqueResourceTest, ClosesOnceAtScopeEndAndNeverTheInvalidValue) {
    { FakeHandle none; }
    { FakeHandle h(7); }
    EXPECT_EQ(g_closed, std::vector<int>{7});
}

TEST_F(UniqueResourceTest, MoveTransfersOwnership) {
    {
        FakeHandle a(3);
        FakeHandle b(std::move(a));
        EXPECT_FALSE(a.is_valid());
        EXPECT_EQ(b.get(), 3);
        FakeHandle c(4);
        c = std::move(b);  // 4 is closed now, 3 at scope end
        EXPECT_EQ(g_closed, std::vector<int>{4});
    }
    EXPECT_EQ(g_closed, (std::vector<int>{4, 3}));
}

TEST_F(UniqueResourceTest, ResetReleaseAndPut) {
    FakeHandle h(1);
    h.reset(2);
    EXPECT_EQ(g_closed, std::vector<int>{1});
    EXPECT_EQ(h.release(), 2);
    EXPECT_FALSE(h);
    h.reset(5);
    *h.put() = 6;  // put closes 5 first
    EXPECT_EQ(g_closed, (std::vector<int>{1, 5}));
    EXPECT_EQ(h.get(), 6);
}

}  // namespace
}  // namespace tarvo
