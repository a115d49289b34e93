// The compiler search over a made-up tree: names in any case, with or
// without ".exe", chmcmd; dot folders, a link loop, an unreadable folder and
// a folder named like a compiler; what the search puts into the paths.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "editor/compilersearch.h"
#include "platform/tempfolder.h"

namespace {

namespace fs = std::filesystem;
using namespace editor;

void Touch(const fs::path& file, bool executable = true) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "#!/bin/sh\n";
    if (executable)
        fs::permissions(file, fs::perms::owner_all);
}

bool Contains(const std::vector<std::string>& list, const fs::path& path) {
    return std::find(list.begin(), list.end(), path.string()) != list.end();
}

class CompilerSearchTest : public ::testing::Test {
protected:
    platform::TempFolder scratch{"bwsearch"};
    fs::path root = scratch.Path();

    void TearDown() override {
        std::error_code ec;
        fs::permissions(root / "locked", fs::perms::owner_all, ec);
    }
};

TEST_F(CompilerSearchTest, FindsEveryKindThroughTheTrapsOfARealTree) {
    Touch(root / "wine/drive_c/Program Files/Help Workshop/hcrtf.exe");
    Touch(root / "wine/drive_c/Program Files/Help Workshop/HC.EXE");
    Touch(root / "wine/drive_c/hcp/Hcp.Exe");
    Touch(root / "wine/drive_c/HTML Help Workshop/hhc.exe");
    Touch(root / "bin/chmcmd");
    Touch(root / "bin/KWGEN.EXE");
    Touch(root / ".hidden/HCRTF.EXE");              // dot folders are skipped
    fs::create_directories(root / "decoy/HHC.EXE"); // a folder is no compiler
    fs::create_directory_symlink(root / "wine", root / "wine/drive_c/loop");
    Touch(root / "locked/HCRTF.EXE");
    fs::permissions(root / "locked", fs::perms::none);

    std::vector<std::string> searched;
    const auto result = SearchForCompilers({root.string()}, [&](const std::string& folder) {
        searched.push_back(folder);
        return true;
    });
    EXPECT_FALSE(result.Aborted);
    EXPECT_EQ(result.WinHelp32.size(), getuid() == 0 ? 2u : 1u);
    EXPECT_TRUE(
        Contains(result.WinHelp32, root / "wine/drive_c/Program Files/Help Workshop/hcrtf.exe"));
    EXPECT_EQ(result.WinHelp16.size(), 2u);
    EXPECT_EQ(result.HtmlHelp.size(), 2u);
    EXPECT_TRUE(Contains(result.HtmlHelp, root / "bin/chmcmd"));
    EXPECT_FALSE(Contains(result.HtmlHelp, root / "decoy/HHC.EXE"));
    EXPECT_EQ(result.KeywordGenerator, (root / "bin/KWGEN.EXE").string());
    // Every folder once, the loop included.
    std::vector<std::string> sorted = searched;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

TEST_F(CompilerSearchTest, AbortKeepsWhatWasFound) {
    Touch(root / "a/HCRTF.EXE");
    Touch(root / "b/HHC.EXE");
    int folders = 0;
    const auto result = SearchForCompilers({(root / "a").string(), (root / "b").string()},
                                           [&](const std::string&) { return ++folders < 2; });
    EXPECT_TRUE(result.Aborted);
    EXPECT_EQ(result.WinHelp32.size(), 1u);
    EXPECT_TRUE(result.HtmlHelp.empty());
}

TEST_F(CompilerSearchTest, ResultFillsAllThreeListsAndChoosesOnlyAcceptedNames) {
    TCompilerSearchResult result;
    result.WinHelp16 = {"/x/HC.EXE", "/x/hcp.exe"};
    result.WinHelp32 = {"/x/HCRTF.EXE"};
    result.HtmlHelp = {"/usr/bin/chmcmd"};
    helpproject::TCompilerPaths paths;
    paths.HC31Sel = "/old/HCP.EXE";
    TCompilerChoices choices;
    ApplySearchResult(result, paths, choices);
    EXPECT_EQ(paths.HC31Sel, "/x/hcp.exe"); // HC.EXE would be refused on OK
    EXPECT_EQ(paths.HC95Sel, "/x/HCRTF.EXE");
    EXPECT_EQ(paths.HCHTMLSel, "/usr/bin/chmcmd");
    EXPECT_EQ(choices.HtmlHelp, result.HtmlHelp);
    EXPECT_EQ(choices.WinHelp16, result.WinHelp16);

    result.WinHelp16 = {"/x/HC.EXE"};
    paths.HC31Sel = "/old/HCP.EXE";
    ApplySearchResult(result, paths, choices);
    EXPECT_EQ(paths.HC31Sel, "/old/HCP.EXE");
}

TEST_F(CompilerSearchTest, DefaultRootsIncludePathProgramFoldersAndWinePrefix) {
    fs::create_directories(root / "prefix/drive_c");
    std::map<std::string, std::string> env = {
        {"PATH", "/a::/b"}, {"HOME", root.string()}, {"WINEPREFIX", (root / "prefix").string()}};
    auto getenv = [&](const char* name) -> const char* {
        auto at = env.find(name);
        return at == env.end() ? nullptr : at->second.c_str();
    };
    auto roots = DefaultSearchRoots(getenv);
    EXPECT_EQ(roots.front(), "/a");
    EXPECT_EQ(roots[1], "/b");
    EXPECT_NE(std::find(roots.begin(), roots.end(), "/opt"), roots.end());
    EXPECT_EQ(roots.back(), (root / "prefix/drive_c").string());
    env.erase("WINEPREFIX"); // ~/.wine does not exist here
    roots = DefaultSearchRoots(getenv);
    EXPECT_EQ(roots.back(), (root / ".local/bin").string());
}

TEST_F(CompilerSearchTest, UsableMeansAKnownCompilerWhoseProgramExists) {
    Touch(root / "HCRTF.EXE");
    Touch(root / "bin/chmcmd");
    helpproject::TCompilerPaths paths;
    paths.HC95Sel = (root / "HCRTF.EXE").string();
    const std::string path = (root / "bin").string();
    auto getenv = [&](const char* name) -> const char* {
        return std::string(name) == "PATH" ? path.c_str() : nullptr;
    };
    EXPECT_TRUE(CompilerUsable(helpproject::THelpCompiler::WinHelp32, paths, getenv));
    EXPECT_FALSE(CompilerUsable(helpproject::THelpCompiler::WinHelp16, paths, getenv));
    EXPECT_TRUE(
        CompilerUsable(helpproject::THelpCompiler::HtmlHelp, paths, getenv)); // chmcmd on PATH
    for (int value : {-1, 3, 7, -5})
        EXPECT_FALSE(CompilerUsable(static_cast<helpproject::THelpCompiler>(value), paths, getenv))
            << value;
    EXPECT_EQ(CompilerKindOfFile("/q/HHC.EXE"), helpproject::THelpCompiler::HtmlHelp);
    EXPECT_EQ(CompilerKindOfFile("/q/hc"), helpproject::THelpCompiler::WinHelp16);
    EXPECT_EQ(CompilerKindOfFile("/q/hcrtf.exe.bak"), helpproject::THelpCompiler::None);
}

} // namespace
