#include "helpproject/writers/winhelpwriter.h"

#include <algorithm>
#include <system_error>

#include "components/rtf/rtfheader.h"
#include "helpproject/bitmapfolders.h"
#include "helpproject/buildselection.h"
#include "helpproject/helpfilekind.h"
#include "helpproject/helputils.h"
#include "helpproject/markupcodes.h"
#include "helpproject/writers/topictables.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/pathnames.h"
#include "platform/resolvepath.h"
#include "platform/textutil.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

// Lines joined with CR LF after each.
class TLineWriter {
public:
    void Line(std::string_view text) {
        out_.append(text);
        out_ += "\r\n";
    }
    std::string& Bytes() { return out_; }

private:
    std::string out_;
};

// The ID a topic is written under: an empty one takes the automatic ID.
std::string IDOf(const TBrindlewovenTopic& topic) {
    return topic.TopicID.empty() ? TBrindlewovenTopic::AutomaticID(topic.Number) : topic.TopicID;
}

// A name the writer chose for this output, else the project's own.
const std::string& NameOr(const std::string& chosen, const std::string& own) {
    return chosen.empty() ? own : chosen;
}

void Footnote(TLineWriter& out, char mark, const std::string& value, bool leadingSpace = false) {
    std::string line = leadingSpace ? " " : "";
    line += "{\\up ";
    line += mark;
    line += "}{\\footnote {\\up ";
    line += mark;
    line += "} ";
    line += RtfEscape(value);
    line += "}";
    out.Line(line);
}

// The C++Builder 1 component help hooks itself into the IDE's help menus.
const char* const kBcb1ConfigLines[] = {
    "CB(`Master_Btn',`Book &Shelf',`EF(`bcbmain.hlp',`',1,`')')",
    "IF(FE(`bcbpg.hlp'),`ExtInsertItem(`mnu_floating',`item_bcbpg',`C++Builder Programmers "
    "Guide',`EF(`bcbpg.hlp',`',1,`')',16)')",
    "IF(FE(`bcbvcl.hlp'),`ExtInsertItem(`mnu_floating',`item_bcbvcl',`C++Builder Visual "
    "Component Library Reference',`EF(`bcbvcl.hlp',`',1,`')',17)')",
    "IF(FE(`bcpascal.hlp'),`ExtInsertItem(`mnu_floating',`item_bcpascal',`Object Pascal "
    "Language Reference',`EF(`bcpascal.hlp',`',1,`')',18)')",
    "IF(FE(`bc5pg.hlp'),`ExtInsertItem(`mnu_floating',`item_bc5pg',`Borland C++ Programmers "
    "Guide',`EF(`bc5pg.hlp',`',1,`')',20)')",
    "SetHelpOnFile(\"BCBMAIN.HLP\")",
};

// The image folders of BMROOT=: the project's folder, then each existing
// folder of BitmapPaths (relative ones taken from the project's folder).
std::string BitmapRoots(const TBrindlewovenProject& project) {
    std::string roots;
    const std::string projectFolder = platform::ExtractFilePath(project.FileName);
    if (!projectFolder.empty())
        roots = GetShortPath(platform::ExcludeTrailingSeparator(projectFolder));
    for (const std::string& entry : BitmapFolderEntries(project.BitmapPaths)) {
        const bool absolute = platform::kAnySeparators.find(entry.front()) != std::string::npos ||
                              (entry.size() >= 2 && entry[1] == ':');
        const std::string folder =
            absolute ? entry : platform::IncludeTrailingSeparator(projectFolder) + entry;
        std::error_code ec;
        fs::path resolved;
        try {
            resolved = ProjectPath(folder);
        } catch (const std::exception&) {
            continue; // a drive nobody mapped
        }
        if (!fs::is_directory(resolved, ec))
            continue;
        if (!roots.empty())
            roots += ",";
        roots += GetShortPath(platform::ExcludeTrailingSeparator(folder));
    }
    return roots;
}

void WriteFile(const std::string& fileName, std::string_view bytes, TBuildReport& report) {
    platform::WriteFileAtomic(ProjectPath(fileName), bytes);
    report.FilesWritten.push_back(fileName);
}

// The locale as the project keeps it: trimmed, and cleared when it holds no
// code.
std::string KeptLocale(const std::string& locale) {
    std::string id = TrimText(locale);
    return LocaleCodeDigits(id).empty() ? std::string() : id;
}

bool WritesContentsFile(const TBrindlewovenProject& project) {
    return project.Compiler == THelpCompiler::WinHelp32 &&
           (!project.ContentsLines.empty() || NeedsContentsFile(project.HelpFileKind));
}

