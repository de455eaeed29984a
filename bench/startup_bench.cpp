// Start-up time of the real program against the smallest window program, in
// the same run: from CreateProcess until Tarvo2's main window is visible with
// its first prompt in the pane, and until the minimal program's window is
// visible. Each program is closed with WM_CLOSE between the runs.
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

bool TarvoReady(const ProgramProcess& process) {
    HWND main = process.FindTopWindow(tarvo::e2e::kMainWindowClass);
    if (!main || !::IsWindowVisible(main)) return false;
    const std::wstring text = tarvo::e2e::WindowText(tarvo::e2e::ConsolePane(main));
    return !text.empty() && text.back() == L'>';
}

bool MinimalReady(const ProgramProcess& process) {
    HWND window = ::FindWindowW(kMinimalClass, nullptr);
    DWORD owner = 0;
    if (window) ::GetWindowThreadProcessId(window, &owner);
    return window && owner == process.Id() && ::IsWindowVisible(window);
}

// Milliseconds from the start to `ready`; negative when the program failed.
template <typename Ready>
double TimeStart(const std::wstring& exe, Ready ready) {
    ProgramProcess process;
    LARGE_INTEGER started, seen;
    ::QueryPerformanceCounter(&started);
    if (!process.Start(exe, L"", tarvo::e2e::ExeFolder())) return -1.0;
    if (!tarvo::e2e::WaitUntil([&] { return ready(process) || !process.Running(); }, kTimeoutMs) || !ready(process)) {
        return -1.0;
    }
    ::QueryPerformanceCounter(&seen);
    if (!process.End()) std::printf("  (a program had to be terminated)\n");
    return Milliseconds(started, seen);
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
    TimeStart(minimal, MinimalReady);
    TimeStart(tarvo, TarvoReady);

    std::vector<double> tarvoTimes, minimalTimes;
    for (int round = 0; round < kRounds; ++round) {
        const double minimalMs = TimeStart(minimal, MinimalReady);
        const double tarvoMs = TimeStart(tarvo, TarvoReady);
        if (minimalMs < 0 || tarvoMs < 0) {
            std::printf("round %d: a program did not come up within %lu ms\n", round + 1, kTimeoutMs);
            return 1;
        }
        std::printf("round %d: minimal window %.1f ms, Tarvo2 first prompt %.1f ms\n", round + 1, minimalMs, tarvoMs);
        minimalTimes.push_back(minimalMs);
        tarvoTimes.push_back(tarvoMs);
    }
    const double minimalMedian = Median(minimalTimes);
    const double tarvoMedian = Median(tarvoTimes);
    std::printf("median of %d: minimal window %.1f ms, Tarvo2 first prompt %.1f ms, ratio %.2f\n", kRounds,
                minimalMedian, tarvoMedian, tarvoMedian / minimalMedian);
    return 0;
}
