#pragma once
// OLE colour values: 0x00BBGGRR, or 0x80000000 | a system colour index.
#include <cstdint>
#include <functional>
#include <optional>

namespace tarvo {

using OleColour = std::uint32_t;
using SystemColourLookup = std::function<std::uint32_t(int index)>;

constexpr OleColour kSystemColourFlag = 0x80000000u;

constexpr OleColour MakeColour(int red, int green, int blue) {
    return static_cast<OleColour>(red & 0xFF) | (static_cast<OleColour>(green & 0xFF) << 8) |
           (static_cast<OleColour>(blue & 0xFF) << 16);
}
constexpr int RedOf(OleColour c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(OleColour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(OleColour c) { return static_cast<int>((c >> 16) & 0xFF); }

// An OLE colour to an RGB value as the system's own translation does without a
// palette: plain RGB and palette forms pass through, kSystemColourFlag | index
// maps through `systemColour`, anything else is invalid.
std::optional<std::uint32_t> TranslateOleColour(OleColour colour, const SystemColourLookup& systemColour);

// The looser reading of the painted buttons: with the system flag the system
// colour of the low byte, otherwise the low three bytes, never invalid.
std::uint32_t SystemOrPlainColour(OleColour colour, const SystemColourLookup& systemColour);

}  // namespace tarvo
