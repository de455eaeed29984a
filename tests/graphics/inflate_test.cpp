#include "graphics/inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "png_writer.h"

namespace tarvo {
namespace {

using testing::Bytes;
using testing::Deflate;

// Text-like data with long repeats and a stretch of noise, so every code kind appears.
Bytes SampleData(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes data;
    const std::string words[] = {"alpha ", "bravo ", "charlie ", "delta ", "echo\r\n"};
    while (data.size() < size) {
        if (random() % 8 == 0) {
            for (int i = 0; i < 50; ++i) data.push_back(static_cast<std::uint8_t>(random()));
        } else {
            const std::string& w = words[random() % 5];
            data.insert(data.end(), w.begin(), w.end());
        }
    }
    data.resize(size);
    return data;
}

int FirstBlockType(const Bytes& stream) { return (stream[2] >> 1) & 3; }

TEST(Inflate, AgreesWithZlibOnEveryBlockKind) {
    for (Deflate kind : {Deflate::kStored, Deflate::kFixed, Deflate::kDynamic})
        for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{1000}, std::size_t{70000}}) {
            const Bytes data = SampleData(size, static_cast<unsigned>(size));
            const Bytes stream = testing::ZlibCompress(data, kind);
            // zlib picks fixed codes for short input even when dynamic ones are allowed.
            if (size > 0 && (kind != Deflate::kDynamic || size > 50000)) {
                EXPECT_EQ(FirstBlockType(stream), static_cast<int>(kind)) << size;
            }
            Bytes ours;
            ASSERT_TRUE(InflateZlibStream(stream, data.size(), ours)) << static_cast<int>(kind) << " " << size;
            Bytes theirs(data.size() + 1);
            uLongf theirLength = static_cast<uLongf>(theirs.size());
            ASSERT_EQ(uncompress(theirs.data(), &theirLength, stream.data(), static_cast<uLong>(stream.size())), Z_OK);
            theirs.resize(theirLength);
            EXPECT_EQ(ours, theirs);
        }
    // A match 32000 bytes back, and long overlapping runs.
    Bytes data(40000, 'x');
    for (std::size_t i = 0; i < 300; ++i) data[i] = static_cast<std::uint8_t>(i * 31);
    std::copy(data.begin(), data.begin() + 300, data.begin() + 32000);
    Bytes out;
    ASSERT_TRUE(InflateZlibStream(testing::ZlibCompress(data, Deflate::kDynamic), data.size(), out));
    EXPECT_EQ(out, data);
}

TEST(Inflate, RejectsDamagedStreams) {
    const Bytes data = SampleData(5000, 3);
    const Bytes stream = testing::ZlibCompress(data, Deflate::kDynamic);
    Bytes out;
    Bytes badChecksum = stream;
    badChecksum.back() ^= 0x40;
    EXPECT_FALSE(InflateZlibStream(badChecksum, data.size(), out));
    Bytes badHeader = stream;
    badHeader[0] = 0x79;  // compression method 9
    EXPECT_FALSE(InflateZlibStream(badHeader, data.size(), out));
    for (std::size_t cut : {std::size_t{2}, std::size_t{10}, stream.size() / 2, stream.size() - 1})
        EXPECT_FALSE(InflateZlibStream(Bytes(stream.begin(), stream.begin() + cut), data.size(), out)) << cut;
    EXPECT_FALSE(InflateZlibStream(stream, data.size() - 1, out)) << "output limit";
    EXPECT_FALSE(InflateZlibStream(Bytes{0x78, 0x9C, 0x07, 0, 0, 0, 0, 0}, 100, out)) << "block type 3";
    EXPECT_FALSE(InflateRaw(Bytes{0x01, 0x05, 0x00, 0x00, 0x00, 'a', 'b', 'c', 'd', 'e'}, 100, out)) << "NLEN is not ~LEN";
}

// A fixed-code block: literal 'a', a copy of length 3 at the given distance (1 or 2), end of block.
Bytes FixedBlockWithCopy(unsigned distanceCode) {
    Bytes out;
    int bitCount = 0;
    auto put = [&](unsigned value, int count, bool huffman) {
        for (int i = 0; i < count; ++i) {
            const unsigned bit = huffman ? (value >> (count - 1 - i)) & 1 : (value >> i) & 1;
            if (bitCount % 8 == 0) out.push_back(0);
            out.back() |= static_cast<std::uint8_t>(bit << (bitCount % 8));
            ++bitCount;
        }
    };
    put(1, 1, false);        // last block
    put(1, 2, false);        // fixed codes
    put(0x30 + 'a', 8, true);
    put(1, 7, true);         // length symbol 257: length 3
    put(distanceCode, 5, true);
    put(0, 7, true);         // end of block
    return out;
}

TEST(Inflate, CopiesMayNotReachBeforeTheFirstByte) {
    Bytes out;
    ASSERT_TRUE(InflateRaw(FixedBlockWithCopy(0), 100, out));
    EXPECT_EQ(std::string(out.begin(), out.end()), "aaaa");
    EXPECT_FALSE(InflateRaw(FixedBlockWithCopy(1), 100, out));
}

}  // namespace
}  // namespace tarvo
