#include "console/output_decoder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace tarvo {
namespace {

// UTF-16 units, whatever the width of wchar_t.
std::wstring Units(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::string Bytes(std::u8string_view text) { return std::string(text.begin(), text.end()); }

// Code page 437: ASCII, then these 128 characters for the bytes 0x80 to 0xFF.
constexpr std::u16string_view kCp437High =
    u"ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»"
    u"░▒▓│┤╡╢╖╕╣║╗╝╜╛┐└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀"
    u"αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0";

OemTable Cp437() {
    OemTable table{};
    for (std::size_t b = 0; b < 128; ++b) table[b] = static_cast<wchar_t>(b);
    for (std::size_t b = 128; b < 256; ++b) table[b] = static_cast<wchar_t>(kCp437High[b - 128]);
    return table;
}

OutputDecoder Cp437Decoder() { return OutputDecoder(DecodeThroughTable(Cp437())); }

// The chunks in order, then the end of the stream.
std::wstring DecodeStream(std::initializer_list<std::string_view> chunks) {
    OutputDecoder decoder = Cp437Decoder();
    std::wstring text;
    for (std::string_view chunk : chunks) text += decoder.Decode(chunk);
    return text + decoder.Flush();
}

TEST(OutputDecoder, OemBytesMapAsTheCodePageSaysBoxDrawingKept) {
    ASSERT_EQ(kCp437High.size(), 128u);
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::wstring expected = [] {
        std::wstring text;
        for (wchar_t c : Cp437()) text.push_back(c);
        return text;
    }();
    EXPECT_EQ(Cp437Decoder().Decode(all), expected);
    for (int b = 0; b < 256; ++b) {  // alone, a lead byte waits for the end of the stream
        EXPECT_EQ(DecodeStream({std::string(1, static_cast<char>(b))}), expected.substr(b, 1)) << b;
    }
    EXPECT_EQ(Cp437Decoder().Decode("\xC9\xCD\xBB\r\n\xBA\xDB\xBA\r\n\xC8\xCD\xBC"), Units(u"╔═╗\r\n║█║\r\n╚═╝"));
}

TEST(OutputDecoder, Utf8IsDecodedWholeWhereverTheChunksSplitIt) {
    const std::u16string_view texts[] = {u"Привет, мир!\r\n", u"Καλημέρα κόσμε", u"你好，世界。", u"ok 😀👍 done 𝄞"};
    const std::u8string_view encoded[] = {u8"Привет, мир!\r\n", u8"Καλημέρα κόσμε", u8"你好，世界。",
                                          u8"ok 😀👍 done 𝄞"};
    for (std::size_t t = 0; t < std::size(texts); ++t) {
        const std::string bytes = Bytes(encoded[t]);
        for (std::size_t split = 0; split <= bytes.size(); ++split) {
            OutputDecoder decoder = Cp437Decoder();
            std::wstring text = decoder.Decode(bytes.substr(0, split));
            text += decoder.Decode(bytes.substr(split));
            EXPECT_EQ(text, Units(texts[t])) << "text " << t << " split at " << split;
            EXPECT_EQ(decoder.Flush(), L"");
        }
    }
    // Each stream holds its own cut-off bytes.
    OutputDecoder out = Cp437Decoder(), err = Cp437Decoder();
    EXPECT_EQ(out.Decode("\xD0"), L"");
    EXPECT_EQ(err.Decode("\x9F"), Units(u"ƒ"));
    EXPECT_EQ(out.Decode("\x9F"), Units(u"П"));
}

TEST(OutputDecoder, InvalidUtf8IsReadAsOem) {
    const struct {
        const char* bytes;
        std::u16string_view text;
    } cases[] = {
        {"\xD0\x9F\xFF", u"╨ƒ\u00A0"},  // a valid sequence does not save the chunk
        {"\xC0\xAF", u"└»"},             // overlong
        {"\xED\xA0\x80", u"φáÇ"},        // a surrogate
        {"\xF4\x90\x80\x80", u"⌠ÉÇÇ"},   // past U+10FFFF
        {"\x80x", u"Çx"},
    };
    for (const auto& c : cases) EXPECT_EQ(Cp437Decoder().Decode(c.bytes), Units(c.text)) << c.bytes;

    // A lead byte at the end waits; what follows decides.
    OutputDecoder decoder = Cp437Decoder();
    EXPECT_EQ(decoder.Decode("caf\xE9"), L"caf");
    EXPECT_EQ(decoder.Decode(" ok"), Units(u"Θ ok"));
    EXPECT_EQ(decoder.Decode("\xE2\x94"), L"");
    EXPECT_EQ(decoder.Flush(), Units(u"Γö"));
}

}  // namespace
}  // namespace tarvo
