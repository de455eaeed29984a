#pragma once
// An owner-drawn push, check or option button with a picture, a caption, hover
// and pressed looks, a hover tooltip and a blinking picture with an attention
// bubble. Every look is rendered into a back buffer when the state changes and
// copied on paint, so a paint never changes the blink phase.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "common/handles.h"
#include "controls/ctimer.h"
#include "controls/def_prefs_handles.h"
#include "controls/msubclass.h"
#include "graphics/c32bpp_dib.h"
#include "graphics/colour_math.h"
#include "graphics/mem_dc.h"

namespace tarvo {

// The shared bubble a blinking button shows under itself, as far as the button uses it.
class IAttentionTip {
public:
    virtual bool TipVisible() const = 0;
    virtual bool OwnerWindowActive() const = 0;
    // Puts the bubble's pointing tip at (x, y), screen coordinates, without taking the focus.
    virtual void ShowTip(int x, int y) = 0;
    virtual void HideTip() = 0;

protected:
    ~IAttentionTip() = default;
};

enum class StyleButtonState { kNormal = 0, kHot = 1, kPressed = 2 };

enum StyleButtonMode : long { kPushButton = 0, kCheckButton = 1, kOptionButton = 2 };

// OLE colours naming a system colour: 0x80000000 | COLOR_xxx.
constexpr OleColour kAmbientBackColour = kSystemColourFlag | COLOR_BTNFACE;
constexpr OleColour kAmbientForeColour = kSystemColourFlag | COLOR_BTNTEXT;

class VRX_StyleButton final : public ISubclass {
public:
    static constexpr long kBlinkIntervalMs = 600;
    static constexpr int kTipShowTick = 7;
    static constexpr int kTipHideTick = 41;

    // Events. Mouse coordinates are client pixels; button 1 left, 2 right, 4 middle;
    // shift 1 Shift, 2 Ctrl, 4 Alt. A key code set to 0 by a handler withholds the key.
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void(short& KeyCode, short& Shift)> KeyDown;
    std::function<void(short& KeyAscii)> KeyPress;
    std::function<void(short& KeyCode, short& Shift)> KeyUp;
    std::function<void(short& Button, short& Shift, float& X, float& Y)> MouseDown;
    std::function<void(short& Button, short& Shift, float& X, float& Y)> MouseUp;
    std::function<void()> MouseEnter;
    std::function<void()> MouseLeave;

    VRX_StyleButton();
    VRX_StyleButton(const VRX_StyleButton&) = delete;
    VRX_StyleButton& operator=(const VRX_StyleButton&) = delete;
    ~VRX_StyleButton();

    // Creates the button window inside `parent` (first call only) and hooks the
    // activation messages of the parent's top-level window.
    bool Init(HWND parent, const RECT& bounds, int id = 0);
    void Move(const RECT& bounds);
    HWND hwnd() const { return window_.get(); }

    // Loads the picture from a resource of this executable, e.g. ("process-stop", "CUSTOM").
    // A picture that cannot be loaded leaves the button without one.
    bool picLocation(const std::wstring& path, const std::wstring& resSection);
    // The menu stays its owner's; it drops down under the button on a click.
    void SetPopupMenu(HMENU menu, long align = 0, long flags = 0, long defaultMenu = 0);
    void UnsetPopupMenu();

    // The bubble shown by Blink; not owned, may be null.
    void AttentionTip(IAttentionTip* tip) { attentionTip_ = tip; }
    IAttentionTip* AttentionTip() const { return attentionTip_; }

