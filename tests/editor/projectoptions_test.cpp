// Project Options: values to the dialog and back, the checks on OK in
// order, the build-tag list and the kind-of-help-file rule.
#include <gtest/gtest.h>

#include <set>

#include "editor/dialogs/optionsdialogmodel.h"
#include "editor/projectoptions.h"

namespace {

using namespace editor;

TEST(ProjectOptions, RoundTripKeepsEveryValue) {
    helpproject::TBrindlewovenProject project;
    project.Title = "T";
    project.Copyright = "C";
    project.LocaleID = "0x0407   German";
    project.BitmapPaths = "a,b";
    project.Compiler = helpproject::THelpCompiler::WinHelp32;
    project.OutputFolder = "/out/";
    project.BuildTags = "Pro;Lite";
    project.CHeader = true;
    project.HelpFileKind = 304;
    project.Config = {"A()", "B()"};
    project.Baggage = {"x.bin"};
    project.Citation = "cite";
    project.Compress = true;
    project.NoImages = true;
    project.HtmlPngImages = false;
    project.HtmlBackgroundColor = 1;
    project.HtmlTextColor = 2;
    project.HtmlLinkColor = 3;
    project.HtmlVisitedColor = 4;
    project.HtmlActiveColor = 5;
    project.HtmlFullTextSearch = project.HtmlAdvancedSearch = project.HtmlFavorites = true;
    project.HtmlCollapseContents = true;
    project.WindowX = 1;
    project.WindowY = 2;
    project.WindowWidth = 3;
    project.WindowHeight = 4;
    project.WindowRememberPos = false;
    project.HtmlPopupsAsLinks = true;
    helpproject::TCompilerPaths paths;
    paths.HC95Sel = "/c/hcrtf.exe";
    TEditorSettings settings;
    settings.IDIncrease = 7;

    const auto values = OptionsFromProject(project, paths, {}, settings);
    EXPECT_EQ(values.KindIndex, 9);
    helpproject::TBrindlewovenProject copy;
    helpproject::TCompilerPaths copyPaths;
    TEditorSettings copySettings;
    ApplyOptionsToProject(values, copy, copyPaths, copySettings);
    EXPECT_EQ(copy.SaveToBytes(nullptr), project.SaveToBytes(nullptr));
    EXPECT_EQ(copyPaths.HC95Sel, paths.HC95Sel);
    EXPECT_EQ(copySettings, settings);
}

TEST(ProjectOptions, NoCompilerShowsHtmlHelpAndOkStoresIt) {
    helpproject::TBrindlewovenProject project;
    project.Compiler = helpproject::THelpCompiler::None;
    helpproject::TCompilerPaths paths;
    TEditorSettings settings;
    auto values = OptionsFromProject(project, paths, {}, settings);
    EXPECT_EQ(values.CompilerRadio, helpproject::THelpCompiler::HtmlHelp);
    values.OutputFolder = "/no/separator";
    values.Config = {"", "A()", ""};
    values.KindIndex = 99;
    ApplyOptionsToProject(values, project, paths, settings);
    EXPECT_EQ(project.Compiler, helpproject::THelpCompiler::HtmlHelp);
    EXPECT_EQ(project.OutputFolder, "/no/separator/");
    EXPECT_EQ(project.Config, (helpproject::TStringList{"A()"}));
    EXPECT_EQ(project.HelpFileKind, 352);
    values.OutputFolder.clear();
    ApplyOptionsToProject(values, project, paths, settings);
    EXPECT_EQ(project.OutputFolder, "");
    EXPECT_EQ(HelpFileKindIndex(12345), 0);
}

TEST(ProjectOptions, CompilerListsKeptAsTheListsText) {
    helpproject::TCompilerPaths paths;
    StoreCompilerLists({{"/a/HCP.EXE", "/b/HC31.EXE"}, {}, {"/usr/bin/chmcmd"}}, paths);
    EXPECT_EQ(paths.HC31, "/a/HCP.EXE\r\n/b/HC31.EXE\r\n");
    EXPECT_EQ(paths.HC95, "");
    const TCompilerLists lists = CompilerListsFromPaths(paths);
    EXPECT_EQ(lists.WinHelp16, (std::vector<std::string>{"/a/HCP.EXE", "/b/HC31.EXE"}));
    EXPECT_TRUE(lists.WinHelp32.empty());
    EXPECT_EQ(lists.HtmlHelp, (std::vector<std::string>{"/usr/bin/chmcmd"}));
}

TEST(OptionsDialogChecks, FirstFailingCheckInOrder) {
    const std::set<std::string> existing = {"/w/HCP.EXE",      "/w/hcrtf.exe", "/w/HHC.EXE",
                                            "/usr/bin/chmcmd", "/w/hc31",      "/w/HCRTF"};
    auto exists = [&](const std::string& p) { return existing.count(p) != 0; };
    struct Case {
        int radio;
        std::string path;
        int kind;
        std::string message; // prefix; empty: passes
    } cases[] = {
        {-1, "", 0, "You must select a help compiler"},
        {0, "/w/HCP.EXE", 0, ""},
        {0, "/w/hc31", 0, ""},
        {0, "/w/HC.EXE", 0, "Please specify the location of the 16-bit WinHelp compiler"},
        {0, "/w/HC31.EXE", 0, "Cannot find /w/HC31.EXE"},
        {1, "/w/hcrtf.exe", 0, ""},
        {1, "/w/HCRTF", 0, ""},
        {1, "/w/hcrtf-copy.exe", 0, "Please specify the location of the 32-bit WinHelp compiler"},
        {2, "/w/HHC.EXE", 0, ""},
        {2, "/usr/bin/chmcmd", 3, ""},
        {2, "/w/other.exe", 0, "Please specify the location of the HTML Help compiler"},
        {1, "/w/hcrtf.exe", 1, "Help files for Delphi 1 VCL components"},
        {0, "/w/HCP.EXE", 3, "Help files for Delphi 3 (or later)"},
        {0, "/w/HCP.EXE", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.radio));
        TProjectOptionsValues v;
        v.CompilerRadio = static_cast<helpproject::THelpCompiler>(c.radio);
        v.HC31Path = v.HC95Path = v.HCHTMLPath = c.path;
        v.KindIndex = c.kind;
        const std::string message = CheckOptions(v, exists);
        if (c.message.empty())
            EXPECT_EQ(message, "");
        else
            EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
    }
}

TEST(OptionsDialogChecks, KindOfHelpFilePicksTheCompiler) {
    EXPECT_EQ(CompilerForKindIndex(1, 2), 0);
    EXPECT_EQ(CompilerForKindIndex(2, 2), 2);
    EXPECT_EQ(CompilerForKindIndex(3, 0), 1);
    EXPECT_EQ(CompilerForKindIndex(12, 2), 1);
    EXPECT_EQ(CompilerForKindIndex(0, 0), 0);
    EXPECT_EQ(HelpFileKindNames().size(), HelpFileKindTable().size());
}

TEST(OptionsDialogBuildTags, SortedCheckListKeepsNamedTags) {
    TBuildTagList list;
    list.SetBuildTags({"Pro", "lite", "Beta", "pro"}, {"LITE", "Gone"});
    ASSERT_EQ(list.Entries().size(), 4u);
    EXPECT_EQ(list.Entries()[0].first, "Beta");
    EXPECT_EQ(list.GetBuildTags(), (std::vector<std::string>{"Gone", "lite"}));
    list.SetChecked(0, true);
    EXPECT_EQ(list.GetBuildTags(), (std::vector<std::string>{"Beta", "Gone", "lite"}));
}

} // namespace
