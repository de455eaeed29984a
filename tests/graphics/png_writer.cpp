#include "png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace tarvo::testing {
namespace {

void PutBe32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

Bytes PackRow(const std::vector<unsigned>& samples, int depth) {
    Bytes row(depth == 16 ? samples.size() * 2 : (samples.size() * depth + 7) / 8, 0);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (depth == 16) {
            row[2 * i] = static_cast<std::uint8_t>(samples[i] >> 8);
            row[2 * i + 1] = static_cast<std::uint8_t>(samples[i]);
        } else {
            row[i * depth / 8] |= static_cast<std::uint8_t>(samples[i] << (8 - depth - i * depth % 8));
        }
    }
    return row;
}

Bytes FilterRow(int filter, const Bytes& row, const Bytes& prior, std::size_t bpp) {
    Bytes out{static_cast<std::uint8_t>(filter)};
    for (std::size_t i = 0; i < row.size(); ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0, b = prior.empty() ? 0 : prior[i];
        const int c = i >= bpp && !prior.empty() ? prior[i - bpp] : 0;
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        const int predicted[] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : (pb <= pc ? b : c)};
        out.push_back(static_cast<std::uint8_t>(row[i] - predicted[filter]));
    }
    return out;
}

}  // namespace

int ChannelsOf(int colourType) { return colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1; }

Bytes Chunk(const std::string& type, const Bytes& body) {
    Bytes out;
    PutBe32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBe32(out, static_cast<std::uint32_t>(crc32(0, out.data() + 4, static_cast<uInt>(body.size() + 4))));
    return out;
}

Bytes ZlibCompress(const Bytes& data, Deflate kind) {
    z_stream z{};  // level 0 writes stored blocks only
    if (deflateInit2(&z, kind == Deflate::kStored ? 0 : 9, Z_DEFLATED, 15, 9,
                     kind == Deflate::kFixed ? Z_FIXED : Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())) + 1024);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
}

Bytes WritePng(const PngSpec& spec, const std::vector<unsigned>& samples) {
    const int channels = ChannelsOf(spec.colourType);
    struct Pass {
        std::uint32_t x0, y0, dx, dy;
    };
    const std::vector<Pass> passes = spec.interlace
        ? std::vector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
        : std::vector<Pass>{{0, 0, 1, 1}};
    Bytes raw;
    int filter = 0;
    for (const Pass& p : passes) {
        Bytes prior;
        for (std::uint32_t y = p.y0; y < spec.height && p.x0 < spec.width; y += p.dy) {
            std::vector<unsigned> rowSamples;
            for (std::uint32_t x = p.x0; x < spec.width; x += p.dx)
                for (int c = 0; c < channels; ++c) rowSamples.push_back(samples[(y * spec.width + x) * channels + c]);
            const Bytes row = PackRow(rowSamples, spec.bitDepth);
            const Bytes filtered = FilterRow(filter++ % 5, row, prior, std::max(1, channels * spec.bitDepth / 8));
            raw.insert(raw.end(), filtered.begin(), filtered.end());
            prior = row;
        }
    }
    Bytes header;
    PutBe32(header, spec.width);
    PutBe32(header, spec.height);
    header.insert(header.end(), {static_cast<std::uint8_t>(spec.bitDepth), static_cast<std::uint8_t>(spec.colourType),
                                 0, 0, static_cast<std::uint8_t>(spec.interlace)});
    Bytes png{137, 80, 78, 71, 13, 10, 26, 10};
    auto append = [&png](const Bytes& b) { png.insert(png.end(), b.begin(), b.end()); };
    append(Chunk("IHDR", header));
    append(Chunk("tEXt", {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x'}));
    if (!spec.palette.empty()) append(Chunk("PLTE", spec.palette));
    if (!spec.transparency.empty()) append(Chunk("tRNS", spec.transparency));
    const Bytes compressed = ZlibCompress(raw, spec.deflate);
    const std::size_t piece = compressed.size() / spec.idatPieces + 1;
    for (std::size_t pos = 0; pos < compressed.size(); pos += piece)
        append(Chunk("IDAT", Bytes(compressed.begin() + pos, compressed.begin() + std::min(pos + piece, compressed.size()))));
    append(Chunk("IEND", {}));
    return png;
}

}  // namespace tarvo::testing
