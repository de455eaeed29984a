#include "common/ole_colour.h"

namespace tarvo {

namespace {

constexpr int kLastSystemColour = 30;  // COLOR_MENUBAR

}  // namespace

std::optional<std::uint32_t> TranslateOleColour(OleColour colour, const SystemColourLookup& systemColour) {
    switch (colour >> 24) {
        case 0x00:
        case 0x01:
        case 0x02:
            return colour;
        case 0x80: {
            const int index = static_cast<int>(colour & 0xFF);
            if ((colour & 0x00FFFF00u) != 0 || index > kLastSystemColour) return std::nullopt;
            return systemColour(index);
        }
        default:
            return std::nullopt;
    }
}

std::uint32_t SystemOrPlainColour(OleColour colour, const SystemColourLookup& systemColour) {
    if (colour & kSystemColourFlag) return systemColour(static_cast<int>(colour & 0xFF));
    return colour & 0xFFFFFF;
}

}  // namespace tarvo
