// Tarvo: a graphical console for the Windows command interpreter.
#include <windows.h>

#include <memory>
#include <string>

#include "common/library_search.h"
#include "console/command_line.h"
#include "mainwindow/main_form.h"
#include "mainwindow/start_mod.h"

#ifndef TARVO_HOMEPAGE
#define TARVO_HOMEPAGE L"https://tarvo.example.org/"
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    tarvo::RestrictLibrarySearch();  // before any library is loaded by name
    wchar_t exePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
    const std::wstring startFolder = tarvo::StartFolderFromArguments(arguments ? arguments : L"");

    std::unique_ptr<tarvo::mainForm> form;
    return tarvo::StartMod::Main([&](tarvo::frmSplash& splash, tarvo::HelpFrm& help) -> HWND {
        tarvo::MainFormOptions options;
        options.startFolder = startFolder;
        options.adminMode = tarvo::IsAdminExecutable(exePath);
        options.homePage = TARVO_HOMEPAGE;
        options.ShowHelp = [&help] { help.Show(); };
        options.UnloadWindows = [&help, &splash] {
            help.Unload();
            splash.Unload();
        };
        form = std::make_unique<tarvo::mainForm>();
        return form->Load(std::move(options)) ? form->hWnd() : nullptr;
    });
}
