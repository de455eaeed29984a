#include "controls/message_hooks.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "expect_raised.h"
#include "test_window.h"

namespace tarvo {
namespace {

using Calls = std::vector<std::wstring>;
using Outcome = std::pair<LRESULT, Calls>;

struct Listener : ISubclass {
    Listener(testing::WindowLog& log, std::wstring name, long mode, LRESULT result)
        : log(log), name(std::move(name)), mode(mode), result(result) {}
    long MsgResponse(UINT&) override { return mode; }
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        log.calls.push_back(name);
        if (name == L"throwing") throw RaisedError(5, L"x", L"boom");
        return callPrevious ? MSubclass::CallOldWindowProc(hwnd, msg, wParam, lParam) + 1 : result;
    }
    testing::WindowLog& log;
    std::wstring name;
    long mode;
    LRESULT result;
    bool callPrevious = false;
};

TEST(MSubclass, TheFirstListenerDecidesBeforeTheLastAfterDetachKeepsTheOrderAndRefusalsAndFailuresChangeNothing) {
    testing::WindowLog log;
    HWND window = testing::CreateProbeWindow(log);
    const LONG_PTR ownProc = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
    // The probe message's result and the calls it made, in order ("window" is the window's own procedure).
    const auto probe = [&] {
        log.calls.clear();
        const LRESULT result = ::SendMessageW(window, testing::kProbeMessage, 0, 0);
        return Outcome{result, log.calls};
    };
    // Attaches or detaches (`change`) each listener for one message.
    const auto hook = [&](auto change, std::initializer_list<Listener*> listeners, UINT message = testing::kProbeMessage) {
        for (Listener* l : listeners) change(l, window, message);
    };
    Listener first(log, L"first", kConsume, 1), last(log, L"last", kConsume, 2);
    hook(MSubclass::AttachMessage, {&first});
    for (const auto& [target, code, text] :  // the desktop is another process's window
         {std::tuple{window, 13082, L"Message already handled by another class"},
          {::GetDesktopWindow(), 13084, L"Can't modify external window"},
          {reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x7FF00013)), 13083, L"Invalid window"}}) {
        testing::ExpectRaised(static_cast<std::int32_t>(0x80040000u + code), L"controls_foundation_test.WindowProc",
                              [&] { MSubclass::AttachMessage(&first, target, testing::kProbeMessage); }, text);
    }
    EXPECT_EQ(probe(), (Outcome{1, {L"first"}}));
    first.callPrevious = true;  // unless a listener asks for it
    EXPECT_EQ(probe(), (Outcome{testing::kWindowOwnResult + 1, {L"first", L"window"}}));
    first.callPrevious = false;
    hook(MSubclass::AttachMessage, {&last});
    first.mode = kAfter;  // "after" of the first listener alone counts for nothing
    EXPECT_EQ(probe(), (Outcome{2, {L"first", L"last"}}));
    last.mode = kAfter;
    EXPECT_EQ(probe(), (Outcome{testing::kWindowOwnResult, {L"first", L"last", L"window"}}));
    first.mode = kBefore;  // the window runs once, and the last listener's result replaces its own
    EXPECT_EQ(probe(), (Outcome{2, {L"window", L"first", L"last"}}));
    hook(MSubclass::DetachMessage, {&first, &last});
    EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);

    Listener a(log, L"a", kConsume, 1), b(log, L"b", kConsume, 2), throwing(log, L"throwing", kConsume, 3);
    hook(MSubclass::AttachMessage, {&a, &b, &throwing});
    hook(MSubclass::DetachMessage, {&a});
    EXPECT_EQ(probe(), (Outcome{testing::kWindowOwnResult, {L"b", L"throwing", L"window"}}));
    hook(MSubclass::DetachMessage, {&throwing});
    hook(MSubclass::AttachMessage, {&a});
    EXPECT_EQ(probe(), (Outcome{1, {L"b", L"a"}}));
    hook(MSubclass::DetachMessage, {&a, &b});
    hook(MSubclass::AttachMessage, {&a}, WM_USER + 78);
    EXPECT_NE(::GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);  // another message still hooked
    EXPECT_EQ(probe(), (Outcome{testing::kWindowOwnResult, {L"window"}}));
    hook(MSubclass::DetachMessage, {&a}, WM_USER + 78);
    hook(MSubclass::DetachMessage, {&a});  // not attached: changes nothing
    EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);
    hook(MSubclass::AttachMessage, {&b}, WM_DESTROY);
    ::DestroyWindow(window);
    EXPECT_EQ(log.calls, (Calls{L"window", L"b"}));  // the last probe's, then the destruction's
}

}  // namespace
}  // namespace tarvo
