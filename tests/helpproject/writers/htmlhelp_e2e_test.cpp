// chmcmd on the written HTML Help input: the sample compiles, the .chm holds
// every page and picture, and the adapter's failures leave a log and no .chm.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/build/chmcmdadapter.h"
#include "helpproject/textstylemacro.h"
#include "helpproject/writers/htmlhelpwriter.h"
#include "platform/fileio.h"

namespace fs = std::filesystem;
using helpproject::TBrindlewovenProject;

namespace {

std::string RunCapture(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

fs::path TempFolder(const std::string& name) {
    const fs::path folder =
        fs::temp_directory_path() / ("bwchm_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// The sample and the record of its HTML Help input, written to `folder`.
struct TWrittenSample {
    std::unique_ptr<TBrindlewovenProject> Project;
    helpproject::TBuildRecord Build;
};

TWrittenSample WriteSample(const fs::path& folder) {
    helpproject::TTextStyleList styles;
    TWrittenSample sample;
    sample.Project =
        TBrindlewovenProject::Load(BW_SOURCE_DIR "/examples/sample/sample.bwv", &styles);
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = sample.Build.HhpFileName = (folder / "sample.hhp").string();
    options.ChmFileName = sample.Build.ChmFileName = (folder / "sample.chm").string();
    options.ErrorLogFileName = (folder / "sample.log").string();
    // The compiler adapter finds the log and output names in the record.
    sample.Build.TakeReport(
        helpproject::WriteHtmlHelpProject(*sample.Project, true, true, options));
    return sample;
}

TEST(ChmcmdE2E, SampleCompilesWithEveryPageAndPicture) {
    const fs::path folder = TempFolder("sample");
    auto [p, build] = WriteSample(folder);
    const auto result = helpproject::CompileWithChmcmd(build);
    ASSERT_TRUE(result.Produced) << result.Log;
    EXPECT_GT(fs::file_size(folder / "sample.chm"), 0u);
    EXPECT_EQ(platform::ReadFileBytes(folder / "sample.log"), result.Log);
    const std::string listing =
        RunCapture("chmls -n list '" + (folder / "sample.chm").string() + "'");
    int pages = 0;
    for (const auto& entry : fs::directory_iterator(folder / "html")) {
        ++pages;
        EXPECT_NE(listing.find("/html/" + entry.path().filename().string()), std::string::npos)
            << entry.path();
    }
    EXPECT_EQ(pages, static_cast<int>(build.Report.IncludedTopics.size()));
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(folder / "images")) {
        ++pictures;
        EXPECT_NE(listing.find("/images/" + entry.path().filename().string()), std::string::npos)
            << entry.path() << listing;
    }
    EXPECT_GT(pictures, 0);
    // The copy chmcmd read is gone; the writer's project keeps its [MAP].
    EXPECT_NE(platform::ReadFileBytes(folder / "sample.hhp").find("[MAP]"), std::string::npos);
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find("~"), std::string::npos);
    fs::remove_all(folder);
}

TEST(ChmcmdE2E, MissingPageGivesLogAndNoChm) {
    const fs::path folder = TempFolder("missing");
    auto [p, build] = WriteSample(folder);
    fs::remove(*fs::directory_iterator(folder / "html"));
    const auto result = helpproject::CompileWithChmcmd(build);
    EXPECT_FALSE(result.Produced);
    EXPECT_NE(result.ExitCode, 0);
    EXPECT_FALSE(fs::exists(folder / "sample.chm"));
    EXPECT_FALSE(platform::ReadFileBytes(folder / "sample.log").empty());
    fs::remove_all(folder);
}

TEST(ChmcmdE2E, MissingCompilerGivesLogAndNoChm) {
    const fs::path folder = TempFolder("nocompiler");
    auto [p, build] = WriteSample(folder);
    const auto result = helpproject::CompileWithChmcmd(build, (folder / "no-chmcmd").string());
    EXPECT_FALSE(result.Produced);
    EXPECT_EQ(result.ExitCode, 127);
    EXPECT_FALSE(fs::exists(folder / "sample.chm"));
    EXPECT_NE(platform::ReadFileBytes(folder / "sample.log").find("no-chmcmd"), std::string::npos);

    helpproject::TChmcmdHtmlHelpCompiler seam;
    helpproject::TCompilerPaths paths;
    paths.HCHTMLSel = (folder / "no-chmcmd").string();
    helpproject::THeadlessProgramRunner runner;
    EXPECT_THROW(seam.Compile(*p, build, paths, runner), helpproject::EHelpCompilerError);
    fs::remove_all(folder);
}

TEST(ChmcmdE2E, SeamCompilesThroughTheCompilerRun) {
    const fs::path folder = TempFolder("seam");
    auto [p, build] = WriteSample(folder);
    p->Compiler = helpproject::THelpCompiler::HtmlHelp;
    helpproject::TChmcmdHtmlHelpCompiler seam;
    helpproject::TCompilerPaths paths;
    paths.HCHTMLSel = "chmcmd";
    helpproject::THeadlessProgramRunner runner;
    helpproject::TCompilerRunOptions options;
    options.HtmlHelp = &seam;
    const auto result = helpproject::RunHelpCompiler(*p, build, paths, runner, options);
    EXPECT_TRUE(result.Produced) << seam.LastResult.Log;
    fs::remove_all(folder);
}

TEST(ChmcmdE2E, PreviewInputGetsItsCompiledFile) {
    const fs::path folder = TempFolder("preview");
    helpproject::TTextStyleList styles;
    auto p = TBrindlewovenProject::Load(BW_SOURCE_DIR "/examples/sample/sample.bwv", &styles);
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = (folder / "sample.hhp").string();
    helpproject::WriteHtmlHelpProject(*p, false, true, options);
    // A record with the help project alone: the adapter names the rest.
    helpproject::TBuildRecord build;
    build.HhpFileName = options.HhpFileName;
    const auto result = helpproject::CompileWithChmcmd(build);
    EXPECT_EQ(build.ChmFileName, (folder / "sample.chm").string());
    EXPECT_EQ(build.ErrorLogFileName, (folder / "sample.log").string());
    EXPECT_TRUE(result.Produced) << result.Log;
    EXPECT_GT(fs::file_size(folder / "sample.chm"), 0u);
    fs::remove_all(folder);
}

TEST(ChmcmdProject, CopyLeavesOutTheMap) {
    EXPECT_EQ(
        helpproject::ChmcmdProjectText("[OPTIONS]\r\nA=1\r\n\r\n[FILES]\r\nhtml\\a.htm\r\n\r\n"
                                       "[MAP]\r\n#define html\\a 10\r\n"),
        "[OPTIONS]\r\nA=1\r\n\r\n[FILES]\r\nhtml\\a.htm\r\n\r\n");
    EXPECT_TRUE(helpproject::IsChmcmd("/usr/bin/chmcmd"));
    EXPECT_FALSE(helpproject::IsChmcmd("hhc.exe"));
}

TEST(ChmcmdProject, LogForReadingFoldsHarmlessLines) {
    const std::string popup1 = "Warning: Found file html/javascript:popuplink('b.htm') while "
                               "scanning html/a.htm, but couldn't find it on disk\n";
    const std::string popup2 = "Warning: Found file html/javascript:popuplink('c.htm') while "
                               "scanning html/b.htm, but couldn't find it on disk\n";
    const std::string missing = "Warning: Found file html/gone.htm while scanning html/a.htm, "
                                "but couldn't find it on disk\n";
    const std::string anchor = "Error: Anchor html/b.htm#sec undefined; first use a.htm\n";
    const std::string writing = "Writing CHM t.chm\n";
    const std::string header = "The \"Error: Anchor ... undefined\" lines below come from chmcmd";
    struct TCase {
        const char* Name;
        std::string Log;
        std::vector<std::string> Present;
        std::vector<std::string> Absent;
    };
    const std::vector<TCase> cases = {
        {"clean log unchanged", writing, {writing}, {"popup", header}},
        {"popup warnings counted",
         popup1 + writing + popup2 + missing,
         {"(2 warnings about javascript: popup links left out; they are harmless)\n", writing,
          missing},
         {"popuplink(", header}},
        {"one popup warning",
         popup1,
         {"(1 warning about a javascript: popup link left out"},
         {"popuplink("}},
        {"anchor errors explained",
         writing + anchor,
         {header, "harmless if you cannot make chmcmd recognise", anchor},
         {"popup links left out"}},
        {"last line without newline kept",
         writing + "Error: real failure",
         {"Error: real failure\n"},
         {header}},
        {"empty log", "", {}, {header, "popup"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string out = helpproject::ChmcmdLogForReading(c.Log);
        for (const std::string& text : c.Present)
            EXPECT_NE(out.find(text), std::string::npos) << text << "\n---\n" << out;
        for (const std::string& text : c.Absent)
            EXPECT_EQ(out.find(text), std::string::npos) << text << "\n---\n" << out;
    }
    EXPECT_EQ(helpproject::ChmcmdLogForReading(writing), writing);
    // The header leads: the counted line and the note come before chmcmd's lines.
    const std::string both = helpproject::ChmcmdLogForReading(anchor + popup1);
    EXPECT_EQ(both.find(header), 0u);
    EXPECT_LT(both.find("popup link left out"), both.find(anchor));
}

} // namespace
