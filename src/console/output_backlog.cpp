#include "console/output_backlog.h"

#include <algorithm>

namespace tarvo {

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

void OutputBacklog::Add(const std::wstring& text, bool isError) {
    if (text.empty()) return;
    if (!segments_.empty() && segments_.back().isError == isError) {
        segments_.back().text += text;
    } else {
        segments_.push_back(Segment{text, 0, isError});
    }
    size_ += text.size();
}

std::size_t OutputBacklog::PieceLength(const Segment& segment, std::size_t maxCharacters, bool final) const {
    const std::size_t left = segment.Left();
    std::size_t length = std::min(left, std::max<std::size_t>(maxCharacters, 1));
    const wchar_t* text = segment.text.data() + segment.taken;
    const bool endsEverything = length == left && segments_.size() == 1;
    if (length < left) {
        const wchar_t last = text[length - 1], next = text[length];
        const bool splitsBreak = last == L'\r' && next == L'\n';
        const bool splitsPair = IsHighSurrogate(last) && IsLowSurrogate(next);
        // Shorter, unless the piece is that one unit: then the pair goes whole.
        if (splitsBreak || splitsPair) length += length > 1 ? -1 : 1;
    } else if (endsEverything && !final) {
        const wchar_t last = text[length - 1];
        if (last == L'\r' || IsHighSurrogate(last)) --length;
    }
    return length;
}

OutputPiece OutputBacklog::Take(std::size_t maxCharacters, bool final) {
    OutputPiece piece;
    if (segments_.empty()) return piece;
    Segment& oldest = segments_.front();
    const std::size_t length = PieceLength(oldest, maxCharacters, final);
    piece.isError = oldest.isError;
    piece.text.assign(oldest.text, oldest.taken, length);
    oldest.taken += length;
    size_ -= length;
    if (oldest.Left() == 0) segments_.pop_front();
    return piece;
}

void PieceSizer::Record(std::size_t characters, double milliseconds) {
    if (characters < kMinimum / 2 || milliseconds <= 0) return;
    const double rate = static_cast<double>(characters) / milliseconds;
    const double wanted = rate * budget_;
    // Halfway towards what the last piece suggests: one slow repaint or a busy
    // moment of the machine does not swing the size.
    const double blended = (static_cast<double>(next_) + wanted) / 2;
    next_ = static_cast<std::size_t>(std::clamp(blended, static_cast<double>(kMinimum),
                                                static_cast<double>(kMaximum)));
}

}  // namespace tarvo
