#pragma once
// Divides a container window between two panes with a draggable bar. The
// splitter has no window of its own: the container forwards its mouse, paint
// and resize events, and the splitter moves the panes, paints the grip and
// runs the drag, live or with an inverted bar drawn over the screen.
// Setters and the forwarded events may raise RaisedError (380, 9, 6); a
// caller inside a window procedure catches them there.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "common/handles.h"
#include "controls/splitter_math.h"
#include "common/ole_colour.h"

namespace tarvo {

class Splitter {
public:
    Splitter();
    Splitter(const Splitter&) = delete;
    Splitter& operator=(const Splitter&) = delete;
    ~Splitter();

    // Stores the container and its two panes and relays out; the splitter acts only while both panes are set.
    void Bind(HWND oContainer, HWND oLeftTop, HWND oRightBottom);

    std::int32_t Orientation() const { return model_.Orientation(); }
    void Orientation(std::int32_t value);
    std::int32_t Position() const { return model_.Position(); }
    void Position(std::int32_t value);
    std::int32_t SplitterSize() const { return model_.SplitterSize(); }
    void SplitterSize(std::int32_t value);
    double Proportion() { return model_.Proportion(); }
    void Proportion(double percent);
    bool KeepProportion() const { return model_.KeepProportion(); }
    void KeepProportion(bool value) { model_.KeepProportion(value); }
    bool FullDrag() const { return model_.FullDrag(); }
    void FullDrag(bool value);
    std::int32_t MinimumSize(std::int32_t ePanel) const { return model_.MinimumSize(ePanel); }
    void MinimumSize(std::int32_t ePanel, std::int32_t value);
    std::int32_t MaximumSize(std::int32_t ePanel) const { return model_.MaximumSize(ePanel); }
    void MaximumSize(std::int32_t ePanel, std::int32_t value) { model_.MaximumSize(ePanel, value); }
    // The container's background; 380 without a container.
    void BgColor(OleColour colour);
    bool Dragging() const { return dragging_; }

    // The container's events, coordinates in its client pixels; Button 1 left, 2 right, 4 middle.
    void MouseDown(int Button, int Shift, float x, float Y);
    void MouseMove(int Button, int Shift, float x, float Y);
    void MouseUp(int Button, int Shift, float x, float Y);
    // Clears the container and draws the grip; into dc when given, else into a DC of the container.
    void Paint(HDC dc = nullptr);
    void Resize();

    // Raised when a drag is about to start; setting bCancel to true cancels it.
    std::function<void(float& x, float& Y, bool& bCancel)> Split;

private:
    bool Bound() const { return container_ && first_ && second_; }
    std::int32_t Total() const;
    void Relayout();
    void PlacePanes();
    std::int32_t CursorAlongAxis() const;
    void FollowCursor();
    RECT ScreenBarRect() const;
    void DrawInvertedBar(const RECT& rect) const;
    void LoadResizeCursor();

    SplitterModel model_;
    HWND container_ = nullptr;
    HWND first_ = nullptr;
    HWND second_ = nullptr;
    std::optional<OleColour> background_;

    bool dragging_ = false;
    std::int32_t startCursor_ = 0;
    std::int32_t startPosition_ = 0;
    RECT lastBar_{};
    HCURSOR resizeCursor_ = nullptr;  // a shared system cursor, never destroyed
    unique_hbrush halftone_;
};

}  // namespace tarvo
