#include "common/window_class.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace tarvo {
namespace {

constexpr wchar_t kClassName[] = L"TarvoWindowClassTest";
constexpr UINT kThrowMessage = WM_APP + 1;

class Recorder {
public:
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        seen.push_back(msg);
        if (msg == kThrowMessage) throw std::runtime_error("handler failed");
        if (msg == WM_APP) return 42;
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    std::vector<UINT> seen;
};

HWND CreateFor(Recorder* owner) {
    constexpr WNDPROC kProc = WindowProcFor<Recorder, &Recorder::Handle>;
    if (!RegisterWindowClass(kClassName, kProc)) return nullptr;  // a second registration succeeds too
    return ::CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                             owner);
}

TEST(WindowClassTest, TheCreatorIsServedFromNcCreateToNcDestroyAndAThrowGetsTheDefaultAnswer) {
    Recorder recorder;
    const HWND hwnd = CreateFor(&recorder);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_FALSE(recorder.seen.empty());
    EXPECT_EQ(recorder.seen.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(WindowOwner<Recorder>(hwnd), &recorder);
    EXPECT_EQ(::SendMessageW(hwnd, kThrowMessage, 0, 0), 0);
    EXPECT_EQ(recorder.seen.back(), kThrowMessage);
    EXPECT_EQ(::SendMessageW(hwnd, WM_APP, 0, 0), 42);  // the window survived the throw
    ::DestroyWindow(hwnd);
    EXPECT_EQ(recorder.seen.back(), static_cast<UINT>(WM_NCDESTROY));

    const HWND orphan = CreateFor(nullptr);
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(WindowOwner<Recorder>(orphan), nullptr);
    EXPECT_EQ(::SendMessageW(orphan, WM_APP, 0, 0), 0);
    ::DestroyWindow(orphan);
}

}  // namespace
}  // namespace tarvo
