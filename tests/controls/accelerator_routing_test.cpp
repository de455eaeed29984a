#include "controls/accelerator_routing.h"

#include <gtest/gtest.h>

#include <algorithm>

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

class AcceleratorRoutingTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent = testing::CreateProbeWindow(parentLog);
        inner = testing::CreateProbeWindow(innerLog, parent);
        other = testing::CreateProbeWindow(otherLog);
        testing::PumpMessages();
        innerLog.messages.clear();
        otherLog.messages.clear();
    }
    void TearDown() override {
        AcceleratorRouting::Release(&target);
        AcceleratorRouting::PreviewKeysWith(nullptr);
        ::DestroyWindow(parent);
        ::DestroyWindow(other);
    }
    static long KeyDowns(const testing::WindowLog& log) {
        return static_cast<long>(std::count(log.messages.begin(), log.messages.end(), static_cast<UINT>(WM_KEYDOWN)));
    }
    void PostKey(HWND to, WPARAM key) {
        ::PostMessageW(to, WM_KEYDOWN, key, 1);
        testing::PumpMessages();
    }

    testing::WindowLog parentLog, innerLog, otherLog;
    HWND parent = nullptr, inner = nullptr, other = nullptr;
    Target target;
};

TEST_F(AcceleratorRoutingTest, TheTargetSeesItsKeysFirstThenThePreviewThenTheWindow) {
    std::vector<UINT> previewed;
    AcceleratorRouting::PreviewKeysWith([&](MSG& msg) {
        previewed.push_back(static_cast<UINT>(msg.wParam));
        return msg.wParam == VK_F1;
    });
    AcceleratorRouting::Activate(&target, inner);
    PostKey(inner, VK_DOWN);   // the target handles it: neither the preview nor the window sees it
    PostKey(inner, VK_F1);     // declined by the target, swallowed by the preview
    PostKey(inner, VK_RIGHT);  // declined by both: dispatched as usual
    PostKey(other, VK_DOWN);   // meant for another window: the target is not asked
    EXPECT_EQ(target.seen, (std::vector<UINT>{VK_DOWN, VK_F1, VK_RIGHT}));
    EXPECT_EQ(previewed, (std::vector<UINT>{VK_F1, VK_RIGHT, VK_DOWN}));
    EXPECT_EQ(KeyDowns(innerLog), 1);
    EXPECT_EQ(KeyDowns(otherLog), 1);
}

TEST_F(AcceleratorRoutingTest, OnlyTheActiveTargetCanBeReleased) {
    AcceleratorRouting::Activate(&target, inner);
    Target newer;
    AcceleratorRouting::Release(&newer);
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), &target);
    AcceleratorRouting::Release(&target);
    EXPECT_EQ(AcceleratorRouting::ActiveTarget(), nullptr);
    PostKey(inner, VK_DOWN);
    EXPECT_TRUE(target.seen.empty());
    EXPECT_EQ(KeyDowns(innerLog), 1);
}

}  // namespace
}  // namespace tarvo
