// The imaging logic without windows: the arithmetic of the painted bars and of
// drawing an image (colour shifts, gradients, twips, opacity, grey scale and
// premultiplied compositing), and the PNG reader with its built-in inflate,
// against streams made by the host's zlib.
#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "graphics/colour_math.h"
#include "graphics/image_compose.h"
#include "graphics/inflate.h"
#include "graphics/png_parser.h"

namespace tarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::uint32_t>;  // pixels as 0xAARRGGBB

TEST(BarColours, ShadesBandsAveragesShiftsGradientsAndTwipsRoundHalvesToEven) {
    EXPECT_EQ(ColourAverage(MakeColour(0, 1, 255), MakeColour(1, 2, 0)), MakeColour(0, 2, 128));
    EXPECT_EQ(ColourShift(MakeColour(250, 0, 10), 0.1f), MakeColour(255, 26, 36));  // saturating
    EXPECT_EQ(ColourShift(MakeColour(250, 0, 10), -0.1f), MakeColour(224, 0, 0));
    // The bar's three lighter shades of 0xC89664: 7 % lighter then halfway back, 9 % lighter then halfway to white, 3 % lighter.
    const BarColours bar = ComputeBarColours(MakeColour(100, 150, 200));
    EXPECT_EQ((Words{bar.base, bar.light1, bar.light2, bar.light3}), (Words{0xC89664, 0xD19F6D, 0xEFD6BD, 0xD09E6C}));
    // The upper band is a 2.7th of the height, the lower one the rest, right below it.
    const BarBands one = ComputeBarBands(1), thirty = ComputeBarBands(30);
    EXPECT_EQ((std::vector{one.upperHeight, one.lowerTop, one.lowerHeight, thirty.upperHeight, thirty.lowerTop, thirty.lowerHeight}),
              (std::vector{0, 0, 1, 11, 11, 19}));
    // Bottom row first, as 0x00RRGGBB; colour2 at the start. Height 1: one row of the halved sum.
    EXPECT_EQ(GradientPixels(3, 1, MakeColour(255, 3, 100), MakeColour(255, 5, 0), GradientDirection::kVertical), Words(3, 0xFE0332));
    EXPECT_EQ(GradientPixels(3, 2, MakeColour(0, 0, 200), 0, GradientDirection::kHorizontal), (Words{0, 100, 200, 0, 100, 200}));
    EXPECT_EQ(GradientPixels(2, 2, MakeColour(0, 0, 200), 0, GradientDirection::kDiagonal), (Words{0, 100, 100, 200}));
    EXPECT_EQ(GradientPixels(1, 3, MakeColour(0, 0, 200), 0, GradientDirection::kVertical), (Words{200, 100, 0}));
    EXPECT_TRUE(GradientPixels(0, 5, 0, 0xFFFFFF, GradientDirection::kVertical).empty());
    EXPECT_TRUE(GradientPixels(5, 0, 0, 0xFFFFFF, GradientDirection::kHorizontal).empty());
    EXPECT_EQ(GradientTable(MakeColour(10, 0, 100), MakeColour(0, 10, 0), 3)[1], MakeColour(3, 7, 33));  // truncated
    EXPECT_EQ(PixelsToTwips(891, TwipsPerPixel(96)), 13365);
    // 15 twips a pixel when the system gives no resolution; 10 at 144 dots an inch, where 2.5 goes to 2 and 3.5 to 4.
    for (const auto& [twips, dpi, pixels] : {std::tuple{1500, 0, 100}, {25, 144, 2}, {35, 144, 4}})
        EXPECT_EQ(TwipsToPixels(twips, TwipsPerPixel(dpi)), pixels) << twips << " at " << dpi;
}

using Pixel = std::array<std::uint8_t, 4>;  // B, G, R, A

Pixel Blend(Pixel src, Pixel dst, int opacity, int grey = -1) {
    PixelBlock s{src.data(), 1, 1}, d{dst.data(), 1, 1};
    CompositeBlock(s, {0, 0, 1, 1}, d, {0, 0, 1, 1}, opacity, grey);
    return dst;
}

