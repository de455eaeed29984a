#include "graphics/inflate.h"

#include <algorithm>
#include <array>

namespace tarvo {
namespace {

constexpr int kMaxBits = 15;
constexpr int kMaxLitLen = 288;
constexpr int kMaxDist = 30;

class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> in) : in_(in) {}

    // Returns false once the input is exhausted; the value is then meaningless.
    bool Bits(int count, unsigned& value) {
        while (bitCount_ < count) {
            if (pos_ >= in_.size()) return false;
            bitBuffer_ |= static_cast<std::uint32_t>(in_[pos_++]) << bitCount_;
            bitCount_ += 8;
        }
        value = bitBuffer_ & ((1u << count) - 1);
        bitBuffer_ >>= count;
        bitCount_ -= count;
        return true;
    }
    void AlignToByte() {
        bitBuffer_ = 0;
        bitCount_ = 0;
    }
    std::size_t Position() const { return pos_; }
    std::span<const std::uint8_t> Rest() const { return in_.subspan(pos_); }
    void Skip(std::size_t n) { pos_ += n; }

private:
    std::span<const std::uint8_t> in_;
    std::size_t pos_ = 0;
    std::uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;
};

// Canonical Huffman code as counts per length and symbols sorted by code.
struct Huffman {
    std::array<std::uint16_t, kMaxBits + 1> count{};
    std::array<std::uint16_t, kMaxLitLen> symbol{};

    // Incomplete codes are allowed only for a single code (RFC 1951 distance special case).
    bool Build(const std::uint8_t* lengths, int n) {
        count.fill(0);
        for (int s = 0; s < n; ++s) ++count[lengths[s]];
        if (count[0] == n) return true;  // no codes: any use fails in Decode
        int left = 1;
        for (int len = 1; len <= kMaxBits; ++len) {
            left <<= 1;
            left -= count[len];
            if (left < 0) return false;  // over-subscribed
        }
        std::array<std::uint16_t, kMaxBits + 1> offs{};
        for (int len = 1; len < kMaxBits; ++len) offs[len + 1] = offs[len] + count[len];
        for (int s = 0; s < n; ++s)
            if (lengths[s] != 0) symbol[offs[lengths[s]]++] = static_cast<std::uint16_t>(s);
        return left == 0 || n - count[0] == 1;
    }

