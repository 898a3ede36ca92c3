#include <gtest/gtest.h>

#include <tuple>

#include "text/trim_spaces.h"

namespace {

// Only spaces go, and only at the ends the function names.
TEST(TrimSpaces, TakesOnlySpacesFromTheNamedEnds)
{
    // text, without leading, without trailing, without both
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"", "", "", ""},
        {"   ", "", "", ""},
        {"a", "a", "a", "a"},
        {"  a b  ", "a b  ", "  a b", "a b"},
        {"\t a \t", "\t a \t", "\t a \t", "\t a \t"},
        {" \ta\t ", "\ta\t ", " \ta\t", "\ta\t"},
    };
    for (const auto& [text, leading, trailing, both] : cases) {
        EXPECT_EQ(TrimLeadingSpaces(text), leading) << '"' << text << '"';
        EXPECT_EQ(TrimTrailingSpaces(text), trailing) << '"' << text << '"';
        EXPECT_EQ(TrimSpaces(text), both) << '"' << text << '"';
    }
}

}  // namespace
