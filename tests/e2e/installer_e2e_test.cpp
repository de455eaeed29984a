// The setup file built beside the zip, run silently into a fresh folder and
// taken away again by its own uninstaller, checked the way Windows and a user
// would see the result: files, Start menu shortcuts, Explorer's folder command,
// the Add/Remove Programs entry and the user's settings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "common/handles.h"
#include "common/unique_resource.h"
#include "program_process.h"
#include "registry_snapshot.h"
#include "test_support.h"

namespace tarvo::e2e {
namespace {

using test::Caption;
using test::ExeFolder;
using test::Quoted;
using test::RegNumber;
using test::RegText;
using test::TempFolder;
using test::Visible;
using ::testing::Contains;
using ::testing::Key;

constexpr DWORD kInstallMs = 120000;
constexpr DWORD kStartMs = 60000;
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvo2";
constexpr wchar_t kFolderVerb[] = L"Directory\\shell\\TarvoHere";
constexpr wchar_t kBackgroundVerb[] = L"Directory\\Background\\shell\\TarvoHere";
constexpr wchar_t kSettingsKey[] = L"Software\\Tarvo";
constexpr const wchar_t* kShortcuts[] = {L"\\Tarvo.lnk", L"\\Tarvo (Administrator).lnk"};

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    const std::wstring folder = SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path)) ? path : L"";
    ::CoTaskMemFree(path);
    return folder;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyExists(HKEY root, const std::wstring& subkey) {
    unique_hkey key;
    return ::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// Every file under `folder` by its relative path, with its size.
std::map<std::wstring, std::uintmax_t> FilesUnder(const std::wstring& folder) {
    std::map<std::wstring, std::uintmax_t> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
        if (entry.is_regular_file()) files[std::filesystem::relative(entry.path(), folder).wstring()] = entry.file_size();
    }
    return files;
}

// A shortcut's target and working folder, as the shell reads them.
std::pair<std::wstring, std::wstring> Shortcut(const std::wstring& file) {
    com_ptr<IShellLinkW> link;
    com_ptr<IPersistFile> persist;
    wchar_t target[MAX_PATH] = {}, working[MAX_PATH] = {};
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.put_void())) ||
        FAILED(persist->Load(file.c_str(), STGM_READ)) ||
        FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
        FAILED(link->GetWorkingDirectory(working, MAX_PATH))) {
        return {L"(unreadable)", L""};
    }
    return {target, working};
}

// Takes away whatever an interrupted run may have left.
void RemoveLeftovers(const std::wstring& folder, const std::wstring& programs) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    for (const wchar_t* shortcut : kShortcuts) ::DeleteFileW((programs + shortcut).c_str());
    for (const wchar_t* verb : {kFolderVerb, kBackgroundVerb}) {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\Classes\\") + verb).c_str());
    }
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
    // The uninstaller runs from a copy in a temporary folder that Windows removes on
    // the next restart; a test prefix never restarts. Only empty ones go.
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), ignored)) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.starts_with(L"~nsu") && name.ends_with(L".tmp")) std::filesystem::remove(entry.path(), ignored);
    }
}

