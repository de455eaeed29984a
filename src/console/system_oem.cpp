#include "console/system_oem.h"

#include <windows.h>

namespace tarvo {

namespace {

OemTable BuildTable() {
    OemTable table{};
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        wchar_t unit = 0;
        if (::MultiByteToWideChar(CP_OEMCP, 0, &byte, 1, &unit, 1) != 1) unit = L'?';
        table[static_cast<std::size_t>(b)] = unit;
    }
    return table;
}

std::wstring DecodeWhole(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    std::wstring text(bytes.size(), L'\0');
    const int length = ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, text.data(), size);
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

}  // namespace

const OemTable& SystemOemTable() {
    static const OemTable table = BuildTable();
    return table;
}

OemDecoding SystemOemDecoding() {
    CPINFO info{};
    if (::GetCPInfo(CP_OEMCP, &info) && info.MaxCharSize > 1) return DecodeWhole;
    return DecodeThroughTable(SystemOemTable());
}

}  // namespace tarvo