TEST(Compositing, OpacityGreyScaleAndPremultipliedSourceOver) {
    // Above 100 the opacity wraps round; 0 and below draw nothing.
    for (const auto& [given, effective] : {std::pair{0, -1}, {-50, -1}, {1, 1}, {99, 99}, {100, 100}, {101, 1}, {150, 50}, {200, 100}})
        EXPECT_EQ(EffectiveOpacity(given).value_or(-1), effective) << given;
    const Pixel dst = {200, 100, 50, 255};
    EXPECT_EQ(Blend({10, 20, 30, 255}, dst, 100), (Pixel{10, 20, 30, 255}));
    EXPECT_EQ(Blend({0, 0, 128, 128}, dst, 100), (Pixel{100, 50, 153, 255}));  // 128 + 50 * (1 - 128 / 255)
    EXPECT_EQ(Blend({0, 0, 255, 255}, {0, 0, 0, 0}, 50), (Pixel{0, 0, 127, 127}));  // k = 127 / 255
    EXPECT_EQ(Blend({64, 0, 0, 64}, {0, 0, 0, 0}, 1), (Pixel{1, 0, 0, 1}));          // 64 * 2 / 255 = 0.502
    // Red 200, green 100 and blue 12 in grey by the formulas 0 to 8; 0 and 8 weigh as the default: 0.299, 0.587, 0.114.
    std::vector<int> greys;
    for (int formula = 0; formula <= 8; ++formula) greys.push_back(Blend({12, 100, 200, 255}, {0, 0, 0, 0}, 100, formula)[0]);
    EXPECT_EQ(greys, (std::vector<int>{120, 115, 104, 171, 101, 40, 136, 70, 120}));
    // Grey: 1.5 + 1.0 = 2.5 goes to the even 2; alpha stays.
    EXPECT_EQ(Blend({1, 0, 255, 255}, {0, 0, 0, 0}, 100, 2), (Pixel{85, 85, 85, 255}));       // 85.248
    Pixel p = {0, 2, 3, 77};
    ApplyGreyScale(p.data(), GreyCoefficients{0.5f, 0.5f, 0.0f});
    EXPECT_EQ(p, (Pixel{2, 2, 2, 77}));
}

// A 2x2 source (white top left, red bottom right) drawn at twice its size, partly outside a 3x3 destination.
TEST(Compositing, BlocksScaleByNearestPixelAndClipToTheDestination) {
    std::vector<std::uint8_t> srcBits(2 * 2 * 4), dstBits(3 * 3 * 4, 9);
    PixelBlock src{srcBits.data(), 2, 2}, dst{dstBits.data(), 3, 3};
    std::fill_n(src.At(0, 0), 4, 255);
    std::copy_n(Pixel{0, 0, 255, 255}.data(), 4, src.At(1, 1));
    // Each drawing in turn (the first from an empty source): the source and destination rectangles, then
    // the destination, top row first: '.' untouched, 'w' white, 'r' red.
    for (const auto& [from, to, expected] : {std::tuple<BlockRect, BlockRect, std::string>{{0, 0, 0, 0}, {1, 1, 4, 4}, "........."},
                                             {{0, 0, 2, 2}, {1, 1, 4, 4}, "....ww.ww"},  // source pixel 1 * 2 / 4 = 0
                                             {{1, 1, 5, 5}, {-1, -1, 2, 2}, "r...ww.ww"},
                                             {{0, 0, 2, 2}, {-2, -2, 4, 4}, "rr.rrw.ww"}}) {  // the source's bottom right quarter
        CompositeBlock(src, from, dst, to, 100, -1);
        std::string map;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) map += dst.At(x, y)[0] == 9 ? '.' : dst.At(x, y)[0] == 255 ? 'w' : 'r';
        EXPECT_EQ(map, expected);
    }
}

const ZlibApi kHostZlib{::uncompress, ::crc32};

// Level 0 writes stored blocks; 9 fixed codes for short data and dynamic ones for long.
Bytes Compress(const Bytes& data, int level = 9) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), level), Z_OK);
    out.resize(size);
    return out;
}

TEST(Inflate, AgreesWithZlibOnEveryBlockKindAndFarCopiesAndRejectsDamagedStreams) {
    Bytes text;  // numbers that repeat near and far, with every byte value between them
    for (unsigned i = 0; text.size() < 70000; ++i) {
        const std::string word = std::to_string(i * i % 1009) + static_cast<char>(i * 37) + (i % 9 ? " " : "\r\n");
        text.insert(text.end(), word.begin(), word.end());
    }
    unsigned kinds = 0;
    Bytes out;
    for (int level : {0, 9})
        for (std::size_t size : {0, 1, 1000, 70000}) {
            const Bytes data(text.begin(), text.begin() + size), stream = Compress(data, level);
            kinds |= 1u << ((stream[2] >> 1) & 3);
            EXPECT_TRUE(InflateZlibStream(stream, data.size(), out) && out == data) << level << " " << size;
        }
    EXPECT_EQ(kinds, 0b111u) << "stored, fixed and dynamic blocks";
    Bytes data(40000, 'x');  // a match 32000 bytes back, and long overlapping runs
    for (std::size_t i = 0; i < 300; ++i) data[i] = data[32000 + i] = static_cast<std::uint8_t>(i * 31);
    EXPECT_TRUE(InflateZlibStream(Compress(data), data.size(), out) && out == data);

    Bytes damaged = Compress(text);
    damaged.back() ^= 0x40;  // the checksum
    EXPECT_FALSE(InflateZlibStream(damaged, text.size(), out));
    EXPECT_FALSE(InflateZlibStream(Bytes(damaged.begin(), damaged.end() - 5), text.size(), out));
    EXPECT_FALSE(InflateZlibStream(Compress(text), text.size() - 1, out)) << "output limit";
    // Fixed codes: 'a', then a copy of 3 at distance code 0 (1 back) or 1 (2 back, before the start).
    EXPECT_TRUE(InflateRaw(Bytes{0x4B, 0x04, 0x02, 0x00}, 100, out) && out == Bytes(4, 'a'));
    EXPECT_FALSE(InflateRaw(Bytes{0x4B, 0x04, 0x42, 0x00}, 100, out));
}

