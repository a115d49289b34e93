#include "helpproject/writers/htmlhelpwriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/helputils.h"
#include "helpproject/writers/imageconversion.h"
#include "helpproject/writers/rtftohtml.h"
#include "platform/codepage.h"
#include "platform/fileio.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

constexpr const char* kGeneratorMeta = "\t<META NAME=\"GENERATOR\" CONTENT=\"Brindlewoven 7.7.6\">";

// Parts split at ";", empty ones kept except a trailing one.
TStringList SplitKeywordParts(const std::string& text) {
    TStringList parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto semi = text.find(';', start);
        if (semi == std::string::npos) {
            if (start < text.size())
                parts.push_back(text.substr(start));
            break;
        }
        parts.push_back(text.substr(start, semi - start));
        start = semi + 1;
    }
    return parts;
}

std::string NameOnly(const std::string& fileName) {
    const auto slash = fileName.find_last_of("/\\");
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

std::string ChangeExtension(const std::string& fileName, const std::string& ext) {
    const auto slash = fileName.find_last_of("/\\");
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return fileName + ext;
    return fileName.substr(0, dot) + ext;
}

std::string HexUpper(unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", value);
    return buffer;
}

std::string MakeTempLogName() {
    std::string pattern = (fs::temp_directory_path() / "bwhhlogXXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd >= 0)
        close(fd);
    return pattern;
}

} // namespace

bool TAnsiTextLess::operator()(const std::string& a, const std::string& b) const {
    return platform::AnsiCompareText(a, b) < 0;
}

void AddTopicToIndex(THtmlIndex& index, const std::string& keywords, const std::string& pageLine) {
    for (const auto& part : SplitKeywordParts(keywords)) {
        const auto comma = part.find(',');
        const std::string first = TrimText(part.substr(0, comma));
        const std::string sub =
            comma == std::string::npos ? std::string() : TrimText(part.substr(comma + 1));
        if (first.empty())
            continue;
        auto& item = index[platform::AnsiLowerCase(first)];
        if (!item)
            item = std::make_unique<THHKItem>(first);
        if (sub.empty()) {
            item->Pages.insert(pageLine);
            continue;
        }
        auto& subItem = item->SubKeywords[platform::AnsiLowerCase(sub)];
        if (!subItem)
            subItem = std::make_unique<THHKItem>(sub);
        subItem->Pages.insert(pageLine);
    }
}

void SplitIndexPage(const std::string& pageLine, std::string& title, std::string& page) {
    const auto ff = pageLine.find('\x0C');
    title = pageLine.substr(0, ff);
    page = ff == std::string::npos ? std::string() : pageLine.substr(ff + 1);
}

std::vector<THtmlContentsEntry> BuildHtmlContents(const TStringList& contentsLines,
                                                  const TStringList& targets) {
    std::vector<THtmlContentsEntry> entries;
    for (const auto& line : contentsLines) {
        if (line.empty() || line[0] < '1' || line[0] > '9')
            continue;
        THtmlContentsEntry entry;
        entry.Level = line[0] - '0';
        const std::string rest = line.size() > 2 ? line.substr(2) : std::string();
        const auto eq = rest.find('=');
        if (eq == std::string::npos) {
            entry.Name = HtmlEscape(rest);
        } else {
            entry.Name = HtmlEscape(rest.substr(0, eq));
            std::string id = rest.substr(eq + 1);
            id = id.substr(0, id.find('>'));
            id = id.substr(0, id.find('@'));
            std::string link;
            if (!LookupKeyValue(targets, platform::AnsiLowerCase(id), link, true))
                continue;
            entry.Link = HtmlEscape(link);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string HhpSymbol(const std::string& pageName) {
    std::string symbol = pageName;
    for (char& c : symbol)
        if (c == ' ')
            c = '_';
    return symbol;
}

void SaveHtmlLines(const std::string& fileName, const TStringList& lines) {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    platform::WriteFileAtomic(fs::path(fileName), bytes);
}

void WriteHtmlHelpProject(TBrindlewovenProject& project, bool forCompile, bool applyBuildTags,
                          const THtmlHelpWriteOptions& options) {
    THtmlExportProgress* progress = options.Progress;
    const fs::path hhp(project.HhpFileName);
    const fs::path folder = hhp.has_parent_path() ? hhp.parent_path() : fs::path(".");
    project.MissingImages.clear();
    project.BrokenLinks.clear();

    TBrindlewovenTopic* defaultTopic = nullptr;
    if (applyBuildTags) {
        project.FilterTopicsByBuildTags();
        defaultTopic = project.FirstTopic;
    } else {
        for (auto& topic : project.Topics())
            topic->Included = true;
        defaultTopic = project.Topics().empty() ? nullptr : project.Topics().front().get();
    }

    THtmlPageNames names;
    names.Build(project, true);
    const int count = project.TopicCount();
    const bool popupsAsScript = !project.HtmlPopupsAsLinks;

    // Pass 1: pages.
    if (progress)
        progress->Start("Converting topics from RTF to HTML...", count - 1);
    TStringList targets;
    std::vector<std::string> pages(static_cast<std::size_t>(count));
    const std::string charset = HtmlCharsetMeta(project);
    for (int i = 0; i < count; ++i) {
        CheckHtmlExportAbort(progress, i);
        TBrindlewovenTopic& topic = *project.Topics()[static_cast<std::size_t>(i)];
        if (!topic.Included)
            continue;
        const std::string page = names.NameOf(topic.Number);
        targets.push_back(platform::AnsiLowerCase(topic.TopicID) + "=" + page + ".htm");
        TStringList lines = {"<HTML><HEAD>", "\t" + charset,
                             "\t<TITLE>" + HtmlEscape(topic.Title) + "</TITLE>"};
        if (!topic.KKeywords.empty()) {
            lines.push_back("\t<OBJECT TYPE=\"application/x-oleobject\" "
                            "CLASSID=\"clsid:1e2a7bd0-dab9-11d0-b93a-00c04fc99f9e\">");
            for (const auto& part : SplitKeywordParts(topic.KKeywords))
                lines.push_back("\t\t<PARAM NAME=\"Keyword\" VALUE=\"" + HtmlEscape(part) + "\">");
            lines.push_back("\t</OBJECT>");
        }
        lines.push_back("\t<META NAME=\"AUTHOR\" CONTENT=\"" + HtmlEscape(project.Copyright) +
                        "\">");
        lines.push_back(kGeneratorMeta);
        lines.push_back("</HEAD>");
        lines.push_back(HtmlBodyTag(project));
        RtfToHtml(project, topic, lines, true);
        lines.push_back("</BODY></HTML>");
        pages[static_cast<std::size_t>(i)] = JoinHtmlLines(lines);
    }

    // Pass 2: anchors and picture names, then the pictures.
    if (progress)
        progress->Start("Converting WinHelp tags to HTMLHelp tags...", count - 1);
    TStringList pictureNames;
    for (int i = 0; i < count; ++i) {
        CheckHtmlExportAbort(progress, i);
        TBrindlewovenTopic& topic = *project.Topics()[static_cast<std::size_t>(i)];
        if (!topic.Included)
            continue;
        std::string& text = pages[static_cast<std::size_t>(i)];
        ConvertTargetCodes(project, text, names.NameOf(topic.Number), &targets);
        CollectHtmlPictureNames(text, pictureNames);
    }
    TStringList pictures;
    ConvertImagesForHtml(project, pictureNames, pictures, popupsAsScript, true, folder, &targets,
                         progress);

    // Pass 3: links, buttons, pictures.
    if (progress)
        progress->Start("Converting WinHelp tags to HTMLHelp tags...\r(second pass)", count - 1);
    std::vector<TStringList> pageLines(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CheckHtmlExportAbort(progress, i);
        TBrindlewovenTopic& topic = *project.Topics()[static_cast<std::size_t>(i)];
        if (!topic.Included)
            continue;
        pageLines[static_cast<std::size_t>(i)] =
            ConvertPageLinksAndPictures(project, topic, pages[static_cast<std::size_t>(i)], names,
                                        targets, pictures, popupsAsScript, true);
    }

    // Saving.
    if (progress)
        progress->Start("Saving HTML topic files...", count - 1);
    fs::create_directories(folder / "html");
    for (int i = 0; i < count; ++i) {
        TBrindlewovenTopic& topic = *project.Topics()[static_cast<std::size_t>(i)];
        if (!topic.Included)
            continue;
        const std::string file = (folder / "html" / (names.NameOf(topic.Number) + ".htm")).string();
        SaveHtmlLines(file, pageLines[static_cast<std::size_t>(i)]);
        if (forCompile)
            project.TempFiles.push_back(file);
    }

    const std::string author =
        "\t<META NAME=\"AUTHOR\" CONTENT=\"" + HtmlEscape(project.Copyright) + "\">";

    // Contents file.
    const std::string hhcName = ChangeExtension(project.HhpFileName, ".hhc");
    bool contentsWritten = false;
    if (!project.ContentsLines.empty()) {
        TStringList lines = {"<HTML><HEAD>",      "\t" + charset,         author,
                             kGeneratorMeta,      "<!-- Sitemap 1.0 -->", "</HEAD>",
                             HtmlBodyTag(project)};
        if (project.HtmlCollapseContents) {
            lines.push_back("<OBJECT type=\"text/site properties\">");
            lines.push_back("\t<param name=\"Window Styles\" value=\"0x800425\">");
            lines.push_back("</OBJECT>");
        }
        lines.push_back("<UL>");
        int level = 1;
        std::string indent = "\t";
        for (const auto& entry : BuildHtmlContents(project.ContentsLines, targets)) {
            while (level < entry.Level) {
                lines.push_back(indent + "<UL>");
                indent += '\t';
                ++level;
            }
            while (level > entry.Level) {
                indent.pop_back();
                lines.push_back(indent + "</UL>");
                --level;
            }
            lines.push_back(indent + "<LI><OBJECT TYPE=\"text/sitemap\">");
            lines.push_back(indent + "\t<PARAM NAME=\"Name\" VALUE=\"" + entry.Name + "\">");
            if (!entry.Link.empty())
                lines.push_back(indent + "\t<PARAM NAME=\"Local\" VALUE=\"html/" + entry.Link +
                                "\">");
            lines.push_back(indent + "</OBJECT>");
        }
        while (level > 1) {
            indent.pop_back();
            lines.push_back(indent + "</UL>");
            --level;
        }
        lines.push_back("</UL>");
        lines.push_back("</BODY></HTML>");
        SaveHtmlLines(hhcName, lines);
        contentsWritten = true;
        if (forCompile)
            project.TempFiles.push_back(hhcName);
    }

    // Index file.
    THtmlIndex index;
    for (auto& topic : project.Topics()) {
        if (!topic->Included || topic->KKeywords.empty())
            continue;
        AddTopicToIndex(index, topic->KKeywords,
                        topic->Title + '\x0C' + names.NameOf(topic->Number) + ".htm");
    }
    const std::string hhkName = ChangeExtension(project.HhpFileName, ".hhk");
    const bool indexWritten = !index.empty();
    if (indexWritten) {
        TStringList lines = {"<HTML><HEAD>",
                             author,
                             kGeneratorMeta,
                             "<!-- Sitemap 1.0 -->",
                             "</HEAD>",
                             HtmlBodyTag(project),
                             "<OBJECT TYPE=\"text/site properties\">",
                             "</OBJECT>",
                             "<UL>"};
        auto pairs = [&lines](const THHKItem& item, const std::string& tabs) {
            for (const auto& pageLine : item.Pages) {
                std::string title, page;
                SplitIndexPage(pageLine, title, page);
                lines.push_back(tabs + "<PARAM NAME=\"Name\" VALUE=\"" + HtmlEscape(title) + "\">");
                lines.push_back(tabs + "<PARAM NAME=\"Local\" VALUE=\"html/" + page + "\">");
            }
        };
        auto localOnly = [&lines](const THHKItem& item, const std::string& tabs, bool escape) {
            std::string title, page;
            SplitIndexPage(*item.Pages.begin(), title, page);
            lines.push_back(tabs + "<PARAM NAME=\"Local\" VALUE=\"html/" +
                            (escape ? HtmlEscape(page) : page) + "\">");
        };
        for (const auto& [key, item] : index) {
            lines.push_back("<LI><OBJECT TYPE=\"text/sitemap\">");
            lines.push_back("\t<PARAM NAME=\"Keyword\" VALUE=\"" + HtmlEscape(item->Keyword) +
                            "\">");
            if (item->Pages.size() > 1)
                pairs(*item, "\t");
            else if (item->Pages.size() == 1)
                localOnly(*item, "\t", true);
            else if (item->SubKeywords.size() == 1 &&
                     item->SubKeywords.begin()->second->Pages.size() == 1)
                localOnly(*item->SubKeywords.begin()->second, "\t\t", false);
            else
                for (const auto& [subKey, sub] : item->SubKeywords)
                    pairs(*sub, "\t\t");
            lines.push_back("</OBJECT>");
            for (const auto& [subKey, sub] : item->SubKeywords) {
                lines.push_back("<UL>\t<LI><OBJECT TYPE=\"text/sitemap\">");
                lines.push_back("\t\t<PARAM NAME=\"Keyword\" VALUE=\"" + HtmlEscape(sub->Keyword) +
                                "\">");
                if (sub->Pages.size() == 1)
                    localOnly(*sub, "\t\t", false);
                else
                    pairs(*sub, "\t\t");
                lines.push_back("\t</OBJECT>");
                lines.push_back("</UL>");
            }
        }
        lines.push_back("</UL>");
        lines.push_back("</BODY></HTML>");
        SaveHtmlLines(hhkName, lines);
        if (forCompile)
            project.TempFiles.push_back(hhkName);
    }

    // Help project.
    if (progress) {
        progress->Start("Writing HTML Help project file...", 0);
        if (progress->AbortRequested())
            throw EHtmlExportAborted();
    }
    const std::string defaultPage =
        defaultTopic ? names.NameOf(defaultTopic->Number) : std::string();
    if (forCompile && project.ChmFileName.empty())
        project.ChmFileName = ChangeExtension(project.HhpFileName, ".chm");
    TStringList lines = {"; " + project.Title, "; " + project.Copyright, "", "[OPTIONS]",
                         "Compatibility=1.1 or later"};
    if (forCompile)
        lines.push_back("Compiled file=" + project.ChmFileName);
    if (contentsWritten)
        lines.push_back("Contents file=" + NameOnly(hhcName));
    lines.push_back("Default topic=html\\" + defaultPage + ".htm");
    lines.push_back("Default Window=main");
    if (forCompile) {
        project.ErrorLogFileName =
            options.ErrorLogFileName.empty() ? MakeTempLogName() : options.ErrorLogFileName;
        lines.push_back("Error log file=" + project.ErrorLogFileName);
    }
    if (project.HtmlFullTextSearch)
        lines.push_back("Full-text search=Yes");
    if (indexWritten)
        lines.push_back("Index file=" + NameOnly(hhkName));
    lines.push_back("Language=" + project.LocaleID);
    lines.push_back("Title=" + project.Title);
    lines.push_back("");
    lines.push_back("[WINDOWS]");
    unsigned style = contentsWritten || indexWritten ? 0x120 : 0;
    if (project.HtmlFullTextSearch) {
        style += 0x400;
        if (project.HtmlAdvancedSearch)
            style += 0x20000;
    }
    if (project.HtmlFavorites)
        style += 0x1000;
    if (project.WindowRememberPos)
        style += 0x40000;
    // A double quote would end the window title early.
    std::string windowTitle = project.Title;
    for (char& c : windowTitle)
        if (c == '"')
            c = '\'';
    const std::string contentsField = contentsWritten ? "\"" + NameOnly(hhcName) + "\"," : ",";
    const std::string indexField = indexWritten ? "\"" + NameOnly(hhkName) + "\"" : "";
    const long x = project.WindowX, y = project.WindowY;
    lines.push_back("main=\"" + windowTitle + "\"," + contentsField + indexField + ",\"html\\" +
                    defaultPage + ".htm\",,,,,,0x" + HexUpper(style) + ",,0x200e,[" +
                    std::to_string(x) + "," + std::to_string(y) + "," +
                    std::to_string(x + project.WindowWidth) + "," +
                    std::to_string(y + project.WindowHeight) + "],,,,,,,0");
    lines.push_back("");
    lines.push_back("[FILES]");
    for (auto& topic : project.Topics())
        if (topic->Included)
            lines.push_back("html\\" + names.NameOf(topic->Number) + ".htm");
    for (const auto& name : pictureNames)
        if (name.size() >= 4 && platform::AnsiSameText(name.substr(name.size() - 4), ".swf"))
            lines.push_back("images\\" + name);
    lines.push_back("");
    lines.push_back("[MAP]");
    for (auto& topic : project.Topics())
        if (topic->Included)
            lines.push_back("#define html\\" + HhpSymbol(names.NameOf(topic->Number)) + " " +
                            std::to_string(topic->Number));
    SaveHtmlLines(project.HhpFileName, lines);
    if (forCompile)
        project.TempFiles.push_back(project.HhpFileName);
}

} // namespace helpproject
