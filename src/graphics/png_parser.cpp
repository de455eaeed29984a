#include "graphics/png_parser.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "graphics/inflate.h"

namespace tarvo {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {137, 80, 78, 71, 13, 10, 26, 10};
// Deflate cannot expand data by more than about 1032 times.
constexpr std::uint64_t kMaxInflateRatio = 1032;

enum ColourType : std::uint8_t { kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6 };

std::uint32_t ReadBe32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

struct Header {
    std::uint32_t width = 0, height = 0;
    std::uint8_t bitDepth = 0, colourType = 0, interlace = 0;

    int Channels() const {
        switch (colourType) {
            case kRgb: return 3;
            case kGreyAlpha: return 2;
            case kRgba: return 4;
            default: return 1;
        }
    }
    int BitsPerPixel() const { return Channels() * bitDepth; }
    std::uint64_t RowBytes(std::uint64_t pixels) const { return (pixels * BitsPerPixel() + 7) / 8; }
};

bool ValidDepth(std::uint8_t colourType, std::uint8_t depth) {
    switch (colourType) {
        case kGrey: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case kPalette: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case kRgb:
        case kGreyAlpha:
        case kRgba: return depth == 8 || depth == 16;
        default: return false;
    }
}

std::optional<Header> ParseHeader(std::span<const std::uint8_t> d) {
    if (d.size() != 13) return std::nullopt;
    Header h;
    h.width = ReadBe32(d.data());
    h.height = ReadBe32(d.data() + 4);
    h.bitDepth = d[8];
    h.colourType = d[9];
    h.interlace = d[12];
    if (h.width == 0 || h.height == 0 || h.width > 0x7FFFFFFFu || h.height > 0x7FFFFFFFu) return std::nullopt;
    if (!ValidDepth(h.colourType, h.bitDepth) || d[10] != 0 || d[11] != 0 || h.interlace > 1) return std::nullopt;
    if (static_cast<std::uint64_t>(h.width) * h.height > cPNGparser::kMaxPixels) return std::nullopt;
    return h;
}

struct Chunks {
    std::optional<Header> header;
    std::vector<std::array<std::uint8_t, 3>> palette;
    std::vector<std::uint8_t> transparency;
    bool hasTransparency = false;
    std::vector<std::uint8_t> imageData;
};

struct Pass {
    std::uint32_t x0, y0, dx, dy;
};
constexpr std::array<Pass, 7> kAdam7 = {{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                         {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}};
constexpr std::array<Pass, 1> kWhole = {{{0, 0, 1, 1}}};

std::span<const Pass> PassesOf(const Header& h) {
    if (h.interlace == 1) return kAdam7;
    return kWhole;
}

std::uint32_t PassExtent(std::uint32_t size, std::uint32_t start, std::uint32_t step) {
    return size > start ? (size - start + step - 1) / step : 0;
}

std::uint64_t RawSize(const Header& h) {
    std::uint64_t total = 0;
    for (const Pass& p : PassesOf(h)) {
        const std::uint64_t w = PassExtent(h.width, p.x0, p.dx);
        const std::uint64_t rows = PassExtent(h.height, p.y0, p.dy);
        if (w != 0 && rows != 0) total += rows * (1 + h.RowBytes(w));
    }
    return total;
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Undoes one row's filter in place; prior is the unfiltered previous row or null.
bool Unfilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* prior, std::size_t length, std::size_t bpp) {
    auto left = [&](std::size_t i) -> int { return i >= bpp ? row[i - bpp] : 0; };
    auto up = [&](std::size_t i) -> int { return prior ? prior[i] : 0; };
    auto upLeft = [&](std::size_t i) -> int { return prior && i >= bpp ? prior[i - bpp] : 0; };
    switch (filter) {
        case 0: return true;
        case 1:
            for (std::size_t i = 0; i < length; ++i) row[i] = static_cast<std::uint8_t>(row[i] + left(i));
            return true;
        case 2:
            for (std::size_t i = 0; i < length; ++i) row[i] = static_cast<std::uint8_t>(row[i] + up(i));
            return true;
        case 3:
            for (std::size_t i = 0; i < length; ++i) row[i] = static_cast<std::uint8_t>(row[i] + (left(i) + up(i)) / 2);
            return true;
        case 4:
            for (std::size_t i = 0; i < length; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] + Paeth(left(i), up(i), upLeft(i)));
            return true;
        default: return false;
    }
}

std::uint8_t Premultiply(unsigned colour, unsigned alpha) {
    return static_cast<std::uint8_t>((colour * alpha + 127) / 255);
}

// Turns the samples of one unfiltered row into pixels of the output.
class SampleConverter {
public:
    SampleConverter(const Header& h, const Chunks& c) : h_(h), c_(c) {}

