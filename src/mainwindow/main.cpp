// Tarvo: a graphical console for the Windows command interpreter.
#include <windows.h>

#include "common/library_search.h"
#include "common/program_path.h"
#include "mainwindow/program.h"

#ifndef TARVO_HOMEPAGE
#define TARVO_HOMEPAGE L"https://tarvo.example.org/"
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    tarvo::RestrictLibrarySearch();  // before any library is loaded by name
    tarvo::ProgramOptions options;
    options.arguments = arguments ? arguments : L"";
    options.exePath = tarvo::ExecutablePath();
    options.homePage = TARVO_HOMEPAGE;
    return tarvo::RunProgram(options);
}
