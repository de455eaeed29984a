#include "mainwindow/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/handles.h"
#include "mainwindow/registry.h"

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

    struct Raw {
        DWORD type = 0;
        std::vector<BYTE> bytes;
    };
    Raw ReadRaw(const wchar_t* name) {
        Raw raw;
        unique_hkey key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return raw;
        DWORD size = 0;
        if (::RegQueryValueExW(key.get(), name, nullptr, &raw.type, nullptr, &size) != ERROR_SUCCESS) return raw;
        raw.bytes.resize(size);
        ::RegQueryValueExW(key.get(), name, nullptr, &raw.type, raw.bytes.data(), &size);
        return raw;
    }
};

TEST_F(RegistryTest, KeyExistsAndCreateKey) {
    EXPECT_FALSE(Registry::KeyExists(HKEY_CURRENT_USER, subkey));
    EXPECT_FALSE(Registry::LastErrorText().empty());
    EXPECT_TRUE(Registry::CreateKey(HKEY_CURRENT_USER, subkey));
    EXPECT_TRUE(Registry::KeyExists(HKEY_CURRENT_USER, subkey));
    EXPECT_TRUE(Registry::CreateKey(HKEY_CURRENT_USER, subkey));
}

TEST_F(RegistryTest, TextIsStoredWithOneTerminatorByteAndReadsBack) {
    ASSERT_TRUE(Registry::CreateKey(HKEY_CURRENT_USER, subkey));
    std::uint32_t type = kRegSz;
    ASSERT_TRUE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"StartDir", type, std::wstring(L"c:\\")));
    EXPECT_EQ(type, kRegSz);
    const Raw raw = ReadRaw(L"StartDir");
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    ASSERT_EQ(raw.bytes.size(), 7u);
    EXPECT_EQ(raw.bytes[5], 0);  // high byte of the backslash
    EXPECT_EQ(raw.bytes[6], 0);  // low byte of the terminator
    RegistryValue value;
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"StartDir", kRegSz, value));
    EXPECT_EQ(std::get<std::wstring>(value), L"c:\\");
}

TEST_F(RegistryTest, PercentRuleChoosesTheTextType) {
    ASSERT_TRUE(Registry::CreateKey(HKEY_CURRENT_USER, subkey));
    const struct {
        const wchar_t* text;
        std::uint32_t type;
    } cases[] = {{L"D:\\%x%\\y", kRegExpandSz}, {L"D:\\100%", kRegSz}, {L"D:\\%%", kRegSz}};
    for (const auto& c : cases) {
        std::uint32_t type = kRegExpandSz;
        ASSERT_TRUE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"v", type, std::wstring(c.text)));
        EXPECT_EQ(type, c.type) << c.text;
        EXPECT_EQ(ReadRaw(L"v").type, c.type) << c.text;
    }
}

TEST_F(RegistryTest, TerminatorWrittenByAnotherToolIsKept) {
    const wchar_t text[] = L"c:\\x";
    WriteRaw(L"StartDir", REG_SZ, text, sizeof(text));
    RegistryValue value;
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"StartDir", kRegSz, value));
    EXPECT_EQ(std::get<std::wstring>(value), std::wstring(L"c:\\x\0", 5));
}

TEST_F(RegistryTest, WrongStoredTypeFailsWithTheMismatchText) {
    WriteRaw(L"WindowTop", REG_SZ, L"12", 6);
    RegistryValue value;
    EXPECT_FALSE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"WindowTop", kRegDword, value));
    EXPECT_EQ(Registry::LastErrorText(), L"Registry data type was 1instead of the requested 4");
    // Success does not clear the text.
    WriteDword(L"n", 5);
    EXPECT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"n", kRegDword, value));
    EXPECT_EQ(Registry::LastErrorText(), L"Registry data type was 1instead of the requested 4");
}

