#include "controls/speech_bubble.h"

#include "common/guarded_call.h"
#include "common/window_class.h"
#include "controls/system_fonts.h"

namespace tarvo {
namespace {

constexpr wchar_t kClassName[] = L"TarvoFakeToolTip";

bool RegisterBubbleClass(WNDPROC procedure) {
    // Shared by every bubble of the process for its whole life.
    static const unique_hbrush background(::CreateSolidBrush(frmFakeToolTip::kBackColour));
    return RegisterWindowClass(kClassName, procedure, CS_OWNDC, background.get());
}

}  // namespace

frmFakeToolTip::~frmFakeToolTip() {
    DetachOwner();
    fontSelection_.reset();
    paintRegion_.reset();
    outlineBrush_.reset();
    if (window_) ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    window_.reset();
}

bool frmFakeToolTip::Init() {
    if (window_) return true;
    if (!RegisterBubbleClass(WindowProcFor<frmFakeToolTip, &frmFakeToolTip::HandleBubbleMessage>)) return false;
    window_.reset(::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP, 0,
                                    0, 2 * kMargin + 10, 2 * kMargin + kTailHeight, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), this));
    if (!window_) return false;
    windowDC_ = ::GetDC(window_.get());  // CS_OWNDC: the same DC for the window's life, no release needed
    try {
        fontSelection_ = select_object_scope(windowDC_, DefaultFontHandle(kMenuFont));
    } catch (...) {
        // the system font serves
    }
    outlineBrush_.reset(::CreateSolidBrush(kOutlineColour));
    ownerWindowActive_ = true;
    return true;
}

void frmFakeToolTip::SubClsOwner(HWND ownerHWnd) {
    DetachOwner();
    owner_ = ownerHWnd;
    if (window_) ::SetWindowLongPtrW(window_.get(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerHWnd));
    MSubclass::AttachMessage(this, ownerHWnd, WM_MOVE);
    MSubclass::AttachMessage(this, ownerHWnd, WM_ACTIVATE);
}

void frmFakeToolTip::DetachOwner() {
    if (!owner_) return;
    try {
        MSubclass::DetachMessage(this, owner_, WM_MOVE);
        MSubclass::DetachMessage(this, owner_, WM_ACTIVATE);
    } catch (...) {
        // The owner may already be gone; its hooks went with it.
    }
    owner_ = nullptr;
}

void frmFakeToolTip::TextSet(const std::wstring& text) {
    if (!window_) return;
    paintRegion_.reset();
    RECT measured{};
    ::DrawTextW(windowDC_, text.c_str(), static_cast<int>(text.size()), &measured, DT_CALCRECT);
    textSize_ = {measured.right - measured.left, measured.bottom - measured.top};
    const int bubbleRight = 2 * kMargin + textSize_.cx;
    const int bubbleBottom = 2 * kMargin + textSize_.cy + kTailHeight;
    ::SetWindowPos(window_.get(), nullptr, 0, 0, bubbleRight + 10, bubbleBottom + 10,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    unique_hrgn bubble(::CreateRoundRectRgn(0, kTailHeight, bubbleRight, bubbleBottom, 6, 6));
    unique_hrgn tail(::CreatePolygonRgn(kTail, 3, ALTERNATE));
    unique_hrgn shape(::CreateRectRgn(0, 0, 0, 0));
    paintRegion_.reset(::CreateRectRgn(0, 0, 0, 0));
    if (bubble && tail && shape && paintRegion_) {
        ::CombineRgn(shape.get(), bubble.get(), tail.get(), RGN_OR);
        ::CombineRgn(paintRegion_.get(), shape.get(), nullptr, RGN_COPY);
        // On success the window owns the region.
        if (::SetWindowRgn(window_.get(), shape.get(), TRUE)) shape.release();
    }
    text_ = text;
    ::InvalidateRect(window_.get(), nullptr, TRUE);
}

void frmFakeToolTip::ShowTip(long x, long y) {
    if (!window_) return;
    ::SetWindowPos(window_.get(), HWND_TOPMOST, x - kTailLeft - 8 / 2, y, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
}

void frmFakeToolTip::Hide() {
    if (window_) ::ShowWindow(window_.get(), SW_HIDE);
}

long frmFakeToolTip::MsgResponse(UINT& currentMessage) {
    return currentMessage == WM_MOVE || currentMessage == WM_ACTIVATE ? kBefore : kConsume;
}

LRESULT frmFakeToolTip::WindowProc(HWND, UINT iMsg, WPARAM wParam, LPARAM) {
    GuardedCall([&] {
        if (iMsg == WM_MOVE) {
            if (Visible()) Hide();
        } else if (iMsg == WM_ACTIVATE) {
            ownerWindowActive_ = LOWORD(wParam) != WA_INACTIVE;
            if (!ownerWindowActive_ && Visible()) Hide();
        }
    });
    return 0;
}

LRESULT frmFakeToolTip::HandleBubbleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (owner_) ::SetFocus(owner_);
            return 0;
        default:
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

void frmFakeToolTip::Paint() {
    const paint_scope paint(window_.get());
    const HDC dc = paint.dc();
    if (!dc) return;
    if (paintRegion_) ::FrameRgn(dc, paintRegion_.get(), outlineBrush_.get(), 1, 1);
    const int top = kMargin + kTailHeight;
    RECT textRect{kMargin, top, kMargin + textSize_.cx, top + textSize_.cy};
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &textRect, 0);
}

}  // namespace tarvo
