// Tarvo: a graphical console for the Windows command interpreter.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "console/command_line.h"
#include "controls/accelerator_routing.h"
#include "mainwindow/main_form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::OleInitialize(nullptr);

    wchar_t exePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
    const bool adminMode = tarvo::IsAdminExecutable(exePath);

    int exitCode = 0;
    {
        tarvo::mainForm form;
        if (!form.Load(tarvo::StartFolderFromArguments(arguments ? arguments : L""), adminMode)) return 1;
        exitCode = tarvo::AcceleratorRouting::RunMessageLoop();
    }
    ::OleUninitialize();
    return exitCode;
}
