#include "mainwindow/program.h"

#include <memory>

#include "console/command_line.h"
#include "mainwindow/main_form.h"

namespace tarvo {

int RunProgram(const ProgramOptions& program) {
    const std::wstring startFolder = StartFolderFromArguments(program.arguments);
    const std::wstring programFolder = StartMod::ProgramFolder();
    std::unique_ptr<mainForm> form;
    const auto loadMainWindow = [&](frmSplash& splash, HelpFrm& help) -> HWND {
        MainFormOptions options;
        options.startFolder = startFolder;
        options.adminMode = IsAdminExecutable(program.exePath);
        options.homePage = program.homePage;
        options.ShowHelp = [&help, &programFolder] {
            StartMod::LoadHelp(help, programFolder);
            help.Show();
        };
        options.UnloadWindows = [&help, &splash] {
            help.Unload();
            splash.Unload();
        };
        options.StepDone = program.step;
        form = std::make_unique<mainForm>();
        return form->Load(std::move(options)) ? form->hWnd() : nullptr;
    };
    return StartMod::Main(loadMainWindow, programFolder, program.step);
}

}  // namespace tarvo
