#include "graphics/png_parser.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <random>
#include <string>

#include "png_writer.h"

namespace tarvo {
namespace {

using testing::Bytes;
using testing::Deflate;
using testing::PngSpec;

const ZlibApi kHostZlib{::uncompress, ::crc32};

struct Case {
    int colourType, bitDepth, interlace;
    bool transparency;
    Deflate deflate;
};

std::string Name(const ::testing::TestParamInfo<Case>& info) {
    const Case& c = info.param;
    return "Type" + std::to_string(c.colourType) + "Depth" + std::to_string(c.bitDepth) +
           (c.interlace ? "Adam7" : "Plain") + (c.transparency ? "Trns" : "") +
           std::to_string(static_cast<int>(c.deflate));
}

std::vector<Case> AllCases() {
    const std::vector<std::pair<int, std::vector<int>>> depths = {
        {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
    std::vector<Case> cases;
    int rotate = 0;
    for (const auto& [type, list] : depths)
        for (int depth : list)
            for (int interlace : {0, 1})
                for (bool trns : {false, true})
                    if (!trns || type < 4) cases.push_back({type, depth, interlace, trns, static_cast<Deflate>(rotate++ % 3)});
    return cases;
}

// A picture of random samples, its PNG, and the pixels the reader must produce.
struct Picture {
    Bytes png;
    std::vector<std::uint8_t> expected;  // premultiplied BGRA, bottom row first
    int expectedAlpha = 0;
};

std::uint8_t Scale(unsigned v, int depth) {
    return depth == 16 ? static_cast<std::uint8_t>(v >> 8) : static_cast<std::uint8_t>(v * 255 / ((1u << depth) - 1));
}

Picture MakePicture(const Case& c, std::uint32_t width = 13, std::uint32_t height = 11) {
    PngSpec spec{width, height, c.bitDepth, c.colourType, c.interlace, {}, {}, c.deflate, 3};
    const int channels = testing::ChannelsOf(c.colourType);
    const unsigned limit = 1u << c.bitDepth, paletteSize = c.colourType == 3 ? std::min(limit, 200u) : 0;
    std::mt19937 random(c.colourType * 100 + c.bitDepth * 10 + c.interlace);
    for (unsigned i = 0; i < paletteSize * 3; ++i) spec.palette.push_back(static_cast<std::uint8_t>(random()));
    std::vector<unsigned> samples;
    for (std::size_t i = 0; i < std::size_t{width} * height * channels; ++i)
        samples.push_back(random() % (c.colourType == 3 ? paletteSize : limit));
    // The transparent key is the first pixel's colour, so at least one pixel matches it.
    for (unsigned i = 0; c.transparency && c.colourType == 3 && i < paletteSize / 2; ++i)
        spec.transparency.push_back(static_cast<std::uint8_t>(i * 7));
    for (int ch = 0; c.transparency && c.colourType != 3 && ch < channels; ++ch)
        spec.transparency.insert(spec.transparency.end(), {static_cast<std::uint8_t>(samples[ch] >> 8),
                                                           static_cast<std::uint8_t>(samples[ch])});
    Picture p{testing::WritePng(spec, samples), std::vector<std::uint8_t>(std::size_t{width} * height * 4),
              c.colourType >= 4 ? 2 : (c.transparency ? 1 : 0)};
    const bool grey = c.colourType == 0 || c.colourType == 4;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned* s = &samples[(std::size_t{y} * width + x) * channels];
            unsigned rgb[3], a = 255;
            for (int k = 0; k < 3; ++k)
                rgb[k] = c.colourType == 3 ? spec.palette[s[0] * 3 + k] : Scale(s[grey ? 0 : k], c.bitDepth);
            if (c.colourType == 3 && s[0] < spec.transparency.size()) a = spec.transparency[s[0]];
            if (c.colourType >= 4) a = Scale(s[channels - 1], c.bitDepth);
            if (c.transparency && c.colourType != 3 && std::equal(s, s + channels, samples.begin())) a = 0;
            std::uint8_t* px = &p.expected[(std::size_t{height - 1 - y} * width + x) * 4];
            for (int k = 0; k < 3; ++k) px[k] = static_cast<std::uint8_t>((rgb[2 - k] * a + 127) / 255);
            px[3] = static_cast<std::uint8_t>(a);
        }
    return p;
}

class EveryFormat : public ::testing::TestWithParam<Case> {};

TEST_P(EveryFormat, DecodesPixelByPixelWithAndWithoutZlib) {
    const Picture p = MakePicture(GetParam());
    for (const ZlibApi& zlib : {kHostZlib, ZlibApi{}}) {
        const auto image = cPNGparser(zlib).Decode(p.png);
        ASSERT_TRUE(image.has_value()) << (zlib.uncompress ? "zlib" : "built-in inflate");
        EXPECT_EQ(std::make_pair(image->width, image->height), std::make_pair(13u, 11u));
        EXPECT_EQ(image->alpha, p.expectedAlpha);
        ASSERT_EQ(image->pixels.size(), p.expected.size());
        for (std::size_t i = 0; i < p.expected.size(); ++i)
            ASSERT_EQ(image->pixels[i], p.expected[i]) << "byte " << i << " (pixel " << i / 4 << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(Png, EveryFormat, ::testing::ValuesIn(AllCases()), Name);

TEST(PngParser, SmallPicturesOfEveryInterlaceShapeDecode) {
    // Adam7 leaves passes empty for pictures narrower or lower than 8 pixels.
    for (std::uint32_t w : {1u, 2u, 3u, 5u, 8u, 9u})
        for (std::uint32_t h : {1u, 2u, 4u, 7u}) {
            const Picture p = MakePicture({6, 8, 1, false, Deflate::kFixed}, w, h);
            const auto image = cPNGparser().Decode(p.png);
            ASSERT_TRUE(image.has_value()) << w << "x" << h;
            EXPECT_EQ(image->pixels, p.expected) << w << "x" << h;
        }
}

// The header of `png` followed by one IDAT chunk with this body.
Bytes WithImageData(const Bytes& png, const Bytes& body) {
    Bytes forged(png.begin(), png.begin() + 33);
    const Bytes idat = testing::Chunk("IDAT", body);
    forged.insert(forged.end(), idat.begin(), idat.end());
    return forged;
}

bool DecodesWith(const ZlibApi& zlib, const Bytes& png) { return cPNGparser(zlib).Decode(png).has_value(); }

TEST(PngParser, TrailingBytesLoadButDamagedOrMalformedDataFails) {
    const Bytes png = MakePicture({6, 8, 0, false, Deflate::kDynamic}, 22, 22).png;
    for (int extra = 1; extra <= 3; ++extra) {
        Bytes padded = png;
        padded.insert(padded.end(), extra, 0xAB);
        EXPECT_TRUE(DecodesWith(kHostZlib, padded) && DecodesWith({}, padded)) << extra;
    }
    const std::size_t idat = std::string(png.begin(), png.end()).find("IDAT") - 4;
    const std::size_t length = (png[idat] << 24) | (png[idat + 1] << 16) | (png[idat + 2] << 8) | png[idat + 3];
    Bytes badCrc = png;
    badCrc[idat + 8 + length] ^= 0x01;
    EXPECT_FALSE(DecodesWith(kHostZlib, badCrc)) << "zlib checks the chunk CRC";
    EXPECT_TRUE(DecodesWith({}, badCrc)) << "the built-in inflate does not";
    for (std::size_t cut : {std::size_t{9}, std::size_t{20}, idat + 3, idat + 10, png.size() - 13})
        EXPECT_FALSE(DecodesWith(kHostZlib, Bytes(png.begin(), png.begin() + cut)) ||
                     DecodesWith({}, Bytes(png.begin(), png.begin() + cut))) << cut;
    Bytes overrun = png, noSignature = png;
    overrun[idat] = 0x7F;  // a length far beyond the data
    noSignature[1] = 'Q';
    EXPECT_FALSE(DecodesWith({}, overrun) || DecodesWith({}, noSignature));
    EXPECT_FALSE(DecodesWith(kHostZlib, WithImageData(png, Bytes(40, 0x55))) || DecodesWith({}, WithImageData(png, Bytes(40, 0x55))));

    // 16-bit palette samples do not exist; a palette picture needs its PLTE.
    PngSpec spec;
    spec.width = spec.height = 2;
    spec.bitDepth = 16;
    spec.colourType = 3;
    spec.palette = Bytes(6, 0);
    EXPECT_FALSE(DecodesWith(kHostZlib, testing::WritePng(spec, {0, 1, 1, 0})));
    spec.bitDepth = 8;
    EXPECT_TRUE(DecodesWith(kHostZlib, testing::WritePng(spec, {0, 1, 1, 0})));
    spec.palette.clear();
    EXPECT_FALSE(DecodesWith({}, testing::WritePng(spec, {0, 1, 1, 0})));

    // Two rows of 2 RGBA pixels; row filter 5 does not exist.
    spec = PngSpec{};
    spec.width = spec.height = 2;
    const Bytes twoByTwo = testing::WritePng(spec, std::vector<unsigned>(16, 9));
    Bytes raw = {5, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(DecodesWith({}, WithImageData(twoByTwo, testing::ZlibCompress(raw, Deflate::kDynamic))));
    raw[0] = 0;
    EXPECT_TRUE(DecodesWith({}, WithImageData(twoByTwo, testing::ZlibCompress(raw, Deflate::kDynamic))));
    // Grey rows 100 80 / 110 80 / 170 170, the last two Paeth-filtered so that each tie-break decides a byte.
    spec = PngSpec{};
    spec.width = 2;
    spec.height = 3;
    spec.colourType = 0;
    const Bytes paeth = WithImageData(testing::WritePng(spec, std::vector<unsigned>(6, 0)),
                                      testing::ZlibCompress({0, 100, 80, 4, 10, 0, 4, 60, 0}, Deflate::kFixed));
    std::vector<std::uint8_t> rows;  // premultiplied BGRA, bottom row first
    for (std::uint8_t v : {170, 170, 110, 80, 100, 80}) rows.insert(rows.end(), {v, v, v, 255});
    EXPECT_EQ(cPNGparser().Decode(paeth).value_or(DecodedImage{}).pixels, rows);
    // 60000 x 60000 pixels declared over a handful of bytes: refused without allocating.
    Bytes huge = twoByTwo;
    const Bytes ihdr = testing::Chunk("IHDR", {0, 0, 0xEA, 0x60, 0, 0, 0xEA, 0x60, 8, 6, 0, 0, 0});
    std::copy(ihdr.begin(), ihdr.end(), huge.begin() + 8);
    EXPECT_FALSE(DecodesWith(kHostZlib, huge));
}

}  // namespace
}  // namespace tarvo
