// The settings as read from values other tools wrote, and the screens a stored
// rectangle must meet; the main window's own writes are checked through it.
#include "mainwindow/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/handles.h"
#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

TEST(Settings, DefaultsTheValuesNotReadBackAMinimisedStateTheOneMessageForAKeyThatCannotBeMadeAndWhatFitsTheScreens) {
    const std::wstring key = L"Software\\TarvoTest\\Settings" + std::to_wstring(::GetCurrentProcessId());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    const WindowSettings settings({HKEY_CURRENT_USER, key});
    LoadedSettings loaded = settings.LoadSettings();
    const long handles = test::HandleCount();  // once the system has opened the user's key
    EXPECT_TRUE(loaded.state == WindowState::kNormal && !loaded.top && !loaded.left && !loaded.width && !loaded.height);
    EXPECT_EQ(loaded.currentFolder, L"c:\\");
    settings.SaveStartDir(L"D:\\%x%\\y");
    EXPECT_EQ(settings.LoadSettings().currentFolder, L"c:\\") << "an expandable folder is not read back";
    for (auto [name, value] : {std::pair{L"WindowLeft", DWORD{1515}}, {L"WindowState", DWORD{1}}}) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_DWORD, &value, sizeof(value));
    }
    ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"WindowTop", REG_SZ, L"12", 6);
    loaded = settings.LoadSettings();
    EXPECT_TRUE(loaded.state == WindowState::kNormal && loaded.left == 1515 && !loaded.top)
        << "minimised comes back normal; a string is ignored";
    EXPECT_EQ(test::HandleCount(), handles) << "every key opened is closed";
    // A top-level window at (100, 50), 400 x 300.
    unique_hwnd window(::CreateWindowExW(0, L"STATIC", L"settings", WS_OVERLAPPEDWINDOW, 100, 50, 400, 300, nullptr, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr));
    EXPECT_EQ(ApplyWindowSettings(window.get(), loaded), SW_SHOWNORMAL);
    EXPECT_EQ(test::WindowRect(window.get()).left, 101) << "1515 twips at 15 twips per pixel";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());

    // A root handle that is no open key makes every registry call fail.
    WindowSettings failing({reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x12345678)), key});
    std::vector<std::wstring> messages;
    failing.ReportFailure = [&](const std::wstring& text) { messages.push_back(text); };
    failing.SaveWindowSettings(window.get());
    failing.SaveStartDir(L"c:\\");
    EXPECT_EQ(messages, std::vector<std::wstring>(2, L"Unable to create registry key."));

    // Pixels of the rectangle against the screens, on both sides of each limit.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int minX = ::GetSystemMetrics(SM_CXMINTRACK), minY = ::GetSystemMetrics(SM_CYMINTRACK);
    const int screenX = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), screenY = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const struct { RECT rect; bool fits; } cases[] = {
        {{work.left - 399, 100, work.left + 1, 400}, true},  // one pixel on the screen
        {{work.left - 400, 100, work.left, 400}, false},     // touching it only
        {{100, 100, 100 + minX, 100 + minY}, true},          // the minimum itself
        {{100, 100, 99 + minX, 100 + minY}, false},
        {{0, 0, screenX, 300}, true},                        // as wide as all screens
        {{0, 0, screenX + 1, 300}, false},
        {{0, 0, 300, screenY}, true},
        {{0, 0, 300, screenY + 1}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitsTheScreens(window.get(), c.rect), c.fits)
            << c.rect.left << "," << c.rect.top << " - " << c.rect.right << "," << c.rect.bottom;
    }
}

}  // namespace
}  // namespace tarvo
