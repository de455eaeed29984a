#include "console/output_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tarvo {
namespace {

// UTF-16 units, whatever the width of wchar_t.
std::wstring Units(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

// An OEM code page of its own: ASCII, then U+2500 + (byte - 0x80) for the bytes 0x80 to 0xFF.
OutputDecoder Oem() {
    OemTable table{};
    for (std::size_t b = 0; b < 256; ++b) table[b] = static_cast<wchar_t>(b < 128 ? b : 0x2500 + b - 128);
    return OutputDecoder(DecodeThroughTable(table));
}

TEST(OutputDecoder, OemBytesMapThroughTheTableAndUtf8IsDecodedWholeWhereverTheChunksSplitIt) {
    std::string all;
    std::wstring expected;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b)), expected.push_back(b < 128 ? b : 0x2480 + b);
    EXPECT_EQ(Oem().Decode(all), expected);
    for (int b = 0; b < 256; ++b) {  // alone, a lead byte waits for the end of the stream
        OutputDecoder decoder = Oem();
        const std::wstring text = decoder.Decode(all.substr(b, 1));
        EXPECT_EQ(text + decoder.Flush(), expected.substr(b, 1)) << b;
    }
    const std::u8string_view encoded = u8"Привет 你好 😀𝄞\r\n";
    const std::string bytes(encoded.begin(), encoded.end());
    for (std::size_t split = 0; split <= bytes.size(); ++split) {
        OutputDecoder decoder = Oem();
        std::wstring text = decoder.Decode(bytes.substr(0, split));
        text += decoder.Decode(bytes.substr(split));
        EXPECT_EQ(text, Units(u"Привет 你好 😀𝄞\r\n")) << split;
        EXPECT_EQ(decoder.Flush(), L"");
    }
    // Each stream holds its own cut-off bytes.
    OutputDecoder out = Oem(), err = Oem();
    EXPECT_EQ(out.Decode("\xD0"), L"");
    EXPECT_EQ(err.Decode("\x9F"), Units(u"\u251F"));
    EXPECT_EQ(out.Decode("\x9F"), Units(u"П"));
}

TEST(OutputDecoder, InvalidUtf8IsReadAsOem) {
    const struct {
        const char* bytes;
        std::u16string_view text;
    } cases[] = {
        {"\xD0\x9F\xFF", u"\u2550\u251F\u257F"},  // a valid sequence does not save the chunk
        {"\xC0\xAF", u"\u2540\u252F"},            // overlong
        {"\xED\xA0\x80", u"\u256D\u2520\u2500"},  // a surrogate
        {"\xF4\x90\x80\x80", u"\u2574\u2510\u2500\u2500"},  // past U+10FFFF
        {"\x80x", u"\u2500x"},
    };
    for (const auto& c : cases) EXPECT_EQ(Oem().Decode(c.bytes), Units(c.text)) << c.bytes;
    // A lead byte at the end waits; what follows decides.
    OutputDecoder decoder = Oem();
    EXPECT_EQ(decoder.Decode("caf\xE9"), L"caf");
    EXPECT_EQ(decoder.Decode(" ok"), Units(u"\u2569 ok"));
    EXPECT_EQ(decoder.Decode("\xE2\x94"), L"");
    EXPECT_EQ(decoder.Flush(), Units(u"\u2562\u2514"));
}

}  // namespace
}  // namespace tarvo
