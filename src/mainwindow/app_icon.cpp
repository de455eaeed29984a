#include "mainwindow/app_icon.h"

namespace tarvo::AppIcon {

namespace {

HWND TopLevelOwner(HWND hwnd) {
    HWND top = hwnd;
    while (HWND owner = ::GetWindow(top, GW_OWNER)) top = owner;
    return top;
}

void ApplyIcon(HWND hwnd, HWND owner, const std::wstring& name, int metricX, int metricY, WPARAM kind) {
    auto* icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), name.c_str(), IMAGE_ICON,
                                                 ::GetSystemMetrics(metricX), ::GetSystemMetrics(metricY),
                                                 LR_SHARED));
    if (owner && owner != hwnd) ::SendMessageW(owner, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(hwnd, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

void SetAppIcon(HWND hwnd, const std::wstring& name, bool alsoOwner) {
    if (!hwnd) return;
    const HWND owner = alsoOwner ? TopLevelOwner(hwnd) : nullptr;
    ApplyIcon(hwnd, owner, name, SM_CXICON, SM_CYICON, ICON_BIG);
    ApplyIcon(hwnd, owner, name, SM_CXSMICON, SM_CYSMICON, ICON_SMALL);
}

}  // namespace tarvo::AppIcon
