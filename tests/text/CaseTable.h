// Table-driven cases of one rule: every input goes through the rule and must give its
// literal expectation; a failing case names its input.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

template <class Input, class Expected, class Rule>
void ExpectCases(Rule rule, std::initializer_list<std::pair<Input, Expected>> cases) {
    for (const auto& [input, expected] : cases) {
        SCOPED_TRACE(::testing::PrintToString(input));
        EXPECT_EQ(rule(input), expected);
    }
}
