#pragma once
// StartMod: the start-up.
// The program's entry: the splash with its installation check, then the main
// window, then the message loop, in which the help browser is loaded hidden.
#include <windows.h>

#include <functional>
#include <string>

#include "mainwindow/help_frm.h"
#include "mainwindow/splash.h"

namespace tarvo::StartMod {

// The main window in two steps, so that it has the application icon before it
// loads. Create answers its handle, or null when it could not be made; Load runs
// its load handler, which ends by showing it. The splash and the help browser
// live until Main returns; the main window shows the help browser and unloads
// both when it unloads.
struct MainWindowLoader {
    std::function<HWND(frmSplash& splash, HelpFrm& help)> Create;
    std::function<bool()> Load;
};
// Told the name of each start-up step as it ends; the start-up benchmark times them.
using StepObserver = std::function<void(const char* step)>;

// Answers the exit code of the message loop.
int Main(const MainWindowLoader& loadMainWindow);
// The same with the folder of the logo and the help pages given.
int Main(const MainWindowLoader& loadMainWindow, const std::wstring& programFolder, const StepObserver& step = {});

// Loads the help browser hidden unless it is loaded already; Main does it once
// the main window is up and nothing else is waiting.
void LoadHelp(HelpFrm& help, const std::wstring& programFolder);

}  // namespace tarvo::StartMod
