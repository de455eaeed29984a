// A child process with predictable output for the runner tests.
//   bytes N         N bytes cycling through every value 0..255 on standard output
//   pid-sleep MS    its process id and CR LF, then sleeps MS milliseconds
//   echo-skip       reads a line and echoes it in two writes with a pause between, then
//                   "cdefg" on standard output and "err" on standard error
//   fast N K        N bytes of numbered lines in 64 KiB writes; after every K-th write
//                   (K > 0) a numbered line on standard error
#include <windows.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "fast_writer_text.h"

static void Write(const std::string& s, DWORD stream = STD_OUTPUT_HANDLE) {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(stream), s.data(), static_cast<DWORD>(s.size()), &written, nullptr);
}

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const unsigned long n = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 0;
    if (mode == "bytes") {
        std::string data;
        for (unsigned long i = 0; i < n; ++i) data.push_back(static_cast<char>(i % 256));
        Write(data);
    } else if (mode == "pid-sleep") {
        Write(std::to_string(::GetCurrentProcessId()) + "\r\n");
        ::Sleep(n);
    } else if (mode == "echo-skip") {
        std::string line;
        std::getline(std::cin, line);
        Write(line.substr(0, 1));
        ::Sleep(400);
        Write(line.substr(1) + "\r\ncdefg");
        Write("err", STD_ERROR_HANDLE);
    } else if (mode == "fast" && argc > 3) {
        const std::string text = tarvo::test::FastWriterText(n);
        const std::size_t errorEvery = std::strtoul(argv[3], nullptr, 10);
        for (std::size_t at = 0, block = 1; at < text.size(); at += tarvo::test::kFastBlockBytes, ++block) {
            Write(text.substr(at, tarvo::test::kFastBlockBytes));
            if (errorEvery > 0 && block % errorEvery == 0)
                Write(tarvo::test::FastWriterErrorLine(block / errorEvery), STD_ERROR_HANDLE);
        }
    }
    return 0;
}
