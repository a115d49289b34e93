// winhelp: writes the WinHelp compiler input of a project (.hpj, .rtf, .cnt
// and the _HELPID.C header) into a folder; --export writes every topic and
// hands the build tags to the compiler, without it the build tags filter.
// rtf-manual: the flat RTF manual of a project.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bwtool.h"
#include "helpproject/brindlewovenerror.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/writers/rtfmanual.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/pathnames.h"

using namespace helpproject;

namespace {

void ReportError(const std::exception& e) {
    if (const auto* topic = dynamic_cast<const EBrindlewoven*>(&e))
        std::fprintf(stderr, "topic %d: %s\n", topic->TopicNumber(), e.what());
    else
        std::fprintf(stderr, "%s\n", e.what());
}

int WinHelp(const std::vector<std::string>& args) {
    bool exportMode = false;
    std::vector<std::string> names;
    for (const std::string& arg : args) {
        if (arg == "--export")
            exportMode = true;
        else
            names.push_back(arg);
    }
    if (names.size() != 2) {
        std::fprintf(stderr, "usage: bwtool winhelp IN.bwv OUTDIR [--export]\n");
        return 2;
    }
    try {
        // Image folders are found from the project's own folder.
        auto project =
            TBrindlewovenProject::Load(std::filesystem::absolute(names[0]).string(), nullptr);
        std::filesystem::create_directories(names[1]);
        const std::string folder = std::filesystem::absolute(names[1]).string();
        const std::string base = platform::ChangeFileExt(
            platform::ExtractFileName(project->FileName.empty() ? names[0] : project->FileName),
            "");
        // The input of the 32-bit compiler unless the project says 16-bit.
        if (!helpproject::IsWinHelp(project->Compiler))
            project->Compiler = helpproject::THelpCompiler::WinHelp32;
        project->OutputFolder = folder + "/";
        const TWinHelpSourceFiles files{folder + "/" + base + ".hpj", folder + "/" + base + ".rtf",
                                        folder + "/" + base + ".cnt"};
        TBuildReport report = WriteWinHelpSources(*project, files, !exportMode);
        // The header is wanted here whatever the project's option says.
        WriteHelpIdHeader(*project, report);
        if (!exportMode && !report.ErrorLogFileName.empty())
            std::printf("ERRORLOG=%s\n", report.ErrorLogFileName.c_str());
    } catch (const std::exception& e) {
        ReportError(e);
        return 1;
    }
    return 0;
}

int RtfManual(const std::vector<std::string>& args) {
    bool pageBreaks = false;
    std::vector<std::string> names;
    for (const std::string& arg : args) {
        if (arg == "--page-breaks")
            pageBreaks = true;
        else
            names.push_back(arg);
    }
    if (names.size() != 2) {
        std::fprintf(stderr, "usage: bwtool rtf-manual IN.bwv OUT.rtf [--page-breaks]\n");
        return 2;
    }
    try {
        auto project = TBrindlewovenProject::Load(names[0], nullptr);
        ExportRtfManual(*project, names[1], pageBreaks);
    } catch (const std::exception& e) {
        ReportError(e);
        return 1;
    }
    return 0;
}

} // namespace

BW_COMMAND("winhelp", "IN.bwv OUTDIR [--export]", WinHelp);
BW_COMMAND("rtf-manual", "IN.bwv OUT.rtf [--page-breaks]", RtfManual);
