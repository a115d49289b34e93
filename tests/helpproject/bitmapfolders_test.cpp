#include "helpproject/bitmapfolders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using helpproject::AddBitmapFolder;
using helpproject::BitmapFolderEntries;
using Entries = std::vector<std::string>;

TEST(BitmapFolders, EntriesSplitAtTheGivenSeparators) {
    const struct {
        const char* folders;
        const char* separators;
        Entries entries;
    } cases[] = {
        {"", ",", {}},
        {"images", ",", {"images"}},
        {" images , ..\\art ,", ",", {"images", "..\\art"}},
        {",,a,,", ",", {"a"}},
        // The WinHelp list knows only commas; the picture search both.
        {"a;b,c", ",", {"a;b", "c"}},
        {"a;b,c", ";,", {"a", "b", "c"}},
        {"C:\\My Pictures; D:\\art", ";,", {"C:\\My Pictures", "D:\\art"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BitmapFolderEntries(c.folders, c.separators), c.entries)
            << c.folders << " at " << c.separators;
    EXPECT_EQ(BitmapFolderEntries("a;b,c"), (Entries{"a;b", "c"}));
}

TEST(BitmapFolders, AddNamesEachFolderOnce) {
    const struct {
        const char* before;
        const char* folder;
        const char* after;
        bool added;
    } cases[] = {
        {"", "/pics", "/pics", true},
        {"", "/pics/", "/pics", true},
        {"/pics", "/pics2", "/pics,/pics2", true},
        {"/pics", "/PICS", "/pics", false},
        {"/a, /pics ", "/pics", "/a, /pics ", false},
        {"/pics/sub", "/pics", "/pics/sub,/pics", true},
        {"/pics", "", "/pics", false},
    };
    for (const auto& c : cases) {
        std::string folders = c.before;
        EXPECT_EQ(AddBitmapFolder(folders, c.folder), c.added) << c.before << " + " << c.folder;
        EXPECT_EQ(folders, c.after) << c.before << " + " << c.folder;
    }
}

} // namespace
