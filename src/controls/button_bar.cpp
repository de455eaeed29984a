#include "controls/button_bar.h"

#include <olectl.h>

#include <vector>

#include "common/window_class.h"

namespace tarvo {

namespace {

constexpr wchar_t kClassName[] = L"VRX_ButtonBar";

OleColour TranslatedBase() {
    COLORREF colour = 0;
    if (::OleTranslateColor(static_cast<OLE_COLOR>(kBarBaseColour), nullptr, &colour) != S_OK) return kBarBaseColour;
    return colour;
}

bool IsForwardedToParent(UINT msg) {
    return msg == WM_COMMAND || msg == WM_NOTIFY || msg == WM_DRAWITEM || msg == WM_MEASUREITEM ||
           (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC);
}

}  // namespace

void DrawGradient(HDC dc, int x, int y, int w, int h, OleColour colour1, OleColour colour2,
                  GradientDirection direction) {
    const std::vector<std::uint32_t> pixels = GradientPixels(w, h, colour1, colour2, direction);
    if (pixels.empty()) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::StretchDIBits(dc, x, y, w, h, 0, 0, w, h, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

bool VRX_ButtonBar::Init(HWND parent, int left, int top, int width, int height, int id) {
    if (window_ || !RegisterWindowClass(kClassName, WindowProcFor<VRX_ButtonBar, &VRX_ButtonBar::HandleMessage>)) {
        return false;
    }
    const HWND hwnd = ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, left, top, width,
                                        height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                        ::GetModuleHandleW(nullptr), this);
    window_.reset(hwnd);
    return hwnd != nullptr;
}

void VRX_ButtonBar::HeightInPix(int pixels) {
    if (!window_) return;
    RECT rect{};
    ::GetWindowRect(window_.get(), &rect);
    ::SetWindowPos(window_.get(), nullptr, 0, 0, rect.right - rect.left, pixels,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT VRX_ButtonBar::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: {
            RECT client{};
            ::GetClientRect(hwnd, &client);
            Initialize(client.right, client.bottom);
            return 0;
        }
        case WM_SIZE: Resize(LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: Paint(hwnd); return 0;
        case WM_NCDESTROY:
            window_.release();
            break;
        default:
            if (IsForwardedToParent(msg)) {
                if (const HWND parent = ::GetParent(hwnd)) return ::SendMessageW(parent, msg, wParam, lParam);
            }
            break;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void VRX_ButtonBar::Initialize(int width, int height) {
    memDC_.Create(width, height);
    width_ = width;
    height_ = height;
    Render();
}

void VRX_ButtonBar::Resize(int width, int height) {
    if (height != height_) {
        height_ = height;
        width_ = width;
        memDC_.Resize(width_, height_);
        Render();
    } else if (width > width_) {
        width_ = width;
        memDC_.Resize(width_, height_);
        Render();
    }
}

void VRX_ButtonBar::Paint(HWND hwnd) {
    const paint_scope paint(hwnd);
    if (paint.dc() && memDC_.hDC()) {
        RECT client{};
        ::GetClientRect(hwnd, &client);
        ::BitBlt(paint.dc(), 0, 0, client.right, client.bottom, memDC_.hDC(), 0, 0, SRCCOPY);
    }
}

void VRX_ButtonBar::Render() {
    ++renders_;
    const HDC dc = memDC_.hDC();
    if (!dc) return;
    const BarColours colours = ComputeBarColours(TranslatedBase());
    const BarBands bands = ComputeBarBands(height_);
    DrawGradient(dc, 0, 0, width_, bands.upperHeight, colours.light1, colours.light2, GradientDirection::kVertical);
    DrawGradient(dc, 0, bands.lowerTop, width_, bands.lowerHeight, colours.light3, colours.base,
                 GradientDirection::kVertical);
}

}  // namespace tarvo
