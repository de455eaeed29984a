#include "mainwindow/start_up.h"

#include <commctrl.h>
#include <ole2.h>

#include "common/guarded_call.h"
#include "common/program_path.h"
#include "controls/accelerator_routing.h"
#include "mainwindow/app_icon.h"

namespace tarvo::StartMod {

namespace {

constexpr wchar_t kAppIcon[] = L"AAA";

// The rich edits' object callbacks need OLE on this thread.
class OleScope {
public:
    OleScope() : initialised_(SUCCEEDED(::OleInitialize(nullptr))) {}
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    ~OleScope() {
        if (initialised_) ::OleUninitialize();
    }

private:
    bool initialised_;
};

// Main's help browser, loaded by a timer of the loop: a timer comes only when no
// other message is waiting, so the first prompt and the folder tree come first.
struct PendingHelp {
    HelpFrm* help = nullptr;
    std::wstring programFolder;
    const StepObserver* step = nullptr;
    UINT_PTR timer = 0;
};
PendingHelp g_pendingHelp;

void StopPendingHelp() {
    if (g_pendingHelp.timer) ::KillTimer(nullptr, g_pendingHelp.timer);
    g_pendingHelp = PendingHelp{};
}

void CALLBACK LoadPendingHelp(HWND, UINT, UINT_PTR, DWORD) {
    // On failure the browser is loaded when it is asked for.
    GuardedCall([] {
        PendingHelp pending = g_pendingHelp;
        StopPendingHelp();
        if (!pending.help) return;
        LoadHelp(*pending.help, pending.programFolder);
        if (pending.step && *pending.step) (*pending.step)("help browser loaded");
    });
}

}  // namespace

void LoadHelp(HelpFrm& help, const std::wstring& programFolder) {
    if (help.hWnd()) return;
    if (help.Load(programFolder)) AppIcon::SetAppIcon(help.hWnd(), kAppIcon, true);
}

int Main(const MainWindowLoader& loadMainWindow) { return Main(loadMainWindow, ProgramFolder()); }

int Main(const MainWindowLoader& loadMainWindow, const std::wstring& programFolder, const StepObserver& step) {
    const auto stepDone = [&step](const char* name) {
        if (step) step(name);
    };
    ::InitCommonControls();
    OleScope ole;
    stepDone("common controls and OLE");
    frmSplash splash;
    HelpFrm help;

    if (!splash.Load(programFolder)) return 1;
    splash.Show();
    AcceleratorRouting::PumpPending();
    stepDone("splash shown");

    if (splash.LogoImageType() != 0) {
        const HWND mainWindow = loadMainWindow.Create ? loadMainWindow.Create(splash, help) : nullptr;
        if (!mainWindow) return 1;
        splash.MainWindow(mainWindow);
        AppIcon::SetAppIcon(mainWindow, kAppIcon, true);
        if (loadMainWindow.Load && !loadMainWindow.Load()) return 1;
        splash.Finish();
        stepDone("splash hidden");
        if (const UINT_PTR timer = ::SetTimer(nullptr, 0, 0, LoadPendingHelp)) {
            g_pendingHelp = PendingHelp{&help, programFolder, &step, timer};
        } else {
            LoadHelp(help, programFolder);
        }
    }
    // Without the logo only the splash is up; its Exit ends the loop.
    const int exitCode = AcceleratorRouting::RunMessageLoop();
    StopPendingHelp();
    return exitCode;
}

}  // namespace tarvo::StartMod
