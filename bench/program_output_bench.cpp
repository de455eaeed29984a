// Heavy output through the real program, started as a user starts it: a fast
// writer (64 KiB writes of 48-byte lines) and "type" of a 5 MB file, typed into
// Tarvo2's console pane. Baselines measured in the same run: a bare rich edit
// appending the same text in 64 KiB pieces, and a plain pipe loop reading the
// same "type". From outside it measures the time from Enter until the stop
// button turns off again, the longest time the main window left a message
// unanswered, the program's private bytes, and whether every character arrived.
// Usage: bench_program_output [--fast-mib=N] [--type-mb=N] [--growth-mib=N]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "fast_writer_text.h"
#include "program_process.h"
#include "bench_text.h"
#include "raw_pipe_baseline.h"
#include "registry_snapshot.h"

namespace {

using Clock = std::chrono::steady_clock;
using tarvo::e2e::ProgramProcess;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
double MiB(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

// The process's commit charge: its private memory.
SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(process, &counters, sizeof(counters));
    return counters.PagefileUsage;
}

// The share of the machine's processor time spent busy between two readings.
class MachineLoad {
public:
    MachineLoad() { Read(idle_, total_); }
    double BusyPercent() const {
        ULONGLONG idle = 0, total = 0;
        Read(idle, total);
        const double spent = static_cast<double>(total - total_);
        return spent > 0 ? 100.0 * (1.0 - static_cast<double>(idle - idle_) / spent) : 0.0;
    }

private:
    static ULONGLONG Value(const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }
    static void Read(ULONGLONG& idle, ULONGLONG& total) {
        FILETIME i{}, k{}, u{};
        ::GetSystemTimes(&i, &k, &u);
        idle = Value(i);
        total = Value(k) + Value(u);  // kernel time includes idle time
    }
    ULONGLONG idle_ = 0, total_ = 0;
};

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }


// ---- The baseline: a bare rich edit appending the text in 64 KiB pieces ----

struct BareResult {
    double seconds = 0;
    SIZE_T privateGrowth = 0;
    std::vector<std::pair<double, long>> progress;  // seconds from the start, characters held
};

struct PieceSource {
    const std::wstring* text;
    std::size_t at, end;
};

DWORD CALLBACK ReadPiece(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* copied) {
    auto& source = *reinterpret_cast<PieceSource*>(cookie);
    const std::size_t units = std::min<std::size_t>(static_cast<std::size_t>(size) / sizeof(wchar_t),
                                                    source.end - source.at);
    std::memcpy(buffer, source.text->data() + source.at, units * sizeof(wchar_t));
    source.at += units;
    *copied = static_cast<LONG>(units * sizeof(wchar_t));
    return 0;
}

BareResult BareRichEditAppend(const std::string& data) {
    BareResult result;
    const std::wstring text = Widen(data);
    ::LoadLibraryW(L"RICHED32.DLL");
    ::LoadLibraryW(L"riched20.dll");
    const SIZE_T before = PrivateBytes(::GetCurrentProcess());
    HWND frame = ::CreateWindowExW(0, L"STATIC", L"bare rich edit", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 640,
                                   nullptr, nullptr, nullptr, nullptr);
    HWND edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"RichEdit20W", L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                      ES_AUTOHSCROLL | ES_NOHIDESEL,
                                  0, 0, 880, 600, frame, nullptr, nullptr, nullptr);
    ::SendMessageW(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    const auto start = Clock::now();
    for (std::size_t at = 0; at < text.size(); at += tarvo::test::kFastBlockBytes) {
        CHARRANGE end{-1, -1};
        const LRESULT length = ::SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
        end.cpMin = end.cpMax = static_cast<LONG>(length);
        ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
        ::SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
        PieceSource source{&text, at, std::min(text.size(), at + tarvo::test::kFastBlockBytes)};
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, ReadPiece};
        ::SendMessageW(edit, EM_STREAMIN, SF_TEXT | SF_UNICODE | SFF_SELECTION, reinterpret_cast<LPARAM>(&stream));
        ::SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(edit, nullptr, TRUE);
        ::UpdateWindow(edit);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        result.progress.emplace_back(Seconds(Clock::now() - start), static_cast<long>(source.end));
    }
    result.seconds = Seconds(Clock::now() - start);
    result.privateGrowth = PrivateBytes(::GetCurrentProcess()) - before;
    ::DestroyWindow(frame);
    return result;
}

