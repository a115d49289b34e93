#include "helpproject/writers/htmlhelpwriter.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/buildselection.h"
#include "helpproject/helputils.h"
#include "helpproject/writers/htmlpages.h"
#include "helpproject/writers/rtftohtml.h"
#include "platform/codepage.h"
#include "platform/pathnames.h"
#include "platform/textutil.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

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

// A keyword and its sub-keyword ("Files, opening"), each trimmed.
std::pair<std::string, std::string> SplitIndexKeyword(const std::string& part) {
    const auto comma = part.find(',');
    return {TrimText(part.substr(0, comma)),
            comma == std::string::npos ? std::string() : TrimText(part.substr(comma + 1))};
}

// A keyword as a page's keyword object names it: trimmed as the index
// trims it ("first,sub" with both parts trimmed), empty when the index
// leaves it out.
std::string IndexKeywordText(const std::string& part) {
    const auto [first, sub] = SplitIndexKeyword(part);
    if (first.empty() || sub.empty())
        return first;
    return first + "," + sub;
}

// One HTML Help run: the project, its output and what it reports.
struct THtmlHelpRun {
    const TBrindlewovenProject& Project;
    bool ForCompile;
    bool PrivateFolder;
    fs::path Folder;
    std::string HhcName;
    std::string HhkName;
    TBuildReport& Report;

    // Saves one of the run's files; compiler input goes on the temporary
    // list when compiling.
    void Save(const std::string& fileName, const TStringList& lines) const {
        SaveHtmlFile(fileName, lines, Report, !ForCompile, PrivateFolder);
        if (ForCompile)
            Report.TempFiles.push_back(fileName);
    }
};

// Pass 1's page of a topic: the head with its keywords, and its HTML.
TStringList TopicPage(const TBrindlewovenProject& project, const TBrindlewovenTopic& topic,
                      const std::string& charset) {
    TStringList lines = {"<HTML><HEAD>", "\t" + charset,
                         "\t<TITLE>" + HtmlEscape(topic.Title) + "</TITLE>"};
    if (!topic.KKeywords.empty()) {
        lines.push_back("\t<OBJECT TYPE=\"application/x-oleobject\" "
                        "CLASSID=\"clsid:1e2a7bd0-dab9-11d0-b93a-00c04fc99f9e\">");
        for (const auto& part : SplitKeywordParts(topic.KKeywords)) {
            const std::string keyword = IndexKeywordText(part);
            if (!keyword.empty())
                lines.push_back("\t\t<PARAM NAME=\"Keyword\" VALUE=\"" + HtmlEscape(keyword) +
                                "\">");
        }
        lines.push_back("\t</OBJECT>");
    }
    lines.push_back(HtmlAuthorMeta(project));
    lines.push_back(kHtmlGeneratorMeta);
    lines.push_back("</HEAD>");
    lines.push_back(HtmlBodyTag(project));
    RtfToHtml(project, topic, lines, true);
    lines.push_back("</BODY></HTML>");
    return lines;
}

// The contents file (.hhc): a sitemap tree of the contents lines.
TStringList ContentsFileLines(const TBrindlewovenProject& project, const TStringList& targets) {
    TStringList lines = {"<HTML><HEAD>",          "\t" + HtmlCharsetMeta(project),
                         HtmlAuthorMeta(project), kHtmlGeneratorMeta,
                         "<!-- Sitemap 1.0 -->",  "</HEAD>",
                         HtmlBodyTag(project)};
    if (project.HtmlCollapseContents) {
        lines.push_back("<OBJECT type=\"text/site properties\">");
        lines.push_back("\t<param name=\"Window Styles\" value=\"0x800425\">");
        lines.push_back("</OBJECT>");
    }
    AppendContentsTree(lines, BuildHtmlContents(project.ContentsLines, targets),
                       [&lines](const std::string& indent, const THtmlContentsEntry& entry) {
                           lines.push_back(indent + "<LI><OBJECT TYPE=\"text/sitemap\">");
                           lines.push_back(indent + "\t<PARAM NAME=\"Name\" VALUE=\"" + entry.Name +
                                           "\">");
                           if (!entry.Link.empty())
                               lines.push_back(indent + "\t<PARAM NAME=\"Local\" VALUE=\"html/" +
                                               entry.Link + "\">");
                           lines.push_back(indent + "</OBJECT>");
                       });
    lines.push_back("</BODY></HTML>");
    return lines;
}

