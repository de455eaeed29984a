#include "controls/msubclass.h"

#include <gtest/gtest.h>

#include <string>

#include "common/raised_error.h"
#include "test_window.h"

namespace tarvo {
namespace {

using testing::kProbeMessage;
using testing::kWindowOwnResult;
using testing::WindowLog;

struct Listener : ISubclass {
    Listener(WindowLog& log, std::wstring name, long mode, LRESULT result)
        : log(log), name(std::move(name)), mode(mode), result(result) {}
    long MsgResponse(UINT&) override { return mode; }
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        log.calls.push_back(name);
        if (callPrevious) return MSubclass::CallOldWindowProc(hwnd, msg, wParam, lParam) + 1;
        return result;
    }
    WindowLog& log;
    std::wstring name;
    long mode;
    LRESULT result;
    bool callPrevious = false;
};

class MSubclassTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = testing::CreateProbeWindow(log);
        ASSERT_TRUE(window);
    }
    void TearDown() override { ::DestroyWindow(window); }
    LRESULT Probe() {
        log.calls.clear();
        return ::SendMessageW(window, kProbeMessage, 0, 0);
    }
    std::vector<std::wstring> Calls(std::initializer_list<const wchar_t*> names) {
        return std::vector<std::wstring>(names.begin(), names.end());
    }

    WindowLog log;
    HWND window = nullptr;
};

std::int32_t ErrorOf(std::int32_t code) { return kObjectErrorBase + code; }

TEST_F(MSubclassTest, AttachingTheSameListenerTwiceRaisesAndKeepsOneEntry) {
    Listener a(log, L"a", kConsume, 5);
    MSubclass::AttachMessage(&a, window, kProbeMessage);
    try {
        MSubclass::AttachMessage(&a, window, kProbeMessage);
        FAIL() << "second attach did not raise";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), ErrorOf(13082));
        EXPECT_EQ(e.Description(), L"Message already handled by another class");
        EXPECT_EQ(e.Source(), std::wstring(MSubclass::AppTitle()) + L".WindowProc");
    }
    EXPECT_EQ(Probe(), 5);
    EXPECT_EQ(log.calls, Calls({L"a"}));
    MSubclass::DetachMessage(&a, window, kProbeMessage);
}

TEST_F(MSubclassTest, ForeignAndInvalidWindowsAreRefused) {
    Listener a(log, L"a", kConsume, 5);
    HWND desktop = ::GetDesktopWindow();
    DWORD desktopProcess = 0;
    ::GetWindowThreadProcessId(desktop, &desktopProcess);
    if (desktopProcess != ::GetCurrentProcessId()) {
        try {
            MSubclass::AttachMessage(&a, desktop, kProbeMessage);
            FAIL() << "attach to another process's window did not raise";
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), ErrorOf(13084));
            EXPECT_EQ(e.Description(), L"Can't modify external window");
        }
        const std::wstring countName = L"C" + std::to_wstring(reinterpret_cast<std::uintptr_t>(desktop));
        EXPECT_EQ(::GetPropW(desktop, countName.c_str()), nullptr);
    }
    try {
        MSubclass::AttachMessage(&a, reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x7FF00013)), kProbeMessage);
        FAIL() << "attach to an invalid window did not raise";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), ErrorOf(13083));
        EXPECT_EQ(e.Description(), L"Invalid window");
    }
}

TEST_F(MSubclassTest, ConsumeNeverRunsThePreviousProcedureUnlessAsked) {
    Listener a(log, L"a", kConsume, 7);
    MSubclass::AttachMessage(&a, window, kProbeMessage);
    EXPECT_EQ(Probe(), 7);
    EXPECT_EQ(log.calls, Calls({L"a"}));
    a.callPrevious = true;
    EXPECT_EQ(Probe(), kWindowOwnResult + 1);
    EXPECT_EQ(log.calls, Calls({L"a", L"window"}));
    MSubclass::DetachMessage(&a, window, kProbeMessage);
}

TEST_F(MSubclassTest, FirstListenerDecidesBeforeAndItsResultIsReplacedByTheLast) {
    Listener first(log, L"first", kBefore, 1);
    Listener last(log, L"last", kConsume, 2);
    MSubclass::AttachMessage(&first, window, kProbeMessage);
    MSubclass::AttachMessage(&last, window, kProbeMessage);
    EXPECT_EQ(Probe(), 2);
    EXPECT_EQ(log.calls, Calls({L"window", L"first", L"last"}));
    MSubclass::DetachMessage(&first, window, kProbeMessage);
    MSubclass::DetachMessage(&last, window, kProbeMessage);
}

