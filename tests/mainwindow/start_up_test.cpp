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

using test::TempProgramFolder;

constexpr int kGiveUpExitCode = 99;

HICON IconOf(HWND window, WPARAM kind) {
    return reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, kind, 0));
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return {0, 0};
    unique_hbitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    ::GetObjectW(colour ? colour.get() : mask.get(), sizeof(bitmap), &bitmap);
    return {bitmap.bmWidth, colour ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

HWND PlainWindow(HWND owner, const wchar_t* title = L"") {
    return ::CreateWindowExW(0, L"STATIC", title, owner ? WS_POPUP : WS_OVERLAPPEDWINDOW, 0, 0, 120, 80, owner,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

// What the timers saw inside Main's loop.
struct Observed {
    bool splashVisible = false;
    bool splashVisibleAfterStart = true;
    bool helpLoadedBeforeMain = false;
    HWND help = nullptr;
    bool helpVisible = true;
    std::vector<std::wstring> helpHistory;
    bool iconsBeforeLoad = false;
    bool mainIcons = false;
    bool helpIcons = false;
    HWND mainWindow = nullptr;
    frmSplash* splash = nullptr;
    HelpFrm* helpForm = nullptr;
};

Observed g_seen;

// Ends a loop that the test failed to end, so a fault shows as a failure, not a hang.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::PostQuitMessage(kGiveUpExitCode);
}

// Looks once Main has made the main window and loaded the help browser, which a busy machine can delay.
void CALLBACK LookAndCloseMain(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_seen.helpForm || !g_seen.helpForm->hWnd()) return;
    ::KillTimer(nullptr, id);
    g_seen.splashVisibleAfterStart = ::IsWindowVisible(g_seen.splash->hWnd()) != FALSE;
    g_seen.help = g_seen.helpForm->hWnd();
    g_seen.helpVisible = g_seen.help && ::IsWindowVisible(g_seen.help);
    g_seen.helpHistory = g_seen.helpForm->History();
    g_seen.mainIcons = IconOf(g_seen.mainWindow, ICON_BIG) && IconOf(g_seen.mainWindow, ICON_SMALL);
    g_seen.helpIcons = g_seen.help && IconOf(g_seen.help, ICON_BIG) && IconOf(g_seen.help, ICON_SMALL);
    // The main window's unload ends the program.
    ::DestroyWindow(g_seen.mainWindow);
    ::PostQuitMessage(7);
}

class StartModTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = Observed{};
        giveUp_ = ::SetTimer(nullptr, 0, 20000, GiveUp);
    }
    void TearDown() override {
        ::KillTimer(nullptr, giveUp_);
        MSG quit;
        while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    TempProgramFolder folder_;
    UINT_PTR giveUp_ = 0;
};

TEST_F(StartModTest, WithTheLogoTheMainWindowComesUpThenTheHiddenHelpBrowser) {
    folder_.CopyLogo();
    folder_.WriteFile(L"help\\index.rtf", "{\\rtf1\\ansi Welcome\\par}");

    ::SetTimer(nullptr, 0, 200, LookAndCloseMain);
    StartMod::MainWindowLoader loader;
    loader.Create = [](frmSplash& splash, HelpFrm& help) {
        g_seen.splash = &splash;
        g_seen.helpForm = &help;
        g_seen.splashVisible = ::IsWindowVisible(splash.hWnd()) != FALSE;
        g_seen.helpLoadedBeforeMain = help.hWnd() != nullptr;
        g_seen.mainWindow = PlainWindow(nullptr, L"main");
        return g_seen.mainWindow;
    };
    loader.Load = [] {
        g_seen.iconsBeforeLoad = IconOf(g_seen.mainWindow, ICON_BIG) && IconOf(g_seen.mainWindow, ICON_SMALL);
        ::ShowWindow(g_seen.mainWindow, SW_SHOW);
        return true;
    };
    const int exitCode = StartMod::Main(loader, folder_.Path());

    ASSERT_EQ(exitCode, 7);
    EXPECT_TRUE(g_seen.splashVisible) << "the splash is up while the main window loads";
    EXPECT_FALSE(g_seen.helpLoadedBeforeMain);
    EXPECT_FALSE(g_seen.splashVisibleAfterStart);
    ASSERT_NE(g_seen.help, nullptr);
    EXPECT_FALSE(g_seen.helpVisible);
    EXPECT_EQ(g_seen.helpHistory, std::vector<std::wstring>{L"index"});
    EXPECT_TRUE(g_seen.iconsBeforeLoad) << "the icon is set before the window loads";
    EXPECT_TRUE(g_seen.mainIcons);
    EXPECT_TRUE(g_seen.helpIcons);
    EXPECT_FALSE(::IsWindow(g_seen.help)) << "Main's forms go when it returns";
}

TEST_F(StartModTest, AMainWindowThatCannotBeMadeEndsMain) {
    folder_.CopyLogo();
    StartMod::MainWindowLoader loader;
    loader.Create = [](frmSplash&, HelpFrm&) { return HWND{}; };
    EXPECT_EQ(StartMod::Main(loader, folder_.Path()), 1);
    EXPECT_EQ(::FindWindowW(L"TarvoSplash", nullptr), nullptr);
}

TEST(AppIconTest, SetsBothSharedIconsOnTheWindowAndWhenAskedItsTopLevelOwner) {
    unique_hwnd top(PlainWindow(nullptr));
    unique_hwnd middle(PlainWindow(top.get()));
    unique_hwnd leaf(PlainWindow(middle.get()));
    AppIcon::SetAppIcon(leaf.get(), L"AAA", false);
    EXPECT_NE(IconOf(leaf.get(), ICON_BIG), nullptr);
    EXPECT_EQ(IconOf(top.get(), ICON_BIG), nullptr);

    AppIcon::SetAppIcon(leaf.get(), L"AAA", true);
    for (HWND window : {top.get(), leaf.get()}) {
        EXPECT_NE(IconOf(window, ICON_BIG), nullptr);
        EXPECT_NE(IconOf(window, ICON_SMALL), nullptr);
    }
    EXPECT_EQ(IconOf(middle.get(), ICON_BIG), nullptr) << "only the last owner of the chain";
    EXPECT_EQ(IconOf(top.get(), ICON_SMALL), IconOf(leaf.get(), ICON_SMALL)) << "shared: one handle";
    const SIZE big = IconSize(IconOf(leaf.get(), ICON_BIG));
    const SIZE small = IconSize(IconOf(leaf.get(), ICON_SMALL));
    EXPECT_EQ(big.cx, ::GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(small.cx, ::GetSystemMetrics(SM_CXSMICON));

    AppIcon::SetAppIcon(middle.get(), L"NO-SUCH-ICON", false);
    EXPECT_EQ(IconOf(middle.get(), ICON_BIG), nullptr);
}

}  // namespace
}  // namespace tarvo
