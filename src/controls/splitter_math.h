#pragma once
// The Win32-free part of the splitter: its settings with their checks, the
// clamping of the bar position, the proportion, the pane rectangles and the
// grip's line segments. All sizes are pixels.
#include <cstdint>
#include <string>
#include <vector>

namespace tarvo {

enum SplitterOrientation : std::int32_t {
    kSplitHorizontal = 1,  // horizontal bar, panes stacked
    kSplitVertical = 2,    // vertical bar, panes side by side
};

struct PaneRect {
    std::int32_t left, top, width, height;
};

struct PanePlacement {
    PaneRect first;
    PaneRect second;
};

struct GripSegment {
    std::int32_t x1, y1, x2, y2;
};

class SplitterModel {
public:
    // appTitle is the first part of the source of raised errors.
    explicit SplitterModel(std::wstring appTitle);

    std::int32_t Orientation() const { return orientation_; }
    std::int32_t Position() const { return position_; }
    std::int32_t SplitterSize() const { return splitterSize_; }
    float StoredProportion() const { return proportion_; }
    // Percent; a stored fraction above 1 or not a number is first clamped to 1.
    double Proportion();
    bool KeepProportion() const { return keepProportion_; }
    bool FullDrag() const { return fullDrag_; }
    std::int32_t MinimumSize(std::int32_t panel) const;
    std::int32_t MaximumSize(std::int32_t panel) const;

    // Setters answer true when the splitter must relay out.
    bool Orientation(std::int32_t value);
    bool Proportion(double percent);  // 380 ".Splitter" outside 0..100
    bool SplitterSize(std::int32_t value);  // 380 ".cSplitter" when negative
    bool MinimumSize(std::int32_t panel, std::int32_t value);  // 9 for a bad panel
    void MaximumSize(std::int32_t panel, std::int32_t value);  // 9 for a bad panel
    void KeepProportion(bool value) { keepProportion_ = value; }
    bool FullDrag(bool value);  // true when it changed

    // Position let while bound: stores, clamps to total, recomputes the proportion.
    bool Position(std::int32_t value, std::int32_t total);
    // Position let while unbound: stores only.
    bool StorePosition(std::int32_t value);

    // Minimums win over maximums; the first pane's minimum wins over everything.
    std::int32_t Clamp(std::int32_t position, std::int32_t total) const;
    // Relayout step 1: the position derived from the proportion when kept, then clamped.
    void Relayout(std::int32_t total);
    // Proportion = position / total; a total of 0 keeps the previous proportion.
    void RecomputeProportion(std::int32_t total);
    // The bar moved by delta from the position at the start of a drag, clamped; not stored.
    std::int32_t DragPosition(std::int32_t startPosition, std::int32_t delta, std::int32_t total) const;
    void DraggedPosition(std::int32_t value) { position_ = value; }

    PanePlacement Place(std::int32_t width, std::int32_t height) const;
    // The grip's segments inside a container of the given pixel size.
    std::vector<GripSegment> Grip(std::int32_t width, std::int32_t height, double twipsPerPixelX,
                                  double twipsPerPixelY) const;

private:
    [[noreturn]] void RaiseInvalid(const wchar_t* suffix) const;
    [[noreturn]] void RaiseOverflow() const;
    std::int32_t Checked(std::int64_t value) const;
    void CheckPanel(std::int32_t panel) const;

    std::wstring appTitle_;
    std::int32_t orientation_ = kSplitHorizontal;
    std::int32_t position_ = 128;
    std::int32_t splitterSize_ = 4;
    float proportion_ = 0.5f;
    bool keepProportion_ = false;
    bool fullDrag_ = true;
    std::int32_t minimum_[2] = {8, 8};
    std::int32_t maximum_[2] = {-1, -1};
};

}  // namespace tarvo