    int Decode(BitReader& bits) const {
        int code = 0, first = 0, index = 0;
        for (int len = 1; len <= kMaxBits; ++len) {
            unsigned bit;
            if (!bits.Bits(1, bit)) return -1;
            code |= static_cast<int>(bit);
            const int c = count[len];
            if (code - c < first) return symbol[index + (code - first)];
            index += c;
            first += c;
            first <<= 1;
            code <<= 1;
        }
        return -1;
    }
};

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistBase = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                                     33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                                     1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                     6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class Inflater {
public:
    Inflater(std::span<const std::uint8_t> in, std::size_t maxOutput, std::vector<std::uint8_t>& out)
        : bits_(in), maxOutput_(maxOutput), out_(out) {}

    bool Run() {
        unsigned last = 0;
        do {
            unsigned type;
            if (!bits_.Bits(1, last) || !bits_.Bits(2, type)) return false;
            bool ok = false;
            if (type == 0) ok = Stored();
            else if (type == 1) ok = Fixed();
            else if (type == 2) ok = Dynamic();
            if (!ok) return false;
        } while (!last);
        return true;
    }
    std::size_t Consumed() const { return bits_.Position(); }

private:
    bool Stored() {
        bits_.AlignToByte();
        const auto rest = bits_.Rest();
        if (rest.size() < 4) return false;
        const unsigned len = rest[0] | (rest[1] << 8);
        const unsigned nlen = rest[2] | (rest[3] << 8);
        if (len != (~nlen & 0xFFFFu)) return false;
        if (rest.size() - 4 < len || out_.size() + len > maxOutput_) return false;
        out_.insert(out_.end(), rest.begin() + 4, rest.begin() + 4 + len);
        bits_.Skip(4 + len);
        return true;
    }

    bool Fixed() {
        static const Huffman lit = [] {
            std::array<std::uint8_t, kMaxLitLen> lengths{};
            int s = 0;
            for (; s < 144; ++s) lengths[s] = 8;
            for (; s < 256; ++s) lengths[s] = 9;
            for (; s < 280; ++s) lengths[s] = 7;
            for (; s < kMaxLitLen; ++s) lengths[s] = 8;
            Huffman h;
            h.Build(lengths.data(), kMaxLitLen);
            return h;
        }();
        // 30 five-bit codes out of 32: incomplete, so Build's verdict is ignored here.
        static const Huffman dist = [] {
            std::array<std::uint8_t, kMaxDist> lengths;
            lengths.fill(5);
            Huffman h;
            h.Build(lengths.data(), kMaxDist);
            return h;
        }();
        return Codes(lit, dist);
    }

    bool Dynamic() {
        unsigned nlen, ndist, ncode;
        if (!bits_.Bits(5, nlen) || !bits_.Bits(5, ndist) || !bits_.Bits(4, ncode)) return false;
        nlen += 257;
        ndist += 1;
        ncode += 4;
        if (nlen > 286 || ndist > 30) return false;
        static constexpr std::array<std::uint8_t, 19> kOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                11, 4,  12, 3, 13, 2, 14, 1, 15};
        std::array<std::uint8_t, kMaxLitLen + kMaxDist> lengths{};
        for (unsigned i = 0; i < ncode; ++i) {
            unsigned v;
            if (!bits_.Bits(3, v)) return false;
            lengths[kOrder[i]] = static_cast<std::uint8_t>(v);
        }
        Huffman lencode;
        if (!lencode.Build(lengths.data(), 19)) return false;
        lengths.fill(0);
        unsigned index = 0;
        while (index < nlen + ndist) {
            int sym = lencode.Decode(bits_);
            if (sym < 0) return false;
            if (sym < 16) {
                lengths[index++] = static_cast<std::uint8_t>(sym);
                continue;
            }
            std::uint8_t value = 0;
            unsigned repeat;
            if (sym == 16) {
                if (index == 0 || !bits_.Bits(2, repeat)) return false;
                value = lengths[index - 1];
                repeat += 3;
            } else if (sym == 17) {
                if (!bits_.Bits(3, repeat)) return false;
                repeat += 3;
            } else {
                if (!bits_.Bits(7, repeat)) return false;
                repeat += 11;
            }
            if (index + repeat > nlen + ndist) return false;
            while (repeat--) lengths[index++] = value;
        }
        if (lengths[256] == 0) return false;  // no end-of-block code
        Huffman lit, dist;
        if (!lit.Build(lengths.data(), static_cast<int>(nlen))) return false;
        if (!dist.Build(lengths.data() + nlen, static_cast<int>(ndist))) return false;
        return Codes(lit, dist);
    }

    bool Codes(const Huffman& lit, const Huffman& dist) {
        for (;;) {
            int sym = lit.Decode(bits_);
            if (sym < 0) return false;
            if (sym < 256) {
                if (out_.size() >= maxOutput_) return false;
                out_.push_back(static_cast<std::uint8_t>(sym));
                continue;
            }
            if (sym == 256) return true;
            sym -= 257;
            if (sym >= 29) return false;
            unsigned extra;
            if (!bits_.Bits(kLengthExtra[sym], extra)) return false;
            const std::size_t length = kLengthBase[sym] + extra;
            const int dsym = dist.Decode(bits_);
            if (dsym < 0 || dsym >= 30) return false;
            if (!bits_.Bits(kDistExtra[dsym], extra)) return false;
            const std::size_t distance = kDistBase[dsym] + extra;
            if (distance > out_.size() || out_.size() + length > maxOutput_) return false;
            const std::size_t from = out_.size() - distance;
            for (std::size_t i = 0; i < length; ++i) out_.push_back(out_[from + i]);
        }
    }

    BitReader bits_;
    std::size_t maxOutput_;
    std::vector<std::uint8_t>& out_;
};

}  // namespace

std::uint32_t Adler32(std::span<const std::uint8_t> data) {
    std::uint32_t a = 1, b = 0;
    std::size_t i = 0;
    while (i < data.size()) {
        // 5552 bytes is the longest run before the sums can overflow 32 bits.
        const std::size_t end = std::min(data.size(), i + 5552);
        for (; i < end; ++i) {
            a += data[i];
            b += a;
        }
        a %= 65521;
        b %= 65521;
    }
    return (b << 16) | a;
}

bool InflateRaw(std::span<const std::uint8_t> input, std::size_t maxOutput, std::vector<std::uint8_t>& output,
                std::size_t* consumed) {
    output.clear();
    Inflater inflater(input, maxOutput, output);
    const bool ok = inflater.Run();
    if (consumed) *consumed = inflater.Consumed();
    return ok;
}

bool InflateZlibStream(std::span<const std::uint8_t> input, std::size_t maxOutput, std::vector<std::uint8_t>& output) {
    output.clear();
    if (input.size() < 6) return false;
    const unsigned cmf = input[0], flg = input[1];
    if ((cmf & 0x0F) != 8 || (cmf >> 4) > 7 || ((cmf << 8) | flg) % 31 != 0 || (flg & 0x20) != 0) return false;
    std::size_t consumed = 0;
    if (!InflateRaw(input.subspan(2), maxOutput, output, &consumed)) return false;
    const std::size_t trailer = 2 + consumed;
    if (input.size() - trailer < 4) return false;
    const std::uint32_t stored = (static_cast<std::uint32_t>(input[trailer]) << 24) | (input[trailer + 1] << 16) |
                                 (input[trailer + 2] << 8) | input[trailer + 3];
    return stored == Adler32(output);
}

}  // namespace tarvo
