#include "console/echo_skip.h"

namespace tarvo {

void EchoSkip::Expect(const std::wstring& line) {
    if (!line.empty()) expected_ += line + L"\r\n";
}

void EchoSkip::Clear() noexcept {
    expected_.clear();
    matched_ = 0;
}

void EchoSkip::Apply(std::wstring& text) {
    std::size_t dropped = 0;
    while (Active() && dropped < text.size()) {
        if (text[dropped] != expected_[matched_]) {
            Clear();
            break;
        }
        ++dropped;
        if (++matched_ == expected_.size()) Clear();
    }
    text.erase(0, dropped);
}

}  // namespace tarvo
