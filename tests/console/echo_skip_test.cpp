#include "console/echo_skip.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

// Each chunk of standard output after the lines were sent, as the pane gets it.
std::vector<std::wstring> Skip(const std::vector<std::wstring>& sent, std::vector<std::wstring> chunks) {
    EchoSkip skip;
    for (const auto& line : sent) skip.Expect(line);
    for (auto& chunk : chunks) skip.Apply(chunk);
    return chunks;
}

TEST(EchoSkip, DropsOnlyAnEchoOfTheSentLinesAndStopsAtTheFirstDifference) {
    struct Case {
        std::vector<std::wstring> sent, chunks, shown;
    };
    const Case cases[] = {
        {{L"dir"}, {L"dir\r\nVolume"}, {L"Volume"}},
        {{L"dir"}, {L"di", L"r\r", L"\nnext"}, {L"", L"", L"next"}},        // an echo split over reads
        {{L"hello"}, {L"got hello\r\n"}, {L"got hello\r\n"}},                 // no echo: nothing lost
        {{L"hello"}, {L"hello world"}, {L" world"}},                         // the line, but no line break after it
        {{L"abc"}, {L"abX"}, {L"X"}},                                        // what matched before a difference goes
        {{L"one", L"two"}, {L"one\r\ntwo\r\nrest"}, {L"rest"}},              // two lines sent before any output
        {{L"one", L"two"}, {L"one\r\nrest", L"two\r\n"}, {L"rest", L"two\r\n"}},
        {{L""}, {L"\r\nout"}, {L"\r\nout"}},                                 // an empty line has no echo
        {{}, {L"plain"}, {L"plain"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Skip(c.sent, c.chunks), c.shown) << c.chunks[0].size();
}

TEST(EchoSkip, EndsWhenTheEchoIsCompleteOrCleared) {
    EchoSkip skip;
    skip.Expect(L"ls");
    EXPECT_TRUE(skip.Active());
    std::wstring chunk = L"ls\r\nls\r\n";
    skip.Apply(chunk);
    EXPECT_EQ(chunk, L"ls\r\n") << "the echo once, not every later line alike";
    EXPECT_FALSE(skip.Active());

    skip.Expect(L"x");
    skip.Clear();
    chunk = L"x\r\n";
    skip.Apply(chunk);
    EXPECT_EQ(chunk, L"x\r\n");
}

}  // namespace
}  // namespace tarvo
