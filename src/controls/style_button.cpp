#include "controls/style_button.h"

#include <commctrl.h>

#include <cmath>
#include <cwctype>

#include "common/system_colour.h"
#include "common/window_class.h"
#include "controls/button_bar.h"
#include "controls/input_state.h"

namespace tarvo {

namespace {

constexpr wchar_t kClassName[] = L"VRX_StyleButton";
constexpr UINT kOwnerMessages[] = {WM_ACTIVATE, WM_NCACTIVATE, WM_SYSCOLORCHANGE, WM_THEMECHANGED};
constexpr int kPictureGreyFormula = 2;
constexpr int kNaturalColours = -1;
constexpr long kCaptionEngraved = 4;
constexpr int kDropDownShift = 8;
constexpr int kDropDownWidth = 14;
constexpr COLORREF kFrameColour = RGB(0, 0, 128);
constexpr long kCustomCursor = 99;

// Upper band from the first to the second colour, lower band from the third to the fourth.
struct BandColours {
    OleColour upperTop, upperBottom, lowerTop, lowerBottom;
};
constexpr BandColours kHotColours{MakeColour(255, 255, 225), MakeColour(255, 235, 172), MakeColour(255, 215, 103),
                                  MakeColour(255, 227, 153)};
constexpr BandColours kPressedColours{MakeColour(255, 175, 81), MakeColour(255, 143, 70), MakeColour(255, 143, 70),
                                      MakeColour(255, 211, 95)};
constexpr BandColours kCheckedColours{MakeColour(255, 218, 169), MakeColour(255, 192, 111),
                                      MakeColour(255, 192, 111), MakeColour(255, 171, 63)};

bool RegisterButtonClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        // The hover tips are common controls.
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        return RegisterWindowClass(kClassName, procedure, CS_DBLCLKS | CS_OWNDC);
    }();
    return registered;
}

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void DrawBands(HDC dc, int width, int height, const BandColours& colours) {
    const BarBands bands = ComputeBarBands(height);
    // The gradient runs from its second colour at the top to its first at the bottom.
    DrawGradient(dc, 0, 0, width, bands.upperHeight, colours.upperBottom, colours.upperTop,
                 GradientDirection::kVertical);
    DrawGradient(dc, 0, bands.lowerTop, width, bands.lowerHeight, colours.lowerBottom, colours.lowerTop,
                 GradientDirection::kVertical);
}

void DrawFrame(HDC dc, int width, int height) {
    unique_hbrush brush(::CreateSolidBrush(kFrameColour));
    const RECT rect{0, 0, width, height};
    ::FrameRect(dc, &rect, brush.get());
}

VRX_StyleButton* ButtonOf(HWND hwnd) {
    wchar_t name[32] = {};
    if (::GetClassNameW(hwnd, name, 32) == 0 || ::lstrcmpW(name, kClassName) != 0) return nullptr;
    return WindowOwner<VRX_StyleButton>(hwnd);
}

}  // namespace

VRX_StyleButton::VRX_StyleButton() {
    font_.Name = L"Tahoma";
    font_.Size = 8.25;
    font_.Charset = DEFAULT_CHARSET;
    blinkTimer_.ThatTime = [this] { OnBlinkTick(); };
}

VRX_StyleButton::~VRX_StyleButton() {
    // The attention tip may already be gone at shutdown, so it is left alone here.
    blinkTimer_.Interval(0);
    blinkTimer_.ThatTime = nullptr;
    HookOwner(false);
    tooltip_.reset();
    window_.reset();
}

bool VRX_StyleButton::Init(HWND parent, const RECT& bounds, int id) {
    if (window_ || !RegisterButtonClass(WindowProcFor<VRX_StyleButton, &VRX_StyleButton::HandleMessage>)) {
        return false;
    }
    RebuildFont();
    const HWND hwnd =
        ::CreateWindowExW(0, kClassName, caption_.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                          bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), this);
    if (!hwnd) return false;
    window_.reset(hwnd);
    ApplyEnabled();
    owner_ = ::GetAncestor(hwnd, GA_ROOT);
    ownerActive_ = ::GetActiveWindow() == owner_;
    HookOwner(true);
    Refresh();
    return true;
}

