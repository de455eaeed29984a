#include "console/output_decoder.h"

#include <utility>

namespace tarvo {

namespace {

struct LeadByte {
    std::size_t length = 0;  // 0: no lead byte
    unsigned char secondLow = 0x80, secondHigh = 0xBF;
};

// The well-formed sequences: no overlong forms, no surrogates, nothing past U+10FFFF.
LeadByte ReadLead(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF) return {2};
    if (b == 0xE0) return {3, 0xA0, 0xBF};
    if (b == 0xED) return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF) return {3};
    if (b == 0xF0) return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3) return {4};
    if (b == 0xF4) return {4, 0x80, 0x8F};
    return {};
}

bool InRange(unsigned char b, unsigned char low, unsigned char high) { return b >= low && b <= high; }

void AppendCodePoint(std::wstring& text, char32_t c) {
    if (c < 0x10000) {
        text.push_back(static_cast<wchar_t>(c));
        return;
    }
    c -= 0x10000;
    text.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
    text.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
}

}  // namespace

Utf8Scan ScanUtf8(std::string_view bytes) {
    Utf8Scan scan;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        const LeadByte lead = ReadLead(b);
        if (lead.length == 0) return scan;
        for (std::size_t k = 1; k < lead.length; ++k) {
            if (i + k == bytes.size()) {  // cut off by the end of the bytes
                scan.valid = true;
                scan.complete = i;
                return scan;
            }
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            const bool fits = k == 1 ? InRange(next, lead.secondLow, lead.secondHigh) : InRange(next, 0x80, 0xBF);
            if (!fits) return scan;
        }
        scan.multiByte = true;
        i += lead.length;
    }
    scan.valid = true;
    scan.complete = bytes.size();
    return scan;
}

std::wstring DecodeUtf8(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = b < 0x80 ? 1 : ReadLead(b).length;
        char32_t c = length == 1 ? b : b & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        AppendCodePoint(text, c);
        i += length;
    }
    return text;
}

OemDecoding DecodeThroughTable(const OemTable& table) {
    return [table](std::string_view bytes) {
        std::wstring text;
        text.reserve(bytes.size());
        for (const char b : bytes) text.push_back(table[static_cast<unsigned char>(b)]);
        return text;
    };
}

OutputDecoder::OutputDecoder(OemDecoding oem) : oem_(std::move(oem)) {}

std::wstring OutputDecoder::Decode(std::string_view chunk) {
    std::string joined;
    std::string_view bytes = chunk;
    if (!held_.empty()) {
        joined = std::exchange(held_, std::string());
        joined.append(chunk);
        bytes = joined;
    }
    const Utf8Scan scan = ScanUtf8(bytes);
    if (!scan.valid) return oem_(bytes);
    // Even without a multi-byte sequence so far, a cut-off one waits: it may be the first.
    held_.assign(bytes.substr(scan.complete));
    const std::string_view whole = bytes.substr(0, scan.complete);
    return scan.multiByte ? DecodeUtf8(whole) : oem_(whole);
}

std::wstring OutputDecoder::Flush() {
    if (held_.empty()) return {};
    return oem_(std::exchange(held_, std::string()));
}

}  // namespace tarvo
