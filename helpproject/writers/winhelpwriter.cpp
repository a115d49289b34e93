#include "helpproject/writers/winhelpwriter.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "components/rtf/rtfheader.h"
#include "helpproject/helputils.h"
#include "helpproject/markupcodes.h"
#include "helpproject/writers/topictables.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/resolvepath.h"
#include "platform/tempfolder.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string WithoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && IsSeparator(folder.back()))
        folder.pop_back();
    return folder;
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (IsSeparator(folder.back()))
        return folder + name;
    return folder + "/" + name;
}

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

std::string IDOf(const TBrindlewovenTopic& topic) {
    return topic.TopicID.empty() ? TBrindlewovenTopic::AutomaticID(topic.Number) : topic.TopicID;
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

bool IsHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// The image folders of BMROOT=: the project's folder, then each existing
// folder of BitmapPaths (relative ones taken from the project's folder).
std::string BitmapRoots(const TBrindlewovenProject& project) {
    std::string roots;
    const std::string projectFolder = FolderOfName(project.FileName);
    if (!projectFolder.empty())
        roots = GetShortPath(WithoutTrailingSeparator(projectFolder));
    std::string rest = project.BitmapPaths;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t comma = rest.find(',', start);
        if (comma == std::string::npos)
            comma = rest.size();
        const std::string entry = TrimText(rest.substr(start, comma - start));
        start = comma + 1;
        if (entry.empty())
            continue;
        const bool absolute = IsSeparator(entry.front()) || (entry.size() >= 2 && entry[1] == ':');
        const std::string folder = absolute ? entry : JoinFolder(projectFolder, entry);
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
        roots += GetShortPath(WithoutTrailingSeparator(folder));
    }
    return roots;
}

void WriteFile(const std::string& fileName, std::string_view bytes) {
    platform::WriteFileAtomic(ProjectPath(fileName), bytes);
}

} // namespace

// ---- paths ------------------------------------------------------------------

std::string FolderOfName(const std::string& fileName) {
    const std::size_t at = fileName.find_last_of("/\\");
    if (at == std::string::npos)
        return {};
    if (at == 0)
        return fileName.substr(0, 1);
    return fileName.substr(0, at);
}

std::string NameOnly(const std::string& fileName) {
    const std::size_t at = fileName.find_last_of("/\\");
    return at == std::string::npos ? fileName : fileName.substr(at + 1);
}

std::string ChangeFileExt(const std::string& fileName, std::string_view extension) {
    const std::size_t slash = fileName.find_last_of("/\\");
    const std::size_t dot = fileName.rfind('.');
    std::string base = fileName;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        base.erase(dot);
    return base + std::string(extension);
}

fs::path ProjectPath(const std::string& fileName) {
    return platform::resolvePath(fileName);
}

std::string TTempFolderFileNames::MakeTempFileName() {
    return folder_.NewFile("bwv.tmp").string();
}

std::string ToOemText(const TBrindlewovenProject& project, std::string_view text) {
    if (project.Compiler == 0)
        return platform::ToOemText(text);
    return std::string(text);
}

std::string DefaultHelpFileName(const TBrindlewovenProject& project) {
    const std::string& own = project.FileName.empty() ? project.HpjFileName : project.FileName;
    const std::string base =
        project.OutputFolder.empty() ? own : JoinFolder(project.OutputFolder, NameOnly(own));
    return ChangeFileExt(base, ".hlp");
}

// ---- help project and topic file ---------------------------------------------

