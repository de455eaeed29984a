#pragma once
// frmSplash: the splash.
// The splash shown while the program starts. The logo file beside the
// executable is also the installation check: without it (or when it cannot be
// decoded) the splash tells of a corrupt installation and offers "Exit".
#include <windows.h>

#include <string>

#include "common/handles.h"
#include "graphics/image.h"

namespace tarvo {

class frmSplash {
public:
    static constexpr int kSize = 300;
    static constexpr wchar_t kLogoFileName[] = L"tarvo2logo.png";

    frmSplash();
    frmSplash(const frmSplash&) = delete;
    frmSplash& operator=(const frmSplash&) = delete;
    ~frmSplash();

    // Creates the window hidden and runs the installation check against
    // `programFolder` + "\tarvo2logo.png".
    bool Load(const std::wstring& programFolder);
    void Show();
    // Hides the splash once the main window is up.
    void Finish();
    // The unload by code; the program goes on.
    void Unload();

    // The window whose existence decides what a close from the title bar does.
    void MainWindow(HWND window) { mainWindow_ = window; }
    // Set when the splash ended the program (Exit, or a close with no main window).
    bool EndedProgram() const { return endedProgram_; }

    HWND hWnd() const { return window_.get(); }
    HWND Picture1() const { return picture1_; }
    HWND Label1() const { return label1_; }
    HWND cmd1() const { return cmd1_; }
    // The process-wide logo; its image type is 0 when nothing was loaded.
    const c32bppDIB& Logo() const { return logo_; }
    int LogoImageType() const { return logo_.ImageType(); }

private:
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandlePictureMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool CreateForm();
    void ShowLogo(const std::wstring& logoPath);
    void ShowCorruptInstallation();
    void PaintLogo(HWND picture);
    void cmd1_Click();
    void Form_QueryUnload();
    void EndProgram();
    bool MainWindowExists() const;

    unique_hwnd window_;
    HWND picture1_ = nullptr;
    HWND label1_ = nullptr;
    HWND cmd1_ = nullptr;
    c32bppDIB logo_;
    unique_hbrush white_;
    HWND mainWindow_ = nullptr;
    bool endedProgram_ = false;
};

}  // namespace tarvo