    long ButtonStyle() const { return buttonStyle_; }
    void ButtonStyle(long value);
    bool ShowFocusRect() const { return showFocusRect_; }
    void ShowFocusRect(bool value);
    const StdFontInfo& Font() const { return font_; }
    void Font(const StdFontInfo& value);
    OleColour BackColor() const { return backColor_; }
    void BackColor(OleColour value);
    bool Enabled() const { return enabled_; }
    void Enabled(bool value);
    const std::wstring& Caption() const { return caption_; }
    void Caption(const std::wstring& value);
    bool Value() const { return value_; }
    void Value(bool value);
    long MousePointer() const { return mousePointer_; }
    void MousePointer(long value) { mousePointer_ = value; }
    HCURSOR MouseIcon() const { return mouseIcon_; }
    void MouseIcon(HCURSOR value) { mouseIcon_ = value; }  // not owned
    bool HandPointer() const { return handPointer_; }
    void HandPointer(bool value) { handPointer_ = value; }
    // Pictures given as bitmaps stay their owner's; the button draws the one picLocation loads.
    HBITMAP PictureNormal() const { return pictureNormal_; }
    void PictureNormal(HBITMAP value) { pictureNormal_ = value; }
    HBITMAP PictureHot() const { return pictureHot_; }
    void PictureHot(HBITMAP value) { pictureHot_ = value; }
    HBITMAP PictureDown() const { return pictureDown_; }
    void PictureDown(HBITMAP value) { pictureDown_ = value; }
    bool PictureShadow() const { return pictureShadow_; }
    void PictureShadow(bool value) { pictureShadow_ = value; }
    std::uint8_t PictureOpacity() const { return pictureOpacity_; }
    void PictureOpacity(std::uint8_t value);
    std::uint8_t PictureOpacityOnOver() const { return pictureOpacityOnOver_; }
    void PictureOpacityOnOver(std::uint8_t value);
    long DisabledPictureMode() const { return disabledPictureMode_; }
    void DisabledPictureMode(long value) { disabledPictureMode_ = value; }
    bool PicturePushOnHover() const { return picturePushOnHover_; }
    void PicturePushOnHover(bool value) { picturePushOnHover_ = value; }
    long PictureEffectOnOver() const { return pictureEffectOnOver_; }
    void PictureEffectOnOver(long value) { pictureEffectOnOver_ = value; }
    long PictureEffectOnDown() const { return pictureEffectOnDown_; }
    void PictureEffectOnDown(long value) { pictureEffectOnDown_ = value; }
    OleColour MaskColor() const { return maskColor_; }
    void MaskColor(OleColour value) { maskColor_ = value; }
    bool UseMaskColor() const { return useMaskColor_; }
    void UseMaskColor(bool value) { useMaskColor_ = value; }
    long CaptionEffects() const { return captionEffects_; }
    void CaptionEffects(long value);
    long Mode() const { return mode_; }
    void Mode(long value);
    long PictureAlign() const { return pictureAlign_; }
    void PictureAlign(long value);
    long CaptionAlign() const { return captionAlign_; }
    void CaptionAlign(long value);
    OleColour ForeColor() const { return foreColor_; }
    void ForeColor(OleColour value);
    OleColour ForeColorHover() const { return foreColorHover_; }
    void ForeColorHover(OleColour value);
    long DropDownSymbol() const { return dropDownSymbol_; }
    void DropDownSymbol(long value);
    bool DropDownSeparator() const { return dropDownSeparator_; }
    void DropDownSeparator(bool value);
    const std::wstring& ToolTip() const { return toolTip_; }
    void ToolTip(const std::wstring& value) { toolTip_ = value; }
    const std::wstring& TooltipTitle() const { return tooltipTitle_; }
    void TooltipTitle(const std::wstring& value) { tooltipTitle_ = value; }
    long ToolTipIcon() const { return toolTipIcon_; }
    void ToolTipIcon(long value) { toolTipIcon_ = value; }
    long ToolTipType() const { return toolTipType_; }
    void ToolTipType(long value) { toolTipType_ = value; }
    OleColour TooltipBackColor() const { return tooltipBackColor_; }
    void TooltipBackColor(OleColour value);
    bool RightToLeft() const { return rightToLeft_; }
    void RightToLeft(bool value);
    long ColorScheme() const { return colorScheme_; }
    void ColorScheme(long value);
    bool Blink() const { return blink_; }
    void Blink(bool value);

    // Runtime state, for the owner and for tests.
    StyleButtonState State() const { return state_; }
    bool MouseOver() const { return mouseOver_; }
    bool OwnerActive() const { return ownerActive_; }
    int BlinkTicks() const { return ticks_; }
    const c32bppDIB& Picture() const { return picture_; }
    // Where the picture is drawn in the normal state (empty without a picture).
    RECT PictureRect() const;
    // The hover tooltip window, null until the pointer has entered with a ToolTip set.
    HWND TooltipWindow() const { return tooltip_.get(); }
    // The blink timer; tests drive it with PulseTimer.
    CTimer& BlinkTimer() { return blinkTimer_; }
    // The character marked with "&" in the caption, upper case; 0 when none.
    wchar_t AccessKey() const;
    // Renders the current look and schedules a paint.
    void Refresh();

