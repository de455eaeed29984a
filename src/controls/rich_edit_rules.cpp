#include "controls/rich_edit_rules.h"

#include <cmath>
#include <limits>

#include "common/rounding.h"

namespace tarvo::rich_edit_rules {

namespace {

constexpr std::uint32_t kKeyDown = 0x100;
constexpr std::uint32_t kKeyUp = 0x101;
constexpr std::uint32_t kChar = 0x102;
constexpr std::uint32_t kTab = 9;
constexpr std::uint32_t kEnter = 13;
constexpr std::uint32_t kPageUp = 33;
constexpr std::uint32_t kDown = 40;

bool FitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

std::optional<std::int64_t> RoundHalfEvenInRange(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 9.0e18) return std::nullopt;
    return RoundHalfEven(value);
}

}  // namespace

AccelAction DecideAccel(const AccelInput& in) {
    if (!in.hasEditWindow) return AccelAction::kNotHandled;
    if (in.message != kKeyDown && in.message != kKeyUp && in.message != kChar) return AccelAction::kNotHandled;
    if (in.key == kTab) {
        if (in.readOnly || !in.trapTab || in.shiftOrCtrlActive) return AccelAction::kNotHandled;
        return in.message == kKeyDown ? AccelAction::kTypeTab : AccelAction::kSwallow;
    }
    if (in.key == kEnter || (in.key >= kPageUp && in.key <= kDown)) return AccelAction::kSendToEdit;
    return AccelAction::kNotHandled;
}

FormatRect FormattingRectangle(std::int32_t width, std::int32_t height, std::int32_t marginLeft,
                               std::int32_t marginRight) {
    const std::int64_t right = static_cast<std::int64_t>(width) - marginRight;
    if (right < marginLeft) return {marginLeft, 2, marginLeft, height};
    if (!FitsInt32(right)) return {marginLeft, 2, std::numeric_limits<std::int32_t>::max(), height};
    return {marginLeft, 2, static_cast<std::int32_t>(right), height};
}

std::optional<std::int32_t> FontHeightInTwips(double points) {
    const auto tenThousandths = RoundHalfEvenInRange(points * 10000.0);
    if (!tenThousandths || std::llabs(*tenThousandths) > std::numeric_limits<std::int64_t>::max() / 20) {
        return std::nullopt;
    }
    const std::int64_t quotient = DivideHalfEven(*tenThousandths * 20, 10000);
    if (!FitsInt32(quotient)) return std::nullopt;
    return static_cast<std::int32_t>(quotient);
}

std::optional<std::int32_t> RightMarginParameter(std::int32_t pixels) {
    const std::int64_t value = static_cast<std::int64_t>(pixels) * 65536;
    if (!FitsInt32(value)) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> RangeBufferLength(std::int32_t start, std::int32_t end) {
    const std::int64_t value = static_cast<std::int64_t>(end) - start + 1;
    if (!FitsInt32(value)) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> NextStorageNumber(std::int32_t& counter) {
    if (counter == std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return ++counter;
}

}  // namespace tarvo::rich_edit_rules
