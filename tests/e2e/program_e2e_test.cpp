// The real Tarvo2.exe started as a separate process and driven from outside, as
// a user (or another program) would: its arguments, its installation check, its
// remembered window placement and typed commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "program_process.h"
#include "registry_snapshot.h"
#include "test_support.h"

namespace tarvo::e2e {
namespace {

using test::Caption;
using test::ExeFolder;
using test::Quoted;
using test::TempFolder;
using test::Visible;
using test::WaitUntil;
using test::WindowRect;

constexpr DWORD kStartMs = 60000;
constexpr DWORD kReactMs = 20000;
constexpr wchar_t kSettingsKey[] = L"Software\\Tarvo";

// What the program shows for a start folder it cannot enter: the system's
// message for it in front of the path.
std::wstring RefusalOf(const std::wstring& path) {
    wchar_t here[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, here);
    if (::SetCurrentDirectoryW(path.c_str())) {
        ::SetCurrentDirectoryW(here);
        return L"(enterable)";
    }
    wchar_t message[256] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          ::GetLastError(), 0, message, 256, nullptr);
    return L"\r\n" + std::wstring(message, length) + path + L"\r\n";
}

std::string Describe(const RECT& r) {
    char text[96];
    std::snprintf(text, sizeof text, "(%ld, %ld) - (%ld, %ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

// Stored without a terminator. A stored terminator would come back as part of
// the text, and the registry adds one to a string whose count stops right at a
// zero unit, so the buffer goes on past the counted text.
void StoreStartDir(const std::wstring& folder) {
    HKEY created = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created,
                                nullptr),
              ERROR_SUCCESS);
    const unique_hkey key(created);
    const std::wstring buffer = folder + L"x";
    ASSERT_EQ(::RegSetValueExW(key.get(), L"StartDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(buffer.c_str()),
                               static_cast<DWORD>(folder.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = ExeFolder() + L"\\Tarvo2.exe";
        ASSERT_NE(::GetFileAttributesW(program_.c_str()), INVALID_FILE_ATTRIBUTES) << "Tarvo2.exe is not beside the test";
        ASSERT_NE(::GetFileAttributesW((ExeFolder() + L"\\tarvo2logo.png").c_str()), INVALID_FILE_ATTRIBUTES)
            << "the logo is not beside the test";
        base_ = TempFolder(L"tarvo_e2e");
        work_ = TempFolder(L"tarvo_e2e\\My Work");
        settings_.ClearValues();
    }

    // Starts the program and waits for its main window and first prompt.
    void StartMain(ProgramProcess& process, const std::wstring& arguments, const std::wstring& currentFolder) {
        ASSERT_TRUE(process.Start(program_, arguments, currentFolder)) << "CreateProcess failed: " << ::GetLastError();
        main_ = process.WaitForVisibleWindow(kMainWindowClass, kStartMs);
        ASSERT_NE(main_, nullptr) << "the main window did not appear";
        pane_ = ConsolePane(main_);
        ASSERT_NE(pane_, nullptr) << "no console pane in the main window";
        text_ = WaitForPrompt(pane_, kStartMs);
        ASSERT_FALSE(text_.empty()) << "no prompt; the pane shows: " << Visible(WindowText(pane_));
    }
    // Starts in work_ and expects the refusal of `refused` before work_'s prompt.
    void ExpectRefusedStart(const std::wstring& arguments, const std::wstring& refused) {
        ProgramProcess process;
        ASSERT_NO_FATAL_FAILURE(StartMain(process, arguments, work_));
        EXPECT_EQ(Visible(text_), Visible(RefusalOf(refused) + work_ + L">"));
        EXPECT_EQ(Caption(main_), L"My Work - Tarvo");
    }

    std::wstring program_, base_, work_;
    HWND main_ = nullptr;
    HWND pane_ = nullptr;
    std::wstring text_;
    RegistrySnapshot settings_{HKEY_CURRENT_USER, kSettingsKey};
};

TEST_F(ProgramTest, QuotedFolderStartsThereTypedCdDotDotGoesUpAndTheSplashOnlyHides) {
    ProgramProcess process;
    ASSERT_NO_FATAL_FAILURE(StartMain(process, Quoted(work_), base_));
    EXPECT_EQ(Caption(main_), L"My Work - Tarvo");
    EXPECT_EQ(Visible(text_), Visible(work_ + L">"));

    HWND splash = process.FindTopWindow(L"TarvoSplash");
    ASSERT_NE(splash, nullptr);
    EXPECT_FALSE(::IsWindowVisible(splash));
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(splash, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, kReactMs, &ignored));
    EXPECT_TRUE(::IsWindow(splash));
    EXPECT_FALSE(::IsWindowVisible(splash));

    // The program goes on after that: typed keys reach the pane.
    test::PostText(pane_, L"cd ..");
    test::PostKey(pane_, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return Caption(main_) == L"tarvo_e2e - Tarvo"; }, kReactMs)) << Visible(Caption(main_));
    const std::wstring text = WaitForPrompt(pane_, kReactMs);
    EXPECT_EQ(Visible(text), Visible(work_ + L">cd ..\r\n" + base_ + L">"));
    EXPECT_TRUE(process.End()) << "WM_CLOSE did not end the program";
}

