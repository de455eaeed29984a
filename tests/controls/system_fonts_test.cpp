#include "controls/system_fonts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "expect_raised.h"
#include "gdi_objects.h"

namespace tarvo {
namespace {

// Every kind Tahoma at -11, the menu font at `height` with `weight`.
DefPrefsHandles::Descriptions MenuFontOf(LONG height, LONG weight) {
    DefPrefsHandles::Descriptions d{};
    for (auto& font : d) {
        font.lfHeight = -11;
        std::strcpy(font.lfFaceName, "Tahoma");
    }
    d[kMenuFont - 1].lfHeight = height;
    d[kMenuFont - 1].lfWeight = weight;
    return d;
}

TEST(DefPrefsHandles, HandlesAreCachedPerKindAndFreedKindsOutsideOneToSixAreRefusedAndHeightsBecomePixelsOrPoints) {
    const long gdiObjects = test::GdiObjects();
    {
        DefPrefsHandles prefs(MenuFontOf(-12, 400));
        const HFONT menu = prefs.GetHandle(kMenuFont);
        EXPECT_TRUE(menu && prefs.GetHandle(kMenuFont) == menu && prefs.GetHandle(kIconTitleFont));
        EXPECT_NE(prefs.GetHandle(kMessageFont), menu);
        for (int kind : {0, 7}) {
            testing::ExpectRaised(9, L"", [&] { prefs.GetHandle(kind); }, L"Subscript out of range");
            EXPECT_EQ(prefs.GetHeightInPixelAtDpi(kind, 96), 0);
            EXPECT_FALSE(prefs.FontObjectAtDpi(kind, 96).has_value());
        }
        EXPECT_EQ(prefs.GetHeightInPixelAtDpi(kMenuFont, 96), -16);
        const StdFontInfo font = prefs.FontObjectAtDpi(kMenuFont, 96).value();
        EXPECT_EQ(std::make_tuple(font.Size, font.Name, font.Bold), std::make_tuple(9.0, std::wstring(L"Tahoma"), false));
    }
    EXPECT_EQ(test::GdiObjects(), gdiObjects) << "the cached fonts go with their owner";

    auto d = MenuFontOf(10, 401);  // a positive height is the size in points
    d[kMenuFont - 1].lfItalic = 1;
    d[kMenuFont - 1].lfCharSet = 204;
    const StdFontInfo positive = DefPrefsHandles(d).FontObjectAtDpi(kMenuFont, 96).value();
    EXPECT_EQ(std::make_tuple(positive.Size, positive.Bold, positive.Italic, positive.Charset),
              std::make_tuple(10.0, true, true, 204));
    testing::ExpectRaised(6, L"", [] { DefPrefsHandles(MenuFontOf(0x7FFFFFFF, 400)).GetHeightInPixelAtDpi(kMenuFont, 96); },
                          L"Overflow");
}

}  // namespace
}  // namespace tarvo
