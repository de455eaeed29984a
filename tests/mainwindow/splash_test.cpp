// The splash and its installation check on real windows, with a temporary
// program folder that holds the logo, a broken logo or nothing.
#include "mainwindow/splash.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/accelerator_routing.h"
#include "start_mod_test_support.h"

namespace tarvo {
namespace {

using testing_support::TempProgramFolder;

std::wstring Caption(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// True when a WM_QUIT waits; it is taken from the queue.
bool TakeQuit(int& exitCode) {
    MSG msg;
    if (!::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    exitCode = static_cast<int>(msg.wParam);
    return true;
}

RECT ClientRectIn(HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class SplashTest : public ::testing::Test {
protected:
    void TearDown() override {
        splash_.Unload();
        int ignored = 0;
        while (TakeQuit(ignored)) {
        }
    }
    TempProgramFolder folder_;
    frmSplash splash_;
};

TEST_F(SplashTest, WithoutTheLogoItReportsACorruptInstallation) {
    ASSERT_TRUE(splash_.Load(folder_.Path()));
    splash_.Show();
    AcceleratorRouting::PumpPending();

    EXPECT_EQ(splash_.LogoImageType(), 0);
    EXPECT_EQ(Caption(splash_.hWnd()), L"Tarvo 2 - Corrupt installation");
    EXPECT_EQ(Caption(splash_.Label1()),
              L"It appears that a component required for the operation of the program is missing.\r\n"
              L"Please uninstall and reinstall Tarvo2.");
    EXPECT_TRUE(::IsWindowVisible(splash_.Label1()));
    EXPECT_FALSE(::IsWindowVisible(splash_.Picture1()));
    EXPECT_TRUE(::IsWindowVisible(splash_.cmd1()));
    EXPECT_TRUE(::IsWindowEnabled(splash_.cmd1()));
    EXPECT_EQ(Caption(splash_.cmd1()), L"Exit");

    RECT outer{};
    ::GetWindowRect(splash_.hWnd(), &outer);
    EXPECT_EQ(outer.right - outer.left, 300);
    EXPECT_EQ(outer.bottom - outer.top, 300);
    // 100 twips in, 200 twips narrower than the window (15 twips per pixel at 96 dpi).
    const RECT label = ClientRectIn(splash_.Label1());
    EXPECT_EQ(label.left, 7);
    EXPECT_EQ(label.right - label.left, 287);
    // The button is not covered by the label that reaches down to the bottom edge.
    RECT exitButton = ClientRectIn(splash_.cmd1());
    POINT centre{(exitButton.left + exitButton.right) / 2, (exitButton.top + exitButton.bottom) / 2};
    EXPECT_EQ(::ChildWindowFromPointEx(splash_.hWnd(), centre, CWP_SKIPINVISIBLE), splash_.cmd1());
}

TEST_F(SplashTest, ExitUnloadsTheSplashAndEndsTheProgram) {
    ASSERT_TRUE(splash_.Load(folder_.Path()));
    splash_.Show();
    const HWND window = splash_.hWnd();
    ::SendMessageW(splash_.cmd1(), BM_CLICK, 0, 0);

    EXPECT_FALSE(::IsWindow(window));
    EXPECT_TRUE(splash_.EndedProgram());
    int exitCode = -1;
    ASSERT_TRUE(TakeQuit(exitCode));
    EXPECT_EQ(exitCode, 0);
}

TEST_F(SplashTest, WithTheLogoItDrawsTheLogoOnWhite) {
    folder_.CopyLogo();
    ASSERT_TRUE(splash_.Load(folder_.Path()));
    splash_.Show();
    AcceleratorRouting::PumpPending();

    EXPECT_NE(splash_.LogoImageType(), 0);
    EXPECT_EQ(Caption(splash_.hWnd()), L"Tarvo 2");
    EXPECT_FALSE(::IsWindowVisible(splash_.Label1()));
    EXPECT_FALSE(::IsWindowVisible(splash_.cmd1()));
    EXPECT_FALSE(::IsWindowEnabled(splash_.cmd1()));
    ASSERT_TRUE(::IsWindowVisible(splash_.Picture1()));
    const RECT picture = ClientRectIn(splash_.Picture1());
    EXPECT_EQ(picture.left, 0);
    EXPECT_EQ(picture.top, 0);
    EXPECT_EQ(picture.right, 300);

    // What the picture shows against the logo composed on white by the image object itself.
    unique_hdc expected(::CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 300;
    info.bmiHeader.biHeight = 300;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    unique_hbitmap canvas(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(canvas);
    select_object_scope select(expected.get(), canvas.get());
    ::PatBlt(expected.get(), 0, 0, 300, 300, WHITENESS);
    const_cast<c32bppDIB&>(splash_.Logo()).Render(expected.get(), 0, 0, 300, 300, 0, 0, 300, 300, 100, true);

    unique_window_dc shown(splash_.Picture1());
    int drawn = 0, matching = 0;
    for (int y = 10; y < 250; y += 20) {
        for (int x = 10; x < 290; x += 20) {
            const COLORREF want = ::GetPixel(expected.get(), x, y);
            if (want == 0xFFFFFF) continue;
            ++drawn;
            const COLORREF got = ::GetPixel(shown.get(), x, y);
            if (std::abs(GetRValue(got) - GetRValue(want)) <= 8 && std::abs(GetGValue(got) - GetGValue(want)) <= 8 &&
                std::abs(GetBValue(got) - GetBValue(want)) <= 8)
                ++matching;
        }
    }
    ASSERT_GT(drawn, 0) << "the logo is white where it is sampled";
    EXPECT_EQ(matching, drawn);
}

TEST_F(SplashTest, ALogoThatCannotBeDecodedCountsAsMissing) {
    folder_.WriteFile(frmSplash::kLogoFileName, "not a picture");
    ASSERT_TRUE(splash_.Load(folder_.Path()));
    EXPECT_EQ(splash_.LogoImageType(), 0);
    EXPECT_EQ(Caption(splash_.hWnd()), L"Tarvo 2 - Corrupt installation");
    EXPECT_TRUE(::IsWindowEnabled(splash_.cmd1()));
}

TEST_F(SplashTest, TitleBarCloseHidesWhileAMainWindowExistsAndEndsOtherwise) {
    folder_.CopyLogo();
    ASSERT_TRUE(splash_.Load(folder_.Path()));
    splash_.Show();
    unique_hwnd mainWindow(::CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                             nullptr, ::GetModuleHandleW(nullptr), nullptr));
    splash_.MainWindow(mainWindow.get());

    ::SendMessageW(splash_.hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(::IsWindow(splash_.hWnd()));
    EXPECT_FALSE(::IsWindowVisible(splash_.hWnd()));
    EXPECT_FALSE(splash_.EndedProgram());
    int exitCode = -1;
    EXPECT_FALSE(TakeQuit(exitCode));

    // Once the main window is gone, the same close would leave a process without a window.
    splash_.Show();
    mainWindow.reset();
    const HWND window = splash_.hWnd();
    ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_TRUE(splash_.EndedProgram());
    EXPECT_TRUE(TakeQuit(exitCode));
}

TEST_F(SplashTest, FinishHidesAndAnUnloadByCodeLeavesTheProgramRunning) {
    folder_.CopyLogo();
    ASSERT_TRUE(splash_.Load(folder_.Path()));
    splash_.Show();
    ASSERT_TRUE(::IsWindowVisible(splash_.hWnd()));
    splash_.Finish();
    EXPECT_FALSE(::IsWindowVisible(splash_.hWnd()));

    const HWND window = splash_.hWnd();
    splash_.Unload();
    EXPECT_FALSE(::IsWindow(window));
    int exitCode = -1;
    EXPECT_FALSE(TakeQuit(exitCode));
    EXPECT_NE(splash_.LogoImageType(), 0) << "the logo lives as long as the splash object";
}

}  // namespace
}  // namespace tarvo
