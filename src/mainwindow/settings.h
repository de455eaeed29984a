#pragma once
// WindowSettings: the main window's settings.
// The main window's settings in the registry: its state and outer rectangle
// (twips) and the console's start-up folder. Loaded once before the window is
// shown, the window part saved when it closes, the folder saved on request.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tarvo {

enum class WindowState : std::int32_t { kNormal = 0, kMinimised = 1, kMaximised = 2 };

struct LoadedSettings {
    WindowState state = WindowState::kNormal;
    // Twips; a value that could not be read leaves that coordinate as the window has it.
    std::optional<std::int32_t> top, left, width, height;
    std::wstring currentFolder = L"c:\\";
};

struct SettingsLocation {
    HKEY root = HKEY_CURRENT_USER;
    std::wstring subkey = L"Software\\Tarvo";
};

class WindowSettings {
public:
    explicit WindowSettings(SettingsLocation location = {});

    LoadedSettings LoadSettings() const;
    // Silently ignores failing writes; only a key that cannot be created is reported.
    void SaveWindowSettings(HWND window) const;
    void SaveStartDir(const std::wstring& currentFolder) const;

    // Shows the one message of the settings; a message box titled with the application's title.
    std::function<void(const std::wstring& text)> ReportFailure;

private:
    bool EnsureKey() const;
    void WriteNumber(const wchar_t* name, std::int32_t value) const;

    SettingsLocation location_;
};

// Moves a window not shown yet to the loaded rectangle (normal state only, and
// only when it fits the screens) and answers the ShowWindow command of the loaded state.
int ApplyWindowSettings(HWND window, const LoadedSettings& settings);

// Whether a window rectangle (screen pixels) meets the work area of a monitor and
// its size lies between the window's minimum and the whole virtual screen.
bool FitsTheScreens(HWND window, const RECT& rect);

// The state the settings store for a window: 0 normal, 1 minimised, 2 maximised.
WindowState CurrentWindowState(HWND window);

}  // namespace tarvo
