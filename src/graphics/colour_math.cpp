#include "graphics/colour_math.h"

#include <algorithm>
#include <cmath>

#include "common/rounding.h"

namespace tarvo {

namespace {

int ShiftChannel(int value, float amount) {
    const long long shifted = RoundHalfEven(value + static_cast<double>(amount) * 255.0);
    if (amount > 0) return static_cast<int>(std::min<long long>(shifted, 255));
    return static_cast<int>(std::max<long long>(shifted, 0));
}

int AverageChannel(int a, int b) { return static_cast<int>(RoundHalfEven((a + b) / 2.0)); }

int TableChannel(int c1, int c2, int i, int steps) { return c2 + (c1 - c2) * i / steps; }

std::uint32_t PixelWord(OleColour c) {
    return static_cast<std::uint32_t>(BlueOf(c)) | (static_cast<std::uint32_t>(GreenOf(c)) << 8) |
           (static_cast<std::uint32_t>(RedOf(c)) << 16);
}

}  // namespace

OleColour ColourShift(OleColour colour, float amount) {
    return MakeColour(ShiftChannel(RedOf(colour), amount), ShiftChannel(GreenOf(colour), amount),
                      ShiftChannel(BlueOf(colour), amount));
}

OleColour ColourAverage(OleColour first, OleColour second) {
    return MakeColour(AverageChannel(RedOf(first), RedOf(second)), AverageChannel(GreenOf(first), GreenOf(second)),
                      AverageChannel(BlueOf(first), BlueOf(second)));
}

BarColours ComputeBarColours(OleColour base) {
    constexpr OleColour kWhite = MakeColour(255, 255, 255);
    return BarColours{base, ColourAverage(ColourShift(base, 0.07f), base), ColourAverage(ColourShift(base, 0.09f), kWhite),
                      ColourShift(base, 0.03f)};
}

BarBands ComputeBarBands(int height) {
    const double upper = height / 2.7;
    const int upperHeight = static_cast<int>(RoundHalfEven(upper));
    return BarBands{upperHeight, upperHeight, static_cast<int>(RoundHalfEven(height - upper))};
}

std::vector<OleColour> GradientTable(OleColour colour1, OleColour colour2, int steps) {
    if (steps < 0) return {};
    if (steps == 0) {
        return {MakeColour(RedOf(colour1) / 2 + RedOf(colour2) / 2, GreenOf(colour1) / 2 + GreenOf(colour2) / 2,
                           BlueOf(colour1) / 2 + BlueOf(colour2) / 2)};
    }
    std::vector<OleColour> table;
    table.reserve(static_cast<size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        table.push_back(MakeColour(TableChannel(RedOf(colour1), RedOf(colour2), i, steps),
                                   TableChannel(GreenOf(colour1), GreenOf(colour2), i, steps),
                                   TableChannel(BlueOf(colour1), BlueOf(colour2), i, steps)));
    }
    return table;
}

std::vector<std::uint32_t> GradientPixels(int width, int height, OleColour colour1, OleColour colour2,
                                          GradientDirection direction) {
    if (width < 1 || height < 1) return {};
    int steps = width + height - 2;
    if (direction == GradientDirection::kHorizontal) steps = width - 1;
    if (direction == GradientDirection::kVertical) steps = height - 1;
    std::vector<std::uint32_t> words;
    words.reserve(static_cast<size_t>(steps) + 1);
    for (OleColour c : GradientTable(colour1, colour2, steps)) words.push_back(PixelWord(c));

    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row) {  // row 0 is the bottom row
        for (int x = 0; x < width; ++x) {
            int index = x + row;
            if (direction == GradientDirection::kHorizontal) index = x;
            if (direction == GradientDirection::kVertical) index = height - 1 - row;
            pixels[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                words[static_cast<size_t>(index)];
        }
    }
    return pixels;
}

double TwipsPerPixel(int dotsPerInch) { return dotsPerInch > 0 ? 1440.0 / dotsPerInch : 15.0; }

long long PixelsToTwips(double pixels, double twipsPerPixel) { return RoundHalfEven(pixels * twipsPerPixel); }

long long TwipsToPixels(double twips, double twipsPerPixel) { return RoundHalfEven(twips / twipsPerPixel); }

}  // namespace tarvo
