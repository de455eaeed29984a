// Runs one command line through the console runner and prints each event.
#include <cstdio>
#include <string>

#include "console/process_runner.h"

int wmain(int argc, wchar_t** argv) {
    std::wstring command = L"echo Hello from Tarvo& echo and from standard error 1>&2";
    if (argc > 1) {
        command.clear();
        for (int i = 1; i < argc; ++i) command += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
    }
    wchar_t comSpec[MAX_PATH] = L"cmd.exe";
    ::GetEnvironmentVariableW(L"ComSpec", comSpec, MAX_PATH);

    tarvo::clsConsole console;
    console.OutputReceived = [](std::wstring& out, std::wstring& err) {
        std::wprintf(L"OutputReceived(stdOut=\"%ls\", stdErr=\"%ls\")\n", out.c_str(), err.c_str());
    };
    console.Complete = [] { std::wprintf(L"Complete\n"); };
    const auto result = console.RunCommand(std::wstring(comSpec) + L" /c " + command);
    std::wprintf(L"RunCommand returned %lu\n", static_cast<unsigned long>(result));
    return static_cast<int>(result);
}
