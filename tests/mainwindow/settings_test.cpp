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

bool SameRect(RECT a, RECT b) { return ::EqualRect(&a, &b) != FALSE; }

// A top-level window at (100, 50), 400 x 300.
unique_hwnd MakeTopLevel() {
    return unique_hwnd(::CreateWindowExW(0, L"STATIC", L"settings", WS_OVERLAPPEDWINDOW, 100, 50, 400, 300, nullptr,
                                         nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

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
    WindowSettings Settings() const { return WindowSettings({HKEY_CURRENT_USER, subkey}); }
    // Writes raw data the way another tool would.
    void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        unique_hkey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr), 0);
        ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    void WriteDword(const wchar_t* name, std::int32_t value) { WriteRaw(name, REG_DWORD, &value, sizeof(value)); }
    DWORD StoredType(const wchar_t* name, DWORD* size = nullptr) {
        DWORD type = 0;
        ::RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, size);
        return type;
    }
    long Twips(const wchar_t* name) { return static_cast<long>(test::RegNumber(HKEY_CURRENT_USER, subkey, name).value_or(-1)); }
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
    for (auto [text, stored] : {std::pair{L"D:\\%x%\\y", 2u}, {L"D:\\100%", 1u}, {L"%a%", 2u}, {L"%%", 1u}}) {
        type = kRegExpandSz;
        ASSERT_TRUE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"v", type, std::wstring(text)));
        EXPECT_EQ(type, stored);
        EXPECT_EQ(StoredType(L"v"), stored);
    }
    // A terminator written by another tool is read back as part of the text.
    WriteRaw(L"StartDir", REG_SZ, L"c:\\x", 10);
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"StartDir", kRegSz, value));
    EXPECT_EQ(std::get<std::wstring>(value), std::wstring(L"c:\\x\0", 5));

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

TEST_F(RegistryTest, FirstStartDefaultsStatesAndTheStartFolder) {
    LoadedSettings loaded = Settings().LoadSettings();
    EXPECT_EQ(loaded.state, WindowState::kNormal);
    EXPECT_FALSE(loaded.top || loaded.left || loaded.width || loaded.height);
    EXPECT_EQ(loaded.currentFolder, L"c:\\");
    Settings().SaveStartDir(L"D:\\%x%\\y");
    EXPECT_EQ(Settings().LoadSettings().currentFolder, L"c:\\") << "an expandable folder is not read back";
    Settings().SaveStartDir(L"D:\\100%");
    EXPECT_EQ(Settings().LoadSettings().currentFolder, L"D:\\100%");

    WriteRaw(L"WindowTop", REG_SZ, L"12", 6);
    WriteDword(L"WindowLeft", 1500);
    WriteDword(L"WindowState", 1);
    loaded = Settings().LoadSettings();
    EXPECT_EQ(loaded.state, WindowState::kNormal) << "minimised comes back normal";
    EXPECT_FALSE(loaded.top) << "a string is ignored";
    EXPECT_EQ(loaded.left.value_or(-1), 1500);
    WriteDword(L"WindowState", 2);
    loaded = Settings().LoadSettings();
    EXPECT_EQ(loaded.state, WindowState::kMaximised);
    EXPECT_FALSE(loaded.top || loaded.left) << "the rectangle is not applied";
    auto window = MakeTopLevel();
    EXPECT_EQ(ApplyWindowSettings(window.get(), loaded), SW_SHOWMAXIMIZED);
    EXPECT_EQ(test::WindowRect(window.get()).left, 100);
}

TEST_F(RegistryTest, TheRectangleRoundTripsInTwipsClosingMaximisedOrMinimisedKeepsItAndOneOffTheScreensIsNotApplied) {
    auto window = MakeTopLevel();
    Settings().SaveWindowSettings(window.get());
    // Wine's screen is 96 dpi: 15 twips per pixel.
    for (auto [name, twips] : {std::pair{L"WindowState", 0L}, {L"WindowLeft", 1500L}, {L"WindowTop", 750L},
                               {L"WindowWidth", 6000L}, {L"WindowHeight", 4500L}}) {
        EXPECT_EQ(Twips(name), twips) << test::Visible(name);
    }
    auto other = MakeTopLevel();
    ::SetWindowPos(other.get(), nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    WriteDword(L"WindowLeft", 1515);
    EXPECT_EQ(ApplyWindowSettings(other.get(), Settings().LoadSettings()), SW_SHOWNORMAL);
    EXPECT_TRUE(SameRect(test::WindowRect(other.get()), {101, 50, 501, 350}));

    WriteDword(L"WindowTop", 1234);
    for (auto [show, state] : {std::pair{SW_SHOWMAXIMIZED, 2L}, {SW_MINIMIZE, 1L}}) {
        ::ShowWindow(window.get(), show);
        Settings().SaveWindowSettings(window.get());
        EXPECT_EQ(Twips(L"WindowState"), state) << show;
        EXPECT_EQ(Twips(L"WindowTop"), 1234) << "the rectangle is kept as it was";
    }

    // A rectangle that does not fit keeps the default placement and is saved on a screen.
    for (auto [name, pixels] : {std::pair{L"WindowLeft", -3000}, {L"WindowTop", 100}, {L"WindowWidth", 400}, {L"WindowHeight", 300}}) {
        WriteDword(name, pixels * 15);
    }
    auto third = MakeTopLevel();
    EXPECT_EQ(ApplyWindowSettings(third.get(), Settings().LoadSettings()), SW_SHOWNORMAL);
    EXPECT_TRUE(SameRect(test::WindowRect(third.get()), {100, 50, 500, 350}));
    Settings().SaveWindowSettings(third.get());
    EXPECT_EQ(Twips(L"WindowLeft"), 1500);
}

// Pixels of the rectangle against the screens, on both sides of each limit.
TEST(FitsTheScreens, AtLeastOnePixelOnAWorkAreaAndASizeBetweenTheMinimumAndTheScreens) {
    auto window = MakeTopLevel();
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int minX = ::GetSystemMetrics(SM_CXMINTRACK), minY = ::GetSystemMetrics(SM_CYMINTRACK);
    const int screenX = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), screenY = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const struct { RECT rect; bool fits; } cases[] = {
        {{work.left - 399, 100, work.left + 1, 400}, true},  // one pixel on the screen
        {{work.left - 400, 100, work.left, 400}, false},     // touching it only
        {{work.right - 1, 100, work.right + 399, 400}, true},
        {{work.right, 100, work.right + 400, 400}, false},
        {{-3000, -3000, -2600, -2700}, false},               // a monitor unplugged since
        {{100, 100, 100 + minX, 100 + minY}, true},          // the minimum itself
        {{100, 100, 99 + minX, 100 + minY}, false},
        {{100, 100, 100 + minX, 99 + minY}, false},
        {{0, 0, screenX, 300}, true},                        // as wide as all screens
        {{0, 0, screenX + 1, 300}, false},
        {{0, 0, 300, screenY + 1}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitsTheScreens(window.get(), c.rect), c.fits)
            << c.rect.left << "," << c.rect.top << " - " << c.rect.right << "," << c.rect.bottom;
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
