#pragma once
// ExecutablePath and ProgramFolder: where the running program lies on disk.
#include <string>

namespace tarvo {

// The full path of the running executable; "" when the system cannot tell.
std::wstring ExecutablePath();
// Its folder, without a trailing backslash.
std::wstring ProgramFolder();

}  // namespace tarvo
