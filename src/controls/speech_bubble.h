#pragma once
// frmFakeToolTip: the speech bubble.
// The shared speech-bubble window: a rounded rectangle with a tail on its upper
// edge, a one-pixel outline and one block of text, shown without taking the
// focus and hidden whenever its owner moves or is deactivated.
#include <windows.h>

#include <string>

#include "common/handles.h"
#include "controls/message_hooks.h"

namespace tarvo {

class frmFakeToolTip : public ISubclass {
public:
    static constexpr int kTailHeight = 8;
    static constexpr int kTailLeft = 26;
    static constexpr int kMargin = 8;
    static constexpr COLORREF kOutlineColour = RGB(255, 128, 128);
    static constexpr COLORREF kBackColour = RGB(255, 248, 240);

    frmFakeToolTip() = default;
    ~frmFakeToolTip();
    frmFakeToolTip(const frmFakeToolTip&) = delete;
    frmFakeToolTip& operator=(const frmFakeToolTip&) = delete;

    // Creates the hidden window with its font and brush; false when the window cannot be made.
    bool Init();

    // Hooks the owner's WM_MOVE and WM_ACTIVATE; the owner also gets the focus on a click on the bubble.
    void SubClsOwner(HWND ownerHWnd);
    // Measures the text, resizes the window and shapes its region to fit.
    void TextSet(const std::wstring& text);
    // Shows the bubble with the tail's apex at the screen point (x, y), without activating it.
    void ShowTip(long x, long y);
    void Hide();

    bool OwnerWindowActive() const { return ownerWindowActive_; }
    bool Visible() const { return window_ && ::IsWindowVisible(window_.get()); }
    HWND hwnd() const { return window_.get(); }
    const std::wstring& Text() const { return text_; }
    SIZE TextSize() const { return textSize_; }

    long MsgResponse(UINT& currentMessage) override;
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT HandleBubbleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint();
    void DetachOwner();

    static constexpr POINT kTail[3] = {{kTailLeft, kTailHeight}, {kTailLeft + 8, kTailHeight}, {kTailLeft + 4, 0}};

    unique_hwnd window_;
    HDC windowDC_ = nullptr;  // the class's own DC, which keeps the font selected
    select_object_scope fontSelection_;
    unique_hbrush outlineBrush_;
    unique_hrgn paintRegion_;
    std::wstring text_;
    SIZE textSize_{};
    HWND owner_ = nullptr;
    bool ownerWindowActive_ = true;
};

}  // namespace tarvo
