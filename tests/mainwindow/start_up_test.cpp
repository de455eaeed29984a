// The entry routine and its splash on real windows, with a temporary program
// folder that holds the logo or nothing: timers play the user inside the entry
// routine's message loop.
#include "mainwindow/start_up.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace tarvo {
namespace {

// What the loader and the timers saw inside Main's loop, in order.
std::wstring g_seen;
frmSplash* g_splash = nullptr;
HelpFrm* g_help = nullptr;
HWND g_main = nullptr, g_helpWindow = nullptr;

void See(const std::wstring& what, BOOL fact) { g_seen += what + (fact ? L"+ " : L"- "); }

// The widths of the big and the small icon, 0 for none.
void SeeIcons(HWND window) {
    for (WPARAM kind : {ICON_BIG, ICON_SMALL}) {
        ICONINFO info{};
        BITMAP mask{};
        if (::GetIconInfo(reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, kind, 0)), &info)) {
            unique_hbitmap colour(info.hbmColor), bits(info.hbmMask);
            ::GetObjectW(bits.get(), sizeof(mask), &mask);
        }
        g_seen += std::to_wstring(mask.bmWidth) + L" ";
    }
}

// Once Main has loaded the help browser, which a busy machine can delay; closing the main window ends Main.
void CALLBACK LookAndCloseMain(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_help->hWnd()) return;
    ::KillTimer(nullptr, id);
    g_helpWindow = g_help->hWnd();
    See(L"splash", ::IsWindowVisible(g_splash->hWnd()));
    See(L"help", ::IsWindowVisible(g_helpWindow));
    See(L"index", g_help->History() == std::vector<std::wstring>{L"index"});
    SeeIcons(g_helpWindow);
    ::DestroyWindow(g_main);
    ::PostQuitMessage(7);
}

// Without the logo only the splash is up: the user reads it and presses Exit.
void CALLBACK ExitFromSplash(HWND, UINT, UINT_PTR id, DWORD) {
    const HWND splash = ::FindWindowW(L"TarvoSplash", nullptr);
    if (!splash || !::IsWindowVisible(splash)) return;
    ::KillTimer(nullptr, id);
    g_seen += test::Caption(splash) + L"|" + test::Caption(::FindWindowExW(splash, nullptr, L"Static", nullptr));
    ::PostMessageW(::FindWindowExW(splash, nullptr, L"Button", L"Exit"), BM_CLICK, 0, 0);
}

// Ends a loop that the test failed to end, so a fault shows as a failure, not a hang.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::PostQuitMessage(99);
}

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen.clear();
        giveUp_ = ::SetTimer(nullptr, 0, 20000, GiveUp);
        folder_.WriteFile(L"help\\index.rtf", "{\\rtf1\\ansi Welcome\\par}");
        loader_.Create = [](frmSplash& splash, HelpFrm& help) {
            g_splash = &splash;
            g_help = &help;
            See(L"splash", ::IsWindowVisible(splash.hWnd()));
            See(L"help", help.hWnd() != nullptr);
            return g_main = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 120, 80, nullptr, nullptr,
                                              ::GetModuleHandleW(nullptr), nullptr);
        };
        loader_.Load = [] {
            SeeIcons(g_main);
            return ::ShowWindow(g_main, SW_SHOW), true;
        };
    }
    void TearDown() override {
        ::KillTimer(nullptr, giveUp_);
        while (test::TakeQuit()) {
        }
    }
    test::TempProgramFolder folder_;
    StartMod::MainWindowLoader loader_;
    UINT_PTR giveUp_ = 0;
};

TEST_F(StartUpTest, WithTheLogoTheSplashShowsWhileTheMainWindowLoadsWithItsIconsThenTheHiddenHelpBrowser) {
    folder_.CopyLogo();
    ::SetTimer(nullptr, 0, 200, LookAndCloseMain);
    ASSERT_EQ(StartMod::Main(loader_, folder_.Path()), 7);
    EXPECT_EQ(g_seen, L"splash+ help- 32 16 splash- help- index+ 32 16 ");
    EXPECT_FALSE(::IsWindow(g_helpWindow)) << "Main's forms go when it returns";
}

TEST_F(StartUpTest, WithoutTheLogoOnlyTheSplashComesAndItsExitEndsMainAsDoesAMainWindowThatCannotBeMade) {
    ::SetTimer(nullptr, 0, 50, ExitFromSplash);
    EXPECT_EQ(StartMod::Main(loader_, folder_.Path()), 0);
    EXPECT_EQ(g_seen, L"Tarvo 2 - Corrupt installation|It appears that a component required for the operation of the "
                      L"program is missing.\r\nPlease uninstall and reinstall Tarvo2.");
    EXPECT_EQ(::FindWindowW(L"TarvoHelpFrm", nullptr), nullptr) << "the help browser is never loaded";
    folder_.CopyLogo();
    loader_.Create = [](frmSplash&, HelpFrm&) { return HWND{}; };
    EXPECT_EQ(StartMod::Main(loader_, folder_.Path()), 1);
    EXPECT_EQ(::FindWindowW(L"TarvoSplash", nullptr), nullptr);
}

TEST_F(StartUpTest, TheSplashCloseHidesItWhileAMainWindowExistsAndEndsTheProgramOtherwise) {
    folder_.CopyLogo();
    frmSplash splash;
    ASSERT_TRUE(splash.Load(folder_.Path()));
    splash.Show();
    EXPECT_EQ(test::Caption(splash.hWnd()), L"Tarvo 2");
    EXPECT_FALSE(::IsWindowVisible(splash.Label1()) || ::IsWindowEnabled(splash.cmd1()));
    unique_hwnd mainWindow(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr));
    splash.MainWindow(mainWindow.get());
    ::SendMessageW(splash.hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(::IsWindow(splash.hWnd()) && !::IsWindowVisible(splash.hWnd()));
    EXPECT_FALSE(splash.EndedProgram() || test::TakeQuit());
    splash.Show();
    mainWindow.reset();  // now the same close would leave a process without a window
    ::SendMessageW(splash.hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(!splash.hWnd() && splash.EndedProgram());
    EXPECT_EQ(test::TakeQuit(), 0);
}

}  // namespace
}  // namespace tarvo
