// The entry routine and its splash on real windows, with a temporary program
// folder that holds the logo or nothing: timers play the user inside the entry
// routine's message loop.
#include "mainwindow/start_up.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace tarvo {
namespace {

// What the loader and the timers saw inside Main's loops, in order.
std::wstring g_seen;
frmSplash* g_splash = nullptr;
HelpFrm* g_help = nullptr;
HWND g_main = nullptr, g_helpWindow = nullptr;

void See(const std::wstring& what, BOOL fact) { g_seen += what + (fact ? L"+ " : L"- "); }

void SeeIcons(HWND window) {
    See(L"icons", ::SendMessageW(window, WM_GETICON, ICON_BIG, 0) && ::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
}

// Without the logo only the splash is up: the user reads it and presses Exit.
void CALLBACK ExitFromSplash(HWND, UINT, UINT_PTR id, DWORD) {
    const HWND splash = ::FindWindowW(L"TarvoSplash", nullptr);
    if (!splash || !::IsWindowVisible(splash)) return;
    ::KillTimer(nullptr, id);
    g_seen += test::Caption(splash) + L"|" + test::Caption(::FindWindowExW(splash, nullptr, L"Static", nullptr));
    ::PostMessageW(::FindWindowExW(splash, nullptr, L"Button", L"Exit"), BM_CLICK, 0, 0);
}

// Once Main has loaded the help browser, which a busy machine can delay. With
// the main window gone the splash's close ends the program (while it exists the
// close only hides, which the end-to-end tests see).
void CALLBACK LookAndClose(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_help->hWnd()) return;
    ::KillTimer(nullptr, id);
    g_helpWindow = g_help->hWnd();
    See(L"splash", ::IsWindowVisible(g_splash->hWnd()));
    See(L"help", ::IsWindowVisible(g_helpWindow));
    See(L"index", g_help->History() == std::vector<std::wstring>{L"index"});
    SeeIcons(g_helpWindow);
    ::DestroyWindow(g_main);
    ::SendMessageW(g_splash->hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    See(L"ended", !g_splash->hWnd() && g_splash->EndedProgram());
    if (!g_splash->EndedProgram()) ::PostQuitMessage(99);  // a loop the splash failed to end
}

TEST(StartUp, WithTheLogoTheSplashTheMainWindowThenTheHiddenHelpBrowserOrNothingWhenItCannotBeMadeWithoutItOnlyTheSplash) {
    test::TempProgramFolder folder;
    folder.WriteFile(L"help\\index.rtf", "{\\rtf1\\ansi Welcome\\par}");
    StartMod::MainWindowLoader loader;
    loader.Create = [](frmSplash& splash, HelpFrm& help) {
        g_splash = &splash;
        g_help = &help;
        See(L"splash", ::IsWindowVisible(splash.hWnd()));
        See(L"help", help.hWnd() != nullptr);
        return g_main = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 120, 80, nullptr, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr);
    };
    loader.Load = [] {
        SeeIcons(g_main);
        return ::ShowWindow(g_main, SW_SHOW), true;
    };
    folder.CopyLogo();
    ::SetTimer(nullptr, 0, 200, LookAndClose);
    ASSERT_EQ(StartMod::Main(loader, folder.Path()), 0);
    EXPECT_FALSE(::IsWindow(g_helpWindow)) << "Main's forms go when it returns";
    loader.Create = [](frmSplash&, HelpFrm&) { return HWND{}; };
    EXPECT_EQ(StartMod::Main(loader, folder.Path()), 1);
    EXPECT_EQ(::FindWindowW(L"TarvoSplash", nullptr), nullptr);
    ::DeleteFileW((folder.Path() + L"\\tarvo2logo.png").c_str());
    ::SetTimer(nullptr, 0, 50, ExitFromSplash);
    EXPECT_EQ(StartMod::Main(loader, folder.Path()), 0);
    EXPECT_EQ(g_seen, L"splash+ help- icons+ splash- help- index+ icons+ ended+ Tarvo 2 - Corrupt installation|It appears that a "
                      L"component required for the operation of the program is missing.\r\nPlease uninstall and reinstall Tarvo2.");
    EXPECT_EQ(::FindWindowW(L"TarvoHelpFrm", nullptr), nullptr) << "without the logo the help browser is never loaded";
}

}  // namespace
}  // namespace tarvo
