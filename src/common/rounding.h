#pragma once
// Rounding to the nearest integer with halves going to the even neighbour.
#include <cmath>
#include <cstdint>

namespace tarvo {

inline std::int64_t RoundHalfEven(double value) {
    const double floor = std::floor(value);
    auto result = static_cast<std::int64_t>(floor);
    const double fraction = value - floor;
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0)) ++result;
    return result;
}

// dividend / divisor for a positive divisor, rounded the same way.
inline std::int64_t DivideHalfEven(std::int64_t dividend, std::int64_t divisor) {
    std::int64_t quotient = dividend / divisor;
    const std::int64_t remainder = dividend % divisor;
    const std::int64_t twice = 2 * (remainder < 0 ? -remainder : remainder);
    if (twice > divisor || (twice == divisor && quotient % 2 != 0)) quotient += dividend < 0 ? -1 : 1;
    return quotient;
}

}  // namespace tarvo
