#include "helpproject/writers/webhelpwriter.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <utility>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/buildselection.h"
#include "helpproject/textstylemacro.h"
#include "helpproject/writers/htmlhelpwriter.h"
#include "helpproject/writers/htmlpages.h"
#include "helpproject/writers/markuphtml.h"
#include "helpproject/writers/rtftohtml.h"
#include "platform/codepage.h"
#include "platform/fileio.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

enum TWebLayout { webSimple = 0, webNavigation = 1, webFrames = 2 };

TFont DefaultTextFont(const TTextStyleList* styles) {
    if (styles)
        if (const TTextStyleMacro* macro = styles->BuiltIn("*TopicText"))
            return macro->Font;
    TFont font;
    font.Color = static_cast<TColor>(0x80000008); // the window-text system colour
    return font;
}

std::string FontTag(const TBrindlewovenProject& project, const TFont& font) {
    return HtmlFontTag(project, font.Name, static_cast<TColorValue>(font.Color),
                       HtmlFontSize(project, font.Size));
}

unsigned FontStyles(const TFont& font) {
    return (font.Bold ? htmlBold : 0u) | (font.Italic ? htmlItalic : 0u) |
           (font.Underline ? htmlUnderline : 0u) | (font.StrikeOut ? htmlStrikeOut : 0u);
}

// "%s" in a label formatted with the title.
std::string FormatTitle(const std::string& format, const std::string& title) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == 's') {
                out += title;
                ++i;
                continue;
            }
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

// On disk the names are UTF-8; in the pages they stay ANSI, which browsers
// turn into the same UTF-8 path.
fs::path DiskName(const fs::path& folder, const std::string& ansiName) {
    return folder / platform::Cp1252ToUtf8(ansiName);
}

// What stands at an output name is replaced only when it is a regular file
// that the export does not read: never the project file or a picture, never
// a folder, FIFO or device. A link is kept and its target written.
class TWebOutputGuard {
public:
    explicit TWebOutputGuard(const TBrindlewovenProject& project) {
        if (!project.FileName.empty())
            AddRead(fs::path(project.FileName), "the project file");
    }
    void AddRead(const fs::path& file, const char* what) {
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0)
            read_.emplace(std::make_pair(st.st_dev, st.st_ino), what);
    }
    // Where to write `file`.
    fs::path Target(const fs::path& file) const {
        fs::path target;
        try {
            target = platform::SaveTargetOf(file);
        } catch (const std::exception& error) {
            throw EWebOutputRefused(error.what()); // a loop of links
        }
        struct stat st {};
        if (::stat(target.c_str(), &st) != 0)
            return target; // nothing there yet
        const auto read = read_.find(std::make_pair(st.st_dev, st.st_ino));
        if (read != read_.end())
            Refuse(file, std::string("that is ") + read->second + ", which the export reads");
        if (!S_ISREG(st.st_mode))
            Refuse(file, "that is not a regular file");
        return target;
    }

private:
    [[noreturn]] static void Refuse(const fs::path& file, const std::string& why) {
        throw EWebOutputRefused("The web help cannot be written to " +
                                platform::Utf8ToCp1252(file.string()) + ": " + why + ".");
    }

    std::map<std::pair<dev_t, ino_t>, const char*> read_;
};

// One web help run: the project, where it goes and how it looks.
struct TWebHelpRun {
    const TBrindlewovenProject& Project;
    const TTextStyleList* Styles;
    int Layout;
    fs::path Output; // the first page: the frameset, or the contents page
    fs::path Folder;
    std::string OutputName; // ANSI
    TFont Font;
    std::string FontTagText;
    std::string Charset;
    // Links from the contents and index pages open in the topic frame.
    std::string LinkTarget() const { return Layout == webFrames ? " TARGET=\"topic\"" : ""; }
};

