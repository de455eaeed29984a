#pragma once
// The baseline of the console benchmarks: a child's output read by a plain
// blocking pipe loop, with no polling and no window.
#include <windows.h>

#include <chrono>
#include <string>

#include "common/handles.h"

namespace tarvo_bench {

inline std::wstring ComSpecOrCmd() {
    wchar_t value[MAX_PATH] = L"cmd.exe";
    ::GetEnvironmentVariableW(L"ComSpec", value, MAX_PATH);
    return value;
}

// Seconds from starting `command` until its output pipe closes and it has
// ended; -1 when it cannot be started. `bytesOut` is the output's size.
inline double RawPipeSeconds(const std::wstring& command, std::size_t& bytesOut) {
    const auto start = std::chrono::steady_clock::now();
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE r = nullptr, w = nullptr;
    if (!::CreatePipe(&r, &w, &sa, 0)) return -1;
    tarvo::unique_handle readEnd(r), writeEnd(w);
    ::SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    si.hStdOutput = w;
    si.hStdError = w;
    PROCESS_INFORMATION pi{};
    std::wstring line = command;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return -1;
    tarvo::unique_handle process(pi.hProcess), thread(pi.hThread);
    writeEnd.reset();
    char buffer[1024];
    DWORD got = 0;
    bytesOut = 0;
    while (::ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytesOut += got;
    ::WaitForSingleObject(process.get(), INFINITE);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace tarvo_bench
