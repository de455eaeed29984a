#pragma once
// Thread timers without a window. One process-wide table of 100 slots maps the
// system's timer identifiers back to their objects, so a single callback can
// raise the right object's ThatTime.
#include <windows.h>

#include <functional>

namespace tarvo {

class CTimer {
public:
    static constexpr int kSlots = 100;

    std::function<void()> ThatTime;  // raised when the timer fires

    CTimer() = default;
    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;
    ~CTimer();

    long Interval() const noexcept { return interval_; }
    // A positive value (re)starts the timer, below 1 stops it. Raises
    // 0x80040000 + 13651 when the table is full, + 13652 when no system timer can be made.
    void Interval(long milliseconds);
    void PulseTimer();

    UINT_PTR SystemTimerId() const noexcept { return timerId_; }
    // The highest slot index ever filled (diagnostics and tests).
    static int HighWaterCount();

private:
    bool Add();
    void Remove();

    long interval_ = 0;
    UINT_PTR timerId_ = 0;
};

// A timer with start and stop, for hosting on a form.
class VRXTimer {
public:
    std::function<void()> ThatTime;

    VRXTimer();
    void StartTimer(long intervalMilliSec) { timer_.Interval(intervalMilliSec); }
    void StopTimer() { timer_.Interval(0); }
    long Interval() const noexcept { return timer_.Interval(); }

private:
    CTimer timer_;
};

}  // namespace tarvo
