// Start-up time of the real program against the smallest window program, in
// the same run: from CreateProcess until Tarvo2's main window is visible with
// its first prompt in the pane (answered for by its message loop), and until
// the minimal program's window is visible. The times at which Tarvo2's main
// window turns visible, its folder tree is rooted and its help browser is
// loaded are printed too, with Tarvo2's working set once all that is done.
// Each program is closed with WM_CLOSE between the runs. Then the steps of the
// load, timed inside the program from the creation of its process.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
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
    if (values.empty()) return -1.0;
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

bool TreeRooted(const ProgramProcess& process) {
    HWND tree = tarvo::e2e::FindDescendant(VisibleMainWindow(process), WC_TREEVIEWW);
    DWORD_PTR count = 0;
    return tree && ::SendMessageTimeoutW(tree, TVM_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count) && count > 0;
}

bool HelpLoaded(const ProgramProcess& process) { return process.FindTopWindow(L"TarvoHelpFrm") != nullptr; }

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
    double treeMs = -1.0;           // Tarvo2's folder tree rooted
    double helpMs = -1.0;           // Tarvo2's help browser loaded
    double workingSetMiB = -1.0;    // Tarvo2's, once all that is done
};

double WorkingSetMiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1.0;
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

template <typename Visible, typename Ready>
StartTiming TimeStart(const std::wstring& exe, Visible visible, Ready ready, bool wholeTarvo) {
    StartTiming timing;
    ProgramProcess process;
    LARGE_INTEGER started, now;
    ::QueryPerformanceCounter(&started);
    if (!process.Start(exe, L"", tarvo::e2e::ExeFolder())) return timing;
    const auto stamp = [&] {
        ::QueryPerformanceCounter(&now);
        return Milliseconds(started, now);
    };
    bool came = tarvo::e2e::WaitUntil(
        [&] {
            const double at = stamp();
            if (timing.windowVisibleMs < 0 && visible(process)) timing.windowVisibleMs = at;
            if (!ready(process)) return !process.Running();
            timing.readyMs = stamp();
            // Shown between the two checks above.
            if (timing.windowVisibleMs < 0) timing.windowVisibleMs = timing.readyMs;
            return true;
        },
        kTimeoutMs);
    if (came && wholeTarvo) {
        came = tarvo::e2e::WaitUntil(
            [&] {
                if (timing.treeMs < 0 && TreeRooted(process)) timing.treeMs = stamp();
                if (timing.helpMs < 0 && HelpLoaded(process)) timing.helpMs = stamp();
                return (timing.treeMs >= 0 && timing.helpMs >= 0) || !process.Running();
            },
            kTimeoutMs);
        timing.workingSetMiB = WorkingSetMiB(process.Handle());
    }
    if (!came || timing.readyMs < 0) timing = StartTiming{};
    if (!process.End()) std::printf("  (a program had to be terminated)\n");
    return timing;
}

// One run of the program's start-up with its steps timed inside it; step names in order.
bool TimeSteps(const std::wstring& exe, std::vector<std::string>& order, std::map<std::string, std::vector<double>>& times) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring out = std::wstring(temp) + L"tarvo_startup_steps.txt";
    ::DeleteFileW(out.c_str());
    ProgramProcess process;
    if (!process.Start(exe, L"\"" + out + L"\"", tarvo::e2e::ExeFolder()) || !process.WaitForExit(kTimeoutMs)) {
        return false;
    }
    std::ifstream in{std::filesystem::path(out)};
    std::vector<std::string> names;
    double ms = 0.0;
    for (std::string step; in >> ms && std::getline(in >> std::ws, step);) {
        names.push_back(step);
        times[step].push_back(ms);
    }
    ::DeleteFileW(out.c_str());
    if (order.empty()) order = names;
    return !names.empty();
}

void PrintSteps(const std::wstring& exe) {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> times;
    for (int round = 0; round < kRounds; ++round) {
        if (!TimeSteps(exe, order, times)) {
            std::printf("the start-up steps could not be timed\n");
            return;
        }
    }
    std::printf("steps of the start-up, median of %d, ms since the process was created (and the step's own share):\n",
                kRounds);
    double previous = 0.0;
    for (const auto& step : order) {
        const double at = Median(times[step]);
        std::printf("  %8.1f  (%6.1f)  %s\n", at, at - previous, step.c_str());
        previous = at;
    }
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
    TimeStart(minimal, VisibleMinimalWindow, MinimalReady, false);
    TimeStart(tarvo, VisibleMainWindow, TarvoReady, true);

    std::vector<double> minimalTimes, shownTimes, promptTimes, treeTimes, helpTimes, workingSets;
    for (int round = 0; round < kRounds; ++round) {
        const StartTiming minimalRun = TimeStart(minimal, VisibleMinimalWindow, MinimalReady, false);
        const StartTiming tarvoRun = TimeStart(tarvo, VisibleMainWindow, TarvoReady, true);
        if (minimalRun.readyMs < 0 || tarvoRun.readyMs < 0) {
            std::printf("round %d: a program did not come up within %lu ms\n", round + 1, kTimeoutMs);
            return 1;
        }
        std::printf("round %d: minimal window %.1f ms; Tarvo2 window shown %.1f ms, first prompt %.1f ms, "
                    "folder tree rooted %.1f ms, help browser loaded %.1f ms\n",
                    round + 1, minimalRun.readyMs, tarvoRun.windowVisibleMs, tarvoRun.readyMs, tarvoRun.treeMs,
                    tarvoRun.helpMs);
        minimalTimes.push_back(minimalRun.readyMs);
        shownTimes.push_back(tarvoRun.windowVisibleMs);
        promptTimes.push_back(tarvoRun.readyMs);
        treeTimes.push_back(tarvoRun.treeMs);
        helpTimes.push_back(tarvoRun.helpMs);
        workingSets.push_back(tarvoRun.workingSetMiB);
    }
    const double minimalMedian = Median(minimalTimes);
    std::printf("median of %d: minimal window %.1f ms; Tarvo2 window shown %.1f ms, first prompt %.1f ms, "
                "folder tree rooted %.1f ms, help browser loaded %.1f ms\n",
                kRounds, minimalMedian, Median(shownTimes), Median(promptTimes), Median(treeTimes), Median(helpTimes));
    std::printf("ratio window shown / minimal window: %.2f\n", Median(shownTimes) / minimalMedian);
    std::printf("ratio first prompt / minimal window: %.2f\n", Median(promptTimes) / minimalMedian);
    std::printf("Tarvo2 working set after start-up: %.1f MiB\n", Median(workingSets));
    PrintSteps(folder + L"\\bench_startup_steps.exe");
    return 0;
}