// The Name and Local pairs of every page of an index item.
void AppendIndexPages(TStringList& lines, const THHKItem& item, const std::string& tabs) {
    for (const auto& pageLine : item.Pages) {
        std::string title, page;
        SplitIndexPage(pageLine, title, page);
        lines.push_back(tabs + "<PARAM NAME=\"Name\" VALUE=\"" + HtmlEscape(title) + "\">");
        lines.push_back(tabs + "<PARAM NAME=\"Local\" VALUE=\"html/" + page + "\">");
    }
}

// The Local line alone of an item with one page.
void AppendIndexLocal(TStringList& lines, const THHKItem& item, const std::string& tabs,
                      bool escape) {
    std::string title, page;
    SplitIndexPage(*item.Pages.begin(), title, page);
    lines.push_back(tabs + "<PARAM NAME=\"Local\" VALUE=\"html/" +
                    (escape ? HtmlEscape(page) : page) + "\">");
}

// What a first-level keyword points at: its own pages, or, without any,
// those of its sub-keywords.
void AppendKeywordTargets(TStringList& lines, const THHKItem& item) {
    if (item.Pages.size() > 1)
        AppendIndexPages(lines, item, "\t");
    else if (item.Pages.size() == 1)
        AppendIndexLocal(lines, item, "\t", true);
    else if (item.SubKeywords.size() == 1 && item.SubKeywords.begin()->second->Pages.size() == 1)
        AppendIndexLocal(lines, *item.SubKeywords.begin()->second, "\t\t", false);
    else
        for (const auto& [subKey, sub] : item.SubKeywords)
            AppendIndexPages(lines, *sub, "\t\t");
}

// The index file (.hhk).
TStringList IndexFileLines(const TBrindlewovenProject& project, const THtmlIndex& index) {
    TStringList lines = {"<HTML><HEAD>",
                         HtmlAuthorMeta(project),
                         kHtmlGeneratorMeta,
                         "<!-- Sitemap 1.0 -->",
                         "</HEAD>",
                         HtmlBodyTag(project),
                         "<OBJECT TYPE=\"text/site properties\">",
                         "</OBJECT>",
                         "<UL>"};
    for (const auto& [key, item] : index) {
        lines.push_back("<LI><OBJECT TYPE=\"text/sitemap\">");
        lines.push_back("\t<PARAM NAME=\"Keyword\" VALUE=\"" + HtmlEscape(item->Keyword) + "\">");
        AppendKeywordTargets(lines, *item);
        lines.push_back("</OBJECT>");
        for (const auto& [subKey, sub] : item->SubKeywords) {
            lines.push_back("<UL>\t<LI><OBJECT TYPE=\"text/sitemap\">");
            lines.push_back("\t\t<PARAM NAME=\"Keyword\" VALUE=\"" + HtmlEscape(sub->Keyword) +
                            "\">");
            if (sub->Pages.size() == 1)
                AppendIndexLocal(lines, *sub, "\t\t", false);
            else
                AppendIndexPages(lines, *sub, "\t\t");
            lines.push_back("\t</OBJECT>");
            lines.push_back("</UL>");
        }
    }
    lines.push_back("</UL>");
    lines.push_back("</BODY></HTML>");
    return lines;
}

// The window style flags of the [WINDOWS] line.
unsigned WindowStyle(const TBrindlewovenProject& project, bool contentsWritten, bool indexWritten) {
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
    return style;
}

// The "main" window of the [WINDOWS] section.
std::string MainWindowLine(const TBrindlewovenProject& project, const THtmlHelpRun& run,
                           bool contentsWritten, bool indexWritten,
                           const std::string& defaultPage) {
    // A double quote would end the window title early.
    std::string windowTitle = project.Title;
    for (char& c : windowTitle)
        if (c == '"')
            c = '\'';
    const std::string contentsField =
        contentsWritten ? "\"" + platform::ExtractFileName(run.HhcName) + "\"," : ",";
    const std::string indexField =
        indexWritten ? "\"" + platform::ExtractFileName(run.HhkName) + "\"" : "";
    const long x = project.WindowX, y = project.WindowY;
    return "main=\"" + windowTitle + "\"," + contentsField + indexField + ",\"html\\" +
           defaultPage + ".htm\",,,,,,0x" +
           platform::HexUpper(WindowStyle(project, contentsWritten, indexWritten)) + ",,0x200e,[" +
           std::to_string(x) + "," + std::to_string(y) + "," +
           std::to_string(x + project.WindowWidth) + "," +
           std::to_string(y + project.WindowHeight) + "],,,,,,,0";
}

