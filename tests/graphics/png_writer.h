#pragma once
// A small PNG writer for the tests: any colour type, bit depth and interlace,
// a rotating choice of row filters, and the deflate block kind chosen by the test.
#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::testing {

enum class Deflate { kStored, kFixed, kDynamic };

struct PngSpec {
    std::uint32_t width = 0, height = 0;
    int bitDepth = 8, colourType = 6, interlace = 0;
    std::vector<std::uint8_t> palette;       // PLTE body, empty for none
    std::vector<std::uint8_t> transparency;  // tRNS body, empty for none
    Deflate deflate = Deflate::kDynamic;
    int idatPieces = 1;  // the image data split over this many IDAT chunks
};

using Bytes = std::vector<std::uint8_t>;

// samples: width * height * channels values, row by row, each below 2^bitDepth.
Bytes WritePng(const PngSpec& spec, const std::vector<unsigned>& samples);

// Zlib streams of the three block kinds.
Bytes ZlibCompress(const Bytes& data, Deflate kind);

Bytes Chunk(const std::string& type, const Bytes& body);
std::uint32_t Crc(const std::uint8_t* data, std::size_t length);

}  // namespace tarvo::testing
