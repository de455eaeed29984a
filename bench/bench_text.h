#pragma once
// What the console benchmarks share: a scratch folder, and the text the pane
// shows for a child's bytes.
#include <windows.h>

#include <string>

namespace tarvo_bench {

// A folder under the temporary folder, created when missing; its full path.
inline std::wstring ScratchFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    wchar_t full[MAX_PATH];
    ::GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// The pane's line breaks are single CRs.
inline std::wstring AsPaneText(const std::string& data) {
    std::wstring text;
    text.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') continue;
        text.push_back(data[i] == '\n' ? L'\r' : static_cast<wchar_t>(static_cast<unsigned char>(data[i])));
    }
    return text;
}

}  // namespace tarvo_bench