TWebHelpRun MakeRun(const TBrindlewovenProject& project, const TTextStyleList* styles) {
    const fs::path output = fs::absolute(fs::path(project.WebOutputFile));
    const TFont font = DefaultTextFont(styles);
    return {project,
            styles,
            std::min<int>(project.WebFormat, webFrames),
            output,
            output.parent_path(),
            platform::Utf8ToCp1252(output.filename().string()),
            font,
            FontTag(project, font),
            HtmlCharsetMeta(project)};
}

// The frameset of the frame layout, with a way in for browsers without
// frames.
TStringList FramesetLines(const TWebHelpRun& run, const std::string& contentsTitle,
                          const std::string& firstPage) {
    return {"<HTML><HEAD>",
            "\t" + run.Charset,
            "<TITLE>" + HtmlEscape(contentsTitle) + "</TITLE>",
            HtmlAuthorMeta(run.Project),
            kHtmlGeneratorMeta,
            "</HEAD><FRAMESET COLS=\"*,2*\">",
            "<FRAME NAME=\"cnt\" SRC=\"cnt.htm\">",
            "<FRAME NAME=\"topic\" SRC=\"" + firstPage + ".htm\">",
            "<NOFRAMES><BODY><P>Your browser does not seem to support frames.</P>",
            "<P><A HREF=\"cnt.htm\">Contents</A></P>",
            "<P><A HREF=\"" + firstPage + ".htm\">First page</A></P>",
            "</BODY></NOFRAMES>",
            "</FRAMESET></HTML>"};
}

// The " - Previous" and " - Next" links of a topic in a browse sequence:
// the nearest written topics of its group before and after it.
std::string BrowseLinks(const TWebHelpRun& run, const TBuildSelection& topics,
                        const THtmlPageNames& names, const TBrindlewovenTopic& topic) {
    const auto colon = topic.BrowseSequence.find(':');
    if (colon == std::string::npos)
        return {};
    const std::string group = topic.BrowseSequence.substr(0, colon + 1);
    const std::string own = topic.BrowseSequence.substr(colon + 1);
    const TBrindlewovenTopic* previous = nullptr;
    const TBrindlewovenTopic* next = nullptr;
    std::string previousValue, nextValue;
    const auto& written = topics.Topics();
    for (auto it = written.rbegin(); it != written.rend(); ++it) {
        const TBrindlewovenTopic* other = *it;
        if (other == &topic || other->BrowseSequence.compare(0, group.size(), group) != 0)
            continue;
        const std::string value = other->BrowseSequence.substr(group.size());
        if (value < own && (!previous || value > previousValue))
            previous = other, previousValue = value;
        if (value > own && (!next || value < nextValue))
            next = other, nextValue = value;
    }
    std::string links;
    if (previous)
        links += " - <A HREF=\"" + names.NameOf(previous->Number) + ".htm\">" +
                 run.Project.WebPreviousLabel + "</A>";
    if (next)
        links += " - <A HREF=\"" + names.NameOf(next->Number) + ".htm\">" +
                 run.Project.WebNextLabel + "</A>";
    return links;
}

// The navigation line at the top of a topic page.
std::string TopicNavigation(const TWebHelpRun& run, const TBuildSelection& topics,
                            const THtmlPageNames& names, const TBrindlewovenTopic& topic) {
    const TBrindlewovenProject& project = run.Project;
    std::string nav = "<P>" + run.FontTagText;
    if (run.Layout == webFrames)
        nav += "<A HREF=\"cnt.htm\" TARGET=\"cnt\">" + project.WebContentsLabel +
               "</A> - <A HREF=\"idx.htm\" TARGET=\"cnt\">" + project.WebIndexLabel + "</A>";
    else
        nav += "<A HREF=\"" + run.OutputName + "\">" + project.WebContentsLabel +
               "</A> - <A HREF=\"idx.htm\">" + project.WebIndexLabel + "</A>";
    return nav + BrowseLinks(run, topics, names, topic) + "</FONT></P><HR>";
}

