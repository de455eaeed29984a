#pragma once
// The whole program: the start-up with the main window, the help browser and
// the splash wired together. Tarvo2 runs it as it is; the start-up benchmark
// runs it with an observer of its steps.
#include <string>

#include "mainwindow/start_up.h"

namespace tarvo {

struct ProgramOptions {
    std::wstring arguments;  // the command line after the program's name
    std::wstring exePath;
    std::wstring homePage;
    StartMod::StepObserver step;
};

// Answers the program's exit code.
int RunProgram(const ProgramOptions& options);

}  // namespace tarvo
