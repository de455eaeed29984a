#include "controls/font_metrics.h"

#include <cmath>
#include <limits>

#include "common/rounding.h"

namespace tarvo {

std::optional<std::int32_t> FontHeightInPixels(std::int32_t height, std::int32_t dpi) {
    const std::int64_t product = static_cast<std::int64_t>(height) * dpi;
    if (product > std::numeric_limits<std::int32_t>::max() || product < std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(DivideHalfEven(product, 72));
}

double FontSizeInPoints(std::int32_t height, std::int32_t dpi) {
    if (height >= 1) return height;
    if (dpi == 0) return 0;
    return std::fabs(72.0 / dpi * height);
}

}  // namespace tarvo
