#pragma once
// A small PNG writer for the tests: any colour type, bit depth and interlace,
// the five row filters in turn, and the deflate block kind chosen by the test.
#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::testing {

enum class Deflate { kStored, kFixed, kDynamic };
using Bytes = std::vector<std::uint8_t>;

struct PngSpec {
    std::uint32_t width = 0, height = 0;
    int bitDepth = 8, colourType = 6, interlace = 0;
    Bytes palette, transparency;  // PLTE and tRNS bodies, empty for none
    Deflate deflate = Deflate::kDynamic;
    int idatPieces = 1;  // the image data split over this many IDAT chunks
};

int ChannelsOf(int colourType);
// samples: width * height * channels values, row by row, each below 2^bitDepth.
Bytes WritePng(const PngSpec& spec, const std::vector<unsigned>& samples);
Bytes ZlibCompress(const Bytes& data, Deflate kind);
Bytes Chunk(const std::string& type, const Bytes& body);

}  // namespace tarvo::testing
