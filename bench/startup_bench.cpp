// Start-up time of the real program against the smallest window program, in
// the same run: from CreateProcess until Tarvo2's main window is visible with
// its first prompt in the pane, and until the minimal program's window is
// visible. The time at which Tarvo2's main window turns visible is printed too.
// Each program is closed with WM_CLOSE between the runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "program_process.h"
#include "registry_snapshot.h"

namespace {

using tarvo::e2e::ProgramProcess;

constexpr int kRounds = 5;
constexpr DWORD kTimeoutMs = 60000;
constexpr wchar_t kMinimalClass[] = L"TarvoStartupMinimalWindow";

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

HWND VisibleMainWindow(const ProgramProcess& process) {
    HWND main = process.FindTopWindow(tarvo::e2e::kMainWindowClass);
    return main && ::IsWindowVisible(main) ? main : nullptr;
}

bool TarvoReady(const ProgramProcess& process) {
    HWND main = VisibleMainWindow(process);
    if (!main) return false;
    const std::wstring text = tarvo::e2e::WindowText(tarvo::e2e::ConsolePane(main));
    return !text.empty() && text.back() == L'>';
}

HWND VisibleMinimalWindow(const ProgramProcess& process) {
    HWND window = ::FindWindowW(kMinimalClass, nullptr);
    DWORD owner = 0;
    if (window) ::GetWindowThreadProcessId(window, &owner);
    return window && owner == process.Id() && ::IsWindowVisible(window) ? window : nullptr;
}

bool MinimalReady(const ProgramProcess& process) { return VisibleMinimalWindow(process) != nullptr; }

struct StartTiming {
    double windowVisibleMs = -1.0;  // the main window shown
    double readyMs = -1.0;          // and, for Tarvo2, its first prompt handed out by the pane
};

template <typename Visible, typename Ready>
StartTiming TimeStart(const std::wstring& exe, Visible visible, Ready ready) {
    StartTiming timing;
    ProgramProcess process;
    LARGE_INTEGER started, now;
    ::QueryPerformanceCounter(&started);
    if (!process.Start(exe, L"", tarvo::e2e::ExeFolder())) return timing;
    const bool came = tarvo::e2e::WaitUntil(
        [&] {
            ::QueryPerformanceCounter(&now);
            if (timing.windowVisibleMs < 0 && visible(process)) timing.windowVisibleMs = Milliseconds(started, now);
            if (!ready(process)) return !process.Running();
            ::QueryPerformanceCounter(&now);
            timing.readyMs = Milliseconds(started, now);
            // Shown between the two checks above.
            if (timing.windowVisibleMs < 0) timing.windowVisibleMs = timing.readyMs;
            return true;
        },
        kTimeoutMs);
    if (!came || timing.readyMs < 0) timing = StartTiming{};
    if (!process.End()) std::printf("  (a program had to be terminated)\n");
    return timing;
}

}  // namespace

int main() {
    const std::wstring folder = tarvo::e2e::ExeFolder();
    const std::wstring tarvo = folder + L"\\Tarvo2.exe";
    const std::wstring minimal = folder + L"\\bench_startup_minimal_window.exe";
    // The real program writes its window settings when it closes; leave them as found.
    tarvo::e2e::RegistrySnapshot settings(HKEY_CURRENT_USER, L"Software\\Tarvo");
    settings.ClearValues();

    // One unmeasured start of each, so both are measured with warm file caches.
    TimeStart(minimal, VisibleMinimalWindow, MinimalReady);
    TimeStart(tarvo, VisibleMainWindow, TarvoReady);

    std::vector<double> minimalTimes, tarvoShownTimes, tarvoTimes;
    for (int round = 0; round < kRounds; ++round) {
        const StartTiming minimalRun = TimeStart(minimal, VisibleMinimalWindow, MinimalReady);
        const StartTiming tarvoRun = TimeStart(tarvo, VisibleMainWindow, TarvoReady);
        if (minimalRun.readyMs < 0 || tarvoRun.readyMs < 0) {
            std::printf("round %d: a program did not come up within %lu ms\n", round + 1, kTimeoutMs);
            return 1;
        }
        std::printf("round %d: minimal window %.1f ms; Tarvo2 window shown %.1f ms, first prompt %.1f ms\n",
                    round + 1, minimalRun.readyMs, tarvoRun.windowVisibleMs, tarvoRun.readyMs);
        minimalTimes.push_back(minimalRun.readyMs);
        tarvoShownTimes.push_back(tarvoRun.windowVisibleMs);
        tarvoTimes.push_back(tarvoRun.readyMs);
    }
    const double minimalMedian = Median(minimalTimes);
    const double tarvoMedian = Median(tarvoTimes);
    std::printf("median of %d: minimal window %.1f ms; Tarvo2 window shown %.1f ms, first prompt %.1f ms\n", kRounds,
                minimalMedian, Median(tarvoShownTimes), tarvoMedian);
    std::printf("ratio first prompt / minimal window: %.2f\n", tarvoMedian / minimalMedian);
    return 0;
}
