#pragma once
// The program's entry: the splash with its installation check, then the main
// window, then the help browser loaded hidden, then the message loop.
#include <windows.h>

#include <functional>
#include <string>

#include "mainwindow/help_frm.h"
#include "mainwindow/splash.h"

namespace tarvo::StartMod {

// Creates and loads the main window (its load handler ends by showing it) and
// answers its handle, or null when it could not be made. The splash and the
// help browser live until Main returns; the main window shows the help browser
// and unloads both when it unloads.
using MainWindowLoader = std::function<HWND(frmSplash& splash, HelpFrm& help)>;

// The folder of the running executable, without a trailing backslash.
std::wstring ProgramFolder();

// Answers the exit code of the message loop.
int Main(const MainWindowLoader& loadMainWindow);
// The same with the folder of the logo and the help pages given.
int Main(const MainWindowLoader& loadMainWindow, const std::wstring& programFolder);

}  // namespace tarvo::StartMod
