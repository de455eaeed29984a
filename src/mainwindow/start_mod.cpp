#include "mainwindow/start_mod.h"

#include <commctrl.h>
#include <ole2.h>

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

}  // namespace

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

int Main(const MainWindowLoader& loadMainWindow) { return Main(loadMainWindow, ProgramFolder()); }

int Main(const MainWindowLoader& loadMainWindow, const std::wstring& programFolder) {
    ::InitCommonControls();
    OleScope ole;
    frmSplash splash;
    HelpFrm help;

    if (!splash.Load(programFolder)) return 1;
    splash.Show();
    AcceleratorRouting::PumpPending();

    if (splash.LogoImageType() != 0) {
        const HWND mainWindow = loadMainWindow.Create ? loadMainWindow.Create(splash, help) : nullptr;
        if (!mainWindow) return 1;
        splash.MainWindow(mainWindow);
        AppIcon::SetAppIcon(mainWindow, kAppIcon, true);
        if (loadMainWindow.Load && !loadMainWindow.Load()) return 1;
        splash.Finish();
        if (help.Load(programFolder)) AppIcon::SetAppIcon(help.hWnd(), kAppIcon, true);
    }
    // Without the logo only the splash is up; its Exit ends the loop.
    return AcceleratorRouting::RunMessageLoop();
}

}  // namespace tarvo::StartMod
