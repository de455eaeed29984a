#include "controls/splitter.h"

#include "common/raised_error.h"
#include "controls/input_state.h"
#include "controls/msubclass.h"
#include "graphics/colour_math.h"

namespace tarvo {

namespace {

unique_hbrush MakeHalftoneBrush() {
    const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    unique_hbitmap pattern(::CreateBitmap(8, 8, 1, 1, rows));
    if (!pattern) return unique_hbrush();
    return unique_hbrush(::CreatePatternBrush(pattern.get()));
}

COLORREF AsColorRef(OleColour c) { return RGB(RedOf(c), GreenOf(c), BlueOf(c)); }

struct TwipScale {
    double x, y;
};

TwipScale TwipsPerPixelOf(HDC dc) {
    return {TwipsPerPixel(::GetDeviceCaps(dc, LOGPIXELSX)), TwipsPerPixel(::GetDeviceCaps(dc, LOGPIXELSY))};
}

}  // namespace

Splitter::Splitter() : model_(MSubclass::AppTitle()) { LoadResizeCursor(); }

Splitter::~Splitter() {
    if (dragging_) {
        ::ClipCursor(nullptr);
        if (::GetCapture() == container_) ::ReleaseCapture();
    }
}

void Splitter::LoadResizeCursor() {
    resizeCursor_ = ::LoadCursorW(nullptr, model_.Orientation() == kSplitVertical ? IDC_SIZEWE : IDC_SIZENS);
}

void Splitter::Bind(HWND oContainer, HWND oLeftTop, HWND oRightBottom) {
    container_ = oContainer;
    first_ = oLeftTop;
    second_ = oRightBottom;
    Relayout();
}

void Splitter::Orientation(std::int32_t value) {
    if (!model_.Orientation(value)) return;
    LoadResizeCursor();
    Relayout();
}

void Splitter::Position(std::int32_t value) {
    const bool changed = Bound() ? model_.Position(value, Total()) : model_.StorePosition(value);
    if (changed) Relayout();
}

void Splitter::SplitterSize(std::int32_t value) {
    if (model_.SplitterSize(value)) Relayout();
}

void Splitter::Proportion(double percent) {
    model_.Proportion(percent);
    Relayout();
}

void Splitter::FullDrag(bool value) {
    if (!model_.FullDrag(value)) return;
    halftone_.reset();
    if (!value) halftone_ = MakeHalftoneBrush();
}

void Splitter::MinimumSize(std::int32_t ePanel, std::int32_t value) {
    if (model_.MinimumSize(ePanel, value)) Relayout();
}

void Splitter::BgColor(OleColour colour) {
    if (!container_) RaiseStandard(kErrInvalidPropertyValue, std::wstring(MSubclass::AppTitle()) + L".Splitter");
    background_ = colour;
    ::InvalidateRect(container_, nullptr, TRUE);
}

std::int32_t Splitter::Total() const {
    RECT client{};
    ::GetClientRect(container_, &client);
    return model_.Orientation() == kSplitVertical ? client.right : client.bottom;
}

void Splitter::Relayout() {
    if (!Bound()) return;
    model_.Relayout(Total());
    PlacePanes();
}

void Splitter::PlacePanes() {
    RECT client{};
    ::GetClientRect(container_, &client);
    const PanePlacement placement = model_.Place(client.right, client.bottom);
    ::MoveWindow(first_, placement.first.left, placement.first.top, placement.first.width, placement.first.height, TRUE);
    ::MoveWindow(second_, placement.second.left, placement.second.top, placement.second.width,
                 placement.second.height, TRUE);
    Paint();
}

void Splitter::Resize() { Relayout(); }

void Splitter::Paint(HDC dc) {
    if (!container_) return;
    std::optional<unique_window_dc> own;
    if (!dc) {
        own.emplace(container_);
        dc = own->get();
        if (!dc) return;
    }
    RECT client{};
    ::GetClientRect(container_, &client);
    const int saved = ::SaveDC(dc);
    for (HWND pane : {first_, second_}) {
        RECT r{};
        if (pane && ::IsWindowVisible(pane) && ::GetWindowRect(pane, &r)) {
            ::MapWindowPoints(nullptr, container_, reinterpret_cast<POINT*>(&r), 2);
            ::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
        }
    }
    const COLORREF system = ::GetSysColor(COLOR_BTNFACE);
    const OleColour back = background_.value_or(MakeColour(GetRValue(system), GetGValue(system), GetBValue(system)));
    unique_hbrush brush(::CreateSolidBrush(AsColorRef(back)));
    ::FillRect(dc, &client, brush.get());

    unique_hgdiobj pen(::CreatePen(PS_SOLID, 1, AsColorRef(ColourShift(back, -0.3f))));
    {
        select_object_scope selectPen(dc, pen.get());
        const TwipScale scale = TwipsPerPixelOf(dc);
        for (const GripSegment& s : model_.Grip(client.right, client.bottom, scale.x, scale.y)) {
            ::MoveToEx(dc, s.x1, s.y1, nullptr);
            ::LineTo(dc, s.x2, s.y2);
        }
    }
    ::RestoreDC(dc, saved);
}

std::int32_t Splitter::CursorAlongAxis() const {
    POINT p{};
    ::GetCursorPos(&p);
    return model_.Orientation() == kSplitVertical ? p.x : p.y;
}

RECT Splitter::ScreenBarRect() const {
    RECT r{};
    ::GetWindowRect(container_, &r);
    POINT origin{0, 0};
    ::ClientToScreen(container_, &origin);
    if (model_.Orientation() == kSplitVertical) {
        r.left = origin.x + model_.Position();
        r.right = r.left + model_.SplitterSize();
    } else {
        r.top = origin.y + model_.Position();
        r.bottom = r.top + model_.SplitterSize();
    }
    return r;
}

void Splitter::DrawInvertedBar(const RECT& rect) const {
    if (!halftone_) return;
    unique_hdc display(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!display) return;
    select_object_scope selectBrush(display.get(), halftone_.get());
    ::PatBlt(display.get(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, PATINVERT);
}

void Splitter::MouseDown(int Button, int, float x, float Y) {
    if (Button != kLeftButton || !Bound() || dragging_) return;
    bool cancel = false;
    if (Split) Split(x, Y, cancel);
    if (cancel) return;

    dragging_ = true;
    startCursor_ = CursorAlongAxis();
    startPosition_ = model_.Position();
    RECT confine{};
    ::GetWindowRect(container_, &confine);
    ::ClipCursor(&confine);
    ::SetCapture(container_);
    if (!model_.FullDrag()) {
        lastBar_ = ScreenBarRect();
        DrawInvertedBar(lastBar_);
    }
}

void Splitter::FollowCursor() {
    const std::int32_t delta = CursorAlongAxis() - startCursor_;
    model_.DraggedPosition(model_.DragPosition(startPosition_, delta, Total()));
}

void Splitter::MouseMove(int, int, float, float) {
    if (!Bound()) return;
    ::SetCursor(resizeCursor_);
    if (!dragging_) return;
    if (!model_.FullDrag()) DrawInvertedBar(lastBar_);
    FollowCursor();
    if (model_.FullDrag()) {
        PlacePanes();
    } else {
        lastBar_ = ScreenBarRect();
        DrawInvertedBar(lastBar_);
    }
}

void Splitter::MouseUp(int, int, float, float) {
    if (!dragging_) return;
    dragging_ = false;
    ::ClipCursor(nullptr);
    if (::GetCapture() == container_) ::ReleaseCapture();
    if (!model_.FullDrag()) DrawInvertedBar(lastBar_);
    FollowCursor();
    PlacePanes();
    model_.RecomputeProportion(Total());
}

}  // namespace tarvo
