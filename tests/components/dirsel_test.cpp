// Which folder of the tree a path typed into the folder picker selects.
#include <gtest/gtest.h>

#include <set>

#include "components/dirsel.h"
#include "platform/resolvepath.h"

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

TEST(DirSel, TypedDriveLetterSelectsTheDrivesRoot) {
    platform::DriveMap drives;
    drives.Set('C', "/srv/c");
    drives.Set('D', "/media/d");
    const struct {
        const char* typed;
        std::string path;
    } cases[] = {
        {"c", "/srv/c"},
        {"C:", "/srv/c"},
        {"d", "/media/d"},
        {" D: ", "/media/d"},
        {"C:\\Apps", "/srv/c/Apps"},
        {"q", "q"}, // an unmapped letter stays as typed
        {"/home/jo", "/home/jo"},
        {"cd", "cd"},
    };
    for (const auto& c : cases) {
        std::string path = components::TypedFolderPath(c.typed, drives);
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        EXPECT_EQ(path, c.path) << c.typed;
    }
}

} // namespace