// The names and topics one run writes, all fixed before anything is written.
struct TWinHelpRun {
    const TBrindlewovenProject& Project;
    const TWinHelpSourceFiles& Files;
    bool BuildMode;
    TBuildSelection Topics;
    TBuildReport& Report;
};

void WriteOptionsSection(TLineWriter& hpj, const TWinHelpRun& run) {
    const TBrindlewovenProject& project = run.Project;
    hpj.Line("[OPTIONS]");
    if (run.BuildMode)
        hpj.Line("ERRORLOG=" + run.Report.ErrorLogFileName);
    hpj.Line("REPORT=YES");
    const std::string roots = BitmapRoots(project);
    if (!roots.empty())
        hpj.Line("BMROOT=" + roots);
    if (!run.BuildMode && !project.BuildTags.empty())
        hpj.Line("BUILD=" + project.BuildTags);
    if (!project.Citation.empty())
        hpj.Line("CITATION=" + ToOemText(project, project.Citation));
    hpj.Line(project.Compress ? "COMPRESS=True" : "COMPRESS=False");
    if (!run.Report.LocaleID->empty() && project.Compiler == THelpCompiler::WinHelp32)
        hpj.Line("LCID=0x" + std::string(LocaleCodeDigits(*run.Report.LocaleID)));
    if (project.Compiler == THelpCompiler::WinHelp32)
        hpj.Line("CNT=" + platform::ExtractFileName(run.Report.CntFileName));
    if (!project.Copyright.empty())
        hpj.Line("COPYRIGHT=" + ToOemText(project, project.Copyright));
    hpj.Line("ROOT=" + GetShortPath(platform::ExcludeTrailingSeparator(
                           platform::ExtractFilePath(run.Files.RtfFileName))));
    if (!project.Title.empty())
        hpj.Line("TITLE=" + ToOemText(project, project.Title));
    hpj.Line("");
}

// A section of lines handed to the compiler in its code page, when there
// are any.
void WriteTextSection(TLineWriter& hpj, const TBrindlewovenProject& project,
                      const std::string& name, const TStringList& lines) {
    if (lines.empty())
        return;
    hpj.Line(name);
    for (const std::string& line : lines)
        hpj.Line(ToOemText(project, line));
    hpj.Line("");
}

std::string HelpProjectText(const TWinHelpRun& run) {
    const TBrindlewovenProject& project = run.Project;
    TLineWriter hpj;
    hpj.Line("; " + project.Title);
    hpj.Line("; " + project.Copyright);
    hpj.Line("");
    WriteOptionsSection(hpj, run);
    hpj.Line("[CONFIG]");
    for (const std::string& line : project.Config)
        hpj.Line(ToOemText(project, line));
    if (project.HelpFileKind == CppBuilderHelpKind(1))
        for (const char* line : kBcb1ConfigLines)
            hpj.Line(line);
    hpj.Line("");
    WriteTextSection(hpj, project, "[WINDOWS]", project.Windows);
    WriteTextSection(hpj, project, "[BAGGAGE]", project.Baggage);
    hpj.Line("[FILES]");
    hpj.Line(GetShortPath(run.Files.RtfFileName));
    hpj.Line("");
    if (!run.BuildMode) {
        TStringList tags;
        project.GetBuildTags(tags, true);
        if (!tags.empty()) {
            hpj.Line("[BUILDTAGS]");
            for (const std::string& tag : tags)
                hpj.Line(tag);
            hpj.Line("");
        }
    }
    hpj.Line("[MAP]");
    for (const TBrindlewovenTopic* topic : run.Topics.Topics())
        hpj.Line(IDOf(*topic) + "   " + std::to_string(topic->Number));
    hpj.Line("");
    return std::move(hpj.Bytes());
}

// The footnotes that open a topic in the topic file.
void WriteFootnotes(TLineWriter& out, const TWinHelpRun& run, const TBrindlewovenTopic& topic) {
    const TBrindlewovenProject& project = run.Project;
    if (!run.BuildMode && !topic.BuildTag.empty())
        Footnote(out, '*', topic.BuildTag);
    Footnote(out, '#', IDOf(topic));
    if (!topic.Window.empty())
        Footnote(out, '>', topic.Window);
    if (!topic.Title.empty())
        Footnote(out, '$', topic.Title);
    if (!topic.BrowseSequence.empty())
        Footnote(out, '+', topic.BrowseSequence);
    if (!topic.KKeywords.empty())
        Footnote(out, 'K', topic.KKeywords);
    if (project.Compiler == THelpCompiler::WinHelp32 && !topic.AKeywords.empty())
        Footnote(out, 'A', topic.AKeywords);
    if (IsDelphi1Or2Help(project.HelpFileKind) && !topic.BKeywords.empty())
        Footnote(out, 'B', topic.BKeywords);
    if (!topic.EntryMacro.empty())
        Footnote(out, '!', topic.EntryMacro, true);
}