// ---- The program, driven from outside ----

struct ProgramRun {
    bool finished = false;
    double seconds = 0;
    double longestUnansweredMs = 0;
    double longestAtSeconds = 0;  // when that message was sent, from Enter
    SIZE_T privateBefore = 0, privateAfter = 0;
    std::vector<std::pair<double, long>> progress;  // seconds since Enter, pane length
    std::wstring paneText;
};

HWND StopButton(HWND mainWindow) {
    struct Search {
        HWND main;
        std::vector<std::pair<LONG, HWND>> buttons;
    } search{mainWindow, {}};
    ::EnumChildWindows(
        mainWindow,
        [](HWND child, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            if (tarvo::e2e::ClassNameOf(child) != L"VRX_StyleButton") return TRUE;
            RECT r{};
            ::GetWindowRect(child, &r);
            POINT topLeft{r.left, r.top};
            ::ScreenToClient(s.main, &topLeft);
            if (topLeft.y < 8) s.buttons.emplace_back(topLeft.x, child);  // the toolbar's row
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    std::sort(search.buttons.begin(), search.buttons.end());
    return search.buttons.size() > 2 ? search.buttons[2].second : nullptr;  // new, new admin, stop
}

class ProgramBench {
public:
    bool Start(const std::wstring& folder) {
        const std::wstring exe = tarvo::e2e::ExeFolder() + L"\\Tarvo2.exe";
        if (!program_.Start(exe, L"\"" + folder + L"\"", folder)) return false;
        main_ = program_.WaitForVisibleWindow(tarvo::e2e::kMainWindowClass, 30000);
        pane_ = tarvo::e2e::ConsolePane(main_);
        stop_ = StopButton(main_);
        process_.reset(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program_.Id()));
        return pane_ && stop_ && process_ && !tarvo::e2e::WaitForPrompt(pane_, 30000).empty();
    }

    ProgramRun Run(const std::wstring& line, bool keepText, DWORD timeoutMs) {
        ProgramRun run;
        run.privateBefore = PrivateBytes(process_.get());
        for (wchar_t c : line) ::PostMessageW(pane_, WM_CHAR, c, 1);
        std::atomic<bool> running{true};
        std::atomic<double> longest{0}, longestAt{0};
        std::atomic<Clock::rep> enterAt{Clock::now().time_since_epoch().count()};
        // Asks the main window for an answer over and over while the run lasts.
        std::thread pinger([&] {
            while (running) {
                const auto asked = Clock::now();
                DWORD_PTR ignored = 0;
                ::SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
                const double ms = Seconds(Clock::now() - asked) * 1000;
                if (ms > longest) {
                    longest = ms;
                    longestAt = Seconds(asked.time_since_epoch() - Clock::duration(enterAt.load()));
                }
                ::Sleep(2);
            }
        });
        ::Sleep(200);
        const auto start = Clock::now();
        enterAt = start.time_since_epoch().count();
        ::PostMessageW(pane_, WM_KEYDOWN, VK_RETURN, 1);
        ::PostMessageW(pane_, WM_KEYUP, VK_RETURN, 0xC0000001);
        bool started = false;
        while (Seconds(Clock::now() - start) * 1000 < timeoutMs) {
            const bool busy = ::IsWindowEnabled(stop_) != FALSE;
            started = started || busy;
            if (started && !busy) {
                run.finished = true;
                break;
            }
            DWORD_PTR length = 0;
            ::SendMessageTimeoutW(pane_, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length);
            run.progress.emplace_back(Seconds(Clock::now() - start), static_cast<long>(length));
            ::Sleep(20);
        }
        run.seconds = Seconds(Clock::now() - start);
        running = false;
        pinger.join();
        run.longestUnansweredMs = longest;
        run.longestAtSeconds = longestAt;
        run.privateAfter = PrivateBytes(process_.get());
        if (keepText) run.paneText = tarvo::e2e::WindowText(pane_);
        return run;
    }

    void End() { program_.End(); }

private:
    ProgramProcess program_;
    tarvo::unique_handle process_;
    HWND main_ = nullptr, pane_ = nullptr, stop_ = nullptr;
};

// Characters of the expected output missing or changed in the pane, and line
// breaks added or lost; the pane's WM_GETTEXT hands line breaks out as CR LF.
std::size_t Differences(const std::wstring& paneText, const std::wstring& expected) {
    std::wstring shown;
    shown.reserve(paneText.size());
    for (std::size_t i = 0; i < paneText.size(); ++i) {
        if (paneText[i] == L'\r' && i + 1 < paneText.size() && paneText[i + 1] == L'\n') continue;
        shown.push_back(paneText[i] == L'\n' ? L'\r' : paneText[i]);
    }
    const auto at = shown.find(expected.substr(0, 48));
    if (at == std::wstring::npos) return expected.size();
    const std::size_t compared = std::min(shown.size() - at, expected.size());
    std::size_t agreed = 0;
    while (agreed < compared && shown[at + agreed] == expected[agreed]) ++agreed;
    if (agreed < expected.size()) {
        std::printf("  output differs after %zu characters\n", agreed);
        return expected.size() - agreed;
    }
    // The output must be followed by the framing line break and the next prompt.
    const std::wstring after = shown.substr(at + expected.size());
    return after.size() > 2 && after[0] == L'\r' && after.back() == L'>' && after.find(L'\r', 1) == std::wstring::npos
               ? 0
               : 1;
}

double TimeToReach(const std::vector<std::pair<double, long>>& progress, double total, long length) {
    for (const auto& [seconds, shown] : progress) {
        if (shown >= length) return seconds;
    }
    return total;
}

// Seconds per MiB over the first and the last fifth of a run.
std::pair<double, double> FifthsPerMiB(const std::vector<std::pair<double, long>>& progress, double total,
                                       std::size_t mib) {
    const long fifth = static_cast<long>(mib / 5) * 1024 * 1024;
    const double first = TimeToReach(progress, total, fifth);
    const double last = total - TimeToReach(progress, total, static_cast<long>(mib * 1024 * 1024) - fifth);
    return {first / static_cast<double>(mib / 5), last / static_cast<double>(mib / 5)};
}

// How long CreateProcessW itself takes to start the interpreter: the program
// pays it on its user-interface thread at the start of every command.
void ReportChildStart() {
    std::vector<double> ms;
    for (int i = 0; i < 5; ++i) {
        std::wstring line = tarvo_bench::ComSpecOrCmd() + L" /c rem";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        const auto start = Clock::now();
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                              &startup, &started)) {
            return;
        }
        ms.push_back(Seconds(Clock::now() - start) * 1000);
        tarvo::unique_handle process(started.hProcess), thread(started.hThread);
        ::WaitForSingleObject(process.get(), 10000);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("starting the interpreter (CreateProcessW alone): median %.0f ms, longest %.0f ms\n", ms[2], ms[4]);
}

