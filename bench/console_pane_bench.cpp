// 5 MB of "type" output through the real main window: the command is typed into
// the console pane and Enter is posted, as a user would. In the same run the
// same child is read by a plain blocking pipe loop. Prints both times, their
// ratio, the longest time between two passes of the runner's message pump, and
// where the pane's time goes (per message the rich edit received).
// Usage: bench_console_pane [megabytes]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/handles.h"
#include "console/command_controller.h"
#include "console/output_renderer.h"
#include "controls/accelerator_routing.h"
#include "mainwindow/main_form.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr wchar_t kSettingsKey[] = L"Software\\TarvoBench";

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"tarvo_pane_bench";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    wchar_t full[MAX_PATH];
    ::GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
    return full;
}

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

// What the pane shows for the content: its line breaks are single CRs.
std::wstring AsPaneText(const std::string& data) {
    std::wstring text;
    text.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') continue;
        text.push_back(data[i] == '\n' ? L'\r' : static_cast<wchar_t>(static_cast<unsigned char>(data[i])));
    }
    return text;
}

std::wstring ComSpec() {
    wchar_t value[MAX_PATH] = L"cmd.exe";
    ::GetEnvironmentVariableW(L"ComSpec", value, MAX_PATH);
    return value;
}

double RawSeconds(const std::wstring& command, std::size_t& bytesOut) {
    const auto start = Clock::now();
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
    return Seconds(Clock::now() - start);
}

// Time the pane spends on each kind of message, outermost messages only (a
// message sent while another is handled counts towards the outer one).
struct PaneMessageTimes {
    enum Kind { kStreamIn, kCharFormat, kSelection, kCounts, kRedrawSwitch, kPaint, kEventMask, kOther, kKinds };
    static constexpr const char* kNames[kKinds] = {
        "EM_STREAMIN (InsertText)",        "EM_SETCHARFORMAT (Format*Set)", "EM_EXSETSEL (selection)",
        "text length and line count",      "WM_SETREDRAW",                  "painting (WM_PAINT, erase)",
        "EM_SETEVENTMASK (WantEvents)",    "other messages (not timed)"};
    double seconds[kKinds] = {};
    long count[kKinds] = {};
    int depth = 0;

    static Kind KindOf(UINT msg) {
        switch (msg) {
        case EM_STREAMIN: return kStreamIn;
        case EM_SETCHARFORMAT: return kCharFormat;
        case EM_EXSETSEL:
        case EM_SETSEL: return kSelection;
        case WM_GETTEXTLENGTH:
        case EM_GETLINECOUNT: return kCounts;
        case WM_SETREDRAW: return kRedrawSwitch;
        case WM_PAINT:
        case WM_ERASEBKGND:
        case WM_NCPAINT: return kPaint;
        case EM_SETEVENTMASK: return kEventMask;
        default: return kOther;
        }
    }

    // The run itself happens inside the pane's Enter key, so untracked messages
    // are passed through untimed.
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        auto& self = *reinterpret_cast<PaneMessageTimes*>(data);
        if (self.depth > 0 || KindOf(msg) == kOther) return ::DefSubclassProc(hwnd, msg, wParam, lParam);
        ++self.depth;
        const auto start = Clock::now();
        const LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
        const Kind kind = KindOf(msg);
        self.seconds[kind] += Seconds(Clock::now() - start);
        ++self.count[kind];
        --self.depth;
        return result;
    }
};

struct PaneRun {
    double seconds = 0;
    double beforeFirstPassMs = 0;
    double longestGapMs = 0;  // from the end of one pump pass to the start of the next
    double longestPassMs = 0;
    double afterLastPassMs = 0;  // draining, Complete and the prompt, with no pass
    double flushSeconds = 0, dispatchSeconds = 0, handlerSeconds = 0;
    long passes = 0, chunks = 0;
    long characterCount = 0;
    std::wstring text;
    PaneMessageTimes messages;
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

    bool Run(const std::wstring& line, PaneRun& run) {
        for (wchar_t c : line) ::PostMessageW(Edit(), WM_CHAR, c, 1);
        Settle();
        InstallProbes(run);
        ::PostMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 1);
        ::PostMessageW(Edit(), WM_KEYUP, VK_RETURN, 0xC0000001);
        const auto start = Clock::now();
        const bool finished = DispatchUntilRunEnds(start);
        const auto end = Clock::now();
        ::RemoveWindowSubclass(Edit(), PaneMessageTimes::Proc, 1);
        if (!finished) return false;
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

