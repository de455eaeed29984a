#include "controls/font_metrics.h"

#include <cmath>
#include <limits>

namespace tarvo {

std::optional<std::int32_t> FontHeightInPixels(std::int32_t height, std::int32_t dpi) {
    const std::int64_t product = static_cast<std::int64_t>(height) * dpi;
    if (product > std::numeric_limits<std::int32_t>::max() || product < std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    std::int64_t quotient = product / 72;
    const std::int64_t remainder = product % 72;
    const std::int64_t twice = 2 * (remainder < 0 ? -remainder : remainder);
    const std::int64_t away = product < 0 ? -1 : 1;
    if (twice > 72 || (twice == 72 && quotient % 2 != 0)) quotient += away;
    return static_cast<std::int32_t>(quotient);
}

double FontSizeInPoints(std::int32_t height, std::int32_t dpi) {
    if (height >= 1) return height;
    if (dpi == 0) return 0;
    return std::fabs(72.0 / dpi * height);
}

}  // namespace tarvo