struct Options {
    std::size_t fastMiB = 10, typeMB = 5, growthMiB = 0;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* prefix) { return std::strtoul(arg.c_str() + std::strlen(prefix), nullptr, 10); };
        if (arg.rfind("--fast-mib=", 0) == 0) options.fastMiB = value("--fast-mib=");
        if (arg.rfind("--type-mb=", 0) == 0) options.typeMB = value("--type-mb=");
        if (arg.rfind("--growth-mib=", 0) == 0) options.growthMiB = value("--growth-mib=");
    }
    return options;
}


std::wstring FastWriterLine(std::size_t bytes) {
    return L"\"" + tarvo::e2e::ExeFolder() + L"\\tarvo_test_child.exe\" fast " + std::to_wstring(bytes) + L" 0";
}

void ReportRun(const char* name, const ProgramRun& run, double baseline, const char* baselineName, double target) {
    std::printf("%s: %.2f s in the program against %.2f s for %s: ratio %.2f (target <= %.1f)%s\n", name, run.seconds,
                baseline, baselineName, run.seconds / baseline, target, run.finished ? "" : " [did not finish]");
    std::printf("  longest time the main window left a message unanswered: %.0f ms (target <= 100), %.2f s after"
                " Enter\n",
                run.longestUnansweredMs, run.longestAtSeconds);
}

