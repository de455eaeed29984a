#pragma once
// cPNGparser: the PNG reader.
// The PNG reader behind c32bppDIB. Win32-free: it turns PNG bytes into the
// image object's pixel model (premultiplied BGRA, rows bottom-up).
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tarvo {

// Entry points of a zlib library when one is available; either may be null.
struct ZlibApi {
    using UncompressFn = int (*)(unsigned char* dest, unsigned long* destLen, const unsigned char* source,
                                 unsigned long sourceLen);
    using Crc32Fn = unsigned long (*)(unsigned long crc, const unsigned char* buf, unsigned int len);
    UncompressFn uncompress = nullptr;
    Crc32Fn crc32 = nullptr;
};

// Values of c32bppDIB::Alpha.
enum ImageAlpha : int { kAlphaNone = 0, kAlphaSimple = 1, kAlphaFull = 2 };

struct DecodedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int alpha = kAlphaNone;
    std::vector<std::uint8_t> pixels;  // width * 4 bytes per row, bottom row first
};

class cPNGparser {
public:
    // Larger pictures are refused so that a forged header cannot demand gigabytes.
    static constexpr std::uint64_t kMaxPixels = 1u << 24;

    explicit cPNGparser(ZlibApi zlib = {}) : zlib_(zlib) {}

    static bool HasSignature(std::span<const std::uint8_t> data);
    // Empty on any fault: no signature, bad header, chunk overrun, IDAT CRC
    // mismatch (checked only with zlib), or image data that does not inflate.
    std::optional<DecodedImage> Decode(std::span<const std::uint8_t> data) const;

private:
    ZlibApi zlib_;
};

}  // namespace tarvo
