#pragma once
#include <cstdint>
#include <string>

namespace tarvo {

// The system's message for a Win32 error code, untrimmed (its CR LF stays), or
// the empty text when the system has none.
std::wstring ApiErrorText(std::uint32_t code);

}  // namespace tarvo
