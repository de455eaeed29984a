#include "controls/accelerator_routing.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/handles.h"
#include "test_window.h"

namespace tarvo {
namespace {

struct Target : ITranslateAccelerator {
    long TranslateAccel(MSG& msg) override {
        seen.push_back(static_cast<UINT>(msg.wParam));
        return msg.wParam == VK_DOWN ? 0 : 1;
    }
    std::vector<UINT> seen;
};

long KeyDowns(const testing::WindowLog& log) {
    return static_cast<long>(std::count(log.messages.begin(), log.messages.end(), static_cast<UINT>(WM_KEYDOWN)));
}

TEST(AcceleratorRouting, TheTargetSeesItsKeysFirstThenThePreviewThenTheWindowAndOnlyTheActiveTargetIsReleased) {
    testing::WindowLog parentLog, innerLog, otherLog;
    unique_hwnd parent(testing::CreateProbeWindow(parentLog)), other(testing::CreateProbeWindow(otherLog));
    const HWND inner = testing::CreateProbeWindow(innerLog, parent.get());
    Target target, newer;
    std::vector<UINT> previewed;
    AcceleratorRouting::PreviewKeysWith([&](MSG& msg) {
        previewed.push_back(static_cast<UINT>(msg.wParam));
        return msg.wParam == VK_F1;
    });
    AcceleratorRouting::Activate(&target, inner);
    for (const auto& [to, key] : {std::pair{inner, VK_DOWN}, {inner, VK_F1}, {inner, VK_RIGHT}, {other.get(), VK_DOWN}})
        ::PostMessageW(to, WM_KEYDOWN, key, 1);
    testing::PumpMessages();
    // Down: the target's. F1: declined by the target, swallowed by the preview. Right: dispatched.
    // Down to another window: the target is not asked.
    EXPECT_EQ(target.seen, (std::vector<UINT>{VK_DOWN, VK_F1, VK_RIGHT}));
    EXPECT_EQ(previewed, (std::vector<UINT>{VK_F1, VK_RIGHT, VK_DOWN}));
    EXPECT_EQ(std::make_pair(KeyDowns(innerLog), KeyDowns(otherLog)), std::make_pair(1L, 1L));

    AcceleratorRouting::PreviewKeysWith(nullptr);
    AcceleratorRouting::Release(&newer);
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &target);
    AcceleratorRouting::Release(&target);
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), nullptr);
    ::PostMessageW(inner, WM_KEYDOWN, VK_DOWN, 1);
    testing::PumpMessages();
    EXPECT_EQ(target.seen.size(), 3u);
    EXPECT_EQ(KeyDowns(innerLog), 2);
}

}  // namespace
}  // namespace tarvo
