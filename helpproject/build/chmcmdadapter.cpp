#include "helpproject/build/chmcmdadapter.h"

#include <filesystem>

#include "helpproject/brindlewovenproject.h"
#include "platform/codepage.h"
#include "platform/fileio.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

void RemoveQuietly(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

std::string ReadOrEmpty(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return {};
    return platform::ReadFileBytes(path);
}

bool IsPopupLinkWarning(const std::string& line) {
    return line.find("Found file ") != std::string::npos &&
           line.find("javascript:") != std::string::npos &&
           line.find("couldn't find it on disk") != std::string::npos;
}

bool IsAnchorError(const std::string& line) {
    return line.find("Error: Anchor ") != std::string::npos &&
           line.find(" undefined") != std::string::npos;
}

} // namespace

std::string ChmcmdLogForReading(const std::string& log) {
    std::string kept;
    int popupWarnings = 0;
    bool anchorErrors = false;
    std::size_t start = 0;
    while (start < log.size()) {
        const auto nl = log.find('\n', start);
        const std::size_t end = nl == std::string::npos ? log.size() : nl + 1;
        std::string line = log.substr(start, end - start);
        start = end;
        if (IsPopupLinkWarning(line)) {
            ++popupWarnings;
            continue;
        }
        anchorErrors = anchorErrors || IsAnchorError(line);
        if (line.back() != '\n')
            line += '\n';
        kept += line;
    }
    std::string header;
    if (anchorErrors)
        header = "The \"Error: Anchor ... undefined\" lines below come from chmcmd, which does "
                 "not recognise every anchor a page holds; where the page does hold the anchor "
                 "the link works, and the line is harmless if you cannot make chmcmd recognise "
                 "the anchor quickly.\n";
    if (popupWarnings > 0)
        header += "(" + std::to_string(popupWarnings) + " warning" +
                  (popupWarnings == 1 ? " about a javascript: popup link"
                                      : "s about javascript: popup links") +
                  " left out; they are harmless)\n";
    if (!header.empty() && !kept.empty())
        header += "\n";
    return header + kept;
}

bool IsChmcmd(const std::string& compilerPath) {
    std::string name = fs::path(compilerPath).filename().string();
    name = platform::AnsiLowerCase(name);
    return name == "chmcmd" || name == "chmcmd.exe";
}

std::string ChmcmdProjectText(const std::string& hhpText) {
    std::string out;
    bool inMap = false;
    std::size_t start = 0;
    while (start < hhpText.size()) {
        auto nl = hhpText.find('\n', start);
        const std::size_t end = nl == std::string::npos ? hhpText.size() : nl + 1;
        const std::string line = hhpText.substr(start, end - start);
        start = end;
        std::string bare = line;
        while (!bare.empty() && (bare.back() == '\n' || bare.back() == '\r'))
            bare.pop_back();
        if (!bare.empty() && bare[0] == '[')
            inMap = platform::AnsiSameText(bare, "[MAP]");
        if (!inMap)
            out += line;
    }
    return out;
}

TChmcmdResult CompileWithChmcmd(TBuildRecord& build, const std::string& chmcmdPath,
                                IProgramRunner* runner) {
    TChmcmdResult result;
    const fs::path hhp = fs::absolute(build.HhpFileName);
    const fs::path folder = hhp.parent_path();
    if (build.ChmFileName.empty())
        build.ChmFileName = fs::path(hhp).replace_extension(".chm").string();
    const fs::path chm = fs::absolute(build.ChmFileName);
    if (build.ErrorLogFileName.empty())
        build.ErrorLogFileName = fs::path(hhp).replace_extension(".log").string();
    const fs::path log = fs::absolute(build.ErrorLogFileName);
    const fs::path copy = folder / ("~" + hhp.stem().string() + ".chmcmd.hhp");
    const fs::path output = folder / ("~" + hhp.stem().string() + ".chmcmd.out");

    // An older help file must not pass for this run's.
    RemoveQuietly(chm);
    const std::string text = ReadOrEmpty(hhp);
    if (text.empty()) {
        result.ExitCode = 1;
        result.Log = "The help project " + hhp.string() + " is missing or empty.\n";
        platform::WriteFileAtomic(log, result.Log);
        return result;
    }
    std::string accepted = ChmcmdProjectText(text);
    // Input written for a preview has no "Compiled file=" line; chmcmd
    // then fails to create an unnamed file.
    if (platform::AnsiLowerCase(accepted).find("\ncompiled file=") == std::string::npos) {
        const auto options = platform::AnsiLowerCase(accepted).find("[options]");
        if (options != std::string::npos) {
            const auto lineEnd = accepted.find('\n', options);
            accepted.insert(lineEnd == std::string::npos ? accepted.size() : lineEnd + 1,
                            "Compiled file=" + chm.string() + "\r\n");
        }
    }
    platform::WriteFileAtomic(copy, accepted);

    THeadlessProgramRunner headless;
    IProgramRunner& run = runner ? *runner : headless;
    // The shell only merges chmcmd's two output streams into one file; the
    // names travel as arguments, never through the command text.
    const auto ran = run.RunAndWait({"/bin/sh", "-c", "exec \"$0\" \"$1\" >\"$2\" 2>&1", chmcmdPath,
                                     copy.filename().string(), output.string()},
                                    folder.string());
    result.ExitCode = ran.Started ? ran.ExitCode : 127;
    result.Log = ChmcmdLogForReading(ReadOrEmpty(output));
    if (!ran.Started)
        result.Log += "Cannot start /bin/sh (" + std::to_string(ran.ErrorNumber) + ")\n";
    RemoveQuietly(output);
    RemoveQuietly(copy);

    std::error_code ec;
    const bool nonEmpty = fs::is_regular_file(chm, ec) && fs::file_size(chm, ec) > 0 && !ec;
    result.Produced = result.ExitCode == 0 && nonEmpty;
    if (!result.Produced) {
        RemoveQuietly(chm);
        if (result.ExitCode == 0)
            result.Log += "chmcmd wrote no help file " + chm.string() + "\n";
        else
            result.Log += "chmcmd ended with exit code " + std::to_string(result.ExitCode) + "\n";
    }
    platform::WriteFileAtomic(log, result.Log);
    return result;
}

void TChmcmdHtmlHelpCompiler::Compile(const TBrindlewovenProject&, TBuildRecord& build,
                                      const TCompilerPaths& paths, IProgramRunner& runner) {
    LastResult =
        CompileWithChmcmd(build, paths.HCHTMLSel.empty() ? "chmcmd" : paths.HCHTMLSel, &runner);
    if (LastResult.ExitCode == 127)
        throw EHelpCompilerError("Error running HTML Help Compiler (127)");
}

} // namespace helpproject
