#include "mainwindow/settings.h"

#include "common/handles.h"
#include "controls/message_hooks.h"
#include "graphics/colour_math.h"
#include "mainwindow/registry.h"

namespace tarvo {

namespace {

constexpr const wchar_t* kCreateKeyFailed = L"Unable to create registry key.";

struct TwipScale {
    double x, y;
};

TwipScale ScreenTwipsPerPixel() {
    unique_window_dc screen(nullptr);
    if (!screen.get()) return {15.0, 15.0};
    return {TwipsPerPixel(::GetDeviceCaps(screen.get(), LOGPIXELSX)),
            TwipsPerPixel(::GetDeviceCaps(screen.get(), LOGPIXELSY))};
}

std::optional<std::int32_t> ReadNumber(const SettingsLocation& at, const wchar_t* name) {
    RegistryValue value;
    if (!Registry::GetValue(at.root, at.subkey, name, kRegDword, value)) return std::nullopt;
    return std::get<std::int32_t>(value);
}

int ToPixels(std::int32_t twips, double twipsPerPixel) { return static_cast<int>(TwipsToPixels(twips, twipsPerPixel)); }

std::int32_t ToTwips(long pixels, double twipsPerPixel) {
    return static_cast<std::int32_t>(PixelsToTwips(static_cast<double>(pixels), twipsPerPixel));
}

struct MonitorSearch {
    RECT rect;
    bool found;
};

BOOL CALLBACK MeetsWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& search = *reinterpret_cast<MonitorSearch*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    RECT common{};
    search.found = ::GetMonitorInfoW(monitor, &info) && ::IntersectRect(&common, &search.rect, &info.rcWork);
    return search.found ? FALSE : TRUE;
}

}  // namespace

WindowSettings::WindowSettings(SettingsLocation location) : location_(std::move(location)) {
    ReportFailure = [](const std::wstring& text) {
        ::MessageBoxW(nullptr, text.c_str(), MSubclass::AppTitle(), MB_OK | MB_ICONEXCLAMATION);
    };
}

LoadedSettings WindowSettings::LoadSettings() const {
    LoadedSettings loaded;
    if (!Registry::KeyExists(location_.root, location_.subkey)) return loaded;

    const auto state = ReadNumber(location_, L"WindowState");
    loaded.state = state == 2 ? WindowState::kMaximised : WindowState::kNormal;
    if (loaded.state == WindowState::kNormal) {
        loaded.top = ReadNumber(location_, L"WindowTop");
        loaded.left = ReadNumber(location_, L"WindowLeft");
        loaded.width = ReadNumber(location_, L"WindowWidth");
        loaded.height = ReadNumber(location_, L"WindowHeight");
    }
    RegistryValue folder;
    if (Registry::GetValue(location_.root, location_.subkey, L"StartDir", kRegSz, folder)) {
        loaded.currentFolder = std::get<std::wstring>(folder);
    }
    return loaded;
}

bool WindowSettings::EnsureKey() const {
    if (Registry::KeyExists(location_.root, location_.subkey)) return true;
    if (Registry::CreateKey(location_.root, location_.subkey)) return true;
    if (ReportFailure) ReportFailure(kCreateKeyFailed);
    return false;
}

void WindowSettings::WriteNumber(const wchar_t* name, std::int32_t value) const {
    std::uint32_t type = kRegDword;
    Registry::SetValue(location_.root, location_.subkey, name, type, value);
}

void WindowSettings::SaveWindowSettings(HWND window) const {
    if (!EnsureKey()) return;
    const WindowState state = CurrentWindowState(window);
    WriteNumber(L"WindowState", static_cast<std::int32_t>(state));
    if (state != WindowState::kNormal) return;

    RECT rect{};
    if (!::GetWindowRect(window, &rect)) return;
    const TwipScale scale = ScreenTwipsPerPixel();
    WriteNumber(L"WindowTop", ToTwips(rect.top, scale.y));
    WriteNumber(L"WindowLeft", ToTwips(rect.left, scale.x));
    WriteNumber(L"WindowWidth", ToTwips(rect.right - rect.left, scale.x));
    WriteNumber(L"WindowHeight", ToTwips(rect.bottom - rect.top, scale.y));
}

void WindowSettings::SaveStartDir(const std::wstring& currentFolder) const {
    if (!EnsureKey()) return;
    std::uint32_t type = kRegSz;
    Registry::SetValue(location_.root, location_.subkey, L"StartDir", type, currentFolder);
}

WindowState CurrentWindowState(HWND window) {
    if (::IsIconic(window)) return WindowState::kMinimised;
    if (::IsZoomed(window)) return WindowState::kMaximised;
    return WindowState::kNormal;
}

int ApplyWindowSettings(HWND window, const LoadedSettings& settings) {
    if (settings.state == WindowState::kMaximised) return SW_SHOWMAXIMIZED;
    RECT rect{};
    if (!::GetWindowRect(window, &rect)) return SW_SHOWNORMAL;
    const HWND parent = ::GetAncestor(window, GA_PARENT);
    if (parent && parent != ::GetDesktopWindow()) ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);

    const TwipScale scale = ScreenTwipsPerPixel();
    const int left = settings.left ? ToPixels(*settings.left, scale.x) : rect.left;
    const int top = settings.top ? ToPixels(*settings.top, scale.y) : rect.top;
    const int width = settings.width ? ToPixels(*settings.width, scale.x) : rect.right - rect.left;
    const int height = settings.height ? ToPixels(*settings.height, scale.y) : rect.bottom - rect.top;
    // A monitor unplugged since, or values edited by hand: the window keeps its default placement.
    if (!FitsTheScreens(window, RECT{left, top, left + width, top + height})) return SW_SHOWNORMAL;
    ::SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return SW_SHOWNORMAL;
}

bool FitsTheScreens(HWND window, const RECT& rect) {
    MINMAXINFO limits{};
    limits.ptMinTrackSize = {::GetSystemMetrics(SM_CXMINTRACK), ::GetSystemMetrics(SM_CYMINTRACK)};
    limits.ptMaxTrackSize = {::GetSystemMetrics(SM_CXMAXTRACK), ::GetSystemMetrics(SM_CYMAXTRACK)};
    ::SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    const long width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width < limits.ptMinTrackSize.x || height < limits.ptMinTrackSize.y) return false;
    if (width > ::GetSystemMetrics(SM_CXVIRTUALSCREEN) || height > ::GetSystemMetrics(SM_CYVIRTUALSCREEN)) return false;

    MonitorSearch search{rect, false};
    ::EnumDisplayMonitors(nullptr, nullptr, MeetsWorkArea, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace tarvo
