// Which folder of the tree a path typed into the folder picker selects.
#include <gtest/gtest.h>

#include <set>

#include "components/dirsel.h"

namespace {

using components::DeepestExistingFolder;

TEST(DirSel, TypedPathSelectsItsDeepestExistingFolder) {
    const std::set<std::string> folders = {"/", "/home", "/home/jo"};
    auto exists = [&](const std::string& path) { return folders.count(path) > 0; };
    struct Case {
        const char* typed;
        std::optional<std::string> selected;
    } cases[] = {
        {"/home/jo", "/home/jo"},
        {"/home/jo/", "/home/jo"},
        {"/home/jo/missing/also missing", "/home/jo"},
        {"/home/j", "/home"},
        {"/nothing", "/"},
        {"/", "/"},
        {"relative/name", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DeepestExistingFolder(c.typed, exists), c.selected) << c.typed;
}

} // namespace
