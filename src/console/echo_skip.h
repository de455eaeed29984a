#pragma once
// EchoSkip: a program that echoes the lines sent to it would show each typed
// line twice. Characters of the next standard output are dropped only while
// they equal the sent lines from their first character on, each followed by a
// CR LF; the first difference ends the skip, so a program that does not echo
// loses nothing.
#include <cstddef>
#include <string>

namespace tarvo {

class EchoSkip {
public:
    // A line sent to the child; lines sent before it whose echo is still due stay expected first.
    void Expect(const std::wstring& line);
    void Clear() noexcept;
    bool Active() const noexcept { return !expected_.empty(); }
    // Drops the echo's characters from the front of a chunk of standard output.
    void Apply(std::wstring& text);

private:
    std::wstring expected_;
    std::size_t matched_ = 0;
};

}  // namespace tarvo
