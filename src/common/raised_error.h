#pragma once
// RaisedError: the raised error.
// The one error type for failures the controls "raise": a number, the source
// (executable name plus ".WindowProc", ".Splitter", ...) and a description.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tarvo {

// Errors of the object-error range are this base plus a small number.
constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);

constexpr std::int32_t kErrSubscriptOutOfRange = 9;
constexpr std::int32_t kErrOverflow = 6;
constexpr std::int32_t kErrInvalidPropertyValue = 380;

class RaisedError : public std::runtime_error {
public:
    RaisedError(std::int32_t number, std::wstring source, std::wstring description);

    std::int32_t Number() const noexcept { return number_; }
    const std::wstring& Source() const noexcept { return source_; }
    const std::wstring& Description() const noexcept { return description_; }

private:
    std::int32_t number_;
    std::wstring source_;
    std::wstring description_;
};

// The system's own texts for the plain numbered errors.
std::wstring StandardErrorDescription(std::int32_t number);

// Raises 9, 6 or 380 with the standard description.
[[noreturn]] void RaiseStandard(std::int32_t number, const std::wstring& source);

}  // namespace tarvo
