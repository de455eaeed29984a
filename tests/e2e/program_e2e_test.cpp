// The real Tarvo2.exe started as a separate process and driven from outside, as
// a user (or another program) would: its arguments, its stored start folder and
// window placement, typed commands and the administrator variant.
#include <gtest/gtest.h>

#include <string>

#include "program_process.h"
#include "registry_snapshot.h"
#include "test_support.h"

namespace tarvo::e2e {
namespace {

using test::Caption;
using test::Quoted;
using test::Visible;

constexpr DWORD kStartMs = 60000;
constexpr DWORD kReactMs = 20000;
constexpr wchar_t kSettingsKey[] = L"Software\\Tarvo";

// Stored without a terminator, as the program writes it.
void StoreStartDir(const std::wstring& folder) {
    unique_hkey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr), 0);
    // The registry adds a terminator to a string whose count stops right at a zero unit: the buffer goes on.
    const std::wstring buffer = folder + L"x";
    ASSERT_EQ(::RegSetValueExW(key.get(), L"StartDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(buffer.c_str()),
                               static_cast<DWORD>(folder.size() * sizeof(wchar_t))), 0);
}

// The system's message for an error code, as the program shows it.
std::wstring SystemText(DWORD code) {
    wchar_t text[256] = {};
    return {text, ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 256, nullptr)};
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { settings_.ClearValues(); }
    // Starts the program and waits for its main window and first prompt.
    void StartMain(ProgramProcess& process, const std::wstring& arguments, const std::wstring& currentFolder,
                   const wchar_t* exe = L"\\Tarvo2.exe") {
        ASSERT_TRUE(process.Start(ExeFolder() + exe, arguments, currentFolder)) << "CreateProcess: " << ::GetLastError();
        main_ = process.WaitForVisibleWindow(kMainWindowClass, kStartMs);
        ASSERT_NE(main_, nullptr) << "the main window did not appear";
        pane_ = ConsolePane(main_);
        text_ = WaitForPrompt(pane_, kStartMs);
        ASSERT_FALSE(text_.empty()) << "no prompt; the pane shows: " << Visible(WindowText(pane_));
    }
    // Starts in work_ and expects the system's message of `error` for `refused` before work_'s prompt.
    void ExpectRefusedStart(const std::wstring& arguments, const std::wstring& refused, DWORD error) {
        ProgramProcess process;
        ASSERT_NO_FATAL_FAILURE(StartMain(process, arguments, work_));
        EXPECT_EQ(Visible(text_), Visible(L"\r\n" + SystemText(error) + refused + L"\r\n" + work_ + L">"));
        EXPECT_EQ(Caption(main_), L"My Work - Tarvo");
    }

    const std::wstring base_ = test::TempFolder(L"tarvo_e2e"), work_ = test::TempFolder(L"tarvo_e2e\\My Work");
    HWND main_ = nullptr, pane_ = nullptr;
    std::wstring text_;
    RegistrySnapshot settings_{HKEY_CURRENT_USER, kSettingsKey};
};

TEST_F(ProgramTest, AQuotedFolderStartsThereCdGoesUpAndPlacementAndMaximisedStateSurviveARestart) {
    const RECT placed{140, 90, 140 + 720, 90 + 480};
    const auto isPlaced = [&] { return ::EqualRect(std::data({test::WindowRect(main_)}), &placed) != FALSE; };
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        ProgramProcess process;
        ASSERT_NO_FATAL_FAILURE(StartMain(process, Quoted(work_), base_));
        EXPECT_EQ(Caption(main_), L"My Work - Tarvo");
        EXPECT_EQ(Visible(text_), Visible(work_ + L">"));
        if (run == 0) {
            HWND splash = process.FindTopWindow(L"TarvoSplash");
            ASSERT_TRUE(splash && !::IsWindowVisible(splash));
            DWORD_PTR ignored = 0;
            ASSERT_TRUE(::SendMessageTimeoutW(splash, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, kReactMs, &ignored));
            EXPECT_TRUE(::IsWindow(splash) && !::IsWindowVisible(splash)) << "the splash only hides";
            test::PostText(pane_, L"cd ..");
            test::PostKey(pane_, VK_RETURN);
            EXPECT_TRUE(WaitUntil([&] { return Caption(main_) == L"tarvo_e2e - Tarvo"; }, kReactMs)) << Visible(Caption(main_));
            EXPECT_EQ(Visible(WaitForPrompt(pane_, kReactMs)), Visible(work_ + L">cd ..\r\n" + base_ + L">"));
            ::SetWindowPos(main_, nullptr, 140, 90, 720, 480, SWP_NOZORDER | SWP_NOACTIVATE);
            ASSERT_TRUE(WaitUntil(isPlaced, kReactMs));
        } else if (run == 1) {
            EXPECT_TRUE(isPlaced() && !::IsZoomed(main_));
            ::ShowWindow(main_, SW_MAXIMIZE);
            ASSERT_TRUE(WaitUntil([&] { return ::IsZoomed(main_) != FALSE; }, kReactMs));
        } else {
            EXPECT_TRUE(::IsZoomed(main_));
        }
        ASSERT_TRUE(process.End()) << "WM_CLOSE did not end the program";
        EXPECT_EQ(test::RegNumber(HKEY_CURRENT_USER, kSettingsKey, L"WindowState"), run == 0 ? 0u : 2u);
        EXPECT_EQ(test::RegNumber(HKEY_CURRENT_USER, kSettingsKey, L"WindowLeft"), 2100u) << "140 pixels in twips";
    }
}

TEST_F(ProgramTest, AStartFolderThatCannotBeEnteredIsReportedBeforeTheInheritedPromptAndAStoredOneApplies) {
    const std::wstring file = base_ + L"\\not a folder.txt", missing = base_ + L"\\no such folder";
    ASSERT_TRUE(test::WriteFileBytes(file, "x"));
    ExpectRefusedStart(Quoted(file), file, ERROR_DIRECTORY);
    ::DeleteFileW(file.c_str());
    ASSERT_NO_FATAL_FAILURE(StoreStartDir(base_));
    {
        ProgramProcess process;
        ASSERT_NO_FATAL_FAILURE(StartMain(process, L"", work_));
        EXPECT_EQ(Visible(text_), Visible(base_ + L">"));
    }
    ASSERT_NO_FATAL_FAILURE(StoreStartDir(missing));
    ExpectRefusedStart(L"", missing, ERROR_FILE_NOT_FOUND);
}

TEST_F(ProgramTest, AdministratorExecutableMarksTitleAndPane) {
    ProgramProcess process;
    ASSERT_NO_FATAL_FAILURE(StartMain(process, Quoted(work_), base_, L"\\Tarvo2Admin.exe"));
    EXPECT_EQ(Caption(main_), L"My Work - Tarvo Admin mode");
    EXPECT_EQ(Visible(text_), Visible(work_ + L">"));
    const RECT pane = test::WindowRect(pane_);  // below the first line, only the background
    unique_window_dc screen(nullptr);
    EXPECT_EQ(::GetPixel(screen.get(), pane.right - 30, pane.bottom - 30), 0xC0C0FFu) << "pink";
    EXPECT_TRUE(process.End());
}

}  // namespace
}  // namespace tarvo::e2e
