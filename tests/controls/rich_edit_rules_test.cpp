#include "controls/rich_edit_rules.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarvo::rich_edit_rules {
namespace {

constexpr std::uint32_t kKeyDown = 0x100, kKeyUp = 0x101, kChar = 0x102, kSysKeyDown = 0x104;

AccelAction Decide(std::uint32_t message, std::uint32_t key, bool shiftOrCtrl = false, bool readOnly = false,
                   bool trapTab = true) {
    AccelInput in;
    in.message = message;
    in.key = key;
    in.hasEditWindow = true;
    in.readOnly = readOnly;
    in.trapTab = trapTab;
    in.shiftOrCtrlActive = shiftOrCtrl;
    return DecideAccel(in);
}

TEST(RichEditAccel, PlainTabIsTypedOnKeyDownAndSwallowedOtherwise) {
    EXPECT_EQ(Decide(kKeyDown, 9), AccelAction::kTypeTab);
    EXPECT_EQ(Decide(kKeyUp, 9), AccelAction::kSwallow);
    EXPECT_EQ(Decide(kChar, 9), AccelAction::kSwallow);
}

TEST(RichEditAccel, TabGoesToTheFormWithModifiersWhenReadOnlyOrNotTrapping) {
    EXPECT_EQ(Decide(kKeyDown, 9, true), AccelAction::kNotHandled);
    EXPECT_EQ(Decide(kKeyDown, 9, false, true), AccelAction::kNotHandled);
    EXPECT_EQ(Decide(kKeyDown, 9, false, false, false), AccelAction::kNotHandled);
}

TEST(RichEditAccel, EnterAndNavigationKeysGoStraightToTheEdit) {
    for (std::uint32_t key : {13u, 33u, 34u, 35u, 36u, 37u, 38u, 39u, 40u}) {
        EXPECT_EQ(Decide(kKeyDown, key), AccelAction::kSendToEdit) << key;
        EXPECT_EQ(Decide(kKeyUp, key, true), AccelAction::kSendToEdit) << key;
    }
    for (std::uint32_t key : {32u, 41u, 45u, 46u, 65u, 112u}) EXPECT_EQ(Decide(kKeyDown, key), AccelAction::kNotHandled) << key;
}

TEST(RichEditAccel, OtherMessagesAndAMissingEditAreNotHandled) {
    EXPECT_EQ(Decide(kSysKeyDown, 13), AccelAction::kNotHandled);
    AccelInput noWindow;
    noWindow.message = kKeyDown;
    noWindow.key = 13;
    EXPECT_EQ(DecideAccel(noWindow), AccelAction::kNotHandled);
}

TEST(RichEditLayout, FormattingRectangleKeepsMarginsAndNeverInverts) {
    const FormatRect wide = FormattingRectangle(300, 200, 8, 8);
    EXPECT_EQ(wide.left, 8);
    EXPECT_EQ(wide.top, 2);
    EXPECT_EQ(wide.right, 292);
    EXPECT_EQ(wide.bottom, 200);
    EXPECT_EQ(FormattingRectangle(10, 5, 8, 8).right, 8);
    EXPECT_EQ(FormattingRectangle(0, 0, 8, std::numeric_limits<std::int32_t>::min()).right,
              std::numeric_limits<std::int32_t>::max());
}

TEST(RichEditFonts, HeightInTwipsRoundsTheFixedPointProductHalvesToEven) {
    EXPECT_EQ(FontHeightInTwips(10.0), 200);
    EXPECT_EQ(FontHeightInTwips(8.25), 165);
    EXPECT_EQ(FontHeightInTwips(0.025), 0);   // 0.5 twips
    EXPECT_EQ(FontHeightInTwips(0.075), 2);   // 1.5 twips
    EXPECT_EQ(FontHeightInTwips(0.0375), 1);  // 0.75 twips
    EXPECT_EQ(FontHeightInTwips(-0.075), -2);
    EXPECT_EQ(FontHeightInTwips(0.00004), 0);  // below the fixed point's resolution
}

TEST(RichEditFonts, HeightOverflowAndNonNumbersGiveNothing) {
    EXPECT_EQ(FontHeightInTwips(107374182.35), 2147483647);
    EXPECT_FALSE(FontHeightInTwips(107374182.4));
    EXPECT_FALSE(FontHeightInTwips(1e300));
    EXPECT_FALSE(FontHeightInTwips(std::numeric_limits<double>::quiet_NaN()));
}

TEST(RichEditArithmetic, MarginAndRangeLengthsDetectOverflow) {
    EXPECT_EQ(RightMarginParameter(8), 8 * 65536);
    EXPECT_EQ(RightMarginParameter(32767), 0x7FFF0000);
    EXPECT_FALSE(RightMarginParameter(32768));
    EXPECT_EQ(RightMarginParameter(-32768), std::numeric_limits<std::int32_t>::min());
    EXPECT_FALSE(RightMarginParameter(-32769));

    EXPECT_EQ(RangeBufferLength(5, 5), 1);
    EXPECT_EQ(RangeBufferLength(0, -1), 0);
    EXPECT_FALSE(RangeBufferLength(-2, std::numeric_limits<std::int32_t>::max()));
    EXPECT_FALSE(RangeBufferLength(std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min()));
}

TEST(RichEditColours, OleColoursTranslateLikeTheSystemWithoutAPalette) {
    int askedIndex = -1;
    auto system = [&](int index) {
        askedIndex = index;
        return 0x00ABCDEFu;
    };
    EXPECT_EQ(TranslateOleColourWith(0x00123456u, system), 0x00123456u);
    EXPECT_EQ(TranslateOleColourWith(0x01000007u, system), 0x01000007u);
    EXPECT_EQ(askedIndex, -1);
    EXPECT_EQ(TranslateOleColourWith(0x80000005u, system), 0x00ABCDEFu);
    EXPECT_EQ(askedIndex, 5);
    EXPECT_EQ(TranslateOleColourWith(0x8000001Eu, system), 0x00ABCDEFu);
    EXPECT_FALSE(TranslateOleColourWith(0x8000001Fu, system));
    EXPECT_FALSE(TranslateOleColourWith(0x80010005u, system));
    EXPECT_FALSE(TranslateOleColourWith(0xFFFFFFFFu, system));
    EXPECT_FALSE(TranslateOleColourWith(0x40000000u, system));
}

TEST(RichEditStorage, NumbersCountFromOneAndStopBeforeOverflow) {
    std::int32_t counter = 0;
    EXPECT_EQ(NextStorageNumber(counter), 1);
    EXPECT_EQ(NextStorageNumber(counter), 2);
    counter = std::numeric_limits<std::int32_t>::max();
    EXPECT_FALSE(NextStorageNumber(counter));
    EXPECT_EQ(counter, std::numeric_limits<std::int32_t>::max());
}

}  // namespace
}  // namespace tarvo::rich_edit_rules
