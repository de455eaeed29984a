#pragma once
// A self-contained inflate (zlib stream format around deflate blocks), used when
// the zlib library cannot be loaded or refuses the data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tarvo {

// Inflates a whole zlib stream (header, deflate blocks, Adler-32 trailer).
// Fails on malformed data, a bad checksum, or output that would exceed maxOutput.
bool InflateZlibStream(std::span<const std::uint8_t> input, std::size_t maxOutput, std::vector<std::uint8_t>& output);

// Inflates raw deflate blocks without the zlib wrapper; consumed receives the input bytes used.
bool InflateRaw(std::span<const std::uint8_t> input, std::size_t maxOutput, std::vector<std::uint8_t>& output,
                std::size_t* consumed = nullptr);

std::uint32_t Adler32(std::span<const std::uint8_t> data);

}  // namespace tarvo