void VRX_StyleButton::Move(const RECT& bounds) {
    if (!window_) return;
    ::MoveWindow(window_.get(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

void VRX_StyleButton::HookOwner(bool attach) {
    if (!owner_ || owner_ == window_.get()) return;
    for (UINT message : kOwnerMessages) {
        if (attach) {
            MSubclass::AttachMessage(this, owner_, message);
        } else {
            MSubclass::DetachMessage(this, owner_, message);
        }
    }
    if (!attach) owner_ = nullptr;
}

bool VRX_StyleButton::picLocation(const std::wstring& path, const std::wstring& resSection) {
    const bool loaded = picture_.LoadPicture_Resource(path, resSection, nullptr, 32, 32, 0, 0, 32);
    Refresh();
    return loaded;
}

void VRX_StyleButton::SetPopupMenu(HMENU menu, long align, long flags, long /*defaultMenu*/) {
    popupMenu_ = menu;
    popupAlign_ = align;
    popupFlags_ = flags;
}

void VRX_StyleButton::UnsetPopupMenu() {
    popupMenu_ = nullptr;
    popupAlign_ = 0;
    popupFlags_ = 0;
}

// Setters of properties that change the look redraw at once.

void VRX_StyleButton::ButtonStyle(long value) {
    buttonStyle_ = value;
    Refresh();
}
void VRX_StyleButton::ShowFocusRect(bool value) {
    showFocusRect_ = value;
    Refresh();
}
void VRX_StyleButton::Font(const StdFontInfo& value) {
    font_ = value;
    RebuildFont();
    Refresh();
}
void VRX_StyleButton::BackColor(OleColour value) {
    backColor_ = value;
    Refresh();
}
void VRX_StyleButton::Caption(const std::wstring& value) {
    caption_ = value;
    if (window_) ::SetWindowTextW(window_.get(), caption_.c_str());
    Refresh();
}
void VRX_StyleButton::PictureOpacity(std::uint8_t value) {
    pictureOpacity_ = value;
    Refresh();
}
void VRX_StyleButton::PictureOpacityOnOver(std::uint8_t value) {
    pictureOpacityOnOver_ = value;
    Refresh();
}
void VRX_StyleButton::CaptionEffects(long value) {
    captionEffects_ = value;
    Refresh();
}
void VRX_StyleButton::Mode(long value) {
    mode_ = value;
    Refresh();
}
void VRX_StyleButton::PictureAlign(long value) {
    pictureAlign_ = value;
    Refresh();
}
void VRX_StyleButton::CaptionAlign(long value) {
    captionAlign_ = value;
    Refresh();
}
void VRX_StyleButton::ForeColor(OleColour value) {
    foreColor_ = value;
    Refresh();
}
void VRX_StyleButton::ForeColorHover(OleColour value) {
    foreColorHover_ = value;
    Refresh();
}
void VRX_StyleButton::DropDownSymbol(long value) {
    dropDownSymbol_ = value;
    Refresh();
}
void VRX_StyleButton::DropDownSeparator(bool value) {
    dropDownSeparator_ = value;
    Refresh();
}
void VRX_StyleButton::TooltipBackColor(OleColour value) {
    tooltipBackColor_ = value;
    tooltipBackColorSet_ = true;
}
void VRX_StyleButton::RightToLeft(bool value) {
    rightToLeft_ = value;
    Refresh();
}
void VRX_StyleButton::ColorScheme(long value) {
    colorScheme_ = value;
    Refresh();
}

void VRX_StyleButton::Value(bool value) {
    value_ = value;
    if (value_ && mode_ == kOptionButton) ClearOtherOptions();
    Refresh();
}

void VRX_StyleButton::Enabled(bool value) {
    enabled_ = value;
    ApplyEnabled();
    if (!enabled_) {
        leftDown_ = false;
        spaceDown_ = false;
        state_ = StyleButtonState::kNormal;
        if (window_ && ::GetCapture() == window_.get()) ::ReleaseCapture();
    }
    if (blink_) {
        if (enabled_) {
            StartBlinking();
        } else {
            StopBlinking();
        }
    }
    Refresh();
}

void VRX_StyleButton::ApplyEnabled() {
    if (window_) ::EnableWindow(window_.get(), enabled_ ? TRUE : FALSE);
}

void VRX_StyleButton::Blink(bool value) {
    blink_ = value;
    if (blink_ && enabled_) {
        StartBlinking();
    } else if (!blink_) {
        StopBlinking();
    }
    Refresh();
}

void VRX_StyleButton::StartBlinking() { blinkTimer_.Interval(kBlinkIntervalMs); }

void VRX_StyleButton::StopBlinking() {
    blinkTimer_.Interval(0);
    blinkGrey_ = false;
    ticks_ = 0;
    tipShown_ = false;
    if (attentionTip_ && attentionTip_->TipVisible()) attentionTip_->HideTip();
}

void VRX_StyleButton::OnBlinkTick() {
    if (!blink_ || !enabled_) return;  // a tick already queued when blinking stopped
    ++ticks_;
    Refresh();
    if (tipShown_ || !attentionTip_ || !window_) return;
    if (!attentionTip_->TipVisible()) {
        if (ticks_ >= kTipShowTick && attentionTip_->OwnerWindowActive()) {
            RECT rect{};
            ::GetWindowRect(window_.get(), &rect);
            attentionTip_->ShowTip((rect.left + rect.right) / 2, rect.bottom - 10);
        }
    } else if (ticks_ >= kTipHideTick) {
        attentionTip_->HideTip();
        tipShown_ = true;
        ticks_ = 0;
    }
}

wchar_t VRX_StyleButton::AccessKey() const {
    for (std::size_t i = 0; i + 1 < caption_.size(); ++i) {
        if (caption_[i] != L'&') continue;
        if (caption_[i + 1] != L'&') return static_cast<wchar_t>(std::towupper(caption_[i + 1]));
        ++i;  // "&&" is a literal ampersand
    }
    return 0;
}

void VRX_StyleButton::RebuildFont() {
    unique_window_dc screen(nullptr);
    const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(font_.Size * dpi / 72.0));
    lf.lfWeight = font_.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font_.Italic ? TRUE : FALSE;
    lf.lfUnderline = font_.Underline ? TRUE : FALSE;
    lf.lfStrikeOut = font_.Strikethrough ? TRUE : FALSE;
    lf.lfCharSet = static_cast<BYTE>(font_.Charset);
    lstrcpynW(lf.lfFaceName, font_.Name.c_str(), LF_FACESIZE);
    fontHandle_.reset(::CreateFontIndirectW(&lf));
}

// ---- Messages of the button window ----

LRESULT VRX_StyleButton::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SIZE:
            width_ = LOWORD(lParam);
            height_ = HIWORD(lParam);
            Refresh();
            return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            const paint_scope paint(hwnd);
            if (paint.dc() && buffer_.hDC()) ::BitBlt(paint.dc(), 0, 0, width_, height_, buffer_.hDC(), 0, 0, SRCCOPY);
            return 0;
        }
        case WM_PRINTCLIENT:
            if (buffer_.hDC()) {
                ::BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, width_, height_, buffer_.hDC(), 0, 0, SRCCOPY);
            }
            return 0;
        case WM_MOUSEMOVE: OnMouseMove(PointOf(lParam)); return 0;
        case WM_MOUSELEAVE: OnMouseLeave(); return 0;
        case WM_LBUTTONDBLCLK:
            if (enabled_ && DblClick) DblClick();
            OnButtonDown(kLeftButton, PointOf(lParam));
            return 0;
        case WM_LBUTTONDOWN: OnButtonDown(kLeftButton, PointOf(lParam)); return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: OnButtonDown(kRightButton, PointOf(lParam)); return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: OnButtonDown(kMiddleButton, PointOf(lParam)); return 0;
        case WM_LBUTTONUP: OnButtonUp(kLeftButton, PointOf(lParam)); return 0;
        case WM_RBUTTONUP: OnButtonUp(kRightButton, PointOf(lParam)); return 0;
        case WM_MBUTTONUP: OnButtonUp(kMiddleButton, PointOf(lParam)); return 0;
        case WM_CAPTURECHANGED:
            if (leftDown_ && reinterpret_cast<HWND>(lParam) != hwnd) {
                leftDown_ = false;
                State(StyleButtonState::kNormal);
            }
            return 0;
        case WM_KEYDOWN:
            if (OnKeyDown(wParam)) return 0;
            break;
        case WM_KEYUP:
            if (OnKeyUp(wParam)) return 0;
            break;
        case WM_CHAR: {
            short keyAscii = static_cast<short>(wParam);
            if (KeyPress) KeyPress(keyAscii);
            return 0;
        }
        case WM_SYSCHAR:
            if (enabled_ && AccessKey() != 0 && static_cast<wchar_t>(std::towupper(static_cast<wint_t>(wParam))) ==
                                                    AccessKey()) {
                PerformClick();
                return 0;
            }
            break;
        case WM_GETDLGCODE: return DLGC_BUTTON | DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            focused_ = msg == WM_SETFOCUS;
            if (!focused_ && spaceDown_) {
                spaceDown_ = false;
                state_ = StyleButtonState::kNormal;
            }
            Refresh();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                if (handPointer_) {
                    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                    return TRUE;
                }
                if (mousePointer_ == kCustomCursor && mouseIcon_) {
                    ::SetCursor(mouseIcon_);
                    return TRUE;
                }
            }
            break;
        case WM_DESTROY: tooltip_.reset(); break;
        case WM_NCDESTROY:
            window_.release();
            break;
        default: break;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void VRX_StyleButton::OnMouseMove(POINT client) {
    if (!enabled_ || !window_) return;
    POINT screen = client;
    ::ClientToScreen(window_.get(), &screen);
    const bool over = ::WindowFromPoint(screen) == window_.get();
    if (over) {
        if (!mouseOver_) {
            mouseOver_ = true;
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_.get(), 0};
            ::TrackMouseEvent(&track);
            if (MouseEnter) MouseEnter();
        }
    } else {
        mouseOver_ = false;
    }
    if (menuOpen_) return;
    if (!over) {
        State(StyleButtonState::kNormal);
    } else if (leftDown_) {
        State(StyleButtonState::kPressed);
    } else if (state_ != StyleButtonState::kHot) {
        State(StyleButtonState::kHot);
        CreateHoverTip();
        if (tooltip_) {
            MSG relay{window_.get(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y), 0, {}};
            ::SendMessageW(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
        }
    }
}

