#include "mainwindow/settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/handles.h"
#include "mainwindow/registry.h"
#include "test_support.h"

namespace tarvo {
namespace {

// Every test works in its own key below HKCU\Software\TarvoTest, removed before and after.
class RegistryTest : public ::testing::Test {
protected:
    const std::wstring parent = L"Software\\TarvoTest";
    const std::wstring subkey = parent + L"\\" + std::to_wstring(::GetCurrentProcessId());

    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, subkey.c_str()); }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, subkey.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, parent.c_str());
    }

    SettingsLocation Location() const { return {HKEY_CURRENT_USER, subkey}; }

    // Writes raw data the way another tool would.
    void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_TRUE(Registry::CreateKey(HKEY_CURRENT_USER, subkey));
        unique_hkey key;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_SET_VALUE, key.put()), ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    void WriteDword(const wchar_t* name, std::int32_t value) { WriteRaw(name, REG_DWORD, &value, sizeof(value)); }

    DWORD StoredType(const wchar_t* name, DWORD* size = nullptr) {
        DWORD type = 0;
        unique_hkey key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS)
            ::RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, size);
        return type;
    }
    std::optional<std::int32_t> Number(const wchar_t* name) {
        const auto value = test::RegNumber(HKEY_CURRENT_USER, subkey, name);
        return value ? std::optional<std::int32_t>(static_cast<std::int32_t>(*value)) : std::nullopt;
    }
    // A top-level window of a known size.
    static unique_hwnd MakeTopLevel() {
        return unique_hwnd(::CreateWindowExW(0, L"STATIC", L"settings", WS_OVERLAPPEDWINDOW, 100, 50, 400, 300,
                                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    }
};

TEST_F(RegistryTest, TextValuesTheirTypesAndTerminatorsAndWrongTypesWithTheirTexts) {
    ASSERT_TRUE(Registry::CreateKey(HKEY_CURRENT_USER, subkey));
    std::uint32_t type = kRegSz;
    ASSERT_TRUE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"StartDir", type, std::wstring(L"c:\\")));
    DWORD size = 0;
    EXPECT_EQ(StoredType(L"StartDir", &size), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 7u) << "two bytes per character and one terminator byte";
    RegistryValue value;
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"StartDir", kRegSz, value));
    EXPECT_EQ(std::get<std::wstring>(value), L"c:\\");

    const struct {
        const wchar_t* text;
        std::uint32_t type;
    } cases[] = {{L"D:\\%x%\\y", kRegExpandSz}, {L"D:\\100%", kRegSz}};
    for (const auto& c : cases) {
        type = kRegExpandSz;
        ASSERT_TRUE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"v", type, std::wstring(c.text)));
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(StoredType(L"v"), c.type);
    }

    // A terminator written by another tool is read back as part of the text.
    const wchar_t text[] = L"c:\\x";
    WriteRaw(L"StartDir", REG_SZ, text, sizeof(text));
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"StartDir", kRegSz, value));
    EXPECT_EQ(std::get<std::wstring>(value), std::wstring(L"c:\\x\0", 5));

    // Wrong types fail with their texts.
    WriteRaw(L"WindowTop", REG_SZ, L"12", 6);
    EXPECT_FALSE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"WindowTop", kRegDword, value));
    EXPECT_EQ(Registry::LastErrorText(), L"Registry data type was 1instead of the requested 4");
    type = kRegDword;
    EXPECT_FALSE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"v", type, std::wstring(L"x")));
    EXPECT_EQ(Registry::LastErrorText(), L"The value type is not consistent.");
    type = 6;
    EXPECT_FALSE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"v", type, std::int32_t{1}));
    EXPECT_EQ(Registry::LastErrorText(), L"The value type is not compatible with the available registry types.");
}

TEST_F(RegistryTest, FirstStartDefaultsAndTheStartFolder) {
    WindowSettings settings(Location());
    const LoadedSettings first = settings.LoadSettings();
    EXPECT_EQ(first.state, WindowState::kNormal);
    EXPECT_FALSE(first.top || first.left || first.width || first.height);
    EXPECT_EQ(first.currentFolder, L"c:\\");

    settings.SaveStartDir(L"D:\\%x%\\y");
    EXPECT_EQ(settings.LoadSettings().currentFolder, L"c:\\") << "an expandable folder is not read back";
    settings.SaveStartDir(L"D:\\100%");
    EXPECT_EQ(settings.LoadSettings().currentFolder, L"D:\\100%");
}

