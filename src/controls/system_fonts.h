#pragma once
// DefPrefsHandles and StdFontInfo: the system fonts.
// The desktop's six system fonts, read once, as cached handles, pixel heights
// and font objects. The text controls use kind 4, the menu font.
#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "common/handles.h"

namespace tarvo {

enum FontKind : int {
    kIconTitleFont = 1,
    kCaptionFont = 2,
    kSmallCaptionFont = 3,
    kMenuFont = 4,
    kStatusFont = 5,
    kMessageFont = 6,
};

// A font by name, size in points, character set and styles.
struct StdFontInfo {
    std::wstring Name;
    double Size = 0;
    int Charset = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;
};

class DefPrefsHandles {
public:
    using Descriptions = std::array<LOGFONTA, 6>;  // kinds 1..6

    // The shared instance, reading the desktop's settings on first use.
    static DefPrefsHandles& Shared();
    // Reads the desktop's settings; a failed read leaves zeroed descriptions.
    static Descriptions ReadSystemDescriptions();

    explicit DefPrefsHandles(const Descriptions& descriptions);
    DefPrefsHandles(const DefPrefsHandles&) = delete;
    DefPrefsHandles& operator=(const DefPrefsHandles&) = delete;

    // Created on first request and cached; error 9 outside 1..6.
    HFONT GetHandle(int fontType);
    // 0 outside 1..6; error 6 when the product overflows.
    long GetHeightInPixel(int fontType, HDC dc) const;
    long GetHeightInPixelAtDpi(int fontType, int dpi) const;
    std::optional<StdFontInfo> FontObjectAtDpi(int fontType, int dpi) const;
    const LOGFONTA* Description(int fontType) const;

private:
    Descriptions descriptions_;
    std::array<unique_hfont, 6> handles_;
};

HFONT DefaultFontHandle(int fontType);
// The absolute value of the pixel height.
long DefaultFontHeight(int fontType, HDC dc);
std::optional<StdFontInfo> DefaultFontObject(HDC dc, int fontType);

}  // namespace tarvo
