#include "common/win_api_error.h"

#include <windows.h>

namespace tarvo {

std::wstring ApiErrorText(std::uint32_t code) {
    wchar_t buffer[256] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                          0, buffer, 256, nullptr);
    return std::wstring(buffer, length);
}

}  // namespace tarvo