TStringList SplitCrLf(const std::string& text) {
    TStringList lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string TopicFileText(const TWinHelpRun& run, const std::vector<TTopicRtf>& texts,
                          const TTopicTables& tables) {
    TLineWriter out;
    out.Bytes().reserve(64 * 1024);
    out.Line("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl");
    for (const std::string& line : tables.FontLines())
        out.Line(line);
    out.Line("}");
    out.Line("{\\colortbl");
    out.Line(tables.ColorLine());
    out.Line("}");
    const auto& topics = run.Topics.Topics();
    for (std::size_t i = 0; i < topics.size(); ++i) {
        const TBrindlewovenTopic& topic = *topics[i];
        const rtf::TableRemap remap = tables.RemapFor(texts[i]);
        if (i > 0)
            out.Line("{\\page}");
        out.Line("{\\pard\\plain\\f" + std::to_string(remap.defaultFont) + "\\fs20");
        WriteFootnotes(out, run, topic);
        // The topic's own closing brace ends the group opened above.
        TStringList lines = SplitCrLf(rtf::RemapTables(texts[i].Body, remap) + "}");
        TranslateMarkupForWinHelp(lines, run.Project, topic.Number);
        for (const std::string& line : lines)
            out.Line(line);
    }
    out.Line("}");
    return std::move(out.Bytes());
}

// The names the run uses: the error log (build mode), the help file and the
// contents file; and the locale as kept.
void ChooseNames(const TBrindlewovenProject& project, const TWinHelpSourceFiles& files,
                 bool buildMode, ITempFileNames* tempNames, TBuildReport& report) {
    if (buildMode)
        report.ErrorLogFileName = tempNames ? tempNames->MakeTempFileName()
                                            : platform::ChangeFileExt(files.HpjFileName, ".err");
    report.HelpFileName = DefaultHelpFileName(project, files.HpjFileName);
    report.CntFileName = files.CntFileName.empty()
                             ? platform::ChangeFileExt(report.HelpFileName, ".cnt")
                             : files.CntFileName;
    report.LocaleID = KeptLocale(project.LocaleID);
}

} // namespace

// ---- paths ------------------------------------------------------------------

std::string ToOemText(const TBrindlewovenProject& project, std::string_view text) {
    if (project.Compiler == THelpCompiler::WinHelp16)
        return platform::ToOemText(text);
    return std::string(text);
}

// ---- help project and topic file ---------------------------------------------

TBuildReport WriteWinHelpSources(const TBrindlewovenProject& project,
                                 const TWinHelpSourceFiles& files, bool buildMode,
                                 ITempFileNames* tempNames) {
    TBuildReport report;
    const TWinHelpRun run{
        project, files, buildMode,
        buildMode ? TBuildSelection::ForBuild(project) : TBuildSelection::All(project), report};
    report.IncludedTopics = run.Topics.Numbers();
    for (const TBrindlewovenTopic* topic : run.Topics.Topics())
        if (topic->TopicID.empty())
            report.AutomaticIDs.push_back(topic->Number);

    // First pass: the merged tables.
    std::vector<TTopicRtf> texts;
    texts.reserve(run.Topics.Topics().size());
    TTopicTables tables;
    for (const TBrindlewovenTopic* topic : run.Topics.Topics()) {
        texts.push_back(ReadTopicRtf(*topic));
        tables.Add(texts.back());
    }

    ChooseNames(project, files, buildMode, tempNames, report);
    const std::string hpj = HelpProjectText(run);
    const std::string rtf = TopicFileText(run, texts, tables);
    WriteFile(files.HpjFileName, hpj, report);
    WriteFile(files.RtfFileName, rtf, report);
    if (WritesContentsFile(project)) {
        WriteContentsFile(project, report, buildMode);
    } else if (project.Compiler == THelpCompiler::WinHelp32) {
        std::error_code ec;
        fs::remove(ProjectPath(report.CntFileName), ec);
    }
    return report;
}

// ---- contents file --------------------------------------------------------------