TEST(Installer, SilentInstallSetsUpProgramShortcutsFolderCommandAndUninstallEntrySilentUninstallKeepsOnlySettings) {
    const std::wstring dist = ExeFolder() + L"\\..\\dist";
    const std::wstring setup = dist + L"\\Tarvo2-setup.exe";
    ASSERT_TRUE(Exists(setup)) << "the build made no " << Visible(setup);
    const std::wstring programs = KnownFolder(FOLDERID_CommonPrograms);
    ASSERT_FALSE(programs.empty());
    const std::wstring target = KnownFolder(FOLDERID_ProgramFiles) + L"\\Tarvo2 e2e " + std::to_wstring(::GetCurrentProcessId());
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const scope_exit uninitialise([] { ::CoUninitialize(); });
    RemoveLeftovers(target, programs);
    const scope_exit cleanUp([&] { RemoveLeftovers(target, programs); });
    const RegistrySnapshot settings(HKEY_CURRENT_USER, kSettingsKey);
    settings.ClearValues();

    // /D= comes last and unquoted, spaces and all.
    ASSERT_EQ(RunToEnd(Quoted(setup) + L" /S /D=" + target, kInstallMs), std::optional<DWORD>(0));

    // Exactly the distribution's files, each as large as in the zip, and the uninstaller.
    const auto expected = FilesUnder(dist + L"\\Tarvo2");
    auto installed = FilesUnder(target);
    std::uintmax_t bytes = 0;
    for (const auto& [name, size] : installed) bytes += size;
    const std::size_t count = installed.size();
    EXPECT_EQ(installed.erase(L"uninstall.exe"), 1u);
    EXPECT_EQ(installed, expected);
    for (const wchar_t* file : {L"Tarvo2.exe", L"Tarvo2Admin.exe", L"zlib1.dll", L"tarvo2logo.png", L"help\\index.rtf"}) {
        EXPECT_THAT(installed, Contains(Key(file)));
    }

    // Start menu, for every user; a console opened from there starts in the user's profile.
    const std::wstring profile = L"%USERPROFILE%";
    EXPECT_EQ(Shortcut(programs + kShortcuts[0]), std::make_pair(target + L"\\Tarvo2.exe", profile));
    EXPECT_EQ(Shortcut(programs + kShortcuts[1]), std::make_pair(target + L"\\Tarvo2Admin.exe", profile));

    // Explorer's "Open Tarvo here" on a folder and on a folder's background, seen where Explorer looks.
    const std::wstring command = Quoted(target + L"\\Tarvo2.exe") + L" \"%V\"";
    for (const std::wstring verb : {kFolderVerb, kBackgroundVerb}) {
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, verb, L""), L"Open Tarvo here") << Visible(verb);
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, verb + L"\\command", L""), command) << Visible(verb);
    }
    const std::wstring base = TempFolder(L"tarvo installer e2e");
    const std::wstring folder = TempFolder(L"tarvo installer e2e\\Open Here With Spaces");
    {
        ProgramProcess process;
        // The registered command as Explorer expands it for the folder.
        const std::wstring expanded = Quoted(target + L"\\Tarvo2.exe") + L" " + Quoted(folder);
        ASSERT_TRUE(process.StartCommandLine(expanded, base)) << "cannot start " << Visible(expanded);
        const HWND main = process.WaitForVisibleWindow(kMainWindowClass, kStartMs);
        EXPECT_EQ(Visible(WaitForPrompt(ConsolePane(main), kStartMs)), Visible(folder + L">"));
        EXPECT_EQ(Caption(main), L"Open Here With Spaces - Tarvo");
        EXPECT_TRUE(process.End()) << "WM_CLOSE did not end the installed program";
    }
    ASSERT_TRUE(RegNumber(HKEY_CURRENT_USER, kSettingsKey, L"WindowState")) << "the installed program kept no settings";

    // Add/Remove Programs: the version is the one in the executable's version information.
    const std::wstring uninstall = Quoted(target + L"\\uninstall.exe");
    for (auto [name, value] : {std::pair{L"DisplayName", std::wstring(L"Tarvo")}, {L"Publisher", std::wstring(L"Tarvo project")},
                               {L"DisplayVersion", std::wstring(L"2.0.0")}, {L"DisplayIcon", target + L"\\Tarvo2.exe"},
                               {L"InstallLocation", target}, {L"UninstallString", uninstall}}) {
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, name), value) << Visible(name);
    }
    // In KiB, each file rounded on its own.
    const double kib = static_cast<double>(RegNumber(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize").value_or(0));
    EXPECT_NEAR(kib, static_cast<double>(bytes) / 1024, static_cast<double>(count));
    const auto quiet = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString");
    ASSERT_EQ(quiet, uninstall + L" /S");

    ASSERT_EQ(RunToEnd(*quiet, kInstallMs), std::optional<DWORD>(0));

    EXPECT_FALSE(Exists(target)) << "the installation folder is still there";
    for (const wchar_t* shortcut : kShortcuts) EXPECT_FALSE(Exists(programs + shortcut)) << Visible(shortcut);
    for (const wchar_t* verb : {kFolderVerb, kBackgroundVerb}) {
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, verb)) << Visible(verb);
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_TRUE(RegNumber(HKEY_CURRENT_USER, kSettingsKey, L"WindowState")) << "a silent uninstall took the user's settings";
}

}  // namespace
}  // namespace tarvo::e2e
