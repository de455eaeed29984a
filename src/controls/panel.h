#pragma once
// Panel: the panel a splitter works in.
// A plain child window (a picture box) that reports its size changes, mouse
// and paint to its owner, so a splitter can work inside it.
#include <windows.h>

#include <functional>

#include "common/handles.h"

namespace tarvo {

class Panel {
public:
    std::function<void()> Resize;
    std::function<void(int button, int shift, float x, float y)> MouseDown, MouseMove, MouseUp;
    std::function<void(HDC dc)> Paint;

    Panel() = default;
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    bool Create(HWND parent, COLORREF background);
    HWND hWnd() const noexcept { return window_.get(); }
    SIZE ClientSize() const;

private:
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    unique_hwnd window_;
    unique_hbrush background_;
};

}  // namespace tarvo
