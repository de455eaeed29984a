// Tarvo: a graphical console for the Windows command interpreter.
#include <windows.h>

#include "common/library_search.h"
#include "mainwindow/program.h"

#ifndef TARVO_HOMEPAGE
#define TARVO_HOMEPAGE L"https://tarvo.example.org/"
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    tarvo::RestrictLibrarySearch();  // before any library is loaded by name
    wchar_t exePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
    tarvo::ProgramOptions options;
    options.arguments = arguments ? arguments : L"";
    options.exePath = exePath;
    options.homePage = TARVO_HOMEPAGE;
    return tarvo::RunProgram(options);
}
