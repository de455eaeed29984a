// Time for 5 MB of "type" output to pass through the runner, against the same
// child read by a plain blocking pipe loop, both measured in this run.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "common/handles.h"
#include "raw_pipe_baseline.h"
#include "console/process_runner.h"

namespace {

using Clock = std::chrono::steady_clock;

std::wstring MakeInputFile(std::size_t bytes) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"tarvo_bench_5mb.txt";
    std::string line = "The quick brown fox jumps over the lazy dog 0123456789 abcdefghijklmnopqrstuvwxyz\r\n";
    std::string data;
    while (data.size() < bytes) data += line;
    data.resize(bytes);
    tarvo::unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    return path;
}

double RunnerSeconds(const std::wstring& command, std::size_t& charsOut, int& events) {
    tarvo::clsConsole console;
    charsOut = 0;
    events = 0;
    console.OutputReceived = [&](std::wstring& out, std::wstring& err) {
        charsOut += out.size() + err.size();
        ++events;
    };
    const auto start = Clock::now();
    console.RunCommand(command);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
    const std::size_t size = 5u * 1024u * 1024u;
    const std::wstring file = MakeInputFile(size);
    const std::wstring command = tarvo_bench::ComSpecOrCmd() + L" /c type \"" + file + L"\"";
    std::size_t rawBytes = 0, runnerChars = 0;
    int events = 0;
    tarvo_bench::RawPipeSeconds(command, rawBytes);  // warms the file cache and the interpreter
    const double raw = tarvo_bench::RawPipeSeconds(command, rawBytes);
    const double runner = RunnerSeconds(command, runnerChars, events);
    std::printf("raw pipe loop: %.3f s for %zu bytes\n", raw, rawBytes);
    std::printf("clsConsole:    %.3f s for %zu characters in %d events\n", runner, runnerChars, events);
    std::printf("ratio runner/raw: %.2f (target <= 1.5)\n", runner / raw);
    ::DeleteFileW(file.c_str());
    return runnerChars == rawBytes ? 0 : 1;
}
