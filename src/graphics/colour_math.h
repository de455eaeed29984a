#pragma once
// The arithmetic behind the painted bars: colour shifts and averages, the
// gradient colour table and pixel block, band heights, twips conversion.
// Colours are OLE colour values 0x00BBGGRR.
#include <cstdint>
#include <vector>

#include "common/ole_colour.h"

namespace tarvo {

// Each channel moved by amount × 255; a positive amount saturates at 255, any other at 0.
OleColour ColourShift(OleColour colour, float amount);
// Per channel (a + b) / 2, rounded half to even.
OleColour ColourAverage(OleColour first, OleColour second);

// The accent colour of the bars and the three colours derived from it.
constexpr OleColour kBarBaseColour = MakeColour(173, 209, 255);
struct BarColours {
    OleColour base, light1, light2, light3;
};
BarColours ComputeBarColours(OleColour base);

// The two bands of a bar of the given height: upper from 0, lower from lowerTop.
struct BarBands {
    int upperHeight;
    int lowerTop;
    int lowerHeight;
};
BarBands ComputeBarBands(int height);

enum class GradientDirection { kHorizontal = 0, kVertical = 1, kDiagonal = 2 };

// Entries 0..steps running from colour2 to colour1 (integer steps, truncated).
std::vector<OleColour> GradientTable(OleColour colour1, OleColour colour2, int steps);

// A bottom-up 32-bit pixel block (0x00RRGGBB words, i.e. bytes blue, green, red, 0)
// of width × height; empty when either is below 1.
std::vector<std::uint32_t> GradientPixels(int width, int height, OleColour colour1, OleColour colour2,
                                          GradientDirection direction);

// Twips per pixel for a given number of dots per inch (15 at 96 dpi).
double TwipsPerPixel(int dotsPerInch);
long long PixelsToTwips(double pixels, double twipsPerPixel);
long long TwipsToPixels(double twips, double twipsPerPixel);

}  // namespace tarvo
