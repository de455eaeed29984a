// The owners of system handles and the window class procedure, seen from outside.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "common/handles.h"
#include "common/window_class.h"
#include "gdi_objects.h"
#include "resource_counts.h"

namespace tarvo {
namespace {

HANDLE NewEvent() { return ::CreateEventW(nullptr, FALSE, FALSE, nullptr); }

TEST(HandleOwners, EachHandleIsClosedWhenReplacedMovedOverOrLeftAndAReleasedOneIsTheCallers) {
    const long handles = test::HandleCount(), gdi = test::GdiObjects();
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
        EXPECT_FALSE(unique_hfile(INVALID_HANDLE_VALUE));  // the invalid value is "none", never closed
        unique_hbrush brush(::CreateSolidBrush(0x0000FF));
        brush = unique_hbrush(::CreateSolidBrush(0x00FF00));
        EXPECT_EQ(test::HandleCount(), handles + 2);
        EXPECT_EQ(test::GdiObjects(), gdi + 1);
    }
    EXPECT_EQ(test::HandleCount(), handles + 1);
    EXPECT_EQ(test::GdiObjects(), gdi);
    EXPECT_TRUE(::CloseHandle(released));
}

constexpr UINT kThrowMessage = WM_APP + 1;

struct Recorder {
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        seen.push_back(msg);
        if (msg == kThrowMessage) throw std::runtime_error("handler failed");
        return msg == WM_APP ? 42 : ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    std::vector<UINT> seen;
};

TEST(WindowClass, TheCreatorIsServedFromNcCreateToNcDestroyAndAThrowGetsTheDefaultAnswer) {
    Recorder recorder;
    for (int registration = 0; registration < 2; ++registration)  // a second registration succeeds too
        ASSERT_TRUE(RegisterWindowClass(L"TarvoWindowClassTest", WindowProcFor<Recorder, &Recorder::Handle>));
    const HWND hwnd = ::CreateWindowExW(0, L"TarvoWindowClassTest", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), &recorder);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(recorder.seen.at(0), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(WindowOwner<Recorder>(hwnd), &recorder);
    EXPECT_EQ(::SendMessageW(hwnd, kThrowMessage, 0, 0), 0);
    EXPECT_EQ(recorder.seen.back(), kThrowMessage);
    EXPECT_EQ(::SendMessageW(hwnd, WM_APP, 0, 0), 42);  // the window survived the throw
    ::DestroyWindow(hwnd);
    EXPECT_EQ(recorder.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

}  // namespace
}  // namespace tarvo
