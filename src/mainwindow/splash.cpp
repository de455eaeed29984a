#include "mainwindow/splash.h"

#include "common/window_class.h"
#include "controls/system_fonts.h"

namespace tarvo {

namespace {

constexpr wchar_t kFormClass[] = L"TarvoSplash";
constexpr wchar_t kPictureClass[] = L"TarvoSplashPicture";
constexpr wchar_t kDesignCaption[] = L"Tarvo2 - Corrupt installation";
constexpr wchar_t kLogoCaption[] = L"Tarvo 2";
constexpr wchar_t kCorruptCaption[] = L"Tarvo 2 - Corrupt installation";
constexpr wchar_t kCorruptText[] =
    L"It appears that a component required for the operation of the program is missing.\r\n"
    L"Please uninstall and reinstall Tarvo2.";
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr int kLabel1Top = 24;  // pixels, as designed
constexpr int kLabel1LeftTwips = 100;
constexpr int kExitWidth = 80;
constexpr int kExitHeight = 26;
constexpr int kExitMargin = 12;
constexpr int kExitId = 1;

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

// Twips per pixel of the screen, horizontally and vertically.
SIZE TwipsPerPixel() {
    unique_window_dc screen(nullptr);
    const int dpiX = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    const int dpiY = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return {1440 / (dpiX > 0 ? dpiX : 96), 1440 / (dpiY > 0 ? dpiY : 96)};
}

int TwipsToPixels(int twips, int twipsPerPixel) { return (twips + twipsPerPixel / 2) / twipsPerPixel; }

bool FileExists(const std::wstring& path) {
    WIN32_FIND_DATAW entry{};
    unique_hfind search(::FindFirstFileW(path.c_str(), &entry));
    return static_cast<bool>(search);
}

std::wstring WithBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

}  // namespace

frmSplash::frmSplash() : white_(::CreateSolidBrush(kWhite)) {}

frmSplash::~frmSplash() { Unload(); }

bool frmSplash::Load(const std::wstring& programFolder) {
    if (window_) return true;
    if (!CreateForm()) return false;
    const std::wstring logoPath = WithBackslash(programFolder) + kLogoFileName;
    if (FileExists(logoPath)) {
        ShowLogo(logoPath);
    } else {
        ShowCorruptInstallation();
    }
    return true;
}

bool frmSplash::CreateForm() {
    if (!RegisterWindowClass(kFormClass, WindowProcFor<frmSplash, &frmSplash::HandleMessage>) ||
        !RegisterWindowClass(kPictureClass, WindowProcFor<frmSplash, &frmSplash::HandlePictureMessage>)) {
        return false;
    }
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - kSize) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - kSize) / 2;
    window_.reset(::CreateWindowExW(0, kFormClass, kDesignCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                    left, top, kSize, kSize, nullptr, nullptr, Instance(), this));
    if (!window_) return false;
    picture1_ = ::CreateWindowExW(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, kSize, kSize, window_.get(),
                                  nullptr, Instance(), this);
    label1_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT, 0, kLabel1Top,
                                kSize, kSize, window_.get(), nullptr, Instance(), nullptr);
    RECT client{};
    ::GetClientRect(window_.get(), &client);
    cmd1_ = ::CreateWindowExW(0, L"BUTTON", L"Exit", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                              (client.right - kExitWidth) / 2, client.bottom - kExitHeight - kExitMargin, kExitWidth,
                              kExitHeight, window_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kExitId)),
                              Instance(), nullptr);
    if (!picture1_ || !label1_ || !cmd1_) return false;
    // The label reaches the bottom edge; the button stays above it.
    ::SetWindowPos(cmd1_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (HFONT font = DefaultFontHandle(kMessageFont)) {
        ::SendMessageW(label1_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::SendMessageW(cmd1_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return true;
}

void frmSplash::ShowLogo(const std::wstring& logoPath) {
    ::ShowWindow(label1_, SW_HIDE);
    ::SetWindowTextW(window_.get(), kLogoCaption);
    ::ShowWindow(cmd1_, SW_HIDE);
    ::EnableWindow(cmd1_, FALSE);
    ::MoveWindow(picture1_, 0, 0, kSize, kSize, FALSE);
    logo_.LoadPicture_File(logoPath, 32, 32, false, 32);
    // A logo that cannot be decoded is as good as none: the user gets the message and a way out.
    if (logo_.ImageType() == 0) {
        ShowCorruptInstallation();
        return;
    }
    ::InvalidateRect(window_.get(), nullptr, TRUE);
}

void frmSplash::ShowCorruptInstallation() {
    ::ShowWindow(picture1_, SW_HIDE);
    const SIZE tpp = TwipsPerPixel();
    RECT label{};
    ::GetWindowRect(label1_, &label);
    ::MapWindowPoints(nullptr, window_.get(), reinterpret_cast<POINT*>(&label), 2);
    const int labelTopTwips = label.top * tpp.cy;
    const int widthTwips = kSize * tpp.cx - 200;
    const int heightTwips = kSize * tpp.cy - 30 - labelTopTwips;
    ::MoveWindow(label1_, TwipsToPixels(kLabel1LeftTwips, tpp.cx), label.top, TwipsToPixels(widthTwips, tpp.cx),
                 TwipsToPixels(heightTwips, tpp.cy), FALSE);
    ::SetWindowTextW(label1_, kCorruptText);
    ::ShowWindow(label1_, SW_SHOW);
    ::SetWindowTextW(window_.get(), kCorruptCaption);
    ::EnableWindow(cmd1_, TRUE);
    ::ShowWindow(cmd1_, SW_SHOW);
    ::InvalidateRect(window_.get(), nullptr, TRUE);
}

void frmSplash::Show() {
    if (!window_) return;
    ::ShowWindow(window_.get(), SW_SHOW);
    ::UpdateWindow(window_.get());
}

void frmSplash::Finish() {
    if (window_) ::ShowWindow(window_.get(), SW_HIDE);
}

void frmSplash::Unload() {
    if (!window_) return;
    ::DestroyWindow(window_.release());
    picture1_ = label1_ = cmd1_ = nullptr;
}

bool frmSplash::MainWindowExists() const { return mainWindow_ && ::IsWindow(mainWindow_); }

void frmSplash::EndProgram() {
    endedProgram_ = true;
    ::PostQuitMessage(0);
}

void frmSplash::cmd1_Click() {
    Unload();
    if (!MainWindowExists()) EndProgram();
}

void frmSplash::Form_QueryUnload() {
    if (MainWindowExists()) {
        Finish();
        return;
    }
    // Hidden with no main window, the process would linger with nothing to show.
    Unload();
    EndProgram();
}

void frmSplash::PaintLogo(HWND picture) {
    const paint_scope paint(picture);
    if (const HDC dc = paint.dc()) {
        RECT all{0, 0, kSize, kSize};
        ::FillRect(dc, &all, white_.get());
        if (logo_.ImageType() != 0) logo_.Render(dc, 0, 0, kSize, kSize, 0, 0, kSize, kSize, 100, true);
    }
}

LRESULT frmSplash::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT client{};
            ::GetClientRect(hwnd, &client);
            const bool white = logo_.ImageType() != 0;
            ::FillRect(reinterpret_cast<HDC>(wParam), &client,
                       white ? white_.get() : ::GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == kExitId && HIWORD(wParam) == BN_CLICKED) {
                cmd1_Click();
                return 0;
            }
            break;
        case WM_CLOSE:
            Form_QueryUnload();
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT frmSplash::HandlePictureMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: PaintLogo(hwnd); return 0;
        case WM_ERASEBKGND: return 1;
        default: return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace tarvo