// Pass 1's page of a topic.
TStringList TopicPage(const TWebHelpRun& run, const TBuildSelection& topics,
                      const THtmlPageNames& names, const TBrindlewovenTopic& topic) {
    const TBrindlewovenProject& project = run.Project;
    TStringList lines = {"<HTML><HEAD>", "\t" + run.Charset,
                         "\t<TITLE>" + HtmlEscape(topic.Title) + "</TITLE>"};
    if (!topic.KKeywords.empty())
        lines.push_back("\t<META NAME=\"KEYWORDS\" CONTENT=\"" + HtmlEscape(topic.KKeywords) +
                        "\">");
    lines.push_back(HtmlAuthorMeta(project));
    lines.push_back(kHtmlGeneratorMeta);
    lines.push_back("</HEAD>");
    lines.push_back(HtmlBodyTag(project));
    if (run.Layout != webSimple)
        lines.push_back(TopicNavigation(run, topics, names, topic));
    RtfToHtml(project, topic, lines, project.WebFlag);
    lines.push_back("</BODY></HTML>");
    return lines;
}

// The head of the contents and index pages, with the title in the topic
// text's font; the font stays open for the page's list.
TStringList ListPageTop(const TWebHelpRun& run, const std::string& title) {
    TStringList lines = {"<HTML><HEAD>",
                         "\t" + run.Charset,
                         "<TITLE>" + HtmlEscape(title) + "</TITLE>",
                         HtmlAuthorMeta(run.Project),
                         kHtmlGeneratorMeta,
                         "</HEAD>",
                         HtmlBodyTag(run.Project)};
    if (run.Layout == webFrames)
        lines.push_back(WebHelpNavigationHeader(run.Project, run.Styles));
    lines.push_back("<P>" + run.FontTagText + HtmlStyleOpenTags(FontStyles(run.Font)));
    lines.push_back(HtmlEscape(title));
    lines.push_back(HtmlStyleCloseTags(FontStyles(run.Font)) + "</FONT></P><HR>");
    lines.push_back(run.FontTagText);
    return lines;
}

// The contents page: the contents tree, or without one every written topic.
TStringList ContentsPageLines(const TWebHelpRun& run, const TBuildSelection& topics,
                              const THtmlPageNames& names, const TStringList& targets) {
    const TBrindlewovenProject& project = run.Project;
    TStringList lines = ListPageTop(run, FormatTitle(project.WebContentsTitle, project.Title));
    const std::string target = run.LinkTarget();
    if (!project.ContentsLines.empty()) {
        AppendContentsTree(
            lines, BuildHtmlContents(project.ContentsLines, targets),
            [&](const std::string& indent, const THtmlContentsEntry& entry) {
                if (entry.Link.empty())
                    lines.push_back(indent + "<LI>" + entry.Name);
                else
                    lines.push_back(indent + "<LI><A HREF=\"" + entry.Link + "\"" + target + ">" +
                                    entry.Name + "</A>");
            },
            true);
    } else {
        lines.push_back("<!-- Since you did not use the Brindlewoven Contents Editor to create a "
                        "contents tree,");
        lines.push_back("     the contents page simply lists all the topics. -->");
        for (const TBrindlewovenTopic* topic : topics.Topics())
            lines.push_back("<A HREF=\"" + names.NameOf(topic->Number) + ".htm\"" + target + ">" +
                            HtmlEscape(topic->Title) + "</A><BR>");
    }
    lines.push_back("</FONT></BODY></HTML>");
    return lines;
}

