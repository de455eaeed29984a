#pragma once
// The one way the tests check a raised error: its number, source and description.
#include <gtest/gtest.h>

#include <string>

#include "common/raised_error.h"

namespace tarvo::testing {

// An empty source or description is not compared.
template <typename Action>
void ExpectRaised(std::int32_t number, const std::wstring& source, Action&& action,
                  const std::wstring& description = {}) {
    try {
        action();
        ADD_FAILURE() << "error " << number << " was not raised";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), number);
        EXPECT_TRUE(source.empty() || e.Source() == source) << ::testing::PrintToString(e.Source());
        EXPECT_TRUE(description.empty() || e.Description() == description) << ::testing::PrintToString(e.Description());
    }
}

}  // namespace tarvo::testing
