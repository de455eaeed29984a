#pragma once
// A 32-bit bottom-up DIB selected into a memory DC, for reading back what was drawn.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/handles.h"

namespace tarvo::testing {

class DibSurface {
public:
    // fill: 0xAARRGGBB, the DIB's own byte order read as one word.
    DibSurface(int width, int height, std::uint32_t fill = 0) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<std::uint32_t*>(bits);
        if (bits_) std::fill(bits_, bits_ + width * height, fill);
        dc_.reset(::CreateCompatibleDC(nullptr));
        selected_ = select_object_scope(dc_.get(), bitmap_.get());
    }
    // What a window shows, taken through WM_PRINTCLIENT.
    static DibSurface Of(HWND window) {
        RECT client{};
        ::GetClientRect(window, &client);
        DibSurface surface(client.right, client.bottom, 0);
        ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
        return surface;
    }

    HDC dc() const { return dc_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t At(int x, int yFromTop) const {
        ::GdiFlush();
        return bits_[(height_ - 1 - yFromTop) * width_ + x];
    }
    std::vector<std::uint32_t> All() const {
        ::GdiFlush();
        return {bits_, bits_ + width_ * height_};
    }

private:
    int width_, height_;
    unique_hbitmap bitmap_;
    unique_hdc dc_;
    select_object_scope selected_;  // put back before the DC goes
    std::uint32_t* bits_ = nullptr;
};

}  // namespace tarvo::testing