void WriteWinHelpSources(TBrindlewovenProject& project, bool buildMode, ITempFileNames* tempNames) {
    // Topic selection.
    if (buildMode) {
        project.FilterTopicsByBuildTags();
    } else {
        for (auto& topic : project.Topics())
            topic->Included = true;
        project.FirstTopic = project.Topics().empty() ? nullptr : project.Topics().front().get();
    }
    std::vector<TBrindlewovenTopic*> counted;
    for (auto& topic : project.Topics())
        if (topic->Included)
            counted.push_back(topic.get());

    // First pass: the merged tables.
    std::vector<TTopicRtf> texts;
    texts.reserve(counted.size());
    TTopicTables tables;
    for (TBrindlewovenTopic* topic : counted) {
        texts.push_back(ReadTopicRtf(*topic));
        tables.Add(texts.back());
    }

    // Help project.
    TLineWriter hpj;
    hpj.Line("; " + project.Title);
    hpj.Line("; " + project.Copyright);
    hpj.Line("");
    hpj.Line("[OPTIONS]");
    if (buildMode) {
        project.ErrorLogFileName =
            tempNames ? tempNames->MakeTempFileName() : ChangeFileExt(project.HpjFileName, ".err");
        hpj.Line("ERRORLOG=" + project.ErrorLogFileName);
    }
    hpj.Line("REPORT=YES");
    project.HelpFileName = DefaultHelpFileName(project);
    if (project.CntFileName.empty())
        project.CntFileName = ChangeFileExt(project.HelpFileName, ".cnt");
    const std::string roots = BitmapRoots(project);
    if (!roots.empty())
        hpj.Line("BMROOT=" + roots);
    if (!buildMode && !project.BuildTags.empty())
        hpj.Line("BUILD=" + project.BuildTags);
    if (!project.Citation.empty())
        hpj.Line("CITATION=" + ToOemText(project, project.Citation));
    hpj.Line(project.Compress ? "COMPRESS=True" : "COMPRESS=False");
    project.LocaleID = TrimText(project.LocaleID);
    {
        const std::string& id = project.LocaleID;
        std::size_t digits = 2;
        while (digits < id.size() && IsHexDigit(id[digits]))
            ++digits;
        const bool wellFormed =
            id.size() >= 5 && id[0] == '0' && (id[1] == 'x' || id[1] == 'X') && digits > 2;
        if (!wellFormed)
            project.LocaleID.clear();
        else if (project.Compiler == 1)
            hpj.Line("LCID=0x" + id.substr(2, digits - 2));
    }
    bool writeContents = false;
    if (project.Compiler == 1) {
        hpj.Line("CNT=" + NameOnly(project.CntFileName));
        writeContents = !project.ContentsLines.empty() || project.HelpFileKind >= 48;
    }
    if (!project.Copyright.empty())
        hpj.Line("COPYRIGHT=" + ToOemText(project, project.Copyright));
    hpj.Line("ROOT=" + GetShortPath(WithoutTrailingSeparator(FolderOfName(project.RtfFileName))));
    if (!project.Title.empty())
        hpj.Line("TITLE=" + ToOemText(project, project.Title));
    hpj.Line("");
    hpj.Line("[CONFIG]");
    for (const std::string& line : project.Config)
        hpj.Line(ToOemText(project, line));
    if (project.HelpFileKind == 272)
        for (const char* line : kBcb1ConfigLines)
            hpj.Line(line);
    hpj.Line("");
    if (!project.Windows.empty()) {
        hpj.Line("[WINDOWS]");
        for (const std::string& line : project.Windows)
            hpj.Line(ToOemText(project, line));
        hpj.Line("");
    }
    if (!project.Baggage.empty()) {
        hpj.Line("[BAGGAGE]");
        for (const std::string& line : project.Baggage)
            hpj.Line(ToOemText(project, line));
        hpj.Line("");
    }
    hpj.Line("[FILES]");
    hpj.Line(GetShortPath(project.RtfFileName));
    hpj.Line("");
    if (!buildMode) {
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
    for (TBrindlewovenTopic* topic : counted) {
        if (topic->TopicID.empty())
            topic->TopicID = TBrindlewovenTopic::AutomaticID(topic->Number);
        hpj.Line(topic->TopicID + "   " + std::to_string(topic->Number));
    }
    hpj.Line("");

    // Topic file.
    TLineWriter out;
    out.Bytes().reserve(64 * 1024);
    out.Line("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl");
    for (const std::string& line : tables.FontLines())
        out.Line(line);
    out.Line("}");
    out.Line("{\\colortbl");
    out.Line(tables.ColorLine());
    out.Line("}");
    for (std::size_t i = 0; i < counted.size(); ++i) {
        const TBrindlewovenTopic& topic = *counted[i];
        const TTopicRtf& text = texts[i];
        const rtf::TableRemap remap = tables.RemapFor(text);
        if (i > 0)
            out.Line("{\\page}");
        out.Line("{\\pard\\plain\\f" + std::to_string(remap.defaultFont) + "\\fs20");
        if (!buildMode && !topic.BuildTag.empty())
            Footnote(out, '*', topic.BuildTag);
        Footnote(out, '#', topic.TopicID);
        if (!topic.Window.empty())
            Footnote(out, '>', topic.Window);
        if (!topic.Title.empty())
            Footnote(out, '$', topic.Title);
        if (!topic.BrowseSequence.empty())
            Footnote(out, '+', topic.BrowseSequence);
        if (!topic.KKeywords.empty())
            Footnote(out, 'K', topic.KKeywords);
        if (project.Compiler == 1 && !topic.AKeywords.empty())
            Footnote(out, 'A', topic.AKeywords);
        if ((project.HelpFileKind == 16 || project.HelpFileKind == 32) && !topic.BKeywords.empty())
            Footnote(out, 'B', topic.BKeywords);
        if (!topic.EntryMacro.empty())
            Footnote(out, '!', topic.EntryMacro, true);
        // The topic's own closing brace ends the group opened above.
        const std::string body = rtf::RemapTables(text.Body, remap) + "}";
        TStringList lines;
        for (std::size_t start = 0;;) {
            const std::size_t end = body.find("\r\n", start);
            if (end == std::string::npos) {
                lines.push_back(body.substr(start));
                break;
            }
            lines.push_back(body.substr(start, end - start));
            start = end + 2;
        }
        TranslateMarkupForWinHelp(lines, project, topic.Number);
        for (const std::string& line : lines)
            out.Line(line);
    }
    out.Line("}");

    WriteFile(project.HpjFileName, hpj.Bytes());
    WriteFile(project.RtfFileName, out.Bytes());
    if (writeContents) {
        WriteContentsFile(project, buildMode);
    } else if (project.Compiler == 1) {
        std::error_code ec;
        fs::remove(ProjectPath(project.CntFileName), ec);
    }
}

// ---- contents file --------------------------------------------------------------

namespace {

const char* ComponentContentsLine(std::int32_t kind) {
    switch (kind) {
    case 48:
        return ":INCLUDE DELPHI3.CFG";
    case 64:
        return ":LINK DEL4VCL.HLP";
    case 80:
        return ":LINK DEL5VCL.HLP";
    case 96:
        return ":LINK DEL6VCL.HLP";
    case 112:
        return ":LINK D7VCL.HLP";
    case 272:
        return ":LINK BCBVCL.HLP";
    case 304:
        return ":LINK BCBVCL3.HLP";
    case 320:
        return ":LINK BCB4VCL.HLP";
    case 336:
        return ":LINK BCB5VCL.HLP";
    case 352:
        return ":LINK BCB6VCL.HLP";
    default:
        return nullptr;
    }
}

bool ContentsLineWanted(const TBrindlewovenProject& project, const std::string& line) {
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
    for (const auto& topic : project.Topics())
        if (topic->Included && platform::AnsiSameText(topic->TopicID, target))
            return true;
    return false;
}

} // namespace

void WriteContentsFile(const TBrindlewovenProject& project, bool buildMode) {
    TLineWriter out;
    out.Line(":BASE " + NameOnly(project.HelpFileName));
    out.Line(":TITLE " + project.Title);
    if (const char* line = ComponentContentsLine(project.HelpFileKind))
        out.Line(line);
    for (const std::string& index : project.ContentsIndexes)
        out.Line(":INDEX " + index);
    for (const std::string& link : project.ContentsLinks)
        out.Line(":LINK " + link);
    for (const std::string& line : project.ContentsLines)
        if (!buildMode || ContentsLineWanted(project, line))
            out.Line(line);
    WriteFile(project.CntFileName, out.Bytes());
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

std::string HelpIdHeaderFileName(const TBrindlewovenProject& project) {
    const std::string& help = project.Compiler == 2 ? project.ChmFileName : project.HelpFileName;
    return ChangeFileExt(help, "_HELPID.C");
}

void WriteHelpIdHeader(const TBrindlewovenProject& project) {
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
    for (const auto& topic : project.Topics()) {
        if (!topic->Included)
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
    WriteFile(HelpIdHeaderFileName(project), out.Bytes());
}

} // namespace helpproject
