#include "graphics/mem_dc.h"

namespace tarvo {

bool VRX_memDC::Create(int width, int height) {
    Destroy();
    unique_hdc screen(::CreateDCA("DISPLAY", "", "", nullptr));
    if (!screen) return false;
    unique_hdc dc(::CreateCompatibleDC(screen.get()));
    if (!dc) return false;
    unique_hbitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    if (!bitmap) return false;
    bitmapSelection_ = select_object_scope(dc.get(), bitmap.get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    width_ = width;
    height_ = height;
    return true;
}

bool VRX_memDC::Resize(int newWidth, int newHeight) {
    if (newHeight <= height_ && newWidth <= width_) return true;
    const bool transparent = MaskTransparentGet();
    const HFONT font = currentFont_;
    const bool created = Create(newWidth, newHeight);
    MaskTransparentSet(transparent);
    if (font) FontSet(font);
    return created;
}

void VRX_memDC::FontSet(HFONT font) {
    if (!dc_) return;
    if (fontSelection_) {
        ::SelectObject(dc_.get(), font);
    } else {
        fontSelection_ = select_object_scope(dc_.get(), font);
    }
    currentFont_ = font;
}

void VRX_memDC::MaskTransparentSet(bool trueForTrans) {
    if (dc_) ::SetBkMode(dc_.get(), trueForTrans ? TRANSPARENT : OPAQUE);
}

bool VRX_memDC::MaskTransparentGet() const { return dc_ && ::GetBkMode(dc_.get()) == TRANSPARENT; }

void VRX_memDC::Destroy() {
    bitmapSelection_.reset();
    bitmap_.reset();
    fontSelection_.reset();
    dc_.reset();
    currentFont_ = nullptr;
    width_ = 0;
    height_ = 0;
}

}  // namespace tarvo
