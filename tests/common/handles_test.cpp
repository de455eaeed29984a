// The owners of system handles seen from outside: every handle they were given is
// closed once, when they let go of it, whichever way that happens.
#include "common/handles.h"

#include <gtest/gtest.h>

#include "gdi_objects.h"
#include "resource_counts.h"

namespace tarvo {
namespace {

HANDLE NewEvent() { return ::CreateEventW(nullptr, FALSE, FALSE, nullptr); }

TEST(HandleOwners, EachHandleIsClosedWhenReplacedMovedOverOrLeftAndAReleasedOneIsTheCallers) {
    const long handles = test::HandleCount();
    HANDLE released = nullptr;
    {
        unique_handle a(NewEvent()), b(NewEvent());
        a = std::move(b);  // closes a's own event
        EXPECT_FALSE(b);
        a.reset(NewEvent());  // closes b's event
        unique_handle c(std::move(a));
        EXPECT_EQ(test::HandleCount(), handles + 1);
        released = c.release();
        *c.put() = NewEvent();
        unique_hfile none(INVALID_HANDLE_VALUE);  // the invalid value is never closed
        EXPECT_EQ(test::HandleCount(), handles + 2);
    }
    EXPECT_EQ(test::HandleCount(), handles + 1);
    EXPECT_TRUE(::CloseHandle(released));

    const long gdi = test::GdiObjects();
    {
        unique_hbrush brush(::CreateSolidBrush(0x0000FF));
        brush = unique_hbrush(::CreateSolidBrush(0x00FF00));
        EXPECT_EQ(test::GdiObjects(), gdi + 1);
    }
    EXPECT_EQ(test::GdiObjects(), gdi);
}

}  // namespace
}  // namespace tarvo
