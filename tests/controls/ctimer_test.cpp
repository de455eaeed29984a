#include "controls/ctimer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "expect_raised.h"
#include "test_window.h"

namespace tarvo {
namespace {

// Runs the message loop until the condition holds or `rounds` times 10 ms pass.
template <typename Condition>
bool PumpUntil(Condition done, int rounds = 500) {
    for (int i = 0; i < rounds && !done(); ++i) {
        testing::PumpMessages();
        ::Sleep(10);
    }
    return done();
}

TEST(CTimer, OneSystemTimerPerIntervalZeroOnAStoppedTimerDoesNothingNegativeStops) {
    CTimer timer;
    int fired = 0;
    timer.ThatTime = [&] { ++fired; };
    timer.Interval(0);
    EXPECT_EQ(timer.SystemTimerId(), 0u);
    timer.Interval(50);
    const UINT_PTR first = timer.SystemTimerId();
    ASSERT_NE(first, 0u);
    timer.Interval(50);
    EXPECT_EQ(timer.SystemTimerId(), first);
    timer.Interval(-5);
    EXPECT_EQ(timer.Interval(), 0);
    EXPECT_EQ(timer.SystemTimerId(), 0u);
    PumpUntil([] { return false; }, 10);
    EXPECT_EQ(fired, 0);
}

TEST(CTimer, FiresAndAHandlerMayChangeItsOwnInterval) {
    CTimer timer;
    std::vector<long> intervalsSeen;
    timer.ThatTime = [&] {
        intervalsSeen.push_back(timer.Interval());
        timer.Interval(intervalsSeen.size() == 1 ? 15 : 0);
    };
    timer.Interval(10);
    ASSERT_TRUE(PumpUntil([&] { return intervalsSeen.size() >= 2; }));
    EXPECT_EQ(intervalsSeen, (std::vector<long>{10, 15}));
    EXPECT_EQ(timer.Interval(), 0);

    VRXTimer wrapper;
    int fired = 0;
    wrapper.ThatTime = [&] { ++fired; };
    wrapper.StartTimer(10);
    ASSERT_TRUE(PumpUntil([&] { return fired >= 2; }));
    wrapper.StopTimer();
    EXPECT_EQ(wrapper.Interval(), 0);
}

TEST(CTimer, HundredTimersRunAndTheNextIsRefusedAndFreedSlotsAreReused) {
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
    CTimer again;
    again.Interval(700);
    EXPECT_EQ(CTimer::HighWaterCount(), 100);
    int fired = 0;
    again.ThatTime = [&] { ++fired; };
    again.PulseTimer();
    EXPECT_EQ(fired, 1);
}

}  // namespace
}  // namespace tarvo
