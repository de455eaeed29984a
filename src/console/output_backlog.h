#pragma once
// OutputBacklog: the child's output read from the pipes but not yet written
// into the pane, kept in the order read. The pane takes it in pieces whose
// size PieceSizer picks, so a fast child never turns into one huge append and
// the window keeps answering between pieces. While the backlog is full the
// runner reads no more: the child then waits on its pipe, and nothing is lost.
#include <cstddef>
#include <deque>
#include <string>

namespace tarvo {

struct OutputPiece {
    std::wstring text;
    bool isError = false;  // standard error, already carrying its marks
};

class OutputBacklog {
public:
    explicit OutputBacklog(std::size_t boundCharacters) : bound_(boundCharacters) {}

    // Text of the same stream as the newest segment joins it.
    void Add(const std::wstring& text, bool isError);

    std::size_t Size() const noexcept { return size_; }
    bool Empty() const noexcept { return size_ == 0; }
    bool Full() const noexcept { return size_ >= bound_; }
    std::size_t Bound() const noexcept { return bound_; }

    // Takes at most `maxCharacters` from the oldest segment. A piece never ends
    // between a CR and its LF, nor inside a surrogate pair. Unless `final`, a CR
    // or a high surrogate that ends everything read so far is held back, since
    // its partner may come with the next read. Empty when nothing may go yet.
    OutputPiece Take(std::size_t maxCharacters, bool final);

private:
    struct Segment {
        std::wstring text;
        std::size_t taken = 0;  // characters of `text` already handed out
        bool isError = false;
        std::size_t Left() const { return text.size() - taken; }
    };

    std::size_t PieceLength(const Segment& segment, std::size_t maxCharacters, bool final) const;

    std::deque<Segment> segments_;
    std::size_t size_ = 0;
    std::size_t bound_;
};

// Picks the size of the next piece from how long the last ones took, so that
// one piece stays within a time budget (the window answers between pieces)
// while pieces stay as large as the budget allows (every append has a fixed
// cost that grows with the text already in the pane).
class PieceSizer {
public:
    static constexpr std::size_t kMinimum = 32 * 1024;
    static constexpr std::size_t kStart = 32 * 1024;
    static constexpr std::size_t kMaximum = 256 * 1024;

    explicit PieceSizer(double budgetMilliseconds) : budget_(budgetMilliseconds) {}

    std::size_t NextSize() const noexcept { return next_; }
    // Only pieces of a useful size teach anything about the rate.
    void Record(std::size_t characters, double milliseconds);

private:
    double budget_;
    std::size_t next_ = kStart;
};

}  // namespace tarvo
