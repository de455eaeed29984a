// Feeds arbitrary bytes to the PNG reader with the built-in inflate and with
// zlib's, and to the raw inflate on its own.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/inflate.h"
#include "graphics/png_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    if (auto image = tarvo::cPNGparser().Decode(bytes)) {
        volatile std::uint8_t sink = image->pixels.empty() ? 0 : image->pixels.back();
        (void)sink;
    }
    // CRCs are left unchecked: the fuzzer could rarely forge them.
    tarvo::cPNGparser({::uncompress, nullptr}).Decode(bytes);
    std::vector<std::uint8_t> out;
    tarvo::InflateRaw(bytes, 1 << 20, out);
    return 0;
}
