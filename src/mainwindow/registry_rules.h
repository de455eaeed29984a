#pragma once
// The Win32-free rules of the registry module: byte order of big-endian
// values, the choice between plain and expandable text, the stored byte
// count of a text, the text of a stored size, and the type-mismatch text.
#include <cstdint>
#include <string>
#include <vector>

namespace tarvo {

constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegDwordBigEndian = 5;
constexpr std::uint32_t kRegMultiSz = 7;

// The four bytes in reverse order; the top bit of the lowest byte becomes the sign bit.
std::int32_t SwapDwordBytes(std::int32_t value);

// REG_EXPAND_SZ when two percent signs have at least one character between them, else REG_SZ.
std::uint32_t TextValueType(const std::wstring& text);

// 2 × length + 1: the data ends with the low byte of the terminating zero unit.
std::uint32_t TextByteCount(const std::wstring& text);

// The text of a read: an odd byte size loses its last byte; nothing is trimmed or expanded.
std::wstring TextFromStoredUnits(const std::vector<wchar_t>& buffer, std::uint32_t byteSize);

// "Registry data type was 1instead of the requested 4".
std::wstring TypeMismatchText(std::uint32_t storedType, std::uint32_t requestedType);

}  // namespace tarvo
