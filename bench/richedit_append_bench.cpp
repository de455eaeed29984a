// Appending output to a console pane: 5 MB of text in 1024-character pieces,
// each piece protected after it is appended, redraw off during each append.
// Prints the time per MB of the first and of the last MB and their ratio, to
// show whether an append grows more expensive as the pane fills.
// Usage: bench_richedit_append [megabytes]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/handles.h"
#include "controls/rich_edit.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kPiece = 1024;
constexpr std::size_t kMegabyte = 1024 * 1024;

std::wstring MakePiece(std::size_t index) {
    std::wstring line = L"output line " + std::to_wstring(index) + L" The quick brown fox jumps over the lazy dog";
    std::wstring piece;
    while (piece.size() < kPiece) piece += line + L"\r\n";
    piece.resize(kPiece);
    return piece;
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

}  // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 5;
    if (megabytes < 1) return 2;
    tarvo::unique_hwnd form(CreateForm());
    tarvo::VRX_RichEdit pane;
    if (!form || !pane.Create(form.get(), 0, 0, 780, 560)) return 1;
    pane.Init();
    if (!pane.RichEdithWnd()) return 1;
    pane.View().maxLength(-1);
    auto& methods = pane.Methods();

    const std::size_t piecesPerMegabyte = kMegabyte / kPiece;
    std::vector<double> secondsPerMegabyte;
    double current = 0, repaint = 0;
    for (std::size_t i = 0; i < megabytes * piecesPerMegabyte; ++i) {
        const std::wstring piece = MakePiece(i);
        const auto start = Clock::now();
        pane.Behavior().Redraw(false);
        const long from = methods.CharacterCount();
        methods.SelectionCharRangeSet(from, from);
        methods.InsertText(piece);
        methods.SelectionCharRangeSet(from, methods.CharacterCount());
        methods.FormatProtectedSet(true);
        methods.SelectionCharRangeSet(-1, -1);
        const auto redraw = Clock::now();
        pane.Behavior().Redraw(true);
        const auto end = Clock::now();
        current += std::chrono::duration<double>(end - start).count();
        repaint += std::chrono::duration<double>(end - redraw).count();
        Pump();
        if ((i + 1) % piecesPerMegabyte == 0) {
            secondsPerMegabyte.push_back(current);
            std::printf("MB %zu: %.3f s (of which repainting after redraw on: %.3f s)\n", secondsPerMegabyte.size(),
                        current, repaint);
            std::fflush(stdout);
            current = 0;
            repaint = 0;
        }
    }
    const double first = secondsPerMegabyte.front();
    const double last = secondsPerMegabyte.back();
    std::printf("pane characters: %ld\n", methods.CharacterCount());
    std::printf("first MB: %.3f s/MB, last MB: %.3f s/MB, last/first: %.2f\n", first, last, first > 0 ? last / first : 0.0);
    return 0;
}
