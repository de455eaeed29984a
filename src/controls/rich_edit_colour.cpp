#include "controls/rich_edit_colour.h"

#include "controls/rich_edit_rules.h"

namespace tarvo {

long TranslateOleColour(long oleColour) {
    const auto rgb = rich_edit_rules::TranslateOleColourWith(
        static_cast<std::uint32_t>(oleColour), [](int index) { return static_cast<std::uint32_t>(::GetSysColor(index)); });
    return rgb ? static_cast<long>(*rgb) : -1;
}

}  // namespace tarvo