void Put32(Bytes& out, std::size_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

Bytes Chunk(const std::string& type, const Bytes& body) {
    Bytes out;
    Put32(out, body.size());
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, crc32(0, out.data() + 4, static_cast<uInt>(body.size() + 4)));
    return out;
}

struct Header {
    std::uint32_t width, height;
    std::uint8_t depth, colourType, interlace = 0;
};

// Signature, header, a comment, PLTE and tRNS when given, the rows (filter byte first)
// compressed over two IDAT chunks, and the end.
Bytes Png(const Header& h, const Bytes& rows, const Bytes& palette = {}, const Bytes& transparency = {}) {
    Bytes png{137, 80, 78, 71, 13, 10, 26, 10}, ihdr;
    Put32(ihdr, h.width);
    Put32(ihdr, h.height);
    ihdr.insert(ihdr.end(), {h.depth, h.colourType, 0, 0, h.interlace});
    const Bytes z = Compress(rows);
    for (const Bytes& chunk :
         {Chunk("IHDR", ihdr), Chunk("tEXt", {'C', 0, 'x'}), palette.empty() ? Bytes{} : Chunk("PLTE", palette),
          transparency.empty() ? Bytes{} : Chunk("tRNS", transparency), Chunk("IDAT", Bytes(z.begin(), z.begin() + 3)),
          Chunk("IDAT", Bytes(z.begin() + 3, z.end())), Chunk("IEND", {})})
        png.insert(png.end(), chunk.begin(), chunk.end());
    return png;
}

Words Grey(std::initializer_list<std::uint32_t> levels) {
    Words words;
    for (std::uint32_t v : levels) words.push_back(0xFF000000u | v * 0x010101u);
    return words;
}

// The decoded pixels as the image object keeps them, bottom row first; a single 1 when decoding fails.
Words Decode(const Bytes& png, const ZlibApi& zlib = {}) {
    const auto image = cPNGparser(zlib).Decode(png);
    Words words(image ? image->pixels.size() / 4 : 1, 1);
    if (image) std::memcpy(words.data(), image->pixels.data(), image->pixels.size());  // B, G, R, A: little-endian words
    return words;
}

