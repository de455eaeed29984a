#include "controls/thread_timer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "expect_raised.h"
#include "test_window.h"

namespace tarvo {
namespace {

// Runs the message loop until the condition holds or 500 rounds of 10 ms pass.
template <typename Condition>
bool PumpUntil(Condition done) {
    for (int i = 0; i < 500 && !done(); ++i) {
        testing::PumpMessages();
        ::Sleep(10);
    }
    return done();
}

TEST(CTimer, OneSystemTimerPerIntervalAHandlerMayChangeItsOwnIntervalAndBelowOneStops) {
    CTimer timer;
    timer.Interval(0);
    EXPECT_EQ(timer.SystemTimerId(), 0u);
    timer.Interval(50);
    const UINT_PTR first = timer.SystemTimerId();
    timer.Interval(50);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(timer.SystemTimerId(), first);
    std::vector<long> intervalsSeen;
    timer.ThatTime = [&] {
        intervalsSeen.push_back(timer.Interval());
        timer.Interval(intervalsSeen.size() == 1 ? 15 : -5);
    };
    timer.Interval(10);
    ASSERT_TRUE(PumpUntil([&] { return intervalsSeen.size() >= 2; }));
    EXPECT_EQ(intervalsSeen, (std::vector<long>{10, 15}));
    EXPECT_EQ(timer.Interval(), 0);
    EXPECT_EQ(timer.SystemTimerId(), 0u);
}

TEST(CTimer, HundredTimersRunTheNextIsRefusedAndFreedSlotsAreReused) {
    std::vector<std::unique_ptr<CTimer>> timers;
    for (int i = 0; i < 100; ++i) {
        timers.push_back(std::make_unique<CTimer>());
        timers.back()->Interval(1000 + i);
    }
    EXPECT_EQ(CTimer::HighWaterCount(), 100);
    CTimer extra;
    testing::ExpectRaised(static_cast<std::int32_t>(0x80040000u + 13651), L"", [&] { extra.Interval(500); },
                          L"No more than 10 timers allowed per class");
    timers[42]->Interval(0);
    VRXTimer again;
    int fired = 0;
    again.ThatTime = [&] { ++fired; };
    again.StartTimer(20);
    EXPECT_EQ(CTimer::HighWaterCount(), 100);
    timers.clear();
    ASSERT_TRUE(PumpUntil([&] { return fired >= 1; }));
    again.StopTimer();
    EXPECT_EQ(again.Interval(), 0);
}

}  // namespace
}  // namespace tarvo
