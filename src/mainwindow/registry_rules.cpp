#include "mainwindow/registry_rules.h"

#include <algorithm>

namespace tarvo {

std::int32_t SwapDwordBytes(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const std::uint32_t swapped =
        ((u & 0xFFu) << 24) | ((u & 0xFF00u) << 8) | ((u >> 8) & 0xFF00u) | ((u >> 24) & 0xFFu);
    // Two's complement reinterpretation without relying on an out-of-range conversion.
    if (swapped & 0x80000000u) return -static_cast<std::int32_t>(~swapped) - 1;
    return static_cast<std::int32_t>(swapped);
}

std::uint32_t TextValueType(const std::wstring& text) {
    const size_t first = text.find(L'%');
    if (first == std::wstring::npos) return kRegSz;
    return text.find(L'%', first + 2) != std::wstring::npos ? kRegExpandSz : kRegSz;
}

std::uint32_t TextByteCount(const std::wstring& text) { return static_cast<std::uint32_t>(2 * text.size() + 1); }

std::wstring TextFromStoredUnits(const std::vector<wchar_t>& buffer, std::uint32_t byteSize) {
    if (byteSize % 2 != 0) --byteSize;
    const size_t units = std::min<size_t>(byteSize / 2, buffer.size());
    return std::wstring(buffer.data(), units);
}

std::wstring TypeMismatchText(std::uint32_t storedType, std::uint32_t requestedType) {
    return L"Registry data type was " + std::to_wstring(storedType) + L"instead of the requested " +
           std::to_wstring(requestedType);
}

}  // namespace tarvo
