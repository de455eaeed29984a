#include "controls/accelerator_routing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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

TEST(AcceleratorRouting, KeysForTheTargetsWindowOrItsChildrenGoToTheTargetThenThePreviewThenTheWindow) {
    testing::WindowLog parentLog, innerLog, otherLog;
    unique_hwnd parent(testing::CreateProbeWindow(parentLog)), other(testing::CreateProbeWindow(otherLog));
    const HWND inner = testing::CreateProbeWindow(innerLog, parent.get());
    Target target, newer;
    std::vector<UINT> previewed;
    AcceleratorRouting::PreviewKeysWith([&](MSG& msg) {
        previewed.push_back(static_cast<UINT>(msg.wParam));
        return msg.wParam == VK_F1;
    });
    AcceleratorRouting::Activate(&target, parent.get());
    for (const auto& [to, key] : {std::pair{inner, VK_DOWN}, {inner, VK_F1}, {inner, VK_RIGHT}, {other.get(), VK_DOWN}})
        ::PostMessageW(to, WM_KEYDOWN, key, 1);
    testing::PumpMessages();
    AcceleratorRouting::PreviewKeysWith(nullptr);
    // Down: the target's. F1: declined by the target, swallowed by the preview. Right: dispatched.
    // Down to another window: the target is not asked.
    EXPECT_EQ(target.seen, (std::vector<UINT>{VK_DOWN, VK_F1, VK_RIGHT}));
    EXPECT_EQ(previewed, (std::vector<UINT>{VK_F1, VK_RIGHT, VK_DOWN}));
    for (const auto* log : {&innerLog, &otherLog})
        EXPECT_EQ(std::count(log->messages.begin(), log->messages.end(), static_cast<UINT>(WM_KEYDOWN)), 1);
    AcceleratorRouting::Release(&newer);  // not the active target: changes nothing
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &target);
    AcceleratorRouting::Release(&target);
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), nullptr);
}

}  // namespace
}  // namespace tarvo
