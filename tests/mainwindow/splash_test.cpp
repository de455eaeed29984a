// The splash and its installation check on real windows, with a temporary
// program folder that holds the logo, a broken logo or nothing.
#include "mainwindow/splash.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/accelerator_routing.h"
#include "dib_surface.h"
#include "test_support.h"

namespace tarvo {
namespace {

using test::Caption;
using test::TempProgramFolder;

class SplashTest : public ::testing::Test {
protected:
    void TearDown() override {
        splash_.Unload();
        while (test::TakeQuit()) {
        }
    }
    void ShowWithLogo() {
        folder_.CopyLogo();
        ASSERT_TRUE(splash_.Load(folder_.Path()));
        splash_.Show();
        AcceleratorRouting::PumpPending();
    }
    TempProgramFolder folder_;
    frmSplash splash_;
};

TEST_F(SplashTest, WithoutAUsableLogoItReportsACorruptInstallationAndExitEnds) {
    TempProgramFolder brokenLogo;
    brokenLogo.WriteFile(frmSplash::kLogoFileName, "not a picture");
    for (const TempProgramFolder* folder : {&folder_, &brokenLogo}) {
        frmSplash splash;
        ASSERT_TRUE(splash.Load(folder->Path()));
        splash.Show();
        AcceleratorRouting::PumpPending();
        EXPECT_EQ(splash.LogoImageType(), 0);
        EXPECT_EQ(Caption(splash.hWnd()), L"Tarvo 2 - Corrupt installation");
        EXPECT_EQ(Caption(splash.Label1()),
                  L"It appears that a component required for the operation of the program is missing.\r\n"
                  L"Please uninstall and reinstall Tarvo2.");
        EXPECT_TRUE(::IsWindowVisible(splash.Label1()) && ::IsWindowEnabled(splash.cmd1()));
        EXPECT_FALSE(::IsWindowVisible(splash.Picture1()));
        EXPECT_EQ(Caption(splash.cmd1()), L"Exit");
        // 100 twips in, 200 twips narrower than the window (15 twips per pixel at 96 dpi).
        const RECT label = test::RectInParent(splash.Label1());
        EXPECT_EQ(label.left, 7);
        EXPECT_EQ(label.right - label.left, 287);
        // The button is not covered by the label that reaches down to the bottom edge.
        const RECT exitButton = test::RectInParent(splash.cmd1());
        const POINT centre{(exitButton.left + exitButton.right) / 2, (exitButton.top + exitButton.bottom) / 2};
        EXPECT_EQ(::ChildWindowFromPointEx(splash.hWnd(), centre, CWP_SKIPINVISIBLE), splash.cmd1());

        const HWND window = splash.hWnd();
        ::SendMessageW(splash.cmd1(), BM_CLICK, 0, 0);
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_TRUE(splash.EndedProgram());
        EXPECT_EQ(test::TakeQuit(), 0);
    }
}

TEST_F(SplashTest, WithTheLogoItDrawsTheLogoOnWhiteAndFinishOnlyHides) {
    ASSERT_NO_FATAL_FAILURE(ShowWithLogo());
    EXPECT_NE(splash_.LogoImageType(), 0);
    EXPECT_EQ(Caption(splash_.hWnd()), L"Tarvo 2");
    EXPECT_FALSE(::IsWindowVisible(splash_.Label1()) || ::IsWindowEnabled(splash_.cmd1()));
    ASSERT_TRUE(::IsWindowVisible(splash_.Picture1()));

    // What the picture shows against the logo composed on white by the image object itself.
    testing::DibSurface expected(300, 300, 0xFFFFFFFF);
    const_cast<c32bppDIB&>(splash_.Logo()).Render(expected.dc(), 0, 0, 300, 300, 0, 0, 300, 300, 100, true);
    int drawn = 0, matching = 0;
    unique_window_dc shown(splash_.Picture1());
    for (int y = 10; y < 250; y += 20) {
        for (int x = 10; x < 290; x += 20) {
            const COLORREF want = ::GetPixel(expected.dc(), x, y), got = ::GetPixel(shown.get(), x, y);
            if (want == 0xFFFFFF) continue;
            ++drawn;
            matching += std::abs(GetRValue(got) - GetRValue(want)) <= 8 && std::abs(GetGValue(got) - GetGValue(want)) <= 8 &&
                        std::abs(GetBValue(got) - GetBValue(want)) <= 8;
        }
    }
    ASSERT_GT(drawn, 0) << "the logo is white where it is sampled";
    EXPECT_EQ(matching, drawn);

    // Finish hides it, and an unload by code leaves the program running.
    splash_.Finish();
    EXPECT_FALSE(::IsWindowVisible(splash_.hWnd()));
    const HWND window = splash_.hWnd();
    splash_.Unload();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(test::TakeQuit());
    EXPECT_NE(splash_.LogoImageType(), 0) << "the logo lives as long as the splash object";
}

TEST_F(SplashTest, TitleBarCloseHidesWhileAMainWindowExistsAndEndsOtherwise) {
    ASSERT_NO_FATAL_FAILURE(ShowWithLogo());
    unique_hwnd mainWindow(::CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                             nullptr, ::GetModuleHandleW(nullptr), nullptr));
    splash_.MainWindow(mainWindow.get());
    ::SendMessageW(splash_.hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(::IsWindow(splash_.hWnd()));
    EXPECT_FALSE(::IsWindowVisible(splash_.hWnd()));
    EXPECT_FALSE(splash_.EndedProgram());
    EXPECT_FALSE(test::TakeQuit());

    // Once the main window is gone, the same close would leave a process without a window.
    splash_.Show();
    mainWindow.reset();
    const HWND window = splash_.hWnd();
    ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_TRUE(splash_.EndedProgram());
    EXPECT_EQ(test::TakeQuit(), 0);
}

}  // namespace
}  // namespace tarvo
