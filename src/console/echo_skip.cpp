#include "console/echo_skip.h"

namespace tarvo {

void ApplyEchoSkip(std::wstring& text, std::size_t byteCount, std::int32_t& remaining) {
    if (remaining <= 0) {
        remaining = 0;
        return;
    }
    const auto skip = static_cast<std::size_t>(remaining);
    if (skip > byteCount) {
        remaining = static_cast<std::int32_t>(skip - byteCount);
        text.clear();
        return;
    }
    text.erase(0, skip < text.size() ? skip : text.size());
    remaining = 0;
}

}  // namespace tarvo
