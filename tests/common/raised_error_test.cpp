#include "common/raised_error.h"

#include <gtest/gtest.h>

namespace tarvo {

TEST(RaisedError, CarriesNumberSourceAndDescription) {
    try {
        throw RaisedError(kObjectErrorBase + 13082, L"Tarvo2.WindowProc", L"Already subclassed");
    } catch (const RaisedError& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.Number()), 0x80040000u + 13082u);
        EXPECT_EQ(e.Source(), L"Tarvo2.WindowProc");
        EXPECT_EQ(e.Description(), L"Already subclassed");
        EXPECT_STREQ(e.what(), "Already subclassed");
    }
}

TEST(RaisedError, StandardNumbersGetTheSystemTexts) {
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
