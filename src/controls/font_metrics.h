#pragma once
// Conversions between a logical font height and pixels or points.
#include <cstdint>
#include <optional>

namespace tarvo {

// height x dpi / 72, rounded to nearest with halves to even; nothing when the
// product does not fit in 32 bits.
std::optional<std::int32_t> FontHeightInPixels(std::int32_t height, std::int32_t dpi);

// A positive height is taken as points already; otherwise |72 / dpi x height|.
double FontSizeInPoints(std::int32_t height, std::int32_t dpi);

}  // namespace tarvo