void VRX_StyleButton::OnMouseLeave() {
    mouseOver_ = false;
    state_ = StyleButtonState::kNormal;
    Refresh();  // a checked button changes its look with the pointer alone
    if (MouseLeave) MouseLeave();
}

void VRX_StyleButton::OnButtonDown(short button, POINT client) {
    if (!enabled_ || !window_) return;
    if (button == kLeftButton) {
        leftDown_ = true;
        ::SetCapture(window_.get());
        State(StyleButtonState::kPressed);
    }
    short shift = CurrentShiftState();
    float x = static_cast<float>(client.x);
    float y = static_cast<float>(client.y);
    if (MouseDown) MouseDown(button, shift, x, y);
}

void VRX_StyleButton::OnButtonUp(short button, POINT client) {
    if (!enabled_ || !window_) return;
    bool click = false;
    if (button == kLeftButton) {
        const bool wasDown = leftDown_;
        leftDown_ = false;
        if (::GetCapture() == window_.get()) ::ReleaseCapture();
        RECT rect{};
        ::GetClientRect(window_.get(), &rect);
        click = wasDown && ::PtInRect(&rect, client);
        if (!click) State(mouseOver_ ? StyleButtonState::kHot : StyleButtonState::kNormal);
    }
    short shift = CurrentShiftState();
    float x = static_cast<float>(client.x);
    float y = static_cast<float>(client.y);
    if (MouseUp) MouseUp(button, shift, x, y);
    if (click) PerformClick();
}

