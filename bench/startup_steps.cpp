// Tarvo2's start-up run in this process, each step timed from the creation of
// the process and written to the file named on the command line, one
// "milliseconds<TAB>step" per line. The main window is closed once the help
// browser is loaded, the last step.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "mainwindow/program.h"

namespace {

using PreciseTime = VOID(WINAPI*)(LPFILETIME);

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

double MillisecondsSinceCreation() {
    static const auto precise = reinterpret_cast<PreciseTime>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    if (precise) {
        precise(&now);
    } else {
        ::GetSystemTimeAsFileTime(&now);
    }
    return static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
}

HWND OwnMainWindow() {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, L"TarvoMainForm", nullptr)) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == ::GetCurrentProcessId()) return window;
    }
    return nullptr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    std::vector<std::pair<double, std::string>> steps{{MillisecondsSinceCreation(), "process started"}};
    wchar_t exePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
    tarvo::ProgramOptions options;
    options.exePath = exePath;
    options.homePage = L"https://tarvo.example.org/";
    options.step = [&steps](const char* step) {
        steps.emplace_back(MillisecondsSinceCreation(), step);
        if (std::string(step) == "help browser loaded") {
            if (HWND main = OwnMainWindow()) ::PostMessageW(main, WM_CLOSE, 0, 0);
        }
    };
    const int exitCode = tarvo::RunProgram(options);
    std::wstring outPath = arguments ? arguments : L"";
    outPath.erase(std::remove(outPath.begin(), outPath.end(), L'"'), outPath.end());
    FILE* out = _wfopen(outPath.c_str(), L"w");
    if (!out) return 1;
    for (const auto& [ms, step] : steps) std::fprintf(out, "%.2f\t%s\n", ms, step.c_str());
    std::fclose(out);
    return exitCode;
}
