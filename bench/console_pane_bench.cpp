// 5 MB of "type" output through the real main window: the command is typed into
// the console pane and Enter is posted, as a user would. In the same run the
// same child is read by a plain blocking pipe loop. Prints both times, their
// ratio, the longest time between two passes of the runner's message pump, and
// where the pane's time goes (per message the rich edit received).
// Usage: bench_console_pane [megabytes] [--paint-every=MS] [--pump-every=MS] [--coalesce]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/handles.h"
#include "bench_text.h"
#include "raw_pipe_baseline.h"
#include "console/command_controller.h"
#include "console/output_renderer.h"
#include "controls/accelerator_routing.h"
#include "mainwindow/main_form.h"
#include "richedit_message_times.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr wchar_t kSettingsKey[] = L"Software\\TarvoBench";

// User and kernel time of this process so far; on a loaded machine it shows
// how much of a wall-clock time was the program's own work.
double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }


std::string MakeContent(std::size_t bytes) {
    const std::string line = "The quick brown fox jumps over the lazy dog 0123456789 abcdefghijklmnopqrstuvwxyz\r\n";
    std::string data;
    data.reserve(bytes + line.size());
    while (data.size() < bytes) data += line;
    data.resize(bytes);
    return data;
}

bool WriteContent(const std::wstring& path, const std::string& data) {
    tarvo::unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
           written == data.size();
}


struct Options {
    std::size_t megabytes = 5;
    int paintEveryMs = 0;   // 0: at every pump pass, as the program does
    int pumpEveryMs = 0;    // 0: every time the runner asks, as the program does
    bool coalesce = false;  // the program appends every chunk as it arrives
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--paint-every=", 0) == 0) {
            options.paintEveryMs = std::atoi(arg.c_str() + 14);
        } else if (arg.rfind("--pump-every=", 0) == 0) {
            options.pumpEveryMs = std::atoi(arg.c_str() + 13);
        } else if (arg == "--coalesce") {
            options.coalesce = true;
        } else {
            options.megabytes = std::strtoul(arg.c_str(), nullptr, 10);
        }
    }
    return options.megabytes >= 1 && options.paintEveryMs >= 0 && options.pumpEveryMs >= 0;
}

struct PaneRun {
    double seconds = 0;
    double cpuSeconds = 0;
    double beforeFirstPassMs = 0;
    double longestGapMs = 0;  // from the end of one pass's dispatching to the start of the next one's
    double longestPassMs = 0;
    double afterLastPassMs = 0;  // draining, Complete and the prompt, with no pass
    double flushSeconds = 0, dispatchSeconds = 0, handlerSeconds = 0;
    long passes = 0, skippedPasses = 0, chunks = 0;
    long characterCount = 0;
    std::wstring text;
    tarvo_bench::RichEditMessageTimes messages;
};

class PaneBench {
public:
    explicit PaneBench(const std::wstring& folder) : folder_(folder) {}

    bool Load() {
        tarvo::MainFormOptions options;
        options.startFolder = folder_;
        options.settings.subkey = kSettingsKey;
        if (!form_.Load(std::move(options))) return false;
        ::SetForegroundWindow(form_.hWnd());
        ::SetFocus(Edit());
        Settle();
        return true;
    }