bool VRX_StyleButton::OnKeyDown(WPARAM key) {
    short keyCode = static_cast<short>(key);
    short shift = CurrentShiftState();
    if (KeyDown) KeyDown(keyCode, shift);
    if (keyCode == 0) return true;
    if (!enabled_) return false;
    switch (keyCode) {
        case VK_RETURN: PerformClick(); return true;
        case VK_SPACE:
            spaceDown_ = true;
            State(StyleButtonState::kPressed);
            return true;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            spaceDown_ = false;
            State(StyleButtonState::kNormal);
            return true;
        default: return false;
    }
}

bool VRX_StyleButton::OnKeyUp(WPARAM key) {
    short keyCode = static_cast<short>(key);
    short shift = CurrentShiftState();
    if (KeyUp) KeyUp(keyCode, shift);
    if (keyCode == 0) return true;
    if (keyCode == VK_SPACE && spaceDown_ && enabled_) {
        spaceDown_ = false;
        PerformClick();
        return true;
    }
    return false;
}

void VRX_StyleButton::PerformClick() {
    if (mode_ == kCheckButton) {
        value_ = !value_;
    } else if (mode_ == kOptionButton) {
        ClearOtherOptions();
        value_ = true;
    }
    state_ = StyleButtonState::kNormal;
    Refresh();
    if (Click) Click();
    if (popupMenu_ && window_) ShowPopupMenu();
}