    void Row(const std::uint8_t* row, std::uint32_t count, std::uint32_t y, const Pass& pass, DecodedImage& out) const {
        std::uint8_t* line = out.pixels.data() + static_cast<std::size_t>(h_.height - 1 - y) * h_.width * 4;
        if (h_.colourType == kRgba && h_.bitDepth == 8) {
            // Every icon of the program is stored this way.
            for (std::uint32_t i = 0; i < count; ++i, row += 4) {
                std::uint8_t* px = line + static_cast<std::size_t>(pass.x0 + i * pass.dx) * 4;
                px[0] = Premultiply(row[2], row[3]);
                px[1] = Premultiply(row[1], row[3]);
                px[2] = Premultiply(row[0], row[3]);
                px[3] = row[3];
            }
            return;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint8_t rgba[4];
            Pixel(row, i, rgba);
            std::uint8_t* px = line + static_cast<std::size_t>(pass.x0 + i * pass.dx) * 4;
            px[0] = Premultiply(rgba[2], rgba[3]);
            px[1] = Premultiply(rgba[1], rgba[3]);
            px[2] = Premultiply(rgba[0], rgba[3]);
            px[3] = rgba[3];
        }
    }

private:
    unsigned Sample(const std::uint8_t* row, std::uint32_t pixel, int channel) const {
        const int depth = h_.bitDepth;
        const std::size_t index = static_cast<std::size_t>(pixel) * h_.Channels() + channel;
        if (depth == 8) return row[index];
        if (depth == 16) return (row[index * 2] << 8) | row[index * 2 + 1];
        const std::size_t bit = index * depth;
        const int shift = 8 - depth - static_cast<int>(bit % 8);
        return (row[bit / 8] >> shift) & ((1u << depth) - 1);
    }

    std::uint8_t To8Bit(unsigned sample) const {
        if (h_.bitDepth == 16) return static_cast<std::uint8_t>(sample >> 8);
        return static_cast<std::uint8_t>(sample * 255 / ((1u << h_.bitDepth) - 1));
    }

    unsigned TransparentKey(int channel) const { return (c_.transparency[channel * 2] << 8) | c_.transparency[channel * 2 + 1]; }

    void Pixel(const std::uint8_t* row, std::uint32_t i, std::uint8_t rgba[4]) const {
        switch (h_.colourType) {
            case kGrey: {
                const unsigned v = Sample(row, i, 0);
                rgba[0] = rgba[1] = rgba[2] = To8Bit(v);
                rgba[3] = c_.hasTransparency && v == TransparentKey(0) ? 0 : 255;
                break;
            }
            case kRgb: {
                const unsigned r = Sample(row, i, 0), g = Sample(row, i, 1), b = Sample(row, i, 2);
                rgba[0] = To8Bit(r);
                rgba[1] = To8Bit(g);
                rgba[2] = To8Bit(b);
                const bool key = c_.hasTransparency && r == TransparentKey(0) && g == TransparentKey(1) &&
                                 b == TransparentKey(2);
                rgba[3] = key ? 0 : 255;
                break;
            }
            case kPalette: {
                const unsigned index = Sample(row, i, 0);
                if (index < c_.palette.size()) {
                    std::copy(c_.palette[index].begin(), c_.palette[index].end(), rgba);
                    rgba[3] = index < c_.transparency.size() ? c_.transparency[index] : 255;
                } else {
                    rgba[0] = rgba[1] = rgba[2] = 0;  // an index past the palette reads as black
                    rgba[3] = 255;
                }
                break;
            }
            case kGreyAlpha:
                rgba[0] = rgba[1] = rgba[2] = To8Bit(Sample(row, i, 0));
                rgba[3] = To8Bit(Sample(row, i, 1));
                break;
            default:
                for (int c = 0; c < 4; ++c) rgba[c] = To8Bit(Sample(row, i, c));
                break;
        }
    }

