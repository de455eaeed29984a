#include "controls/splitter_math.h"

#include <cmath>
#include <limits>

#include "common/raised_error.h"
#include "common/rounding.h"

namespace tarvo {

SplitterModel::SplitterModel(std::wstring appTitle) : appTitle_(std::move(appTitle)) {}

void SplitterModel::RaiseInvalid(const wchar_t* suffix) const {
    RaiseStandard(kErrInvalidPropertyValue, appTitle_ + suffix);
}

void SplitterModel::RaiseOverflow() const { RaiseStandard(kErrOverflow, appTitle_ + L".Splitter"); }

std::int32_t SplitterModel::Checked(std::int64_t value) const {
    if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min()) {
        RaiseOverflow();
    }
    return static_cast<std::int32_t>(value);
}

void SplitterModel::CheckPanel(std::int32_t panel) const {
    if (panel != 1 && panel != 2) RaiseStandard(kErrSubscriptOutOfRange, appTitle_ + L".Splitter");
}

double SplitterModel::Proportion() {
    if (std::isnan(proportion_) || proportion_ > 1.0f) proportion_ = 1.0f;
    return static_cast<double>(proportion_) * 100.0;
}

std::int32_t SplitterModel::MinimumSize(std::int32_t panel) const {
    CheckPanel(panel);
    return minimum_[panel - 1];
}

std::int32_t SplitterModel::MaximumSize(std::int32_t panel) const {
    CheckPanel(panel);
    return maximum_[panel - 1];
}

bool SplitterModel::Orientation(std::int32_t value) {
    if (value == orientation_) return false;
    orientation_ = value;
    return true;
}

bool SplitterModel::Proportion(double percent) {
    if (!(percent >= 0.0 && percent <= 100.0)) RaiseInvalid(L".Splitter");
    proportion_ = static_cast<float>(percent / 100.0);
    return true;
}

bool SplitterModel::SplitterSize(std::int32_t value) {
    if (value == splitterSize_) return false;
    if (value < 0) RaiseInvalid(L".cSplitter");
    splitterSize_ = value;
    return true;
}

bool SplitterModel::MinimumSize(std::int32_t panel, std::int32_t value) {
    CheckPanel(panel);
    if (minimum_[panel - 1] == value) return false;
    minimum_[panel - 1] = value;
    return true;
}

void SplitterModel::MaximumSize(std::int32_t panel, std::int32_t value) {
    CheckPanel(panel);
    maximum_[panel - 1] = value;
}

bool SplitterModel::FullDrag(bool value) {
    if (value == fullDrag_) return false;
    fullDrag_ = value;
    return true;
}

bool SplitterModel::StorePosition(std::int32_t value) {
    if (value == position_) return false;
    position_ = value;
    return true;
}

bool SplitterModel::Position(std::int32_t value, std::int32_t total) {
    if (value == position_) return false;
    position_ = Clamp(value, total);
    RecomputeProportion(total);
    return true;
}

std::int32_t SplitterModel::Clamp(std::int32_t position, std::int32_t total) const {
    std::int64_t p = position;
    const std::int64_t size = splitterSize_;
    if (maximum_[1] > 0 && total - p - size > maximum_[1]) p = total - std::int64_t{maximum_[1]} - size;
    if (maximum_[0] >= 1 && p > maximum_[0]) p = maximum_[0];
    if (minimum_[1] > 0 && total - p - size < minimum_[1]) p = total - std::int64_t{minimum_[1]} - size;
    if (minimum_[0] >= 1 && p < minimum_[0]) p = minimum_[0];
    return Checked(p);
}

void SplitterModel::Relayout(std::int32_t total) {
    if (!keepProportion_) return;
    position_ = Clamp(Checked(RoundHalfEven(static_cast<double>(proportion_) * total)), total);
}

void SplitterModel::RecomputeProportion(std::int32_t total) {
    if (total == 0) return;
    proportion_ = static_cast<float>(static_cast<double>(position_) / total);
}

std::int32_t SplitterModel::DragPosition(std::int32_t startPosition, std::int32_t delta, std::int32_t total) const {
    return Clamp(Checked(std::int64_t{startPosition} + delta), total);
}

PanePlacement SplitterModel::Place(std::int32_t width, std::int32_t height) const {
    const std::int32_t p = position_;
    const std::int32_t afterBar = Checked(std::int64_t{p} + splitterSize_);
    if (orientation_ == kSplitVertical) {
        return {{0, 0, p, height}, {afterBar, 0, Checked(std::int64_t{width} - afterBar), height}};
    }
    return {{0, 0, width, p}, {0, afterBar, width, Checked(std::int64_t{height} - afterBar)}};
}

std::vector<GripSegment> SplitterModel::Grip(std::int32_t width, std::int32_t height, double twipsPerPixelX,
                                             double twipsPerPixelY) const {
    // Along the bar in twips, across it from the bar's start; 9 marks of two pairs of segments.
    const bool vertical = orientation_ == kSplitVertical;
    const double alongScale = vertical ? twipsPerPixelY : twipsPerPixelX;
    const double acrossScale = vertical ? twipsPerPixelX : twipsPerPixelY;
    const double centre = (vertical ? height : width) * alongScale / 2.0;
    const double barStart = position_ * acrossScale;
    auto along = [&](double twips) { return static_cast<std::int32_t>(RoundHalfEven(twips / alongScale)); };
    auto across = [&](double twips) { return static_cast<std::int32_t>(RoundHalfEven(twips / acrossScale)); };

    std::vector<GripSegment> segments;
    for (int mark = 0; mark < 9; ++mark) {
        const double markStart = centre - 270.0 + mark * 60.0;
        for (double offset : {5.0, 20.0}) {
            for (double depth : {15.0, 30.0}) {
                const std::int32_t a1 = along(markStart + offset), a2 = along(markStart + offset + 15.0);
                const std::int32_t c = across(barStart + depth);
                if (vertical) {
                    segments.push_back({c, a1, c, a2});
                } else {
                    segments.push_back({a1, c, a2, c});
                }
            }
        }
    }
    return segments;
}

}  // namespace tarvo
