#include "console/echo_skip.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

using Chunks = std::vector<std::wstring>;

TEST(EchoSkip, DropsOnlyAnEchoOfTheSentLinesOnceAndStopsAtTheFirstDifference) {
    const struct {
        Chunks sent, chunks, shown;
    } cases[] = {
        {{L"dir"}, {L"di", L"r\r", L"\nnext"}, {L"", L"", L"next"}},  // an echo split over reads
        {{L"hello"}, {L"got hello\r\n"}, {L"got hello\r\n"}},           // no echo: nothing lost
        {{L"hello"}, {L"hello world"}, {L" world"}},                   // the line, but no line break after it
        {{L"abc"}, {L"abX"}, {L"X"}},                                  // what matched before a difference goes
        {{L"one", L"two"}, {L"one\r\ntwo\r\nrest"}, {L"rest"}},        // two lines sent before any output
        {{L"ls"}, {L"ls\r\nls\r\n"}, {L"ls\r\n"}},                       // the echo once, not every later line alike
        {{L""}, {L"\r\nout"}, {L"\r\nout"}},                           // an empty line has no echo
    };
    for (const auto& c : cases) {
        EchoSkip skip;
        for (const auto& line : c.sent) skip.Expect(line);
        Chunks chunks = c.chunks;
        for (auto& chunk : chunks) skip.Apply(chunk);
        EXPECT_EQ(chunks, c.shown) << c.chunks[0];
        EXPECT_FALSE(skip.Active()) << c.chunks[0];
    }
    EchoSkip cleared;
    cleared.Expect(L"x");
    cleared.Clear();
    std::wstring chunk = L"x\r\n";
    cleared.Apply(chunk);
    EXPECT_EQ(chunk, L"x\r\n");
}

}  // namespace
}  // namespace tarvo
