#include "graphics/image_compose.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarvo {
namespace {

// a * b / 255, rounded to nearest.
std::uint8_t MulDiv255(unsigned a, unsigned b) {
    const unsigned t = a * b + 128;
    return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

}  // namespace

std::optional<GreyCoefficients> GreyScaleCoefficients(int formula) {
    switch (formula) {
        case -1: return std::nullopt;
        case 1: return GreyCoefficients{0.213f, 0.715f, 0.072f};
        case 2: return GreyCoefficients{0.333f, 0.334f, 0.333f};
        case 3: return GreyCoefficients{0.8f, 0.1f, 0.1f};
        case 4: return GreyCoefficients{0.1f, 0.8f, 0.1f};
        case 5: return GreyCoefficients{0.1f, 0.1f, 0.8f};
        case 6: return GreyCoefficients{0.45f, 0.45f, 0.1f};
        case 7: return GreyCoefficients{0.1f, 0.45f, 0.45f};
        default: return GreyCoefficients{0.299f, 0.587f, 0.114f};
    }
}

void ApplyGreyScale(std::uint8_t* bgra, const GreyCoefficients& w) {
    const float sum = bgra[2] * w.red + bgra[1] * w.green + bgra[0] * w.blue;
    // nearbyint rounds half to even in the default rounding mode.
    const float grey = std::clamp(std::nearbyint(sum), 0.0f, 255.0f);
    bgra[0] = bgra[1] = bgra[2] = static_cast<std::uint8_t>(grey);
}

std::optional<int> EffectiveOpacity(long opacity) {
    if (opacity < 1) return std::nullopt;
    const long percent = std::labs(opacity) % 100;
    return percent == 0 ? 100 : static_cast<int>(percent);
}

std::uint8_t ConstantAlphaOf(int opacityPercent) {
    return static_cast<std::uint8_t>(std::clamp(opacityPercent, 0, 100) * 255 / 100);
}

void BlendPixel(const std::uint8_t* src, std::uint8_t* dst, std::uint8_t constantAlpha) {
    const unsigned srcAlpha = MulDiv255(src[3], constantAlpha);
    const unsigned keep = 255 - srcAlpha;
    for (int c = 0; c < 4; ++c) {
        const unsigned value = MulDiv255(src[c], constantAlpha) + MulDiv255(dst[c], keep);
        dst[c] = static_cast<std::uint8_t>(std::min(value, 255u));
    }
}

namespace {

BlockRect Clip(BlockRect r, const PixelBlock& block) {
    const int left = std::max(r.x, 0), top = std::max(r.y, 0);
    const int right = std::min(r.x + r.width, block.width), bottom = std::min(r.y + r.height, block.height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

}  // namespace

void CompositeBlock(const PixelBlock& src, BlockRect from, const PixelBlock& dst, BlockRect to, int opacityPercent,
                    int greyFormula) {
    from = Clip(from, src);
    if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0) return;
    const std::uint8_t constantAlpha = ConstantAlphaOf(opacityPercent);
    const auto grey = GreyScaleCoefficients(greyFormula);
    const BlockRect visible = Clip(to, dst);
    for (int y = visible.y; y < visible.y + visible.height; ++y) {
        const int sy = from.y + static_cast<int>(static_cast<long long>(y - to.y) * from.height / to.height);
        for (int x = visible.x; x < visible.x + visible.width; ++x) {
            const int sx = from.x + static_cast<int>(static_cast<long long>(x - to.x) * from.width / to.width);
            std::uint8_t pixel[4];
            std::copy_n(src.At(sx, sy), 4, pixel);
            if (grey) ApplyGreyScale(pixel, *grey);
            BlendPixel(pixel, dst.At(x, y), constantAlpha);
        }
    }
}

}  // namespace tarvo
