// A child process with predictable output for the runner tests.
//   write N         N bytes of a repeating pattern on standard output
//   bytes           every byte value 0..255 once, in order
//   pid-sleep MS    its process id and CR LF, then sleeps MS milliseconds
//   echo-skip       reads a line and echoes it in two writes with a pause between, then
//                   "cdefg" on standard output and "err" on standard error
//   touch PATH      creates the file PATH
//   prompt-read     writes "Name? ", reads a line, writes "got:<line>" and CR LF
//   two-streams     "a", "b" on standard output in one write, a pause, then "x", "y" on standard error in one write
//   err-split       writes "first half" on standard error, pauses, then "second half"
//   fast N K        N bytes of numbered lines in 64 KiB writes; after every K-th write
//                   (K > 0) a numbered line on standard error
#include <windows.h>

#include <cstdlib>
#include <string>

#include "fast_writer_text.h"

namespace {

void WriteAll(HANDLE h, const void* data, DWORD size) {
    DWORD written = 0;
    ::WriteFile(h, data, size, &written, nullptr);
}
void Out(const std::string& s) { WriteAll(::GetStdHandle(STD_OUTPUT_HANDLE), s.data(), static_cast<DWORD>(s.size())); }
void Err(const std::string& s) { WriteAll(::GetStdHandle(STD_ERROR_HANDLE), s.data(), static_cast<DWORD>(s.size())); }

std::string ReadLine() {
    std::string line;
    char c;
    DWORD got = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, nullptr) && got == 1) {
        if (c == '\n') break;
        if (c != '\r') line.push_back(c);
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    const std::string mode = argv[1];
    if (mode == "write" && argc > 2) {
        const long count = std::atol(argv[2]);
        std::string data;
        for (long i = 0; i < count; ++i) data.push_back(static_cast<char>('a' + i % 26));
        Out(data);
    } else if (mode == "bytes") {
        char all[256];
        for (int i = 0; i < 256; ++i) all[i] = static_cast<char>(i);
        WriteAll(::GetStdHandle(STD_OUTPUT_HANDLE), all, 256);
    } else if (mode == "pid-sleep" && argc > 2) {
        Out(std::to_string(::GetCurrentProcessId()) + "\r\n");
        ::Sleep(static_cast<DWORD>(std::atol(argv[2])));
    } else if (mode == "echo-skip") {
        const std::string line = ReadLine();
        Out(line.substr(0, 1));
        ::Sleep(400);
        Out(line.substr(1) + "\r\ncdefg");
        Err("err");
    } else if (mode == "prompt-read") {
        Out("Name? ");
        Out("got:" + ReadLine() + "\r\n");
    } else if (mode == "two-streams") {
        Out("a\r\nb\r\n");
        ::Sleep(200);  // so that the reader takes the two in order
        Err("x\r\ny\r\n");
    } else if (mode == "err-split") {
        Err("first half");
        ::Sleep(400);
        Err("second half\r\n");
    } else if (mode == "fast" && argc > 3) {
        const std::string text = tarvo::test::FastWriterText(std::strtoul(argv[2], nullptr, 10));
        const std::size_t errorEvery = std::strtoul(argv[3], nullptr, 10);
        for (std::size_t at = 0, block = 1; at < text.size(); at += tarvo::test::kFastBlockBytes, ++block) {
            Out(text.substr(at, tarvo::test::kFastBlockBytes));
            if (errorEvery > 0 && block % errorEvery == 0) Err(tarvo::test::FastWriterErrorLine(block / errorEvery));
        }
    } else if (mode == "touch" && argc > 2) {
        HANDLE f = ::CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return 2;
        ::CloseHandle(f);
    } else {
        return 1;
    }
    return 0;
}
