#include "common/raised_error.h"

namespace tarvo {

namespace {
std::string Narrow(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}
}  // namespace

RaisedError::RaisedError(std::int32_t number, std::wstring source, std::wstring description)
    : std::runtime_error(Narrow(description)),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

std::wstring StandardErrorDescription(std::int32_t number) {
    switch (number) {
        case kErrSubscriptOutOfRange: return L"Subscript out of range";
        case kErrOverflow: return L"Overflow";
        case kErrInvalidPropertyValue: return L"Invalid property value";
        default: return L"Application-defined or object-defined error";
    }
}

void RaiseStandard(std::int32_t number, const std::wstring& source) {
    throw RaisedError(number, source, StandardErrorDescription(number));
}

}  // namespace tarvo
