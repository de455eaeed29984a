#include "controls/message_hooks.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "expect_raised.h"
#include "test_window.h"

namespace tarvo {
namespace {

using testing::kProbeMessage;
using testing::kWindowOwnResult;
using Calls = std::vector<std::wstring>;

struct Listener : ISubclass {
    Listener(testing::WindowLog& log, std::wstring name, long mode, LRESULT result)
        : log(log), name(std::move(name)), mode(mode), result(result) {}
    long MsgResponse(UINT&) override { return mode; }
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        log.calls.push_back(name);
        return callPrevious ? MSubclass::CallOldWindowProc(hwnd, msg, wParam, lParam) + 1 : result;
    }
    testing::WindowLog& log;
    std::wstring name;
    long mode;
    LRESULT result;
    bool callPrevious = false;
};

class MSubclassTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window = testing::CreateProbeWindow(log)); }
    void TearDown() override { ::DestroyWindow(window); }
    LRESULT Probe() {
        log.calls.clear();
        return ::SendMessageW(window, kProbeMessage, 0, 0);
    }
    void Attach(std::initializer_list<Listener*> listeners, UINT message = kProbeMessage) {
        for (Listener* l : listeners) MSubclass::AttachMessage(l, window, message);
    }
    void Detach(std::initializer_list<Listener*> listeners, UINT message = kProbeMessage) {
        for (Listener* l : listeners) MSubclass::DetachMessage(l, window, message);
    }
    // Object errors: 0x80040000 plus the code, from the executable's name.
    static void ExpectObjectError(std::int32_t code, const wchar_t* description, std::function<void()> action) {
        testing::ExpectRaised(static_cast<std::int32_t>(0x80040000u + code), L"controls_foundation_test.WindowProc",
                              action, description);
    }

    testing::WindowLog log;
    HWND window = nullptr;
};

TEST_F(MSubclassTest, RefusedAttachmentsRaiseAndChangeNothing) {
    Listener a(log, L"a", kConsume, 5);
    Attach({&a});
    ExpectObjectError(13082, L"Message already handled by another class", [&] { Attach({&a}); });
    EXPECT_EQ(Probe(), 5);
    EXPECT_EQ(log.calls, Calls{L"a"});
    Detach({&a});
    const HWND desktop = ::GetDesktopWindow();  // another process's window
    ExpectObjectError(13084, L"Can't modify external window", [&] { MSubclass::AttachMessage(&a, desktop, kProbeMessage); });
    const HWND invalid = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x7FF00013));
    ExpectObjectError(13083, L"Invalid window", [&] { MSubclass::AttachMessage(&a, invalid, kProbeMessage); });
}

TEST_F(MSubclassTest, TheFirstListenerDecidesBeforeTheLastAfterAndConsumeNeverRunsTheWindow) {
    Listener first(log, L"first", kConsume, 1), last(log, L"last", kConsume, 2);
    Attach({&first});
    EXPECT_EQ(Probe(), 1);
    EXPECT_EQ(log.calls, Calls{L"first"});
    first.callPrevious = true;  // unless a listener asks for it
    EXPECT_EQ(Probe(), kWindowOwnResult + 1);
    EXPECT_EQ(log.calls, (Calls{L"first", L"window"}));
    first.callPrevious = false;
    Attach({&last});
    first.mode = kAfter;  // "after" of the first listener alone counts for nothing
    EXPECT_EQ(Probe(), 2);
    EXPECT_EQ(log.calls, (Calls{L"first", L"last"}));
    last.mode = kAfter;
    EXPECT_EQ(Probe(), kWindowOwnResult);
    EXPECT_EQ(log.calls, (Calls{L"first", L"last", L"window"}));
    first.mode = kBefore;  // the window runs once, and the last listener's result replaces its own
    EXPECT_EQ(Probe(), 2);
    EXPECT_EQ(log.calls, (Calls{L"window", L"first", L"last"}));
    Detach({&first, &last});
}

TEST_F(MSubclassTest, DetachKeepsTheOrderAndTheLastDetachRestoresTheWindow) {
    const LONG_PTR ownProc = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
    Listener a(log, L"a", kConsume, 1), b(log, L"b", kConsume, 2), c(log, L"c", kConsume, 3);
    Attach({&a, &b, &c});
    Detach({&a});
    EXPECT_EQ(Probe(), 3);
    EXPECT_EQ(log.calls, (Calls{L"b", L"c"}));
    Attach({&a});
    EXPECT_EQ(Probe(), 1);
    EXPECT_EQ(log.calls, (Calls{L"b", L"c", L"a"}));
    Detach({&a, &b, &c});
    Attach({&a}, WM_USER + 78);
    EXPECT_NE(::GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);  // another message still hooked
    EXPECT_EQ(Probe(), kWindowOwnResult);
    Detach({&a}, WM_USER + 78);
    EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);
    Detach({&a});  // not attached: changes nothing
    EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);
}

TEST_F(MSubclassTest, AThrowingListenerFallsBackToTheWindowAndListenersSeeTheDestruction) {
    struct Throwing : ISubclass {
        long MsgResponse(UINT&) override { return kConsume; }
        LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override { throw RaisedError(5, L"x", L"boom"); }
    } throwing;
    MSubclass::AttachMessage(&throwing, window, kProbeMessage);
    EXPECT_EQ(Probe(), kWindowOwnResult);
    MSubclass::DetachMessage(&throwing, window, kProbeMessage);
    Listener a(log, L"a", kAfter, 1);
    Attach({&a}, WM_DESTROY);
    log.calls.clear();
    ::DestroyWindow(window);
    EXPECT_EQ(log.calls, Calls{L"a"});
    EXPECT_NO_THROW(Detach({&a}, WM_DESTROY));
    window = nullptr;
}

}  // namespace
}  // namespace tarvo