int FastWriterBench(const Options& options, const std::wstring& folder, double& busy) {
    const std::size_t bytes = options.fastMiB * 1024 * 1024;
    const std::string data = tarvo::test::FastWriterText(bytes);
    const MachineLoad load;
    const BareResult bare = BareRichEditAppend(data);
    ProgramBench program;
    if (!program.Start(folder)) {
        std::printf("the program did not show its first prompt\n");
        return 1;
    }
    const ProgramRun run = program.Run(FastWriterLine(bytes), true, 1200000);
    program.End();
    busy = load.BusyPercent();
    ReportRun("fast writer", run, bare.seconds, "the bare rich edit", 1.5);
    const std::size_t lost = Differences(run.paneText, tarvo_bench::AsPaneText(data));
    std::printf("  characters missing or changed: %zu\n", lost);
    std::printf("  private bytes: the program grew by %.0f MiB, the bare rich edit by %.0f MiB: ratio %.2f"
                " (target <= 1.10)\n",
                MiB(run.privateAfter - run.privateBefore), MiB(bare.privateGrowth),
                static_cast<double>(run.privateAfter - run.privateBefore) / static_cast<double>(bare.privateGrowth));
    return run.finished && lost == 0 ? 0 : 1;
}

int TypeBench(const Options& options, const std::wstring& folder, double& busy) {
    const std::wstring file = folder + L"\\type_bench.txt";
    const std::string data = tarvo::test::FastWriterText(options.typeMB * 1000 * 1000);
    {
        tarvo::unique_hfile out(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ::WriteFile(out.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    }
    const std::wstring typed = L"type \"" + file + L"\"";
    const std::wstring command = tarvo_bench::ComSpecOrCmd() + L" /c " + typed;
    const MachineLoad load;
    std::size_t rawBytes = 0;
    tarvo_bench::RawPipeSeconds(command, rawBytes);  // warms the file cache and the interpreter
    const double rawBefore = tarvo_bench::RawPipeSeconds(command, rawBytes);
    ProgramBench program;
    if (!program.Start(folder)) return 1;
    const ProgramRun run = program.Run(typed, true, 1200000);
    program.End();
    const double rawAfter = tarvo_bench::RawPipeSeconds(command, rawBytes);
    busy = load.BusyPercent();
    ReportRun("type of a 5 MB file", run, (rawBefore + rawAfter) / 2, "the raw pipe loop", 2.0);
    // What the pane's own control needs to hold the same text: the floor under any console pane.
    const BareResult bare = BareRichEditAppend(data);
    std::printf("  the bare rich edit alone takes %.2f s for the same text: the program is %.2fx that\n", bare.seconds,
                run.seconds / bare.seconds);
    const std::size_t lost = Differences(run.paneText, tarvo_bench::AsPaneText(data));
    std::printf("  characters missing or changed: %zu\n", lost);
    ::DeleteFileW(file.c_str());
    return run.finished && lost == 0 ? 0 : 1;
}

int GrowthBench(const Options& options, const std::wstring& folder) {
    const std::size_t bytes = options.growthMiB * 1024 * 1024;
    ProgramBench program;
    if (!program.Start(folder)) return 1;
    const ProgramRun run = program.Run(FastWriterLine(bytes), false, 3600000);
    program.End();
    const auto [first, last] = FifthsPerMiB(run.progress, run.seconds, options.growthMiB);
    std::printf("growth, %zu MiB: %.2f s per MiB over the first fifth, %.2f s per MiB over the last: ratio %.2f"
                " (aim <= 2)%s\n",
                options.growthMiB, first, last, last / first, run.finished ? "" : " [did not finish]");
    // The control's own growth, for what no way of appending can change.
    const BareResult bare = BareRichEditAppend(tarvo::test::FastWriterText(bytes));
    const auto [bareFirst, bareLast] = FifthsPerMiB(bare.progress, bare.seconds, options.growthMiB);
    std::printf("  the bare rich edit: %.2f s per MiB over the first fifth, %.2f s over the last: ratio %.2f\n",
                bareFirst, bareLast, bareLast / bareFirst);
    return run.finished ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The program keeps its settings here; the benchmark leaves them as it found them.
    tarvo::e2e::RegistrySnapshot settings(HKEY_CURRENT_USER, L"Software\\Tarvo");
    const std::wstring folder = tarvo_bench::ScratchFolder(L"tarvo_output_bench");
    int failures = 0;
    double busy = 0;
    ReportChildStart();
    if (options.fastMiB > 0) {
        failures += FastWriterBench(options, folder, busy);
        std::printf("  machine busy %.0f%% of the time during this part\n", busy);
    }
    if (options.typeMB > 0) {
        failures += TypeBench(options, folder, busy);
        std::printf("  machine busy %.0f%% of the time during this part\n", busy);
    }
    if (options.growthMiB >= 5) failures += GrowthBench(options, folder);
    ::RemoveDirectoryW(folder.c_str());
    return failures == 0 ? 0 : 1;
}
