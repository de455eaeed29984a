#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvo {

// After a line is sent to the child, the same number of characters is dropped
// from its next standard output (the child usually echoes the line). `byteCount`
// is the size of the raw chunk that `text` was decoded from; a non-positive
// `remaining` means nothing is left to skip.
void ApplyEchoSkip(std::wstring& text, std::size_t byteCount, std::int32_t& remaining);

}  // namespace tarvo
