// The recent-files list: its order, its limit, its captions and its
// registry layout, read back from a real hive.
#include <gtest/gtest.h>

#include <fstream>

#include "components/reopenlist.h"
#include "hive_support.h"
#include "platform/registry.h"
#include "platform/tempfolder.h"

namespace {

using components::TReopenList;
using Files = std::vector<std::string>;

constexpr const char* kKey = "Software\\Vexlor\\Brindlewoven\\Reopen";
constexpr auto kRoot = platform::RootKey::CurrentUser;

TReopenList ListOf(const Files& oldestFirst, int maxItems = 10) {
    TReopenList list;
    list.SetMaxItems(maxItems);
    for (const std::string& file : oldestFirst)
        list.AddFile(file);
    return list;
}

TEST(ReopenList, AddingAFileAgainMovesItToTheTopWhateverItsCase) {
    TReopenList list = ListOf({"C:\\Help\\One.bwv", "C:\\Help\\Two.bwv", "C:\\Help\\Three.bwv"});
    list.AddFile("c:\\HELP\\one.BWV");
    EXPECT_EQ(list.Files(),
              (Files{"c:\\HELP\\one.BWV", "C:\\Help\\Three.bwv", "C:\\Help\\Two.bwv"}));
}

TEST(ReopenList, TheEleventhFilePushesOutTheOldest) {
    Files added;
    for (int i = 0; i < 11; ++i)
        added.push_back("file" + std::to_string(i) + ".bwv");
    TReopenList list = ListOf(added);
    ASSERT_EQ(list.Files().size(), 10u);
    EXPECT_EQ(list.Files().front(), "file10.bwv");
    EXPECT_EQ(list.Files().back(), "file1.bwv");
}

TEST(ReopenList, CaptionsCountFromZeroThenByLetter) {
    EXPECT_EQ(components::ReopenCaption(0, "a.bwv"), "&0 a.bwv");
    EXPECT_EQ(components::ReopenCaption(9, "a.bwv"), "&9 a.bwv");
    EXPECT_EQ(components::ReopenCaption(10, "a.bwv"), "&A a.bwv");
    EXPECT_EQ(components::ReopenCaption(11, "a.bwv"), "&B a.bwv");
    EXPECT_EQ(components::ReopenFileName("&A a.bwv"), "a.bwv");
}

TEST(ReopenList, RemovingTakesEveryEntryOfThatNameIgnoringCase) {
    TReopenList list = ListOf({"a.bwv", "b.bwv", "c.bwv"});
    list.RemoveFile("B.BWV");
    EXPECT_EQ(list.Files(), (Files{"c.bwv", "a.bwv"}));
}

TEST(ReopenList, RemoveObsoleteKeepsTheFilesThatExist) {
    platform::TempFolder folder("bwreopen");
    std::string present = (folder.Path() / "present.bwv").string();
    std::ofstream(present) << "x";
    std::string gone = (folder.Path() / "gone.bwv").string();
    TReopenList list = ListOf({present, gone, "Q:\\unmapped\\drive.bwv"});
    list.RemoveObsolete();
    EXPECT_EQ(list.Files(), (Files{present}));
}

using ReopenListRegistry = TTestHive;

TEST_F(ReopenListRegistry, RoundTripsInTheStoredLayout) {
    TReopenList list = ListOf({"C:\\Help\\Old.bwv", "C:\\Help\\New.bwv"});
    list.SaveToRegistry(*registry_, kKey);

    platform::Registry& registry = Reopened();
    EXPECT_EQ(registry.ReadDword(kRoot, kKey, "Count"), 2u);
    EXPECT_EQ(registry.ReadBinary(kRoot, kKey, "Item0"), "\x12&0 C:\\Help\\New.bwv");
    EXPECT_EQ(registry.ReadBinary(kRoot, kKey, "Item1"), "\x12&1 C:\\Help\\Old.bwv");
    TReopenList read = ListOf({});
    read.LoadFromRegistry(registry, kKey);
    EXPECT_EQ(read.Files(), list.Files());
}

TEST_F(ReopenListRegistry, AnEmptyListWritesACountOfZeroAndNoItems) {
    ListOf({}).SaveToRegistry(*registry_, kKey);
    platform::Registry& registry = Reopened();
    EXPECT_EQ(registry.ValueNames(kRoot, kKey), (Files{"Count"}));
    EXPECT_EQ(registry.ReadDword(kRoot, kKey, "Count"), 0u);
}

TEST_F(ReopenListRegistry, LoadingReadsNoMoreThanMaxItems) {
    TReopenList many = ListOf({}, 16);
    for (int i = 0; i < 12; ++i)
        many.AddFile("f" + std::to_string(i));
    many.SaveToRegistry(*registry_, kKey);
    TReopenList read = ListOf({"kept before"}, 10);
    read.LoadFromRegistry(Reopened(), kKey);
    ASSERT_EQ(read.Files().size(), 10u);
    EXPECT_EQ(read.Files().front(), "f11");
    EXPECT_EQ(read.Files().back(), "f2");
}

// Captions used to be cut at 255 bytes.
TEST_F(ReopenListRegistry, ALongFileNameIsStoredWhole) {
    std::string longName = "/home/someone/" + std::string(300, 'x') + "/project.bwv";
    ListOf({longName}).SaveToRegistry(*registry_, kKey);
    platform::Registry& registry = Reopened();
    std::optional<std::string> item = registry.ReadBinary(kRoot, kKey, "Item0");
    ASSERT_TRUE(item);
    // A reader that takes only 256 bytes still finds a length byte that fits.
    EXPECT_EQ(static_cast<unsigned char>((*item)[0]), 255);
    EXPECT_EQ(item->size(), 1 + 3 + longName.size());
    TReopenList read = ListOf({});
    read.LoadFromRegistry(registry, kKey);
    EXPECT_EQ(read.Files(), (Files{longName}));
}

// A length byte beyond its value's data used to be read as garbage.
TEST_F(ReopenListRegistry, DamagedItemsAreClampedOrSkipped) {
    registry_->WriteDword(kRoot, kKey, "Count", 5);
    registry_->WriteBinary(kRoot, kKey, "Item0", "\x50&0 short.bwv");
    registry_->WriteBinary(kRoot, kKey, "Item1", "");
    registry_->WriteBinary(kRoot, kKey, "Item2", "\x02&1");
    // Item3 is missing.
    registry_->WriteBinary(kRoot, kKey, "Item4", "\x0B&4 last.bwvTRAILING");
    TReopenList read = ListOf({});
    read.LoadFromRegistry(Reopened(), kKey);
    EXPECT_EQ(read.Files(), (Files{"short.bwv", "last.bwv"}));
}

TEST_F(ReopenListRegistry, AMissingKeyOrCountGivesAnEmptyList) {
    TReopenList read = ListOf({"a.bwv"});
    read.LoadFromRegistry(*registry_, kKey);
    EXPECT_TRUE(read.Empty());

    registry_->WriteBinary(kRoot, kKey, "Item0", "\x08&0 a.bwv");
    read.AddFile("b.bwv");
    read.LoadFromRegistry(*registry_, kKey);
    EXPECT_TRUE(read.Empty());
}

} // namespace
