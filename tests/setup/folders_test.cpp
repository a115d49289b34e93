#include "setup/folders.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "setup/setuperrors.h"
#include "setup/setuppackage.h"
#include "setup/uistrings.h"
#include "setup_support.h"

namespace {

using namespace setup;
using setuptest::Exists;
using setuptest::TSandbox;

TEST(Folders, ForceFoldersCreatesTheChain) {
    TSandbox box;
    EXPECT_TRUE(ForceFolders(box.Path("a/b/c/")));
    EXPECT_TRUE(std::filesystem::is_directory(box.Path("a/b/c")));
    EXPECT_TRUE(ForceFolders(box.Path("a/b/c")));
    setuptest::WriteFile(box.Path("file"), "x");
    EXPECT_FALSE(ForceFolders(box.Path("file/sub")));
    TUiStrings ui(std::vector<std::string>(75, ""));
    try {
        CreateFolder(box.Path("file/sub"), &ui, {box.Dir()});
        FAIL();
    } catch (const ESetupError& e) {
        EXPECT_NE(std::string(e.what()).find("file/sub"), std::string::npos);
    }
    std::vector<std::string> lines(75);
    lines[70] = "Setup cannot continue.";
    lines[74] = "Cannot create %s.";
    TUiStrings ui2(lines);
    try {
        CreateFolder(box.Path("file/sub"), &ui2, {box.Dir()});
        FAIL();
    } catch (const ESetupError& e) {
        // The reason goes inside the folder string's argument.
        std::string m = e.what();
        EXPECT_EQ(m.rfind("Cannot create " + box.Path("file/sub") + "  (", 0), 0u) << m;
        EXPECT_NE(m.find(").\r\rSetup cannot continue."), std::string::npos) << m;
    }
}

TEST(Folders, CreateFolderNeverFollowsALinkBelowItsRoot) {
    TSandbox box;
    std::string root = box.Path("opt");
    std::string outside = box.Path("outside");
    std::filesystem::create_directories(outside);
    ASSERT_TRUE(ForceFolders(root + "/Product"));
    std::filesystem::create_directory_symlink(outside, root + "/Product/Docs");
    std::filesystem::create_symlink(outside, root + "/Linked");
    struct Case {
        const char* folder;
        const char* problem; // empty: created
    } cases[] = {
        {"/Product/Docs/deeper", "Docs is a symbolic link"},
        {"/Product/Docs", "Docs is a symbolic link"},
        {"/Linked", "Linked is a symbolic link"},
        {"/Product/New/Sub", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        std::string folder = root + c.folder;
        try {
            CreateFolder(folder, nullptr, {box.Path("elsewhere"), root});
            EXPECT_STREQ(c.problem, "");
            EXPECT_TRUE(std::filesystem::is_directory(folder));
        } catch (const ESetupError& e) {
            EXPECT_NE(std::string(e.what()).find(c.problem), std::string::npos) << e.what();
            EXPECT_NE(std::string(c.problem), "");
        }
    }
    EXPECT_TRUE(setuptest::ListFolder(outside).empty()) << "nothing was made through a link";
    // A folder under none of the roots is refused outright.
    EXPECT_THROW(CreateFolder(box.Path("stray/x"), nullptr, {root}), ESetupError);
    EXPECT_FALSE(Exists(box.Path("stray")));
}

TEST(Folders, RemoveEmptyFoldersStopsAtTheRoots) {
    TSandbox box;
    std::string root = box.Path("opt/Product");
    ASSERT_TRUE(ForceFolders(root + "/a/b/c"));
    ASSERT_TRUE(ForceFolders(root + "/keep"));
    setuptest::WriteFile(root + "/keep/file", "x");
    RemoveEmptyFolders(root + "/a/b/c", {root});
    EXPECT_FALSE(Exists(root + "/a"));
    EXPECT_TRUE(Exists(root)); // the root itself stays, even when empty later
    std::filesystem::remove_all(root + "/keep");
    ASSERT_TRUE(ForceFolders(root + "/x"));
    RemoveEmptyFolders(root + "/x", {root});
    EXPECT_FALSE(Exists(root + "/x"));
    EXPECT_TRUE(Exists(root));
    EXPECT_TRUE(Exists(box.Path("opt")));
    // Outside every root nothing is removed.
    ASSERT_TRUE(ForceFolders(box.Path("elsewhere/empty")));
    RemoveEmptyFolders(box.Path("elsewhere/empty"), {root});
    EXPECT_TRUE(Exists(box.Path("elsewhere/empty")));
}

TEST(Folders, DeleteNowOrAtRestart) {
    TSandbox box;
    TPendingFileOperations pending(box.Path("state/pending"));
    std::string root = box.Path("opt");
    ASSERT_TRUE(ForceFolders(root + "/P/sub"));
    setuptest::WriteFile(root + "/P/sub/f", "x");
    DeleteFileOrOnReboot(root + "/P/sub/missing", pending, {root});
    DeleteFileOrOnReboot(root + "/P/sub/f", pending, {root});
    EXPECT_FALSE(Exists(root + "/P"));
    EXPECT_TRUE(Exists(root));
    EXPECT_TRUE(pending.Entries().empty());
    // A file in a folder we may not write cannot go now: it is listed.
    if (::geteuid() != 0) {
        ASSERT_TRUE(ForceFolders(root + "/locked"));
        setuptest::WriteFile(root + "/locked/f", "x");
        ::chmod((root + "/locked").c_str(), 0555);
        DeleteFileOrOnReboot(root + "/locked/f", pending, {root});
        ::chmod((root + "/locked").c_str(), 0755);
        ASSERT_EQ(pending.Entries().size(), 1u);
        EXPECT_FALSE(pending.Entries()[0].rename);
    }
}

TEST(Folders, PendingOperationsSurviveAndApply) {
    TSandbox box;
    std::string list = box.Path("state/pending");
    setuptest::WriteFile(box.Path("target"), "old");
    {
        TPendingFileOperations pending(list);
        std::string temp = ReplaceFileOnReboot(box.Path("target"), pending);
        EXPECT_EQ(ExtractFileName(temp).substr(0, 3), "cgn");
        setuptest::WriteFile(temp, "new");
        setuptest::WriteFile(box.Path("gone"), "x");
        pending.AddDelete(box.Path("gone"));
        EXPECT_THROW(pending.AddDelete(box.Path("bad\nname")), ESetupError);
        // A replacement whose file has vanished has nothing left to do.
        pending.AddRename(box.Path("vanished.tmp"), box.Path("other"));
        // One that is still blocked waits for the start after.
        setuptest::WriteFile(box.Path("blocked.tmp"), "later");
        std::filesystem::create_directories(box.Path("blocked/in-the-way"));
        pending.AddRename(box.Path("blocked.tmp"), box.Path("blocked"));
    }
    TPendingFileOperations next(list); // the next start
    ASSERT_EQ(next.Entries().size(), 4u);
    EXPECT_EQ(next.Apply({box.Dir()}), 2u);
    EXPECT_EQ(setuptest::ReadFile(box.Path("target")), "new");
    EXPECT_FALSE(Exists(box.Path("gone")));
    ASSERT_EQ(next.Entries().size(), 1u);
    EXPECT_EQ(next.Entries()[0].target, box.Path("blocked"));
    // Nothing listed: nothing is written.
    TSandbox empty;
    EXPECT_EQ(ApplyPendingFileOperations(empty.Roots()), 0u);
    EXPECT_FALSE(Exists(empty.Roots().pendingRenames.string()));
}

TEST(SetupPackage, SupportFilesGetFreeNamesAndCloseRemovesThem) {
    TSandbox box;
    // The icon and the readme share a packaged name.
    setuptest::BuildPackage(R"({"settings": {"icon": "readme.txt", "readme": "readme.txt",
                                             "licence": "noext"},
                               "supportFiles": {"icon": {"text": "1"}, "readme": {"text": "2"},
                                                "licence": {"text": "3"}}})",
                            box.Path("p.exe"));
    TSetupPackage p(box.Roots());
    p.Open(box.Path("p.exe"));
    p.ExtractSupportFiles();
    ASSERT_EQ(p.SupportPaths().size(), 3u);
    EXPECT_EQ(ExtractFileName(p.SupportPaths()[0]), "readme.txt");
    EXPECT_EQ(ExtractFileName(p.SupportPaths()[1]), "readme2.txt");
    EXPECT_EQ(ExtractFileName(p.SupportPaths()[2]), "noext");
    EXPECT_EQ(setuptest::ReadFile(p.SupportPaths()[1]), "2");
    std::string temp = p.TempFolder();
    struct stat st {};
    ASSERT_EQ(::stat(temp.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(ExtractFileDir(temp), box.Roots().temp.string());
    // The tables follow the blobs.
    p.PrepareInstallation();
    EXPECT_EQ(p.Tables().fileTable.supportCount, 3u);
    setuptest::WriteFile(box.Path("self"), "running setup");
    p.Close(box.Path("self"));
    EXPECT_FALSE(Exists(temp));
    EXPECT_FALSE(Exists(box.Path("self")));
}

} // namespace
