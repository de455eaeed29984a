#pragma once
// OutputDecoder: bytes of one output stream to text.
// Turns the bytes a child writes to one stream into UTF-16 text. Console
// programs write the OEM code page, yet many write UTF-8: where the bytes are
// valid UTF-8 and hold at least one multi-byte sequence they are read as UTF-8,
// and a sequence cut off at the end of a chunk waits for the next chunk.
// Everything else is read as OEM, byte for character.
#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace tarvo {

// The UTF-16 unit of each OEM byte.
using OemTable = std::array<wchar_t, 256>;
// Reads a whole chunk as OEM text; for code pages where a table cannot say it.
using OemDecoding = std::function<std::wstring(std::string_view bytes)>;

OemDecoding DecodeThroughTable(const OemTable& table);

// One per stream: the bytes held back belong to that stream alone.
class OutputDecoder {
public:
    explicit OutputDecoder(OemDecoding oem);

    std::wstring Decode(std::string_view chunk);
    // At the end of the stream: what was held back, read as OEM.
    std::wstring Flush();

private:
    OemDecoding oem_;
    std::string held_;
};

// How the bytes read as UTF-8: `complete` bytes decode whole, the rest (at
// most three) start a sequence that the next bytes may finish.
struct Utf8Scan {
    bool valid = false;
    bool multiByte = false;
    std::size_t complete = 0;
};
Utf8Scan ScanUtf8(std::string_view bytes);
// `bytes` must be valid, complete UTF-8.
std::wstring DecodeUtf8(std::string_view bytes);

}  // namespace tarvo