TEST_F(ProgramTest, StartFolderThatCannotBeEnteredIsReportedBeforeTheInheritedPrompt) {
    const std::wstring file = base_ + L"\\not a folder.txt";
    {
        unique_hfile created(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(created);
    }
    const std::wstring missing = base_ + L"\\no such folder";
    ::RemoveDirectoryW(missing.c_str());
    for (const std::wstring& argument : {file, missing}) {
        SCOPED_TRACE(Visible(argument));
        ExpectRefusedStart(Quoted(argument), argument);
    }
    ::DeleteFileW(file.c_str());

    // A stored folder applies without an argument, and is refused the same way.
    ASSERT_NO_FATAL_FAILURE(StoreStartDir(base_));
    {
        ProgramProcess process;
        ASSERT_NO_FATAL_FAILURE(StartMain(process, L"", work_));
        EXPECT_EQ(Visible(text_), Visible(base_ + L">"));
    }
    ASSERT_NO_FATAL_FAILURE(StoreStartDir(missing));
    ExpectRefusedStart(L"", missing);
}

TEST_F(ProgramTest, WithoutLogoOnlyTheSplashShowsAndClosingItEndsTheProgram) {
    const std::wstring folder = TempFolder(L"tarvo_e2e\\no logo");
    const std::wstring copy = folder + L"\\Tarvo2.exe";
    ::DeleteFileW((folder + L"\\tarvo2logo.png").c_str());
    ASSERT_TRUE(::CopyFileW(program_.c_str(), copy.c_str(), FALSE));
    ::CopyFileW((ExeFolder() + L"\\zlib1.dll").c_str(), (folder + L"\\zlib1.dll").c_str(), FALSE);

    ProgramProcess process;
    ASSERT_TRUE(process.Start(copy, L"", base_));
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND window : process.TopWindows(true)) {
                if (Caption(window) == L"Tarvo 2 - Corrupt installation") splash = window;
            }
            return splash != nullptr;
        },
        kStartMs))
        << "no corrupt-installation splash";
    const std::wstring message =
        L"It appears that a component required for the operation of the program is missing.\r\n"
        L"Please uninstall and reinstall Tarvo2.";
    HWND label = FindDescendant(splash, L"Static", &message);
    EXPECT_TRUE(label && ::IsWindowVisible(label)) << "the splash shows no label with the two-line text";
    const std::wstring exitCaption = L"Exit";
    HWND exitButton = FindDescendant(splash, L"Button", &exitCaption);
    ASSERT_NE(exitButton, nullptr);
    EXPECT_TRUE(::IsWindowVisible(exitButton) && ::IsWindowEnabled(exitButton));
    EXPECT_EQ(process.FindTopWindow(kMainWindowClass), nullptr);
    EXPECT_EQ(process.FindTopWindow(L"TarvoHelpFrm"), nullptr) << "the help browser is never loaded";
    EXPECT_THAT(process.TopWindows(true), ::testing::ElementsAre(splash)) << "only the splash is visible";

    ::PostMessageW(exitButton, BM_CLICK, 0, 0);
    EXPECT_TRUE(process.WaitForExit(kReactMs)) << "Exit did not end the program";
    DWORD exitCode = 1;
    EXPECT_TRUE(::GetExitCodeProcess(process.Handle(), &exitCode) && exitCode == 0) << exitCode;

    // With no main window, a close from the title bar ends the program as well.
    ASSERT_TRUE(process.Start(copy, L"", base_));
    ASSERT_TRUE(WaitUntil([&] { return (splash = process.FindTopWindow(L"TarvoSplash")) && ::IsWindowVisible(splash); },
                          kStartMs));
    ::PostMessageW(splash, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(process.WaitForExit(kReactMs)) << "closing the splash left the program running";
    process.End();
    ::DeleteFileW(copy.c_str());
    ::DeleteFileW((folder + L"\\zlib1.dll").c_str());
}

TEST_F(ProgramTest, WindowRectangleAndMaximisedStateSurviveRestart) {
    const RECT placed{140, 90, 140 + 720, 90 + 480};
    auto isPlaced = [&] {
        const RECT now = WindowRect(main_);
        return ::EqualRect(&now, &placed) != FALSE;
    };
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        ProgramProcess process;
        ASSERT_NO_FATAL_FAILURE(StartMain(process, Quoted(work_), base_));
        if (run == 0) {
            ::SetWindowPos(main_, nullptr, placed.left, placed.top, placed.right - placed.left,
                           placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
            ASSERT_TRUE(WaitUntil(isPlaced, kReactMs)) << Describe(WindowRect(main_));
        } else if (run == 1) {
            EXPECT_TRUE(isPlaced()) << Describe(WindowRect(main_));
            EXPECT_FALSE(::IsZoomed(main_));
            ::ShowWindow(main_, SW_MAXIMIZE);
            ASSERT_TRUE(WaitUntil([&] { return ::IsZoomed(main_) != FALSE; }, kReactMs));
        } else {
            EXPECT_TRUE(::IsZoomed(main_));
        }
        ASSERT_TRUE(process.End()) << "WM_CLOSE did not end the program";
        EXPECT_EQ(test::RegNumber(HKEY_CURRENT_USER, kSettingsKey, L"WindowState"), run == 0 ? 0u : 2u);
    }
}

TEST_F(ProgramTest, AdministratorExecutableMarksTitleAndPane) {
    ProgramProcess process;
    program_ = ExeFolder() + L"\\Tarvo2Admin.exe";
    ASSERT_NO_FATAL_FAILURE(StartMain(process, Quoted(work_), base_));
    EXPECT_EQ(Caption(main_), L"My Work - Tarvo Admin mode");
    EXPECT_EQ(Visible(text_), Visible(work_ + L">"));

    // Below the first line the pane shows nothing but its background.
    const RECT pane = WindowRect(pane_);
    unique_window_dc screen(nullptr);
    const COLORREF background = ::GetPixel(screen.get(), pane.right - 30, pane.bottom - 30);
    EXPECT_EQ(background, RGB(0xFF, 0xC0, 0xC0)) << "pane background 0x" << std::hex << background;
    EXPECT_TRUE(process.End());
}

}  // namespace
}  // namespace tarvo::e2e
