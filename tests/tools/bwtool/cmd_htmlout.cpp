// Commands for the HTML outputs: HTML Help input (and its compile), web help
// and the HTML manual.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "bwtool.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/build/chmcmdadapter.h"
#include "helpproject/textstylemacro.h"
#include "helpproject/writers/htmlhelpwriter.h"
#include "helpproject/writers/htmlmanual.h"
#include "helpproject/writers/webhelpwriter.h"

namespace {

namespace fs = std::filesystem;

void ReportLists(const helpproject::TBuildReport& report) {
    if (!report.BrokenLinks.empty()) {
        std::cerr << "BROKEN LINKS:\n";
        for (const auto& line : report.BrokenLinks)
            std::cerr << line << "\n";
    }
    if (!report.MissingImages.empty()) {
        std::cerr << "MISSING IMAGES:\n";
        for (const auto& line : report.MissingImages)
            std::cerr << line << "\n";
    }
}

// bwtool htmlhelp IN.bwv OUTDIR [--compile]
int HtmlHelp(const std::vector<std::string>& args) {
    if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && args[2] != "--compile"))
        return 2;
    const bool compile = args.size() == 3;
    helpproject::TTextStyleList styles;
    auto project = helpproject::TBrindlewovenProject::Load(args[0], &styles);
    fs::create_directories(args[1]);
    const std::string base = fs::path(args[0]).stem().string();
    helpproject::TBuildRecord build;
    build.HhpFileName = (fs::absolute(args[1]) / (base + ".hhp")).string();
    build.ChmFileName = (fs::absolute(args[1]) / (base + ".chm")).string();
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = build.HhpFileName;
    options.ChmFileName = build.ChmFileName;
    if (compile)
        options.ErrorLogFileName = (fs::absolute(args[1]) / (base + ".log")).string();
    const helpproject::TBuildReport report =
        helpproject::WriteHtmlHelpProject(*project, compile, true, options);
    ReportLists(report);
    if (!compile)
        return 0;
    // The compiler finds the log and output names in the record.
    build.TakeReport(report);
    const helpproject::TChmcmdResult result = helpproject::CompileWithChmcmd(build);
    std::cout << result.Log;
    if (!result.Produced) {
        std::cerr << "The HTML Help compiler did not produce " << build.ChmFileName << "\n";
        return 1;
    }
    return 0;
}

// bwtool webhelp IN.bwv OUT.htm [--layout 0|1|2]
int WebHelp(const std::vector<std::string>& args) {
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--layout"))
        return 2;
    helpproject::TTextStyleList styles;
    auto project = helpproject::TBrindlewovenProject::Load(args[0], &styles);
    if (args.size() == 4) {
        if (args[3] != "0" && args[3] != "1" && args[3] != "2")
            return 2;
        project->WebFormat = static_cast<std::uint8_t>(args[3][0] - '0');
    }
    if (fs::path(args[1]).has_parent_path())
        fs::create_directories(fs::path(args[1]).parent_path());
    project->WebOutputFile = fs::absolute(args[1]).string();
    ReportLists(helpproject::ExportWebHelp(*project, &styles));
    return 0;
}

// bwtool html-manual IN.bwv OUT.htm [--no-links]
int HtmlManual(const std::vector<std::string>& args) {
    if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && args[2] != "--no-links"))
        return 2;
    helpproject::TTextStyleList styles;
    auto project = helpproject::TBrindlewovenProject::Load(args[0], &styles);
    if (fs::path(args[1]).has_parent_path())
        fs::create_directories(fs::path(args[1]).parent_path());
    helpproject::UseManualFontSizes(*project); // as the flat-manual command does
    ReportLists(
        helpproject::ExportHtmlManual(*project, fs::absolute(args[1]).string(), args.size() == 3));
    return 0;
}

} // namespace

BW_COMMAND("htmlhelp", "IN.bwv OUTDIR [--compile]", HtmlHelp);
BW_COMMAND("webhelp", "IN.bwv OUT.htm [--layout 0|1|2]", WebHelp);
BW_COMMAND("html-manual", "IN.bwv OUT.htm [--no-links]", HtmlManual);
