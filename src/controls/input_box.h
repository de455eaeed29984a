#pragma once
// A single-line text field: one native "Edit" window inside the control's own
// container window, which sizes its height to the menu font.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "controls/accelerator_routing.h"
#include "controls/msubclass.h"
#include "controls/text_control_host.h"

namespace tarvo {

// Raised in this order of numbers; 1, 2 and 6 to 8 are never raised.
struct InputBoxEvents {
    std::function<void(std::int16_t& keyCode, std::int16_t& shift)> KeyDown;  // 3, any key but Enter
    std::function<void(std::int16_t& keyAscii)> KeyPress;                    // 4
    std::function<void(std::int16_t& keyCode, std::int16_t& shift)> KeyUp;    // 5, any key but Enter
    std::function<void()> KeyEnter;                                          // 9
};

class InputBehavior {
public:
    bool ReadOnly() const;
    void ReadOnly(bool value);

private:
    friend class VRX_InputBox;
    HWND edit_ = nullptr;
    bool readOnly_ = false;
};

class InputMethods {
public:
    std::wstring TextGet() const;
    void TextSet(const std::wstring& newContent);

private:
    friend class VRX_InputBox;
    HWND edit_ = nullptr;
};

class InputView {
public:
    // Takes effect at the next Init.
    bool Border() const { return border_; }
    void Border(bool value) { border_ = value; }

private:
    friend class VRX_InputBox;
    HWND edit_ = nullptr;
    bool border_ = true;
};

class VRX_InputBox final : public ISubclass, public ITranslateAccelerator {
public:
    InputBoxEvents Events;

    VRX_InputBox();
    VRX_InputBox(const VRX_InputBox&) = delete;
    VRX_InputBox& operator=(const VRX_InputBox&) = delete;
    ~VRX_InputBox();

    // Creates the container inside `parent` (first call only; later calls move
    // it) and a fresh edit window; the container's height then follows the font.
    void Init(HWND parent, const RECT& bounds);
    // Places the container; the edit follows its size.
    void Move(const RECT& bounds);

    HWND EdithWnd() const { return host_.Inner(); }
    HWND ContainerhWnd() const { return host_.Container(); }

    InputBehavior& Behavior() { return behavior_; }
    InputMethods& Methods() { return methods_; }
    InputView& View() { return view_; }
    const InputBehavior& Behavior() const { return behavior_; }
    const InputMethods& Methods() const { return methods_; }
    const InputView& View() const { return view_; }

    long MsgResponse(UINT& currentMessage) override;
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;
    long TranslateAccel(MSG& msg) override;

private:
    void CreateEdit();
    void DestroyEdit();
    void HandOver(HWND edit);
    void FitHeightToFont();
    void Resize();

    ControlHost host_;
    InputBehavior behavior_;
    InputMethods methods_;
    InputView view_;
};

}  // namespace tarvo