TEST_F(RegistryTest, NumbersBigEndianAndBytes) {
    ASSERT_TRUE(Registry::CreateKey(HKEY_CURRENT_USER, subkey));
    std::uint32_t type = kRegDwordBigEndian;
    ASSERT_TRUE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"n", type, std::int16_t{-3}));
    EXPECT_EQ(type, kRegDword);
    RegistryValue value;
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"n", kRegDword, value));
    EXPECT_EQ(std::get<std::int32_t>(value), -3);

    const BYTE big[4] = {0x80, 0x00, 0x01, 0x02};
    WriteRaw(L"big", REG_DWORD_BIG_ENDIAN, big, 4);
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"big", kRegDwordBigEndian, value));
    EXPECT_EQ(std::get<std::int32_t>(value), static_cast<std::int32_t>(0x80000102u));

    const BYTE bin[3] = {1, 2, 3};
    WriteRaw(L"bin", REG_BINARY, bin, 3);
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"bin", kRegBinary, value));
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(value), (std::vector<std::uint8_t>{1, 2, 3, 0}));
}

TEST_F(RegistryTest, WritesThatCannotBeMadeAreRefused) {
    std::uint32_t type = kRegSz;
    EXPECT_FALSE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"v", type, std::wstring(L"x")));  // no key
    ASSERT_TRUE(Registry::CreateKey(HKEY_CURRENT_USER, subkey));
    type = kRegDword;
    EXPECT_FALSE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"v", type, std::wstring(L"x")));
    EXPECT_EQ(Registry::LastErrorText(), L"The value type is not consistent.");
    type = kRegBinary;
    EXPECT_FALSE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"v", type, std::int32_t{1}));
    EXPECT_EQ(Registry::LastErrorText(), L"The value type is not consistent.");
    type = 6;
    EXPECT_FALSE(Registry::SetValue(HKEY_CURRENT_USER, subkey, L"v", type, std::int32_t{1}));
    EXPECT_EQ(Registry::LastErrorText(), L"The value type is not compatible with the available registry types.");
    RegistryValue value;
    EXPECT_FALSE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"v", kRegSz, value));  // never written
}

