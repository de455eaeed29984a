#include "controls/system_fonts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "common/handles.h"
#include "expect_raised.h"

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

TEST(DefPrefsHandles, HandlesAreCachedPerKindAndKindsOutsideOneToSixAreRefused) {
    DefPrefsHandles prefs(MenuFontOfHeight(-12));
    HFONT menu = prefs.GetHandle(kMenuFont);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(prefs.GetHandle(kMenuFont), menu);
    EXPECT_NE(prefs.GetHandle(kCaptionFont), menu);
    EXPECT_EQ(DefaultFontHandle(kMenuFont), DefaultFontHandle(kMenuFont));
    for (int kind : {0, 7}) {
        testing::ExpectRaised(9, L"", [&] { prefs.GetHandle(kind); }, L"Subscript out of range");
        EXPECT_EQ(prefs.GetHeightInPixelAtDpi(kind, 96), 0);
        EXPECT_FALSE(prefs.FontObjectAtDpi(kind, 96).has_value());
    }
}

TEST(DefPrefsHandles, CharacterHeightsBecomePixelsAndPointsPositiveHeightsAreTheSize) {
    DefPrefsHandles prefs(MenuFontOfHeight(-12));
    EXPECT_EQ(prefs.GetHeightInPixelAtDpi(kMenuFont, 96), -16);
    const auto font = prefs.FontObjectAtDpi(kMenuFont, 96);
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(std::make_tuple(font->Size, font->Name, font->Bold), std::make_tuple(9.0, std::wstring(L"Tahoma"), false));
    {
        unique_window_dc screen(nullptr);
        EXPECT_EQ(prefs.GetHeightInPixel(kMenuFont, screen.get()),
                  prefs.GetHeightInPixelAtDpi(kMenuFont, ::GetDeviceCaps(screen.get(), LOGPIXELSY)));
        EXPECT_GT(DefaultFontHeight(kMenuFont, screen.get()), 0);
    }

    auto d = MenuFontOfHeight(10);
    d[kMenuFont - 1].lfWeight = 401;
    d[kMenuFont - 1].lfItalic = 1;
    d[kMenuFont - 1].lfCharSet = 204;
    const auto positive = DefPrefsHandles(d).FontObjectAtDpi(kMenuFont, 96);
    ASSERT_TRUE(positive.has_value());
    EXPECT_EQ(std::make_tuple(positive->Size, positive->Bold, positive->Italic, positive->Charset),
              std::make_tuple(10.0, true, true, 204));

    testing::ExpectRaised(6, L"", [] { DefPrefsHandles(MenuFontOfHeight(0x7FFFFFFF)).GetHeightInPixelAtDpi(kMenuFont, 96); },
                          L"Overflow");
}

}  // namespace
}  // namespace tarvo
