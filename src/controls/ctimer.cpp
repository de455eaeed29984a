#include "controls/ctimer.h"

#include <array>
#include <string>

#include "common/guarded_call.h"
#include "common/raised_error.h"
#include "controls/msubclass.h"

namespace tarvo {

namespace {

std::array<CTimer*, CTimer::kSlots + 1> g_slots{};  // index 0 unused
int g_highWater = 0;

[[noreturn]] void RaiseTimerError(std::int32_t code, const wchar_t* description) {
    throw RaisedError(kObjectErrorBase + code, std::wstring(MSubclass::AppTitle()) + L".WindowProc", description);
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    for (int i = 1; i <= g_highWater; ++i) {
        if (g_slots[i] && g_slots[i]->SystemTimerId() == id) {
            GuardedCall([&] { g_slots[i]->PulseTimer(); });
            return;
        }
    }
}

}  // namespace

CTimer::~CTimer() {
    Interval(0);
    if (timerId_) ::KillTimer(nullptr, timerId_);  // a timer the full table could not hold
}

int CTimer::HighWaterCount() { return g_highWater; }

void CTimer::Interval(long milliseconds) {
    if (milliseconds >= 1) {
        if (milliseconds == interval_) return;
        if (interval_ != 0) Remove();
        interval_ = milliseconds;
        if (!Add()) RaiseTimerError(13652, L"Can't create system timer");
    } else if (interval_ > 0) {
        interval_ = 0;
        Remove();
    }
}

void CTimer::PulseTimer() {
    if (ThatTime) ThatTime();
}

bool CTimer::Add() {
    timerId_ = ::SetTimer(nullptr, 0, static_cast<UINT>(interval_), TimerProc);
    if (timerId_ == 0) {
        interval_ = 0;
        return false;
    }
    for (int i = 1; i <= kSlots; ++i) {
        if (!g_slots[i]) {
            g_slots[i] = this;
            if (i > g_highWater) g_highWater = i;
            return true;
        }
    }
    RaiseTimerError(13651, L"No more than 10 timers allowed per class");
}

void CTimer::Remove() {
    for (int i = 1; i <= g_highWater; ++i) {
        if (g_slots[i] && g_slots[i]->timerId_ == timerId_) {
            ::KillTimer(nullptr, timerId_);
            g_slots[i] = nullptr;
            timerId_ = 0;
            return;
        }
    }
}

VRXTimer::VRXTimer() {
    timer_.ThatTime = [this] {
        if (ThatTime) ThatTime();
    };
}

}  // namespace tarvo
