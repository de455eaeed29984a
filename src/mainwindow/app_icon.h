#pragma once
// Gives a window (and, on request, its top-level owner) the program's icon.
#include <windows.h>

#include <string>

namespace tarvo::AppIcon {

// Sets the large and the small icon from the icon group `name` of this
// executable. The icons are shared and never destroyed.
void SetAppIcon(HWND hwnd, const std::wstring& name, bool alsoOwner);

}  // namespace tarvo::AppIcon