    long MsgResponse(UINT& currentMessage) override;
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    void OnMouseMove(POINT client);
    void OnMouseLeave();
    void OnButtonDown(short button, POINT client);
    void OnButtonUp(short button, POINT client);
    bool OnKeyDown(WPARAM key);
    bool OnKeyUp(WPARAM key);
    void OnParentActivate(bool active);
    void PerformClick();
    void ClearOtherOptions();
    void ShowPopupMenu();
    void State(StyleButtonState state);
    void CreateHoverTip();
    void OnBlinkTick();
    void StartBlinking();
    void StopBlinking();
    void HookOwner(bool attach);
    void RebuildFont();
    void ApplyEnabled();

    // What is drawn: a checked button shows the pressed colours under the pointer, its own elsewhere.
    enum class Look { kNormal, kHot, kPressed, kChecked };
    Look DrawnLook() const;
    void Render();
    void PaintBackground(HDC dc, int width, int height, Look look);
    // Grey when disabled; while blinking, every call alternates natural and grey.
    int PictureGreyFormula();
    void PaintPicture(HDC dc, int width, int height, Look look);
    void PaintCaption(HDC dc, int width, int height, Look look);
    void PaintDropDown(HDC dc, int width, int height);
    SIZE CaptionSize(HDC dc) const;

    long buttonStyle_ = 3;
    bool showFocusRect_ = false;
    StdFontInfo font_;
    OleColour backColor_ = kAmbientBackColour;
    bool enabled_ = true;
    std::wstring caption_ = L"qubutton";
    bool value_ = false;
    long mousePointer_ = 0;
    HCURSOR mouseIcon_ = nullptr;
    bool handPointer_ = false;
    HBITMAP pictureNormal_ = nullptr;
    HBITMAP pictureHot_ = nullptr;
    HBITMAP pictureDown_ = nullptr;
    bool pictureShadow_ = false;
    std::uint8_t pictureOpacity_ = 255;
    std::uint8_t pictureOpacityOnOver_ = 255;
    long disabledPictureMode_ = 0;
    bool picturePushOnHover_ = false;
    long pictureEffectOnOver_ = 1;
    long pictureEffectOnDown_ = 2;
    OleColour maskColor_ = 0xE0E0E0;
    bool useMaskColor_ = true;
    long captionEffects_ = 0;
    long mode_ = kPushButton;
    long pictureAlign_ = 1;
    long captionAlign_ = 1;
    OleColour foreColor_ = kAmbientForeColour;
    OleColour foreColorHover_ = kAmbientForeColour;
    long dropDownSymbol_ = 0;
    bool dropDownSeparator_ = false;
    std::wstring toolTip_;
    std::wstring tooltipTitle_;
    long toolTipIcon_ = 0;
    long toolTipType_ = 0;
    OleColour tooltipBackColor_ = kSystemColourFlag | COLOR_INFOBK;
    bool tooltipBackColorSet_ = false;
    bool rightToLeft_ = false;
    long colorScheme_ = 0;
    bool blink_ = false;

    HMENU popupMenu_ = nullptr;
    long popupAlign_ = 0;
    long popupFlags_ = 0;
    bool menuOpen_ = false;

    StyleButtonState state_ = StyleButtonState::kNormal;
    bool mouseOver_ = false;
    bool leftDown_ = false;
    bool spaceDown_ = false;
    bool focused_ = false;
    bool ownerActive_ = true;
    bool blinkGrey_ = false;
    int ticks_ = 0;
    bool tipShown_ = false;
    IAttentionTip* attentionTip_ = nullptr;
    CTimer blinkTimer_;
    c32bppDIB picture_;
    VRX_memDC buffer_;
    unique_hfont fontHandle_;
    int width_ = 0;
    int height_ = 0;
    HWND owner_ = nullptr;  // the top-level window whose activation the button follows
    unique_hwnd tooltip_;
    unique_hwnd window_;
};

}  // namespace tarvo
