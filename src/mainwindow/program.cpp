#include "mainwindow/program.h"

#include <memory>

#include "common/program_path.h"
#include "console/command_line.h"
#include "mainwindow/main_form.h"

namespace tarvo {

int RunProgram(const ProgramOptions& program) {
    const std::wstring startFolder = StartFolderFromArguments(program.arguments);
    const std::wstring programFolder = ProgramFolder();
    std::unique_ptr<mainForm> form;
    StartMod::MainWindowLoader loader;
    loader.Create = [&](frmSplash& splash, HelpFrm& help) -> HWND {
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
        return form->Create(std::move(options)) ? form->hWnd() : nullptr;
    };
    loader.Load = [&] { return form->Load(); };
    return StartMod::Main(loader, programFolder, program.step);
}

}  // namespace tarvo