namespace {

const char* ComponentContentsLine(std::int32_t kind) {
    switch (kind) {
    case DelphiHelpKind(3):
        return ":INCLUDE DELPHI3.CFG";
    case DelphiHelpKind(4):
        return ":LINK DEL4VCL.HLP";
    case DelphiHelpKind(5):
        return ":LINK DEL5VCL.HLP";
    case DelphiHelpKind(6):
        return ":LINK DEL6VCL.HLP";
    case DelphiHelpKind(7):
        return ":LINK D7VCL.HLP";
    case CppBuilderHelpKind(1):
        return ":LINK BCBVCL.HLP";
    case CppBuilderHelpKind(3):
        return ":LINK BCBVCL3.HLP";
    case CppBuilderHelpKind(4):
        return ":LINK BCB4VCL.HLP";
    case CppBuilderHelpKind(5):
        return ":LINK BCB5VCL.HLP";
    case CppBuilderHelpKind(6):
        return ":LINK BCB6VCL.HLP";
    default:
        return nullptr;
    }
}

bool ContentsLineWanted(const TBrindlewovenProject& project, const TBuildReport& build,
                        const std::string& line) {
    const std::size_t eq = line.rfind('=');
    if (eq == std::string::npos)
        return true; // a heading
    std::string target = TrimText(line.substr(eq + 1));
    if (!target.empty() && target.front() == '!')
        return true; // a macro
    if (target.find('@') != std::string::npos)
        return true; // a topic of another help file
    const std::size_t window = target.find('>');
    if (window != std::string::npos)
        target.erase(window);
    target = TrimText(target);
    return std::any_of(build.IncludedTopics.begin(), build.IncludedTopics.end(),
                       [&](std::int32_t number) {
                           const TBrindlewovenTopic* topic = project.FindTopic(number);
                           return topic && platform::AnsiSameText(IDOf(*topic), target);
                       });
}

} // namespace

void WriteContentsFile(const TBrindlewovenProject& project, TBuildReport& build, bool buildMode) {
    TLineWriter out;
    out.Line(":BASE " +
             platform::ExtractFileName(NameOr(build.HelpFileName, project.HelpFileName)));
    out.Line(":TITLE " + project.Title);
    if (const char* line = ComponentContentsLine(project.HelpFileKind))
        out.Line(line);
    for (const std::string& index : project.ContentsIndexes)
        out.Line(":INDEX " + index);
    for (const std::string& link : project.ContentsLinks)
        out.Line(":LINK " + link);
    for (const std::string& line : project.ContentsLines)
        if (!buildMode || ContentsLineWanted(project, build, line))
            out.Line(line);
    WriteFile(build.CntFileName, out.Bytes(), build);
}

// ---- C header -----------------------------------------------------------------

namespace {

// A "*/" in the text would end the comment that holds it.
std::string CommentSafe(std::string text) {
    for (std::size_t at = text.find("*/"); at != std::string::npos; at = text.find("*/", at + 3))
        text.replace(at, 2, "* /");
    return text;
}

void PadTo(std::string& line, std::size_t width) {
    if (line.size() < width)
        line.append(width - line.size(), ' ');
}

} // namespace

std::string HelpIdHeaderFileName(const TBrindlewovenProject& project, const TBuildReport& build) {
    const std::string& help = project.Compiler == THelpCompiler::HtmlHelp
                                  ? NameOr(build.ChmFileName, project.ChmFileName)
                                  : NameOr(build.HelpFileName, project.HelpFileName);
    return platform::ChangeFileExt(help, "_HELPID.C");
}

void WriteHelpIdHeader(const TBrindlewovenProject& project, TBuildReport& build) {
    TLineWriter out;
    out.Line("/*");
    out.Line(" * " + CommentSafe(project.Title));
    out.Line(" * " + CommentSafe(project.Copyright));
    out.Line(" *");
    out.Line(" */");
    out.Line("");
    out.Line("#ifndef _BWVN_HELP_CONSTANTS_");
    out.Line("#define _BWVN_HELP_CONSTANTS_");
    out.Line("");
    for (std::int32_t number : build.IncludedTopics) {
        const TBrindlewovenTopic* topic = project.FindTopic(number);
        if (!topic)
            continue;
        std::string line = "#define  " + IDOf(*topic) + " ";
        PadTo(line, 32);
        line += "(" + std::to_string(topic->Number) + ") ";
        PadTo(line, 44);
        // A line break in the title would end the comment early.
        line += "// " + StripLineBreaks(topic->Title);
        out.Line(line);
    }
    out.Line("");
    out.Line("#endif /* _BWVN_HELP_CONSTANTS_ */");
    WriteFile(HelpIdHeaderFileName(project, build), out.Bytes(), build);
}

} // namespace helpproject