// A top-level window of a known size for the settings tests.
unique_hwnd MakeTopLevel() {
    return unique_hwnd(::CreateWindowExW(0, L"STATIC", L"settings", WS_OVERLAPPEDWINDOW, 100, 50, 400, 300, nullptr,
                                         nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

TEST_F(RegistryTest, FirstStartUsesTheDefaults) {
    const LoadedSettings loaded = WindowSettings(Location()).LoadSettings();
    EXPECT_EQ(loaded.state, WindowState::kNormal);
    EXPECT_FALSE(loaded.top || loaded.left || loaded.width || loaded.height);
    EXPECT_EQ(loaded.currentFolder, L"c:\\");
}

TEST_F(RegistryTest, ExpandableStartDirIsNotReadBack) {
    WindowSettings settings(Location());
    settings.SaveStartDir(L"D:\\%x%\\y");
    EXPECT_EQ(ReadRaw(L"StartDir").type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(settings.LoadSettings().currentFolder, L"c:\\");
    settings.SaveStartDir(L"D:\\100%");
    EXPECT_EQ(settings.LoadSettings().currentFolder, L"D:\\100%");
}

TEST_F(RegistryTest, RectangleOfTheWrongTypeIsIgnored) {
    WriteRaw(L"WindowTop", REG_SZ, L"12", 6);
    WriteDword(L"WindowLeft", 1500);
    const LoadedSettings loaded = WindowSettings(Location()).LoadSettings();
    EXPECT_FALSE(loaded.top);
    ASSERT_TRUE(loaded.left);
    EXPECT_EQ(*loaded.left, 1500);
    EXPECT_FALSE(loaded.width);
}

TEST_F(RegistryTest, WindowRectangleRoundTripsInTwips) {
    auto window = MakeTopLevel();
    ASSERT_TRUE(window);
    WindowSettings settings(Location());
    settings.SaveWindowSettings(window.get());
    RECT saved{};
    ::GetWindowRect(window.get(), &saved);
    RegistryValue value;
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"WindowWidth", kRegDword, value));
    EXPECT_EQ(std::get<std::int32_t>(value), (saved.right - saved.left) * 15);  // Wine's screen is 96 dpi
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"WindowState", kRegDword, value));
    EXPECT_EQ(std::get<std::int32_t>(value), 0);

    auto other = MakeTopLevel();
    ::SetWindowPos(other.get(), nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(ApplyWindowSettings(other.get(), settings.LoadSettings()), SW_SHOWNORMAL);
    RECT restored{};
    ::GetWindowRect(other.get(), &restored);
    EXPECT_EQ(restored.left, saved.left);
    EXPECT_EQ(restored.top, saved.top);
    EXPECT_EQ(restored.right, saved.right);
    EXPECT_EQ(restored.bottom, saved.bottom);
}

TEST_F(RegistryTest, MinimisedStateRestoresAsNormal) {
    WriteDword(L"WindowState", 1);
    WriteDword(L"WindowTop", 600);
    const LoadedSettings loaded = WindowSettings(Location()).LoadSettings();
    EXPECT_EQ(loaded.state, WindowState::kNormal);
    EXPECT_EQ(loaded.top.value_or(-1), 600);
}

TEST_F(RegistryTest, MaximisedStateLeavesTheRectangleUnapplied) {
    WriteDword(L"WindowState", 2);
    WriteDword(L"WindowTop", 3000);
    WriteDword(L"WindowLeft", 3000);
    const LoadedSettings loaded = WindowSettings(Location()).LoadSettings();
    EXPECT_EQ(loaded.state, WindowState::kMaximised);
    EXPECT_FALSE(loaded.top || loaded.left);

    auto window = MakeTopLevel();
    const int show = ApplyWindowSettings(window.get(), loaded);
    EXPECT_EQ(show, SW_SHOWMAXIMIZED);
    ::ShowWindow(window.get(), show);
    EXPECT_TRUE(::IsZoomed(window.get()));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(window.get(), &placement);
    EXPECT_EQ(placement.rcNormalPosition.left, 100);
    EXPECT_EQ(placement.rcNormalPosition.top, 50);
}

TEST_F(RegistryTest, ClosingMaximisedKeepsTheStoredRectangle) {
    WriteDword(L"WindowTop", 1234);
    WriteDword(L"WindowWidth", 4321);
    auto window = MakeTopLevel();
    ::ShowWindow(window.get(), SW_SHOWMAXIMIZED);
    ASSERT_TRUE(::IsZoomed(window.get()));
    WindowSettings(Location()).SaveWindowSettings(window.get());
    RegistryValue value;
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"WindowState", kRegDword, value));
    EXPECT_EQ(std::get<std::int32_t>(value), 2);
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"WindowTop", kRegDword, value));
    EXPECT_EQ(std::get<std::int32_t>(value), 1234);
    ASSERT_TRUE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"WindowWidth", kRegDword, value));
    EXPECT_EQ(std::get<std::int32_t>(value), 4321);
    EXPECT_FALSE(Registry::GetValue(HKEY_CURRENT_USER, subkey, L"WindowLeft", kRegDword, value));
}

TEST_F(RegistryTest, KeyThatCannotBeCreatedShowsTheOneMessage) {
    // A root handle that is no open key makes every registry call fail.
    WindowSettings settings({reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x12345678)), subkey});
    std::vector<std::wstring> messages;
    settings.ReportFailure = [&](const std::wstring& text) { messages.push_back(text); };
    auto window = MakeTopLevel();
    settings.SaveWindowSettings(window.get());
    settings.SaveStartDir(L"c:\\");
    EXPECT_EQ(messages, (std::vector<std::wstring>{L"Unable to create registry key.", L"Unable to create registry key."}));
}

}  // namespace
}  // namespace tarvo