void VRX_StyleButton::ClearOtherOptions() {
    if (!window_) return;
    const HWND parent = ::GetParent(window_.get());
    for (HWND sibling = ::GetWindow(parent, GW_CHILD); sibling; sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
        VRX_StyleButton* other = sibling == window_.get() ? nullptr : ButtonOf(sibling);
        if (other && other->mode_ == kOptionButton && other->value_) other->Value(false);
    }
}

void VRX_StyleButton::ShowPopupMenu() {
    RECT rect{};
    ::GetWindowRect(window_.get(), &rect);
    const bool right = popupAlign_ == 1;
    const UINT flags = static_cast<UINT>(popupFlags_) | (right ? TPM_RIGHTALIGN : TPM_LEFTALIGN) | TPM_TOPALIGN;
    menuOpen_ = true;
    ::TrackPopupMenu(popupMenu_, flags, right ? rect.right : rect.left, rect.bottom, 0,
                     ::GetParent(window_.get()), nullptr);
    menuOpen_ = false;
    State(StyleButtonState::kNormal);
}

void VRX_StyleButton::State(StyleButtonState state) {
    if (state_ == state) return;
    state_ = state;
    Refresh();
}

void VRX_StyleButton::CreateHoverTip() {
    if (toolTip_.empty() || leftDown_ || !window_) return;
    tooltip_.reset();
    DWORD style = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;
    if (toolTipType_ == 1) style |= TTS_BALLOON;
    tooltip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, window_.get(), nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
    if (!tooltip_) return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = window_.get();
    tool.hinst = ::GetModuleHandleW(nullptr);
    tool.lpszText = toolTip_.data();
    ::GetClientRect(window_.get(), &tool.rect);
    ::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!tooltipTitle_.empty() || toolTipIcon_ != 0) {
        ::SendMessageW(tooltip_.get(), TTM_SETTITLEW, static_cast<WPARAM>(toolTipIcon_),
                       reinterpret_cast<LPARAM>(tooltipTitle_.c_str()));
    }
    ::SendMessageW(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, 240);
    if (tooltipBackColorSet_) {
        ::SendMessageW(tooltip_.get(), TTM_SETTIPBKCOLOR, SystemOrPlainColour(tooltipBackColor_, SystemColour), 0);
    }
}

