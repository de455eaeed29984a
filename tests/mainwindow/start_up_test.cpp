// The entry routine run in-process with a temporary program folder: timers
// play the user inside its message loop. And the application icon routine.
#include "mainwindow/start_up.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainwindow/app_icon.h"
#include "test_support.h"

namespace tarvo {
namespace {

HICON IconOf(HWND window, WPARAM kind) { return reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, kind, 0)); }
bool BothIcons(HWND window) { return window && IconOf(window, ICON_BIG) && IconOf(window, ICON_SMALL); }

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return 0;
    unique_hbitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    ::GetObjectW(mask.get(), sizeof(bitmap), &bitmap);
    return bitmap.bmWidth;
}

HWND PlainWindow(HWND owner) {
    return ::CreateWindowExW(0, L"STATIC", L"", owner ? WS_POPUP : WS_OVERLAPPEDWINDOW, 0, 0, 120, 80, owner, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

// What the timers saw inside Main's loop.
struct Observed {
    bool splashVisible = false, splashVisibleAfterStart = true, helpLoadedBeforeMain = true, iconsBeforeLoad = false;
    bool helpVisible = true, mainIcons = false, helpIcons = false, created = false;
    HWND help = nullptr, mainWindow = nullptr;
    std::vector<std::wstring> helpHistory;
    std::wstring splashCaption;
    frmSplash* splash = nullptr;
    HelpFrm* helpForm = nullptr;
} g_seen;

// Ends a loop that the test failed to end, so a fault shows as a failure, not a hang.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::PostQuitMessage(99);
}

// Looks once Main has made the main window and loaded the help browser, which a busy machine can delay.
void CALLBACK LookAndCloseMain(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_seen.helpForm || !g_seen.helpForm->hWnd()) return;
    ::KillTimer(nullptr, id);
    g_seen.splashVisibleAfterStart = ::IsWindowVisible(g_seen.splash->hWnd()) != FALSE;
    g_seen.help = g_seen.helpForm->hWnd();
    g_seen.helpVisible = ::IsWindowVisible(g_seen.help) != FALSE;
    g_seen.helpHistory = g_seen.helpForm->History();
    g_seen.mainIcons = BothIcons(g_seen.mainWindow);
    g_seen.helpIcons = BothIcons(g_seen.help);
    ::DestroyWindow(g_seen.mainWindow);  // the main window's unload ends the program
    ::PostQuitMessage(7);
}

// Without the logo only the splash is up: the user reads it and presses Exit.
void CALLBACK ExitFromSplash(HWND, UINT, UINT_PTR id, DWORD) {
    const HWND splash = ::FindWindowW(L"TarvoSplash", nullptr);
    if (!splash || !::IsWindowVisible(splash)) return;
    ::KillTimer(nullptr, id);
    g_seen.splashCaption = test::Caption(splash);
    g_seen.help = ::FindWindowW(L"TarvoHelpFrm", nullptr);
    ::PostMessageW(::FindWindowExW(splash, nullptr, L"Button", L"Exit"), BM_CLICK, 0, 0);
}

class StartModTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = Observed{};
        giveUp_ = ::SetTimer(nullptr, 0, 20000, GiveUp);
        loader_.Create = [](frmSplash& splash, HelpFrm& help) {
            g_seen.helpLoadedBeforeMain = help.hWnd() != nullptr;
            g_seen.splash = &splash;
            g_seen.helpForm = &help;
            g_seen.splashVisible = ::IsWindowVisible(splash.hWnd()) != FALSE;
            g_seen.created = true;
            return g_seen.mainWindow = PlainWindow(nullptr);
        };
        loader_.Load = [] {
            g_seen.iconsBeforeLoad = BothIcons(g_seen.mainWindow);
            return ::ShowWindow(g_seen.mainWindow, SW_SHOW), true;
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

TEST_F(StartModTest, WithTheLogoTheMainWindowComesUpThenTheHiddenHelpBrowser) {
    folder_.CopyLogo();
    folder_.WriteFile(L"help\\index.rtf", "{\\rtf1\\ansi Welcome\\par}");
    ::SetTimer(nullptr, 0, 200, LookAndCloseMain);
    ASSERT_EQ(StartMod::Main(loader_, folder_.Path()), 7);
    EXPECT_TRUE(g_seen.splashVisible) << "the splash is up while the main window loads";
    EXPECT_FALSE(g_seen.helpLoadedBeforeMain);
    EXPECT_FALSE(g_seen.splashVisibleAfterStart);
    ASSERT_NE(g_seen.help, nullptr);
    EXPECT_FALSE(g_seen.helpVisible);
    EXPECT_EQ(g_seen.helpHistory, std::vector<std::wstring>{L"index"});
    EXPECT_TRUE(g_seen.iconsBeforeLoad) << "the icon is set before the window loads";
    EXPECT_TRUE(g_seen.mainIcons && g_seen.helpIcons);
    EXPECT_FALSE(::IsWindow(g_seen.help)) << "Main's forms go when it returns";
}

TEST_F(StartModTest, WithoutTheLogoOnlyTheSplashComesAndItsExitEndsMain) {
    folder_.WriteFile(L"help\\index.rtf", "{\\rtf1\\ansi Welcome\\par}");
    ::SetTimer(nullptr, 0, 50, ExitFromSplash);
    EXPECT_EQ(StartMod::Main(loader_, folder_.Path()), 0);
    EXPECT_EQ(g_seen.splashCaption, L"Tarvo 2 - Corrupt installation");
    EXPECT_FALSE(g_seen.created) << "no main window";
    EXPECT_EQ(g_seen.help, nullptr) << "the help browser is never loaded";
    EXPECT_EQ(::FindWindowW(L"TarvoSplash", nullptr), nullptr);
}

TEST_F(StartModTest, AMainWindowThatCannotBeMadeEndsMain) {
    folder_.CopyLogo();
    loader_.Create = [](frmSplash&, HelpFrm&) { return HWND{}; };
    EXPECT_EQ(StartMod::Main(loader_, folder_.Path()), 1);
    EXPECT_EQ(::FindWindowW(L"TarvoSplash", nullptr), nullptr);
}

TEST(AppIconTest, SetsBothSharedIconsOnTheWindowAndWhenAskedItsTopLevelOwner) {
    unique_hwnd top(PlainWindow(nullptr)), middle(PlainWindow(top.get())), leaf(PlainWindow(middle.get()));
    AppIcon::SetAppIcon(leaf.get(), L"AAA", false);
    EXPECT_NE(IconOf(leaf.get(), ICON_BIG), nullptr);
    EXPECT_EQ(IconOf(top.get(), ICON_BIG), nullptr);
    AppIcon::SetAppIcon(leaf.get(), L"AAA", true);
    EXPECT_TRUE(BothIcons(top.get()) && BothIcons(leaf.get()));
    EXPECT_EQ(IconOf(middle.get(), ICON_BIG), nullptr) << "only the last owner of the chain";
    EXPECT_EQ(IconOf(top.get(), ICON_SMALL), IconOf(leaf.get(), ICON_SMALL)) << "shared: one handle";
    EXPECT_EQ(IconWidth(IconOf(leaf.get(), ICON_BIG)), 32);
    EXPECT_EQ(IconWidth(IconOf(leaf.get(), ICON_SMALL)), 16);
    AppIcon::SetAppIcon(middle.get(), L"NO-SUCH-ICON", false);
    EXPECT_EQ(IconOf(middle.get(), ICON_BIG), nullptr);
}

}  // namespace
}  // namespace tarvo
