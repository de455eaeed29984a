#pragma once
// The output of a fast writing program (a build log, a big listing): numbered
// lines of 48 bytes, written in 64 KiB blocks regardless of line ends. Shared by
// the child that writes it and by the checks and benchmarks that expect it.
#include <cstddef>
#include <cstdio>
#include <string>

namespace tarvo::test {

inline constexpr std::size_t kFastLineBytes = 48;
inline constexpr std::size_t kFastBlockBytes = 64 * 1024;

// Whole lines only: `bytes` rounded down to a multiple of the line size.
inline std::string FastWriterText(std::size_t bytes) {
    std::string text;
    text.reserve(bytes);
    char line[kFastLineBytes + 1];
    for (std::size_t i = 0; (i + 1) * kFastLineBytes <= bytes; ++i) {
        std::snprintf(line, sizeof line, "o%07zu the quick brown fox jumps over a lazy\r\n", i % 10000000);
        text.append(line, kFastLineBytes);
    }
    return text;
}

// The line standard error gets after block `n`.
inline std::string FastWriterErrorLine(std::size_t n) {
    char line[16];
    std::snprintf(line, sizeof line, "e%06zu\r\n", n % 1000000);
    return line;
}

}  // namespace tarvo::test
