#include <gtest/gtest.h>

#include "components/somestrings.h"

namespace {

TEST(SomeStrings, GetValueFindsTheNameIgnoringCaseUpToTheFirstEquals) {
    components::TSomeStrings strings;
    strings.SetStrings(
        {"NotFound=Search text not found", "Replaced=%d replaced: a=b", "NoEquals", "=nameless"});
    EXPECT_EQ(strings.GetValue("notfound"), "Search text not found");
    EXPECT_EQ(strings.GetValue("Replaced"), "%d replaced: a=b");
    EXPECT_EQ(strings.GetValue("NoEquals"), "");
    EXPECT_EQ(strings.GetValue("Not"), "");
    EXPECT_EQ(strings.GetValue(""), "nameless");
}

TEST(SomeStrings, SortingOrdersIgnoringCaseAndTurningItOffKeepsTheOrder) {
    components::TSomeStrings strings;
    EXPECT_FALSE(strings.Sorted());
    strings.SetStrings({"b=2", "C=3", "a=1"});
    EXPECT_EQ(strings.Strings(), (std::vector<std::string>{"b=2", "C=3", "a=1"}));
    strings.SetSorted(true);
    EXPECT_EQ(strings.Strings(), (std::vector<std::string>{"a=1", "b=2", "C=3"}));
    strings.SetSorted(false);
    strings.SetStrings({"z", "y"});
    EXPECT_EQ(strings.Strings(), (std::vector<std::string>{"z", "y"}));
}

} // namespace