TEST_F(RegistryTest, LoadedStatesAndRectangles) {
    WriteRaw(L"WindowTop", REG_SZ, L"12", 6);
    WriteDword(L"WindowLeft", 1500);
    WriteDword(L"WindowState", 1);
    LoadedSettings loaded = WindowSettings(Location()).LoadSettings();
    EXPECT_EQ(loaded.state, WindowState::kNormal) << "minimised comes back normal";
    EXPECT_FALSE(loaded.top) << "a string is ignored";
    EXPECT_EQ(loaded.left.value_or(-1), 1500);

    WriteDword(L"WindowState", 2);
    WriteDword(L"WindowTop", 3000);
    loaded = WindowSettings(Location()).LoadSettings();
    EXPECT_EQ(loaded.state, WindowState::kMaximised);
    EXPECT_FALSE(loaded.top || loaded.left) << "the rectangle is not applied";
    auto window = MakeTopLevel();
    const int show = ApplyWindowSettings(window.get(), loaded);
    EXPECT_EQ(show, SW_SHOWMAXIMIZED);
    ::ShowWindow(window.get(), show);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(window.get(), &placement);
    EXPECT_EQ(placement.rcNormalPosition.left, 100);
    EXPECT_EQ(placement.rcNormalPosition.top, 50);
}

TEST_F(RegistryTest, SavedRectangleRoundTripsAndClosingMaximisedOrMinimisedKeepsIt) {
    auto window = MakeTopLevel();
    WindowSettings settings(Location());
    settings.SaveWindowSettings(window.get());
    RECT saved{};
    ::GetWindowRect(window.get(), &saved);
    EXPECT_EQ(Number(L"WindowWidth"), (saved.right - saved.left) * 15);  // Wine's screen is 96 dpi
    EXPECT_EQ(Number(L"WindowState"), 0);
    auto other = MakeTopLevel();
    ::SetWindowPos(other.get(), nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(ApplyWindowSettings(other.get(), settings.LoadSettings()), SW_SHOWNORMAL);
    RECT restored{};
    ::GetWindowRect(other.get(), &restored);
    EXPECT_TRUE(::EqualRect(&restored, &saved));

    WriteDword(L"WindowTop", 1234);
    for (auto [show, state] : {std::pair{SW_SHOWMAXIMIZED, 2}, {SW_MINIMIZE, 1}}) {
        ::ShowWindow(window.get(), show);
        settings.SaveWindowSettings(window.get());
        EXPECT_EQ(Number(L"WindowState"), state) << show;
        EXPECT_EQ(Number(L"WindowTop"), 1234) << "the rectangle is kept as it was";
        EXPECT_EQ(Number(L"WindowWidth"), (saved.right - saved.left) * 15);
    }
}

TEST_F(RegistryTest, ARectangleOffTheScreensOrOfNoSizeGivesTheDefaultPlacement) {
    const int screenWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const struct {
        int left, top, width, height;  // pixels
        bool applied;
    } cases[] = {
        {-3000, -3000, 400, 300, false},               // a monitor unplugged since
        {screenWidth + 50, 100, 400, 300, false},      // right of every screen
        {-500, 100, 400, 300, false},                  // negative, wholly left of the screen
        {-300, 100, 400, 300, true},                   // partly on the screen
        {100, 100, 30, 10, false},                     // below the window's minimum
        {10, 10, screenWidth + 200, 300, false},       // wider than all screens together
    };
    for (const auto& c : cases) {
        for (auto [name, pixels] : {std::pair{L"WindowLeft", c.left}, {L"WindowTop", c.top},
                                    {L"WindowWidth", c.width}, {L"WindowHeight", c.height}}) {
            WriteDword(name, pixels * 15);
        }
        auto window = MakeTopLevel();
        EXPECT_EQ(ApplyWindowSettings(window.get(), WindowSettings(Location()).LoadSettings()), SW_SHOWNORMAL);
        RECT placed{};
        ::GetWindowRect(window.get(), &placed);
        const RECT expected = c.applied ? RECT{c.left, c.top, c.left + c.width, c.top + c.height} : RECT{100, 50, 500, 350};
        EXPECT_TRUE(::EqualRect(&placed, &expected)) << c.left << "," << c.top << " " << c.width << "x" << c.height;

        // What the window writes when it closes is on a screen again.
        WindowSettings(Location()).SaveWindowSettings(window.get());
        const RECT saved{*Number(L"WindowLeft") / 15, *Number(L"WindowTop") / 15,
                         (*Number(L"WindowLeft") + *Number(L"WindowWidth")) / 15,
                         (*Number(L"WindowTop") + *Number(L"WindowHeight")) / 15};
        EXPECT_NE(::MonitorFromRect(&saved, MONITOR_DEFAULTTONULL), nullptr);
    }
}

TEST_F(RegistryTest, KeyThatCannotBeCreatedShowsTheOneMessage) {
    // A root handle that is no open key makes every registry call fail.
    WindowSettings settings({reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x12345678)), subkey});
    std::vector<std::wstring> messages;
    settings.ReportFailure = [&](const std::wstring& text) { messages.push_back(text); };
    settings.SaveWindowSettings(MakeTopLevel().get());
    settings.SaveStartDir(L"c:\\");
    EXPECT_EQ(messages, std::vector<std::wstring>(2, L"Unable to create registry key."));
}

}  // namespace
}  // namespace tarvo
