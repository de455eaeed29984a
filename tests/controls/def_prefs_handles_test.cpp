#include "controls/def_prefs_handles.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/raised_error.h"

namespace tarvo {
namespace {

DefPrefsHandles::Descriptions MenuFontOfHeight(LONG height) {
    DefPrefsHandles::Descriptions d{};
    for (auto& font : d) {
        font.lfHeight = -11;
        font.lfWeight = FW_NORMAL;
        std::strcpy(font.lfFaceName, "Tahoma");
    }
    d[kMenuFont - 1].lfHeight = height;
    return d;
}

TEST(DefPrefsHandles, TheSameKindGivesTheSameCachedHandle) {
    DefPrefsHandles prefs(MenuFontOfHeight(-12));
    HFONT first = prefs.GetHandle(kMenuFont);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(prefs.GetHandle(kMenuFont), first);
    EXPECT_NE(prefs.GetHandle(kCaptionFont), first);
    EXPECT_EQ(DefaultFontHandle(kMenuFont), DefaultFontHandle(kMenuFont));
}

TEST(DefPrefsHandles, KindsOutsideOneToSixAreRefused) {
    DefPrefsHandles prefs(MenuFontOfHeight(-12));
    for (int kind : {0, 7}) {
        try {
            prefs.GetHandle(kind);
            FAIL() << "kind " << kind << " did not raise";
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), 9);
        }
        EXPECT_EQ(prefs.GetHeightInPixelAtDpi(kind, 96), 0);
        EXPECT_FALSE(prefs.FontObjectAtDpi(kind, 96).has_value());
    }
}

TEST(DefPrefsHandles, CharacterHeightConvertsToPixelsAndPoints) {
    DefPrefsHandles prefs(MenuFontOfHeight(-12));
    EXPECT_EQ(prefs.GetHeightInPixelAtDpi(kMenuFont, 96), -16);
    const auto font = prefs.FontObjectAtDpi(kMenuFont, 96);
    ASSERT_TRUE(font.has_value());
    EXPECT_DOUBLE_EQ(font->Size, 9.0);
    EXPECT_EQ(font->Name, L"Tahoma");
    EXPECT_FALSE(font->Bold);
}

TEST(DefPrefsHandles, PositiveHeightIsTheSizeItself) {
    auto d = MenuFontOfHeight(10);
    d[kMenuFont - 1].lfWeight = 401;
    d[kMenuFont - 1].lfItalic = 1;
    d[kMenuFont - 1].lfCharSet = 204;
    DefPrefsHandles prefs(d);
    const auto font = prefs.FontObjectAtDpi(kMenuFont, 96);
    ASSERT_TRUE(font.has_value());
    EXPECT_DOUBLE_EQ(font->Size, 10.0);
    EXPECT_TRUE(font->Bold);
    EXPECT_TRUE(font->Italic);
    EXPECT_FALSE(font->Underline);
    EXPECT_EQ(font->Charset, 204);
}

TEST(DefPrefsHandles, ScreenHeightFollowsTheDevicesDpi) {
    DefPrefsHandles prefs(MenuFontOfHeight(-12));
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    EXPECT_EQ(prefs.GetHeightInPixel(kMenuFont, screen), prefs.GetHeightInPixelAtDpi(kMenuFont, dpi));
    EXPECT_GT(DefaultFontHeight(kMenuFont, screen), 0);
    ::ReleaseDC(nullptr, screen);
}

TEST(DefPrefsHandles, OverflowingHeightRaisesSix) {
    DefPrefsHandles prefs(MenuFontOfHeight(0x7FFFFFFF));
    try {
        prefs.GetHeightInPixelAtDpi(kMenuFont, 96);
        FAIL() << "no overflow raised";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), 6);
    }
}

}  // namespace
}  // namespace tarvo
