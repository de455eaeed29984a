#pragma once
// A rich edit hosted on a probe form, focused, with helpers that drive keys
// through the program's own message routing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/handles.h"
#include "controls/rich_edit.h"
#include "test_window.h"

namespace tarvo::testing {

// The rich edit under test is Wine's own when this is true.
bool RunningUnderWine();

class RichEditFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Posts a key press (down, then up) to the edit and pumps it through the routing.
    void PressKey(WPARAM key);
    void PostKeyDown(WPARAM key);
    void TypeChar(wchar_t c);
    // Holds a real modifier key while `action` runs, so the asynchronous key state sees it.
    template <typename Action>
    void WithModifier(WORD modifier, Action action) {
        SendModifier(modifier, false);
        action();
        SendModifier(modifier, true);
    }
    std::wstring Text() const;
    void Text(const std::wstring& text);
    HWND Edit() const { return edit.RichEdithWnd(); }

    WindowLog formLog;
    unique_hwnd form;
    VRX_RichEdit edit;  // destroyed before the form that hosts it

private:
    void SendModifier(WORD modifier, bool up);
};

}  // namespace tarvo::testing