// ---- Messages of the top-level window ----

long VRX_StyleButton::MsgResponse(UINT& /*currentMessage*/) { return kAfter; }

LRESULT VRX_StyleButton::WindowProc(HWND /*hwnd*/, UINT iMsg, WPARAM wParam, LPARAM /*lParam*/) {
    switch (iMsg) {
        case WM_ACTIVATE: OnParentActivate(LOWORD(wParam) != WA_INACTIVE); break;
        case WM_NCACTIVATE: OnParentActivate(wParam != FALSE); break;
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED: Refresh(); break;
        default: break;
    }
    return 0;
}

void VRX_StyleButton::OnParentActivate(bool active) {
    ownerActive_ = active;
    if (active) {
        state_ = StyleButtonState::kNormal;
    } else {
        leftDown_ = false;
        focused_ = false;
        spaceDown_ = false;
        state_ = StyleButtonState::kNormal;
        if (window_ && ::GetCapture() == window_.get()) ::ReleaseCapture();
    }
    Refresh();
}

// ---- Drawing ----

void VRX_StyleButton::Refresh() {
    if (!window_) return;
    Render();
    ::InvalidateRect(window_.get(), nullptr, FALSE);
}

VRX_StyleButton::Look VRX_StyleButton::DrawnLook() const {
    if (!enabled_) return Look::kNormal;
    const bool checked = (mode_ == kCheckButton || mode_ == kOptionButton) && value_;
    if (state_ == StyleButtonState::kPressed) return Look::kPressed;
    if (checked) return mouseOver_ || state_ == StyleButtonState::kHot ? Look::kPressed : Look::kChecked;
    return state_ == StyleButtonState::kHot ? Look::kHot : Look::kNormal;
}

void VRX_StyleButton::Render() {
    if (width_ < 1 || height_ < 1) return;
    const bool ready = buffer_.hDC() ? buffer_.Resize(width_, height_) : buffer_.Create(width_, height_);
    const HDC dc = buffer_.hDC();
    if (!ready || !dc) return;
    const Look look = DrawnLook();
    PaintBackground(dc, width_, height_, look);
    PaintPicture(dc, width_, height_, look);
    PaintCaption(dc, width_, height_, look);
    PaintDropDown(dc, width_, height_);
    if (showFocusRect_ && focused_) {
        RECT focus{3, 3, width_ - 3, height_ - 3};
        ::DrawFocusRect(dc, &focus);
    }
}

void VRX_StyleButton::PaintBackground(HDC dc, int width, int height, Look look) {
    switch (look) {
        case Look::kNormal: {
            const BarColours bar = ComputeBarColours(SystemOrPlainColour(backColor_, SystemColour));
            DrawBands(dc, width, height, BandColours{bar.light2, bar.light1, bar.base, bar.light3});
            return;
        }
        case Look::kHot: DrawBands(dc, width, height, kHotColours); break;
        case Look::kPressed: DrawBands(dc, width, height, kPressedColours); break;
        case Look::kChecked: DrawBands(dc, width, height, kCheckedColours); break;
    }
    DrawFrame(dc, width, height);
}

int VRX_StyleButton::PictureGreyFormula() {
    if (!enabled_) return kPictureGreyFormula;
    if (!blink_) return kNaturalColours;
    const int formula = blinkGrey_ ? kPictureGreyFormula : kNaturalColours;
    blinkGrey_ = !blinkGrey_;
    return formula;
}

void VRX_StyleButton::PaintPicture(HDC dc, int /*width*/, int /*height*/, Look look) {
    const int grey = PictureGreyFormula();
    if (picture_.ImageType() == 0) return;
    RECT rect = PictureRect();
    if (picturePushOnHover_ && look == Look::kHot) ::OffsetRect(&rect, -1, -1);
    const int opacity = (look == Look::kHot ? pictureOpacityOnOver_ : pictureOpacity_) * 100 / 255;
    picture_.Render(dc, rect.left, rect.top, 0, 0, 0, 0, 0, 0, opacity, true, true, grey);
}

