// Appending output to a console pane through the program's own renderer, as
// during a command run: pieces of text (1024 characters, the runner's chunk)
// are handed to the output handler with redraw deferred, and the pane is
// repainted after every so many pieces (1: after each, as the runner's pump
// between chunks does now; 0: once at the end). Prints, per MB, the time the
// rich edit spends on each kind of message, to show which step costs most and
// whether it grows as the pane fills.
// Usage: bench_richedit_append [megabytes] [--piece=CHARS] [--paint-every=PIECES]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/handles.h"
#include "console/output_renderer.h"
#include "controls/rich_edit.h"
#include "richedit_message_times.h"

namespace {

using Clock = std::chrono::steady_clock;
using tarvo_bench::RichEditMessageTimes;
constexpr std::size_t kMegabyte = 1024 * 1024;

struct Options {
    std::size_t megabytes = 5;
    std::size_t piece = 1024;
    std::size_t paintEvery = 1;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--piece=", 0) == 0) {
            options.piece = std::strtoul(arg.c_str() + 8, nullptr, 10);
        } else if (arg.rfind("--paint-every=", 0) == 0) {
            options.paintEvery = std::strtoul(arg.c_str() + 14, nullptr, 10);
        } else {
            options.megabytes = std::strtoul(arg.c_str(), nullptr, 10);
        }
    }
    return options.megabytes >= 1 && options.piece >= 16 && options.piece <= kMegabyte;
}

// Lines of 84 characters with CR LF, so pieces cut lines at varying places.
std::wstring MakeText(std::size_t characters) {
    const std::wstring line = L"The quick brown fox jumps over the lazy dog 0123456789 abcdefghijklmnopqrstuvwxyz\r\n";
    std::wstring text;
    text.reserve(characters + line.size());
    while (text.size() < characters) text += line;
    text.resize(characters);
    return text;
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND CreateForm() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FormProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TarvoRichEditBench";
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, wc.lpszClassName, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600,
                             nullptr, nullptr, wc.hInstance, nullptr);
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void PrintRow(const char* label, double seconds, const RichEditMessageTimes& times) {
    std::printf("%-8s %8.3f", label, seconds);
    for (int k = 0; k < RichEditMessageTimes::kOther; ++k) std::printf(" %8.3f", times.seconds[k]);
    std::printf("\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::printf("usage: bench_richedit_append [megabytes] [--piece=CHARS] [--paint-every=PIECES]\n");
        return 2;
    }
    tarvo::unique_hwnd form(CreateForm());
    tarvo::VRX_RichEdit pane;
    if (!form || !pane.Create(form.get(), 0, 0, 780, 560)) return 1;
    const std::wstring folder = L"C:\\bench";
    tarvo::OutputRenderer renderer(pane, folder);
    renderer.PreparePane(false);
    if (!pane.RichEdithWnd()) return 1;
    renderer.WritePrompt();
    bool running = true;
    renderer.DeferRedrawWhile([&running] { return running; });

    const std::wstring text = MakeText(options.megabytes * kMegabyte);
    const std::size_t piecesPerMegabyte = (kMegabyte + options.piece - 1) / options.piece;
    std::printf("%zu MB in pieces of %zu characters, ", options.megabytes, options.piece);
    if (options.paintEvery == 0) {
        std::printf("repainted once at the end\n");
    } else {
        std::printf("repainted after every %zu piece(s)\n", options.paintEvery);
    }
    std::printf("%-8s %8s", "", "total s");
    for (int k = 0; k < RichEditMessageTimes::kOther; ++k) std::printf(" %8s", RichEditMessageTimes::kShortNames[k]);
    std::printf("\n");

    std::vector<double> secondsPerMegabyte;
    RichEditMessageTimes times, all;
    double current = 0;
    std::size_t piece = 0;
    for (std::size_t at = 0; at < text.size(); at += options.piece, ++piece) {
        std::wstring out = text.substr(at, options.piece);
        std::wstring err;
        const auto start = Clock::now();
        {
            tarvo_bench::MessageTimesScope timed(pane.RichEdithWnd(), times);
            renderer.myConsole_OutputReceived(out, err);
            if (options.paintEvery > 0 && (piece + 1) % options.paintEvery == 0) renderer.FlushRedraw();
        }
        current += std::chrono::duration<double>(Clock::now() - start).count();
        Pump();
        const bool last = at + options.piece >= text.size();
        if ((piece + 1) % piecesPerMegabyte == 0 || last) {
            secondsPerMegabyte.push_back(current);
            const std::string label = "MB " + std::to_string(secondsPerMegabyte.size());
            PrintRow(label.c_str(), current, times);
            for (int k = 0; k < RichEditMessageTimes::kKinds; ++k) all.seconds[k] += times.seconds[k];
            times = RichEditMessageTimes{};
            current = 0;
        }
    }
    running = false;
    const auto start = Clock::now();
    {
        tarvo_bench::MessageTimesScope timed(pane.RichEdithWnd(), times);
        renderer.FlushRedraw();
    }
    std::printf("final repaint: %.3f s\n", std::chrono::duration<double>(Clock::now() - start).count());
    double total = 0;
    for (double s : secondsPerMegabyte) total += s;
    PrintRow("all", total, all);

    const double first = secondsPerMegabyte.front();
    const double last = secondsPerMegabyte.back();
    std::printf("pane characters: %ld (text: %zu)\n", pane.Methods().CharacterCount(), text.size());
    std::printf("first MB: %.3f s, last MB: %.3f s, last/first: %.2f\n", first, last,
                first > 0 ? last / first : 0.0);
    return 0;
}
