#pragma once
// The drawing arithmetic of c32bppDIB::Render, free of Win32 so that the
// software engine and the tests share it: opacity rules, the grey-scale table
// and premultiplied source-over compositing on BGRA pixels.
#include <cstdint>
#include <optional>

namespace tarvo {

struct GreyCoefficients {
    float red, green, blue;
};

// The weights of a grey-scale formula number; -1 gives none (natural colours).
std::optional<GreyCoefficients> GreyScaleCoefficients(int formula);

// Replaces the colour channels of one BGRA pixel by their weighted sum, rounded half to even.
void ApplyGreyScale(std::uint8_t* bgra, const GreyCoefficients& weights);

// Opacity in percent as Render applies it, or nothing when nothing is drawn.
std::optional<int> EffectiveOpacity(long opacity);

// The constant alpha that corresponds to an opacity in percent (truncated).
std::uint8_t ConstantAlphaOf(int opacityPercent);

// dst = src * k + dst * (1 - srcAlpha * k), k = constantAlpha / 255, per channel.
void BlendPixel(const std::uint8_t* src, std::uint8_t* dst, std::uint8_t constantAlpha);

// A block of 32-bit pixels, rows bottom-up, width * 4 bytes per row.
struct PixelBlock {
    std::uint8_t* bits;
    int width;
    int height;
    std::uint8_t* At(int x, int yFromTop) const {
        return bits + (static_cast<std::size_t>(height - 1 - yFromTop) * width + x) * 4;
    }
};

struct BlockRect {
    int x, y, width, height;  // y counted from the top
};

// Composites the source rectangle over the destination rectangle (nearest pixel
// when the sizes differ), with grey-scale applied to the source first.
// Both rectangles are clipped to their blocks.
void CompositeBlock(const PixelBlock& src, BlockRect from, const PixelBlock& dst, BlockRect to, int opacityPercent,
                    int greyFormula);

}  // namespace tarvo
