// Tarvo: a graphical console for the Windows command interpreter.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <string>

#include "console/command_line.h"
#include "controls/accelerator_routing.h"
#include "mainwindow/main_form.h"

#ifndef TARVO_HOMEPAGE
#define TARVO_HOMEPAGE L"https://tarvo.example.org/"
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    ::InitCommonControls();
    ::OleInitialize(nullptr);

    wchar_t exePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);

    int exitCode = 0;
    {
        tarvo::MainFormOptions options;
        options.startFolder = tarvo::StartFolderFromArguments(arguments ? arguments : L"");
        options.adminMode = tarvo::IsAdminExecutable(exePath);
        options.homePage = TARVO_HOMEPAGE;
        tarvo::mainForm form;
        if (!form.Load(std::move(options))) return 1;
        exitCode = tarvo::AcceleratorRouting::RunMessageLoop();
    }
    ::OleUninitialize();
    return exitCode;
}