// The help project (.hhp).
TStringList ProjectFileLines(const THtmlHelpRun& run, const TBuildSelection& topics,
                             const THtmlPageNames& names, const TStringList& pictureNames,
                             bool contentsWritten, bool indexWritten) {
    const TBrindlewovenProject& project = run.Project;
    const TBrindlewovenTopic* defaultTopic = topics.First();
    const std::string defaultPage =
        defaultTopic ? names.NameOf(defaultTopic->Number) : std::string();
    TStringList lines = {"; " + project.Title, "; " + project.Copyright, "", "[OPTIONS]",
                         "Compatibility=1.1 or later"};
    if (run.ForCompile)
        lines.push_back("Compiled file=" + run.Report.ChmFileName);
    if (contentsWritten)
        lines.push_back("Contents file=" + platform::ExtractFileName(run.HhcName));
    lines.push_back("Default topic=html\\" + defaultPage + ".htm");
    lines.push_back("Default Window=main");
    if (run.ForCompile)
        lines.push_back("Error log file=" + run.Report.ErrorLogFileName);
    if (project.HtmlFullTextSearch)
        lines.push_back("Full-text search=Yes");
    if (indexWritten)
        lines.push_back("Index file=" + platform::ExtractFileName(run.HhkName));
    lines.push_back("Language=" + project.LocaleID);
    lines.push_back("Title=" + project.Title);
    lines.push_back("");
    lines.push_back("[WINDOWS]");
    lines.push_back(MainWindowLine(project, run, contentsWritten, indexWritten, defaultPage));
    lines.push_back("");
    lines.push_back("[FILES]");
    for (const TBrindlewovenTopic* topic : topics.Topics())
        lines.push_back("html\\" + names.NameOf(topic->Number) + ".htm");
    for (const auto& name : pictureNames)
        if (platform::EndsWithNoCase(name, ".swf"))
            lines.push_back("images\\" + name);
    lines.push_back("");
    lines.push_back("[MAP]");
    for (const TBrindlewovenTopic* topic : topics.Topics())
        lines.push_back("#define html\\" + HhpSymbol(names.NameOf(topic->Number)) + " " +
                        std::to_string(topic->Number));
    return lines;
}

// The names a compile needs: the compiled file (beside the help project
// unless the options name one) and the compiler's error log.
void ChooseCompileNames(const THtmlHelpWriteOptions& options, TBuildReport& report) {
    report.ChmFileName = options.ChmFileName.empty()
                             ? platform::ChangeFileExt(options.HhpFileName, ".chm")
                             : options.ChmFileName;
    if (!options.ErrorLogFileName.empty())
        report.ErrorLogFileName = options.ErrorLogFileName;
    else if (options.TempNames)
        report.ErrorLogFileName = options.TempNames->MakeTempFileName();
    else
        report.ErrorLogFileName = platform::ChangeFileExt(options.HhpFileName, ".log");
}

} // namespace

bool TAnsiTextLess::operator()(const std::string& a, const std::string& b) const {
    return platform::AnsiCompareText(a, b) < 0;
}