    ~PaneBench() {
        if (form_.hWnd()) ::DestroyWindow(form_.hWnd());
        MSG quit;
        while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    bool Run(const std::wstring& line, const Options& options, PaneRun& run) {
        for (wchar_t c : line) ::PostMessageW(Edit(), WM_CHAR, c, 1);
        Settle();
        InstallProbes(run, options);
        Clock::time_point start, end;
        {
            tarvo_bench::MessageTimesScope timed(Edit(), run.messages);
            ::PostMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 1);
            ::PostMessageW(Edit(), WM_KEYUP, VK_RETURN, 0xC0000001);
            const double cpuStart = ProcessCpuSeconds();
            start = Clock::now();
            const bool finished = DispatchUntilRunEnds(start);
            end = Clock::now();
            run.cpuSeconds = ProcessCpuSeconds() - cpuStart;
            if (!finished) return false;
        }
        run.seconds = Seconds(end - start);
        run.beforeFirstPassMs = Milliseconds(firstPass_ - start);
        run.afterLastPassMs = Milliseconds(end - lastPassEnd_);
        run.characterCount = form_.RichEdit().Methods().CharacterCount();
        run.text = form_.RichEdit().Methods().TextInRangeGet(0, run.characterCount);
        return true;
    }

private:
    HWND Edit() { return form_.RichEdit().RichEdithWnd(); }

    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            tarvo::AcceleratorRouting::PumpPending();
            ::Sleep(5);
        }
    }

    // The pump does what the main window's own pump does, timed. The options
    // try out two changes through the same hooks: repainting at most every so
    // many milliseconds, and gathering standard output between repaints into
    // one append.
    void InstallProbes(PaneRun& run, const Options& options) {
        auto& console = form_.myConsole();
        auto render = console.OutputReceived;
        auto appendPending = [this, render, &run] {
            if (pending_.empty()) return;
            std::wstring none;
            const auto start = Clock::now();
            render(pending_, none);
            run.handlerSeconds += Seconds(Clock::now() - start);
            pending_.clear();
        };
        console.MessagePump([this, &run, appendPending, every = options.paintEveryMs,
                             pumpEvery = options.pumpEveryMs] {
            const auto start = Clock::now();
            if (pumpEvery > 0 && run.passes > 0 && Milliseconds(start - lastPassEnd_) < pumpEvery) {
                ++run.skippedPasses;
                return;
            }
            if (run.passes == 0) firstPass_ = start;
            ++run.passes;
            if (every == 0) {
                const auto painting = Clock::now();
                form_.Console().Renderer().OnPumpPass();  // as the main window's own pump does
                run.flushSeconds += Seconds(Clock::now() - painting);
            } else if (Milliseconds(start - lastPaint_) >= every) {
                lastPaint_ = start;
                appendPending();
                const auto painting = Clock::now();
                form_.Console().Renderer().FlushRedraw();
                run.flushSeconds += Seconds(Clock::now() - painting);
            }
            const auto dispatching = Clock::now();
            if (run.passes > 1) {
                run.longestGapMs = std::max(run.longestGapMs, Milliseconds(dispatching - lastPassEnd_));
            }
            if (!tarvo::AcceleratorRouting::PumpPending()) form_.myConsole().StopWait();
            lastPassEnd_ = Clock::now();
            run.dispatchSeconds += Seconds(lastPassEnd_ - dispatching);
            run.longestPassMs = std::max(run.longestPassMs, Milliseconds(lastPassEnd_ - start));
        });
        console.OutputReceived = [this, render, appendPending, &run, coalesce = options.coalesce](std::wstring& out,
                                                                                                std::wstring& err) {
            ++run.chunks;
            if (coalesce && err.empty()) {
                pending_ += out;
                return;
            }
            appendPending();
            const auto start = Clock::now();
            render(out, err);
            run.handlerSeconds += Seconds(Clock::now() - start);
        };
        auto complete = console.Complete;
        console.Complete = [complete, appendPending] {
            appendPending();
            complete();
        };
        passes_ = &run.passes;
    }

    // The run happens inside the dispatch of the Enter key; it is over once the
    // runner has pumped at least once and is no longer busy.
    bool DispatchUntilRunEnds(Clock::time_point start) {
        for (;;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                tarvo::AcceleratorRouting::ProcessMessage(msg);
                if (*passes_ > 0 && !form_.myConsole().Busy()) return true;
            }
            if (Clock::now() - start > std::chrono::seconds(20)) return false;
            ::Sleep(1);
        }
    }

    std::wstring folder_;
    tarvo::mainForm form_;
    std::wstring pending_;
    Clock::time_point lastPaint_{};
    long* passes_ = nullptr;
    Clock::time_point firstPass_{}, lastPassEnd_{};
};

std::string Visible(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c == L'\r') out += "\\r";
        else if (c == L'\n') out += "\\n";
        else out.push_back(c >= 32 && c < 127 ? static_cast<char>(c) : '?');
    }
    return out;
}

std::wstring WithoutLineBreaks(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c != L'\r') out.push_back(c);
    }
    return out;
}

struct OutputCheck {
    std::size_t missing = 0;        // characters from the first difference on, line breaks aside
    std::size_t extraBreaks = 0;    // line breaks the pane shows beyond the child's
};

