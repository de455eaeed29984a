#include "graphics/inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "png_writer.h"

namespace tarvo {
namespace {

using testing::Bytes;
using testing::Deflate;

// Text-like data with long repeats and stretches of noise, so every code kind appears.
Bytes SampleData(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    const std::string words[] = {"alpha ", "bravo ", "charlie ", "delta ", "echo\r\n"};
    Bytes data;
    while (data.size() < size) {
        const std::string& w = words[random() % 5];
        for (int i = 0; random() % 8 == 0 && i < 50; ++i) data.push_back(static_cast<std::uint8_t>(random()));
        data.insert(data.end(), w.begin(), w.end());
    }
    data.resize(size);
    return data;
}

TEST(Inflate, AgreesWithZlibOnEveryBlockKindAndFarCopies) {
    for (Deflate kind : {Deflate::kStored, Deflate::kFixed, Deflate::kDynamic})
        for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{1000}, std::size_t{70000}}) {
            const Bytes data = SampleData(size, static_cast<unsigned>(size));
            const Bytes stream = testing::ZlibCompress(data, kind);
            // zlib picks fixed codes for short input even when dynamic ones are allowed.
            if (size > 0 && (kind != Deflate::kDynamic || size > 50000)) {
                EXPECT_EQ((stream[2] >> 1) & 3, static_cast<int>(kind)) << size;
            }
            Bytes ours;
            ASSERT_TRUE(InflateZlibStream(stream, data.size(), ours)) << static_cast<int>(kind) << " " << size;
            EXPECT_EQ(ours, data);
        }
    Bytes data(40000, 'x');  // a match 32000 bytes back, and long overlapping runs
    for (std::size_t i = 0; i < 300; ++i) data[i] = data[32000 + i] = static_cast<std::uint8_t>(i * 31);
    Bytes out;
    ASSERT_TRUE(InflateZlibStream(testing::ZlibCompress(data, Deflate::kDynamic), data.size(), out));
    EXPECT_EQ(out, data);
}

// A fixed-code block: literal 'a', a copy of length 3 at distance code 0 (1 back) or 1 (2 back), end.
Bytes FixedBlockWithCopy(unsigned distanceCode) {
    Bytes out;
    int bitCount = 0;
    auto put = [&](unsigned value, int count, bool huffman) {
        for (int i = 0; i < count; ++i, ++bitCount) {
            if (bitCount % 8 == 0) out.push_back(0);
            out.back() |= static_cast<std::uint8_t>(((huffman ? value >> (count - 1 - i) : value >> i) & 1) << (bitCount % 8));
        }
    };
    put(3, 3, false);  // last block, fixed codes
    put(0x30 + 'a', 8, true);
    put(1, 7, true);  // length symbol 257: length 3
    put(distanceCode, 5, true);
    put(0, 7, true);  // end of block
    return out;
}

TEST(Inflate, RejectsDamagedStreamsAndCopiesBeforeTheFirstByte) {
    const Bytes data = SampleData(5000, 3);
    const Bytes stream = testing::ZlibCompress(data, Deflate::kDynamic);
    Bytes out, badChecksum = stream, badHeader = stream;
    badChecksum.back() ^= 0x40;
    badHeader[0] = 0x79;  // compression method 9
    EXPECT_FALSE(InflateZlibStream(badChecksum, data.size(), out));
    EXPECT_FALSE(InflateZlibStream(badHeader, data.size(), out));
    for (std::size_t cut : {std::size_t{2}, std::size_t{10}, stream.size() / 2, stream.size() - 1})
        EXPECT_FALSE(InflateZlibStream(Bytes(stream.begin(), stream.begin() + cut), data.size(), out)) << cut;
    EXPECT_TRUE(InflateZlibStream(stream, data.size(), out));
    EXPECT_FALSE(InflateZlibStream(stream, data.size() - 1, out)) << "output limit";
    EXPECT_FALSE(InflateZlibStream(Bytes{0x78, 0x9C, 0x07, 0, 0, 0, 0, 0}, 100, out)) << "block type 3";
    EXPECT_FALSE(InflateRaw(Bytes{0x01, 0x05, 0x00, 0x00, 0x00, 'a', 'b', 'c', 'd', 'e'}, 100, out)) << "NLEN is not ~LEN";
    EXPECT_TRUE(InflateRaw(Bytes{0x01, 0x05, 0x00, 0xFA, 0xFF, 'a', 'b', 'c', 'd', 'e'}, 100, out));
    EXPECT_EQ(std::string(out.begin(), out.end()), "abcde");
    ASSERT_TRUE(InflateRaw(FixedBlockWithCopy(0), 100, out));
    EXPECT_EQ(std::string(out.begin(), out.end()), "aaaa");
    EXPECT_FALSE(InflateRaw(FixedBlockWithCopy(1), 100, out));
}

}  // namespace
}  // namespace tarvo