// The index page: every keyword with its pages, sub-keywords nested.
TStringList IndexPageLines(const TWebHelpRun& run, const THtmlIndex& index) {
    const TBrindlewovenProject& project = run.Project;
    TStringList lines = ListPageTop(run, FormatTitle(project.WebIndexTitle, project.Title));
    const std::string target = run.LinkTarget();
    auto pageLinks = [&](const THHKItem& item, const std::string& tabs) {
        for (const auto& pageLine : item.Pages) {
            std::string title, page;
            SplitIndexPage(pageLine, title, page);
            lines.push_back(tabs + "<LI><A HREF=\"" + page + "\"" + target + ">" +
                            HtmlEscape(title) + "</A></LI>");
        }
    };
    lines.push_back("<UL>");
    for (const auto& [key, item] : index) {
        lines.push_back("<LI>" + HtmlEscape(item->Keyword));
        lines.push_back("<UL>");
        pageLinks(*item, "\t");
        for (const auto& [subKey, sub] : item->SubKeywords) {
            lines.push_back("\t<LI>" + HtmlEscape(sub->Keyword));
            lines.push_back("\t<UL>");
            pageLinks(*sub, "\t\t");
            lines.push_back("\t</UL></LI>");
        }
        lines.push_back("</UL></LI>");
    }
    lines.push_back("</UL>");
    lines.push_back("</FONT></BODY></HTML>");
    return lines;
}

} // namespace

std::string WebHelpNavigationHeader(const TBrindlewovenProject& project,
                                    const TTextStyleList* styles) {
    return "<P>" + FontTag(project, DefaultTextFont(styles)) +
           "<A HREF=\"cnt.htm\" TARGET=\"cnt\">" + project.WebContentsLabel +
           "</A> - <A HREF=\"idx.htm\" TARGET=\"cnt\">" + project.WebIndexLabel +
           "</A></FONT></P><HR>";
}

void CheckWebHelpOutput(const TBrindlewovenProject& project) {
    TWebOutputGuard(project).Target(fs::absolute(fs::path(project.WebOutputFile)));
}

TBuildReport ExportWebHelp(const TBrindlewovenProject& project, const TTextStyleList* styles,
                           components::IMessenger* messenger) {
    TBuildReport report;
    const TWebHelpRun run = MakeRun(project, styles);
    TWebOutputGuard guard(project);
    guard.Target(run.Output); // before anything is written
    const TBuildSelection topics = TBuildSelection::For(project, project.WebUseBuildTags);
    NoteHtmlTopics(topics, report);
    // Pages may not take the names of the files this writer makes itself.
    THtmlPageNames names;
    names.Build(project, topics,
                {"cnt", "idx", platform::AnsiLowerCase(fs::path(run.OutputName).stem().string())});
    TExportProgress progress(messenger);
    fs::create_directories(run.Folder);

    const THtmlPageJob job{project,
                           topics,
                           names,
                           "Converting WinHelp tags to HTML tags...",
                           kWebHelpExportAborted,
                           false,
                           run.Folder,
                           false,
                           project.WebGifImages ? TPictureFormat::Gif : TPictureFormat::Png};
    const THtmlPages pages = BuildHtmlPages(
        job, [&](const TBrindlewovenTopic& topic) { return TopicPage(run, topics, names, topic); },
        progress, report);
    // The pictures are read now: no page may land on one.
    for (const std::string& picture : report.FilesRead)
        guard.AddRead(fs::path(picture), "a picture");
    if (run.Layout == webFrames) {
        const TBrindlewovenTopic* first = topics.First();
        SaveHtmlFile(guard.Target(run.Output),
                     FramesetLines(run, FormatTitle(project.WebContentsTitle, project.Title),
                                   first ? names.NameOf(first->Number) : std::string()),
                     report);
    }
    SaveHtmlPages(
        job, pages,
        [&run, &guard](const std::string& file) {
            return guard.Target(DiskName(run.Folder, file));
        },
        progress, report);

    SaveHtmlFile(guard.Target(run.Layout == webFrames ? run.Folder / "cnt.htm" : run.Output),
                 ContentsPageLines(run, topics, names, pages.Targets), report);
    SaveHtmlFile(guard.Target(run.Folder / "idx.htm"),
                 IndexPageLines(run, BuildTopicIndex(topics, names)), report);
    return report;
}

} // namespace helpproject
