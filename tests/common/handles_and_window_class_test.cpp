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
        a.reset(NewEvent());  // closes b's event
        unique_handle c(std::move(a));
        released = c.release();
        *c.put() = NewEvent();
        EXPECT_FALSE(unique_hfile(INVALID_HANDLE_VALUE));  // the invalid value is "none", never closed
        unique_hbrush brush(::CreateSolidBrush(0x0000FF));
        brush = unique_hbrush(::CreateSolidBrush(0x00FF00));
        EXPECT_EQ(std::make_pair(test::HandleCount(), test::GdiObjects()), std::make_pair(handles + 2, gdi + 1));
    }
    EXPECT_EQ(std::make_pair(test::HandleCount(), test::GdiObjects()), std::make_pair(handles + 1, gdi));
    EXPECT_TRUE(::CloseHandle(released));
}

struct Recorder {
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        seen.push_back(msg);
        if (msg == WM_SETTEXT) throw std::runtime_error("handler failed");
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    std::vector<UINT> seen;
};

TEST(WindowClass, TheCreatorIsServedFromNcCreateToNcDestroyAndAThrowGetsTheDefaultAnswer) {
    Recorder recorder;
    ASSERT_TRUE(RegisterWindowClass(L"TarvoWindowClassTest", WindowProcFor<Recorder, &Recorder::Handle>));
    const HWND hwnd = ::CreateWindowExW(0, L"TarvoWindowClassTest", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), &recorder);
    EXPECT_EQ(recorder.seen.at(0), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(WindowOwner<Recorder>(hwnd), &recorder);
    EXPECT_EQ(::SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x")), TRUE);  // the default answer
    EXPECT_EQ(recorder.seen.back(), static_cast<UINT>(WM_SETTEXT));
    EXPECT_TRUE(::DestroyWindow(hwnd));  // the window survived the throw
    EXPECT_EQ(recorder.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

}  // namespace
}  // namespace tarvo