    const Header& h_;
    const Chunks& c_;
};

bool StoreChunk(const std::uint8_t* type, std::span<const std::uint8_t> body, bool first, Chunks& c) {
    if (std::memcmp(type, "IHDR", 4) == 0) {
        if (!first) return false;
        c.header = ParseHeader(body);
        return c.header.has_value();
    }
    if (first) return false;  // IHDR must come first
    if (std::memcmp(type, "PLTE", 4) == 0) {
        if (body.empty() || body.size() % 3 != 0 || body.size() > 768 || !c.palette.empty()) return false;
        for (std::size_t i = 0; i < body.size(); i += 3) c.palette.push_back({body[i], body[i + 1], body[i + 2]});
    } else if (std::memcmp(type, "tRNS", 4) == 0) {
        const std::uint8_t colourType = c.header->colourType;
        const std::size_t needed = colourType == kGrey ? 2 : colourType == kRgb ? 6 : 0;
        if (colourType == kGreyAlpha || colourType == kRgba) return true;  // meaningless there
        if (body.size() < needed || body.size() > 256) return false;
        c.transparency.assign(body.begin(), body.end());
        c.hasTransparency = true;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
        c.imageData.insert(c.imageData.end(), body.begin(), body.end());
    }
    return true;
}

std::optional<Chunks> WalkChunks(std::span<const std::uint8_t> data, const ZlibApi& zlib) {
    Chunks c;
    std::size_t pos = kSignature.size();
    bool first = true;
    while (pos < data.size()) {
        if (data.size() - pos < 12) return std::nullopt;
        const std::uint32_t length = ReadBe32(data.data() + pos);
        if (length > 0x7FFFFFFFu || data.size() - pos - 12 < length) return std::nullopt;
        const std::uint8_t* type = data.data() + pos + 4;
        const auto body = data.subspan(pos + 8, length);
        if (std::memcmp(type, "IEND", 4) == 0) break;
        if (zlib.crc32 && std::memcmp(type, "IDAT", 4) == 0) {
            const unsigned long crc = zlib.crc32(0, type, length + 4) & 0xFFFFFFFFu;
            if (crc != ReadBe32(body.data() + length)) return std::nullopt;
        }
        if (!StoreChunk(type, body, first, c)) return std::nullopt;
        first = false;
        pos += 12 + static_cast<std::size_t>(length);
    }
    if (!c.header || c.imageData.empty()) return std::nullopt;
    if (c.header->colourType == kPalette && c.palette.empty()) return std::nullopt;
    return c;
}

bool Inflate(const ZlibApi& zlib, const std::vector<std::uint8_t>& compressed, std::size_t size,
             std::vector<std::uint8_t>& raw) {
    if (zlib.uncompress) {
        raw.assign(size, 0);
        unsigned long length = static_cast<unsigned long>(size);
        if (zlib.uncompress(raw.data(), &length, compressed.data(), static_cast<unsigned long>(compressed.size())) == 0 &&
            length == size)
            return true;
    }
    return InflateZlibStream(compressed, size, raw) && raw.size() == size;
}

bool Reconstruct(const Header& h, const Chunks& c, std::vector<std::uint8_t>& raw, DecodedImage& out) {
    const std::size_t bpp = std::max(1, h.BitsPerPixel() / 8);
    const SampleConverter converter(h, c);
    std::size_t pos = 0;
    for (const Pass& p : PassesOf(h)) {
        const std::uint32_t width = PassExtent(h.width, p.x0, p.dx);
        const std::uint32_t rows = PassExtent(h.height, p.y0, p.dy);
        if (width == 0 || rows == 0) continue;
        const std::size_t rowBytes = static_cast<std::size_t>(h.RowBytes(width));
        const std::uint8_t* prior = nullptr;
        for (std::uint32_t r = 0; r < rows; ++r) {
            std::uint8_t* row = raw.data() + pos + 1;
            if (!Unfilter(raw[pos], row, prior, rowBytes, bpp)) return false;
            converter.Row(row, width, p.y0 + r * p.dy, p, out);
            prior = row;
            pos += 1 + rowBytes;
        }
    }
    return true;
}

}  // namespace

bool cPNGparser::HasSignature(std::span<const std::uint8_t> data) {
    return data.size() >= kSignature.size() && std::equal(kSignature.begin(), kSignature.end(), data.begin());
}

std::optional<DecodedImage> cPNGparser::Decode(std::span<const std::uint8_t> data) const {
    if (!HasSignature(data)) return std::nullopt;
    const auto chunks = WalkChunks(data, zlib_);
    if (!chunks) return std::nullopt;
    const Header& h = *chunks->header;
    const std::uint64_t rawSize = RawSize(h);
    if (rawSize > chunks->imageData.size() * kMaxInflateRatio + 1024) return std::nullopt;

    std::vector<std::uint8_t> raw;
    if (!Inflate(zlib_, chunks->imageData, static_cast<std::size_t>(rawSize), raw)) return std::nullopt;

    DecodedImage out;
    out.width = h.width;
    out.height = h.height;
    out.pixels.assign(static_cast<std::size_t>(h.width) * h.height * 4, 0);
    if (!Reconstruct(h, *chunks, raw, out)) return std::nullopt;
    if (h.colourType == kGreyAlpha || h.colourType == kRgba) out.alpha = kAlphaFull;
    else out.alpha = chunks->hasTransparency ? kAlphaSimple : kAlphaNone;
    return out;
}

}  // namespace tarvo