    // The pump does what the main window's own pump does, timed.
    void InstallProbes(PaneRun& run) {
        auto& console = form_.myConsole();
        console.SetMessagePump([this, &run] {
            const auto start = Clock::now();
            if (run.passes == 0) {
                firstPass_ = start;
            } else {
                run.longestGapMs = std::max(run.longestGapMs, Milliseconds(start - lastPassEnd_));
            }
            ++run.passes;
            form_.Console().Renderer().FlushRedraw();
            const auto flushed = Clock::now();
            if (!tarvo::AcceleratorRouting::PumpPending()) form_.myConsole().StopWait();
            lastPassEnd_ = Clock::now();
            run.flushSeconds += Seconds(flushed - start);
            run.dispatchSeconds += Seconds(lastPassEnd_ - flushed);
            run.longestPassMs = std::max(run.longestPassMs, Milliseconds(lastPassEnd_ - start));
        });
        auto render = console.OutputReceived;
        console.OutputReceived = [render, &run](std::wstring& out, std::wstring& err) {
            const auto start = Clock::now();
            render(out, err);
            run.handlerSeconds += Seconds(Clock::now() - start);
            ++run.chunks;
        };
        ::SetWindowSubclass(Edit(), PaneMessageTimes::Proc, 1, reinterpret_cast<DWORD_PTR>(&run.messages));
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
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 5;
    if (megabytes < 1) return 2;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    const std::wstring folder = TempFolder();
    const std::wstring file = folder + L"\\tarvo_pane_bench.txt";
    const std::string content = MakeContent(megabytes * 1024 * 1024);
    if (!WriteContent(file, content)) return 1;
    const std::wstring typed = L"type \"" + file + L"\"";
    const std::wstring command = ComSpec() + L" /c " + typed;

    std::size_t rawBytes = 0;
    RawSeconds(command, rawBytes);  // warms the file cache and the interpreter
    const double rawBefore = RawSeconds(command, rawBytes);

    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    PaneRun run;
    bool ran = false;
    {
        PaneBench bench(folder);
        ran = bench.Load() && bench.Run(typed, run);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    const double rawAfter = RawSeconds(command, rawBytes);
    ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW(folder.c_str());
    if (!ran) {
        std::printf("the command did not run to its prompt in the pane\n");
        return 1;
    }

    const double raw = (rawBefore + rawAfter) / 2;
    const OutputCheck check = CheckOutput(run.text, AsPaneText(content));
    std::printf("raw pipe loop:  %.3f s (%.3f s before, %.3f s after the pane run) for %zu bytes\n", raw, rawBefore,
                rawAfter, rawBytes);
    std::printf("console pane:   %.3f s, %ld chunks, %ld pump passes\n", run.seconds, run.chunks, run.passes);
    std::printf("ratio pane/raw: %.2f (target <= 3)\n", run.seconds / raw);
    std::printf("longest gap between pump passes: %.1f ms (target <= 100); longest pass: %.1f ms\n",
                run.longestGapMs, run.longestPassMs);
    std::printf("without a pass: %.1f ms from Enter to the first pass, %.1f ms from the last pass to the prompt\n",
                run.beforeFirstPassMs, run.afterLastPassMs);
    std::printf("pane characters: %ld; output characters missing or wrong: %zu; extra line breaks: %zu\n",
                run.characterCount, check.missing, check.extraBreaks);
    std::printf("time in the output handler: %.3f s; in the pump: %.3f s repainting, %.3f s dispatching\n",
                run.handlerSeconds, run.flushSeconds, run.dispatchSeconds);
    std::printf("rich edit messages (outermost, all sources):\n");
    for (int k = 0; k < PaneMessageTimes::kKinds; ++k) {
        std::printf("  %-32s %8ld x %8.3f s\n", PaneMessageTimes::kNames[k], run.messages.count[k],
                    run.messages.seconds[k]);
    }
    return check.missing == 0 ? 0 : 1;
}
