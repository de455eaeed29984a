#include "controls/thread_timer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "expect_raised.h"
#include "test_support.h"
#include "test_window.h"

namespace tarvo {
namespace {

TEST(CTimer, OneSystemTimerPerIntervalAHundredSlotsFreedOnesReusedAndAHandlerMayChangeItsOwnInterval) {
    CTimer timer;
    timer.Interval(0);
    EXPECT_EQ(timer.SystemTimerId(), 0u);
    timer.Interval(50);
    const UINT_PTR first = timer.SystemTimerId();
    timer.Interval(50);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(timer.SystemTimerId(), first);

    std::vector<std::unique_ptr<CTimer>> others;
    for (int i = 0; i < 99; ++i) (others.emplace_back(std::make_unique<CTimer>()))->Interval(1000 + i);
    EXPECT_EQ(CTimer::HighWaterCount(), 100);
    CTimer extra;
    testing::ExpectRaised(static_cast<std::int32_t>(0x80040000u + 13651), L"controls_foundation_test.WindowProc",
                          [&] { extra.Interval(500); }, L"No more than 10 timers allowed per class");
    others[42]->Interval(0);
    VRXTimer again;
    int fired = 0;
    again.ThatTime = [&] { ++fired; };
    again.StartTimer(20);
    EXPECT_EQ(CTimer::HighWaterCount(), 100);
    others.clear();

    std::vector<long> intervalsSeen;
    timer.ThatTime = [&] {
        intervalsSeen.push_back(timer.Interval());
        timer.Interval(intervalsSeen.size() == 1 ? 15 : -5);
    };
    timer.Interval(10);
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            testing::PumpMessages();
            return intervalsSeen.size() >= 2 && fired >= 1;
        },
        5000));
    EXPECT_EQ(intervalsSeen, (std::vector<long>{10, 15}));
    EXPECT_EQ(timer.Interval(), 0);
    EXPECT_EQ(timer.SystemTimerId(), 0u);
    again.StopTimer();
    EXPECT_EQ(again.Interval(), 0);
}

}  // namespace
}  // namespace tarvo
