#pragma once
// VRX_memDC: the memory device context.
// A memory device context with a compatible bitmap that only ever grows. It
// owns the context and the bitmap; the fonts given to it stay their owner's.
#include <windows.h>

#include "common/handles.h"

namespace tarvo {

class VRX_memDC {
public:
    VRX_memDC() = default;
    VRX_memDC(const VRX_memDC&) = delete;
    VRX_memDC& operator=(const VRX_memDC&) = delete;
    ~VRX_memDC() { Destroy(); }

    HDC hDC() const { return dc_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Discards any existing context, then makes one of width × height compatible with the screen.
    bool Create(int width, int height);
    // Grows to the new size, keeping the background mode and the font; otherwise keeps the picture.
    bool Resize(int newWidth, int newHeight);
    void FontSet(HFONT font);
    void MaskTransparentSet(bool trueForTrans);
    bool MaskTransparentGet() const;

private:
    void Destroy();

    unique_hdc dc_;
    select_object_scope fontSelection_;  // holds the context's own font
    HFONT currentFont_ = nullptr;
    unique_hbitmap bitmap_;
    select_object_scope bitmapSelection_;
    int height_ = 0;
    int width_ = 0;
};

}  // namespace tarvo