TEST(PngParser, EveryColourTypeDepthFilterAndInterlaceDecodesToPremultipliedPixelsAndDamageFails) {
    // Header, rows (each with its filter byte first), PLTE, tRNS, the pixels (bottom row first), the alpha kind.
    const std::tuple<Header, Bytes, Bytes, Bytes, Words, int> cases[] = {
        // Grey 1 bit with the Sub filter (one byte back, though a pixel is smaller).
        {{10, 1, 1, 0}, {1, 0xB0, 0x90}, {}, {}, Grey({255, 0, 255, 255, 0, 0, 0, 0, 0, 255}), 0},
        {{4, 1, 2, 0}, {0, 0x1B}, {}, {0, 2}, {0xFF000000, 0xFF555555, 0, 0xFFFFFFFF}, 1},
        {{3, 1, 4, 0}, {0, 0x3F, 0x80}, {}, {}, Grey({0x33, 0xFF, 0x88}), 0},
        {{2, 1, 16, 0}, {1, 0x12, 0x34, 0x00, 0x99}, {}, {0x12, 0xCD}, {0xFF121212, 0}, 1},
        // RGB with a transparent key: only the pixel that matches all three channels.
        {{3, 1, 8, 2}, {1, 1, 2, 3, 0, 0, 1, 8, 0, 0xFF}, {}, {0, 1, 0, 2, 0, 3}, {0, 0xFF010204, 0xFF090203}, 1},
        {{3, 1, 1, 3}, {0, 0x40}, {10, 20, 30, 40, 50, 60}, {128}, {0x80050A0F, 0xFF28323C, 0x80050A0F}, 1},
        // Indices past the palette read as black.
        {{4, 1, 2, 3}, {0, 0x1B}, {1, 2, 3, 4, 5, 6}, {}, {0xFF010203, 0xFF040506, 0xFF000000, 0xFF000000}, 0},
        {{2, 1, 8, 3}, {0, 0, 1}, {255, 0, 0, 0, 255, 0}, {0}, {0, 0xFF00FF00}, 1},
        {{2, 1, 8, 4}, {0, 254, 128, 100, 0}, {}, {}, {0x807F7F7F, 0}, 2},  // 254 * 128 / 255 = 127.498
        {{2, 1, 8, 6}, {0, 254, 0, 0, 128, 0, 0, 255, 255}, {}, {}, {0x807F0000, 0xFF0000FF}, 2},
        {{1, 1, 16, 6}, {0, 0xFF, 0, 0, 0, 0, 0, 0x80, 0}, {}, {}, {0x80800000}, 2},
        // Rows from the top: none, Paeth twice (each tie-break decides a byte), Average, Up and Sub, both wrapping round.
        {{2, 6, 8, 0}, {0, 100, 80, 4, 10, 0, 4, 60, 0, 3, 10, 20, 2, 5, 200, 1, 7, 250}, {}, {},
         Grey({7, 1, 100, 96, 95, 152, 170, 170, 110, 80, 100, 80}), 0},
        // Adam7: all seven passes in 5 x 5, and a picture where six of them are empty.
        {{5, 5, 8, 0, 1}, {0, 0, 0, 4, 0, 20, 24, 0, 2, 0, 22, 0, 10, 12, 14, 0, 1, 3, 0, 11, 13, 0, 21, 23,
                           0, 5, 6, 7, 8, 9, 0, 15, 16, 17, 18, 19}, {}, {},
         Grey({20, 21, 22, 23, 24, 15, 16, 17, 18, 19, 10, 11, 12, 13, 14, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4}), 0},
        {{1, 1, 8, 0, 1}, {0, 77}, {}, {}, Grey({77}), 0},
    };
    for (const auto& [header, rows, palette, transparency, pixels, alpha] : cases) {
        const Bytes png = Png(header, rows, palette, transparency);
        for (const ZlibApi& zlib : {kHostZlib, ZlibApi{}})
            EXPECT_EQ(Decode(png, zlib), pixels) << int{header.colourType} << " " << int{header.depth};
        EXPECT_EQ(cPNGparser().Decode(png).value_or(DecodedImage{}).alpha, alpha) << int{header.colourType};
    }
    // Damage: trailing bytes are ignored; any other fault fails, with zlib or without.
    const Bytes good = Png({2, 1, 8, 0}, {0, 1, 2});
    Bytes noSignature = good, overrun = good, badCrc = good, trailing = good, notDeflate = good;
    noSignature[1] = 'Q';
    overrun[33] = 0x7F;  // the comment's length
    badCrc[good.size() - 13] ^= 1;  // of the last IDAT
    notDeflate[56] = 0x55;          // compression method 5
    trailing.insert(trailing.end(), 3, 0xAB);
    EXPECT_EQ(Decode(trailing, kHostZlib), Grey({1, 2}));
    EXPECT_EQ(Decode(badCrc, kHostZlib), Words{1});
    EXPECT_EQ(Decode(badCrc), Grey({1, 2})) << "only zlib's CRC is checked";
    const Bytes bad[] = {
        noSignature, overrun, notDeflate,
        Bytes(good.begin(), good.begin() + 20), Bytes(good.begin(), good.begin() + 60), Bytes(good.begin(), good.end() - 13),
        Png({2, 1, 16, 3}, {0, 0, 0, 0, 1}, {1, 2, 3, 4, 5, 6}), Png({1, 1, 4, 2}, {0, 0, 0}),
        Png({2, 1, 8, 3}, {0, 0, 1}),  // no palette
        Png({2, 1, 8, 3}, {0, 0, 1}, {1, 2, 3, 4}), Png({2, 1, 8, 0, 2}, {0, 1, 2}), Png({0, 1, 8, 0}, {0}),
        Png({2, 1, 8, 0}, {5, 1, 2}), Png({2, 2, 8, 0}, {0, 1, 2}), Png({2, 1, 8, 0}, {0, 1, 2, 3}),
        Png({60000, 60000, 8, 6}, {0, 1, 2, 3, 4}),  // refused before anything is allocated
    };
    for (std::size_t i = 0; i < std::size(bad); ++i)
        EXPECT_TRUE(Decode(bad[i], kHostZlib) == Words{1} && Decode(bad[i]) == Words{1}) << i;
}

}  // namespace
}  // namespace tarvo
