#pragma once
// VRX_ButtonBar: the button bar.
// A container strip painted with the two-band light-blue gradient. The
// gradient is rendered once into a memory context and copied on every paint;
// it is rendered again only when the height changes or the width grows past
// what was rendered. The bar does not arrange the controls placed on it, and
// passes their notifications on to its own parent.
#include <windows.h>

#include "common/handles.h"
#include "graphics/colour_math.h"
#include "graphics/mem_dc.h"

namespace tarvo {

// Fills (x, y, w, h) of the context with a gradient from colour2 to colour1; nothing when w or h < 1.
void DrawGradient(HDC dc, int x, int y, int w, int h, OleColour colour1, OleColour colour2,
                  GradientDirection direction);

class VRX_ButtonBar {
public:
    VRX_ButtonBar() = default;
    VRX_ButtonBar(const VRX_ButtonBar&) = delete;
    VRX_ButtonBar& operator=(const VRX_ButtonBar&) = delete;

    bool Init(HWND parent, int left, int top, int width, int height, int id = 0);
    HWND hWnd() const { return window_.get(); }

    void HeightInPix(int pixels);
    // How often the background has been rendered (once at creation, then on growth).
    int RenderCount() const { return renders_; }
    const VRX_memDC& MemDC() const { return memDC_; }

private:
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Initialize(int width, int height);
    void Resize(int width, int height);
    void Paint(HWND hwnd);
    void Render();

    VRX_memDC memDC_;
    int width_ = 0;
    int height_ = 0;
    int renders_ = 0;
    unique_hwnd window_;
};

}  // namespace tarvo