// Compares the pane's output with what the child wrote. A CR LF pair split
// between two reads reaches the pane as a lone CR and a lone LF, which it shows
// as two line breaks, so line breaks are counted apart from the other text.
OutputCheck CheckOutput(const std::wstring& paneText, const std::wstring& expected) {
    OutputCheck check;
    const auto at = paneText.find(expected.substr(0, 40));
    if (at == std::wstring::npos) {
        check.missing = expected.size();
        return check;
    }
    const std::wstring shown = WithoutLineBreaks(paneText.substr(at));
    const std::wstring wanted = WithoutLineBreaks(expected);
    const std::size_t compared = std::min(shown.size(), wanted.size());
    const auto differ = std::mismatch(wanted.begin(), wanted.begin() + static_cast<std::ptrdiff_t>(compared),
                                      shown.begin());
    const auto agreed = static_cast<std::size_t>(differ.first - wanted.begin());
    if (agreed < wanted.size()) {
        const std::size_t from = agreed > 30 ? agreed - 30 : 0;
        std::printf("output differs after %zu characters:\n  expected: %s\n  pane:     %s\n", agreed,
                    Visible(wanted.substr(from, 90)).c_str(), Visible(shown.substr(from, 90)).c_str());
    }
    check.missing = wanted.size() - agreed;
    // The pane's text ends with a line break and the next prompt after the output.
    const std::size_t outputInPane = paneText.find_last_of(L'\r') + 1 - at;
    const std::size_t shownBreaks = outputInPane - WithoutLineBreaks(paneText.substr(at, outputInPane)).size();
    const std::size_t wantedBreaks = expected.size() - wanted.size() + 1;
    check.extraBreaks = shownBreaks > wantedBreaks ? shownBreaks - wantedBreaks : 0;
    return check;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::printf("usage: bench_console_pane [megabytes] [--paint-every=MS] [--pump-every=MS] [--coalesce]\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    const std::wstring folder = tarvo_bench::ScratchFolder(L"tarvo_pane_bench");
    const std::wstring file = folder + L"\\tarvo_pane_bench.txt";
    const std::string content = MakeContent(options.megabytes * 1024 * 1024);
    if (!WriteContent(file, content)) return 1;
    const std::wstring typed = L"type \"" + file + L"\"";
    const std::wstring command = tarvo_bench::ComSpecOrCmd() + L" /c " + typed;

    std::size_t rawBytes = 0;
    tarvo_bench::RawPipeSeconds(command, rawBytes);  // warms the file cache and the interpreter
    const double rawBefore = tarvo_bench::RawPipeSeconds(command, rawBytes);

    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    PaneRun run;
    bool ran = false;
    {
        PaneBench bench(folder);
        ran = bench.Load() && bench.Run(typed, options, run);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    const double rawAfter = tarvo_bench::RawPipeSeconds(command, rawBytes);
    ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW(folder.c_str());
    if (!ran) {
        std::printf("the command did not run to its prompt in the pane\n");
        return 1;
    }

    const double raw = (rawBefore + rawAfter) / 2;
    const OutputCheck check = CheckOutput(run.text, tarvo_bench::AsPaneText(content));
    if (options.paintEveryMs > 0 || options.coalesce || options.pumpEveryMs > 0) {
        std::printf("trial: repaint at most every %d ms, pump at most every %d ms%s\n", options.paintEveryMs,
                    options.pumpEveryMs,
                    options.coalesce ? ", standard output gathered into one append per repaint" : "");
    }
    std::printf("raw pipe loop:  %.3f s (%.3f s before, %.3f s after the pane run) for %zu bytes\n", raw, rawBefore,
                rawAfter, rawBytes);
    std::printf("console pane:   %.3f s (this process's CPU time: %.3f s), %ld chunks, %ld pump passes"
                " (%ld skipped)\n",
                run.seconds, run.cpuSeconds, run.chunks, run.passes, run.skippedPasses);
    std::printf("ratio pane/raw: %.2f (target <= 3)\n", run.seconds / raw);
    std::printf("longest time between two passes' dispatching: %.1f ms (target <= 100); longest pass: %.1f ms\n",
                run.longestGapMs, run.longestPassMs);
    std::printf("without dispatching: %.1f ms from Enter to the first pass, %.1f ms from the last pass"
                " to the prompt\n",
                run.beforeFirstPassMs, run.afterLastPassMs);
    std::printf("pane characters: %ld; output characters missing or wrong: %zu; extra line breaks: %zu\n",
                run.characterCount, check.missing, check.extraBreaks);
    std::printf("time in the output handler: %.3f s; in the pump: %.3f s repainting, %.3f s dispatching\n",
                run.handlerSeconds, run.flushSeconds, run.dispatchSeconds);
    std::printf("rich edit messages (outermost, all sources):\n");
    for (int k = 0; k < tarvo_bench::RichEditMessageTimes::kKinds; ++k) {
        std::printf("  %-32s %8ld x %8.3f s\n", tarvo_bench::RichEditMessageTimes::kNames[k], run.messages.count[k],
                    run.messages.seconds[k]);
    }
    return check.missing == 0 ? 0 : 1;
}