SIZE VRX_StyleButton::CaptionSize(HDC dc) const {
    if (caption_.empty()) return SIZE{0, 0};
    select_object_scope font(dc, fontHandle_.get());
    RECT rect{0, 0, 0, 0};
    ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &rect,
                DT_CALCRECT | DT_SINGLELINE | (rightToLeft_ ? DT_RTLREADING : 0));
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

RECT VRX_StyleButton::PictureRect() const {
    if (picture_.ImageType() == 0) return RECT{};
    const int pw = static_cast<int>(picture_.Width());
    const int ph = static_cast<int>(picture_.Height());
    int textWidth = 0;
    if (!caption_.empty()) {
        unique_window_dc screen(nullptr);
        textWidth = CaptionSize(screen.get()).cx;
    }
    int x = (width_ - pw) / 2;
    int y = (height_ - ph) / 2;
    if (pictureAlign_ >= 5 && pictureAlign_ <= 8) {
        y = pictureAlign_ <= 6 ? 2 : height_ - ph - 2;
    } else if (textWidth > 0) {
        x = (width_ - pw - textWidth) / 2;
    }
    return RECT{x, y, x + pw, y + ph};
}

void VRX_StyleButton::PaintCaption(HDC dc, int width, int height, Look look) {
    if (caption_.empty()) return;
    const SIZE text = CaptionSize(dc);
    const int pictureWidth = picture_.ImageType() != 0 ? static_cast<int>(picture_.Width()) : 0;
    int x = 0;
    switch (captionAlign_) {
        case 0: x = 2; break;
        case 2: x = width - text.cx - 4; break;
        default:
            x = (width - text.cx + pictureWidth) / 2;
            if (dropDownSymbol_ != 0) x -= kDropDownShift;
            if (pictureAlign_ >= 5 && pictureAlign_ <= 8) x -= pictureWidth / 2;
            break;
    }
    int y = (height - text.cy) / 2;
    if (look == Look::kPressed || look == Look::kChecked) {
        ++x;
        ++y;
    }
    select_object_scope font(dc, fontHandle_.get());
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_LEFT | DT_TOP | (rightToLeft_ ? DT_RTLREADING : 0);
    const int length = static_cast<int>(caption_.size());
    if (captionEffects_ == kCaptionEngraved) {
        RECT light{x + 1, y + 1, x + 1 + text.cx, y + 1 + text.cy};
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::DrawTextW(dc, caption_.c_str(), length, &light, format);
    }
    COLORREF colour = SystemOrPlainColour(look == Look::kHot ? foreColorHover_ : foreColor_, SystemColour);
    if (!enabled_) colour = ::GetSysColor(COLOR_GRAYTEXT);
    ::SetTextColor(dc, colour);
    RECT rect{x, y, x + text.cx, y + text.cy};
    ::DrawTextW(dc, caption_.c_str(), length, &rect, format);
    ::SetBkMode(dc, previousMode);
}

void VRX_StyleButton::PaintDropDown(HDC dc, int width, int height) {
    if (dropDownSymbol_ == 0) return;
    const int left = width - kDropDownWidth - 2;
    if (dropDownSeparator_) {
        unique_hbrush brush(::CreateSolidBrush(kFrameColour));
        const RECT line{left, 3, left + 1, height - 3};
        ::FillRect(dc, &line, brush.get());
    }
    unique_hfont marlett(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, L"Marlett"));
    select_object_scope font(dc, marlett.get());
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, SystemOrPlainColour(enabled_ ? foreColor_ : kSystemColourFlag | COLOR_GRAYTEXT, SystemColour));
    RECT rect{left + 1, 0, width - 2, height};
    ::DrawTextW(dc, L"6", 1, &rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);  // Marlett's down arrow
    ::SetBkMode(dc, previousMode);
}

}  // namespace tarvo
