#include "common/raised_error.h"

#include <gtest/gtest.h>

namespace tarvo {

TEST(RaisedError, ObjectErrorsKeepTheirTextAndStandardNumbersGetTheSystemTexts) {
    const RaisedError object(kObjectErrorBase + 13082, L"Tarvo2.WindowProc", L"Already subclassed");
    EXPECT_EQ(static_cast<std::uint32_t>(object.Number()), 0x80040000u + 13082u);
    EXPECT_STREQ(object.what(), "Already subclassed");
    try {
        RaiseStandard(kErrInvalidPropertyValue, L"Tarvo2.Splitter");
        FAIL() << "RaiseStandard returned";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), 380);
        EXPECT_EQ(e.Description(), L"Invalid property value");
        EXPECT_EQ(e.Source(), L"Tarvo2.Splitter");
    }
    EXPECT_EQ(StandardErrorDescription(9), L"Subscript out of range");
    EXPECT_EQ(StandardErrorDescription(6), L"Overflow");
}

}  // namespace tarvo