TEST_F(MSubclassTest, LastListenerDecidesAfterAndTheWindowsResultIsReturned) {
    Listener first(log, L"first", kAfter, 1);  // "after" of the first listener alone counts for nothing
    Listener last(log, L"last", kConsume, 2);
    MSubclass::AttachMessage(&first, window, kProbeMessage);
    MSubclass::AttachMessage(&last, window, kProbeMessage);
    EXPECT_EQ(Probe(), 2);
    EXPECT_EQ(log.calls, Calls({L"first", L"last"}));

    last.mode = kAfter;
    EXPECT_EQ(Probe(), kWindowOwnResult);
    EXPECT_EQ(log.calls, Calls({L"first", L"last", L"window"}));

    first.mode = kBefore;  // the previous procedure runs only once
    EXPECT_EQ(Probe(), 2);
    EXPECT_EQ(log.calls, Calls({L"window", L"first", L"last"}));
    MSubclass::DetachMessage(&first, window, kProbeMessage);
    MSubclass::DetachMessage(&last, window, kProbeMessage);
}

TEST_F(MSubclassTest, DetachingTheLastSubscriptionRestoresTheWindow) {
    const LONG_PTR ownProc = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
    Listener a(log, L"a", kConsume, 9);
    Listener b(log, L"b", kConsume, 8);
    MSubclass::AttachMessage(&a, window, kProbeMessage);
    MSubclass::AttachMessage(&b, window, WM_USER + 78);
    EXPECT_NE(::GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);

    MSubclass::DetachMessage(&a, window, kProbeMessage);
    EXPECT_NE(::GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);  // b still listens
    EXPECT_EQ(Probe(), kWindowOwnResult);
    MSubclass::DetachMessage(&b, window, WM_USER + 78);
    EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);
    EXPECT_EQ(Probe(), kWindowOwnResult);
    EXPECT_EQ(log.calls, Calls({L"window"}));

    // Detaching what is not attached changes nothing.
    MSubclass::DetachMessage(&a, window, kProbeMessage);
    EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);
}

TEST_F(MSubclassTest, DetachKeepsTheOrderOfTheRemainingListeners) {
    Listener a(log, L"a", kConsume, 1), b(log, L"b", kConsume, 2), c(log, L"c", kConsume, 3);
    for (Listener* l : {&a, &b, &c}) MSubclass::AttachMessage(l, window, kProbeMessage);
    MSubclass::DetachMessage(&a, window, kProbeMessage);
    EXPECT_EQ(Probe(), 3);
    EXPECT_EQ(log.calls, Calls({L"b", L"c"}));
    MSubclass::AttachMessage(&a, window, kProbeMessage);
    EXPECT_EQ(Probe(), 1);
    EXPECT_EQ(log.calls, Calls({L"b", L"c", L"a"}));
    for (Listener* l : {&a, &b, &c}) MSubclass::DetachMessage(l, window, kProbeMessage);
}

TEST_F(MSubclassTest, AnExceptionInAListenerFallsBackToTheWindow) {
    struct Throwing : ISubclass {
        long MsgResponse(UINT&) override { return kConsume; }
        LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override { throw RaisedError(5, L"x", L"boom"); }
    } throwing;
    MSubclass::AttachMessage(&throwing, window, kProbeMessage);
    EXPECT_EQ(Probe(), kWindowOwnResult);
    MSubclass::DetachMessage(&throwing, window, kProbeMessage);
}

TEST_F(MSubclassTest, ListenersSeeTheWindowsDestructionAndMayDetachAfterIt) {
    WindowLog otherLog;
    HWND other = testing::CreateProbeWindow(otherLog);
    Listener a(otherLog, L"a", kAfter, 1);
    MSubclass::AttachMessage(&a, other, WM_DESTROY);
    ::DestroyWindow(other);
    EXPECT_EQ(otherLog.calls, Calls({L"a"}));
    EXPECT_NO_THROW(MSubclass::DetachMessage(&a, other, WM_DESTROY));
}

}  // namespace
}  // namespace tarvo