void AddTopicToIndex(THtmlIndex& index, const std::string& keywords, const std::string& pageLine) {
    for (const auto& part : SplitKeywordParts(keywords)) {
        const auto [first, sub] = SplitIndexKeyword(part);
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

THtmlIndex BuildTopicIndex(const TBuildSelection& topics, const THtmlPageNames& names) {
    THtmlIndex index;
    for (const TBrindlewovenTopic* topic : topics.Topics())
        if (!topic->KKeywords.empty())
            AddTopicToIndex(index, topic->KKeywords,
                            topic->Title + '\x0C' + names.NameOf(topic->Number) + ".htm");
    return index;
}

std::vector<TKeywordTopicCount> KeywordsWithMostTopics(const TBrindlewovenProject& project,
                                                       bool applyBuildTags, std::size_t count) {
    const TBuildSelection topics = TBuildSelection::For(project, applyBuildTags);
    THtmlPageNames names;
    names.Build(project, topics);
    std::vector<TKeywordTopicCount> entries;
    for (const auto& [key, item] : BuildTopicIndex(topics, names)) {
        entries.push_back({item->Keyword, item->Pages.size()});
        for (const auto& [subKey, sub] : item->SubKeywords)
            entries.push_back({item->Keyword + ", " + sub->Keyword, sub->Pages.size()});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TKeywordTopicCount& a, const TKeywordTopicCount& b) {
                         return a.Topics > b.Topics;
                     });
    if (entries.size() > count)
        entries.resize(count);
    return entries;
}

void SplitIndexPage(const std::string& pageLine, std::string& title, std::string& page) {
    const auto ff = pageLine.find('\x0C');
    title = pageLine.substr(0, ff);
    page = ff == std::string::npos ? std::string() : pageLine.substr(ff + 1);
}

std::vector<THtmlContentsEntry> BuildHtmlContents(const TStringList& contentsLines,
                                                  const TStringList& targets) {
    // The targets by their lower-cased IDs, the first line of an ID winning
    // as a search from the top would: one look-up per entry, however many
    // topics and anchors there are.
    std::unordered_map<std::string, std::string_view> byId;
    byId.reserve(targets.size());
    for (const auto& line : targets) {
        const auto eq = line.find('=');
        byId.emplace(platform::AnsiLowerCase(std::string_view(line).substr(0, eq)),
                     eq == std::string::npos ? std::string_view()
                                             : std::string_view(line).substr(eq + 1));
    }
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
            const auto link = byId.find(platform::AnsiLowerCase(id));
            if (link == byId.end())
                continue;
            entry.Link = HtmlEscape(std::string(link->second));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

void AppendContentsTree(TStringList& lines, const std::vector<THtmlContentsEntry>& entries,
                        const THtmlContentsItem& addItem, bool closeItems) {
    lines.push_back("<UL>");
    // Per level from 1: whether an item of that level is open.
    std::vector<bool> itemOpen(1, false);
    std::string indent = "\t";
    auto closeItem = [&] {
        if (closeItems && itemOpen.back())
            lines.push_back(indent + "</LI>");
        itemOpen.back() = false;
    };
    auto closeLevel = [&] {
        closeItem();
        itemOpen.pop_back();
        indent.pop_back();
        lines.push_back(indent + "</UL>");
    };
    for (const auto& entry : entries) {
        while (static_cast<int>(itemOpen.size()) < entry.Level) {
            lines.push_back(indent + "<UL>");
            indent += '\t';
            itemOpen.push_back(false);
        }
        while (static_cast<int>(itemOpen.size()) > entry.Level)
            closeLevel();
        closeItem();
        addItem(indent, entry);
        itemOpen.back() = true;
    }
    while (itemOpen.size() > 1)
        closeLevel();
    closeItem();
    lines.push_back("</UL>");
}

std::string HhpSymbol(const std::string& pageName) {
    std::string symbol = pageName;
    for (char& c : symbol)
        if (c == ' ')
            c = '_';
    return symbol;
}

TBuildReport WriteHtmlHelpProject(const TBrindlewovenProject& project, bool forCompile,
                                  bool applyBuildTags, const THtmlHelpWriteOptions& options) {
    TBuildReport report;
    const fs::path hhp(options.HhpFileName);
    THtmlHelpRun run{project,
                     forCompile,
                     options.PrivateFolder,
                     hhp.has_parent_path() ? hhp.parent_path() : fs::path("."),
                     platform::ChangeFileExt(options.HhpFileName, ".hhc"),
                     platform::ChangeFileExt(options.HhpFileName, ".hhk"),
                     report};
    const TBuildSelection topics = TBuildSelection::For(project, applyBuildTags);
    NoteHtmlTopics(topics, report);
    THtmlPageNames names;
    names.Build(project, topics);
    TExportProgress progress(options.Messenger);

    const THtmlPageJob job{project,
                           topics,
                           names,
                           "Converting WinHelp tags to HTMLHelp tags...",
                           kHtmlExportAborted,
                           true,
                           run.Folder,
                           true,
                           TPictureFormat::FromProject,
                           !forCompile,
                           options.PrivateFolder};
    const std::string charset = HtmlCharsetMeta(project);
    const THtmlPages pages = BuildHtmlPages(
        job, [&](const TBrindlewovenTopic& topic) { return TopicPage(project, topic, charset); },
        progress, report);
    fs::create_directories(run.Folder / "html");
    const TStringList pageFiles = SaveHtmlPages(
        job, pages, [&run](const std::string& file) { return run.Folder / "html" / file; },
        progress, report);
    if (forCompile)
        report.TempFiles = pageFiles;

    const bool contentsWritten = !project.ContentsLines.empty();
    if (contentsWritten)
        run.Save(run.HhcName, ContentsFileLines(project, pages.Targets));
    const THtmlIndex index = BuildTopicIndex(topics, names);
    const bool indexWritten = !index.empty();
    if (indexWritten)
        run.Save(run.HhkName, IndexFileLines(project, index));

    progress.Stage("Writing HTML Help project file...", 0);
    progress.CheckAborted(kHtmlExportAborted);
    if (forCompile)
        ChooseCompileNames(options, report);
    run.Save(options.HhpFileName, ProjectFileLines(run, topics, names, pages.PictureNames,
                                                   contentsWritten, indexWritten));
    return report;
}

} // namespace helpproject
