#include "helpproject/writers/webhelpwriter.h"

#include <cstdio>
#include <filesystem>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/textstylemacro.h"
#include "helpproject/writers/htmlhelpwriter.h"
#include "helpproject/writers/imageconversion.h"
#include "helpproject/writers/markuphtml.h"
#include "helpproject/writers/rtftohtml.h"
#include "platform/codepage.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

constexpr const char* kGeneratorMeta = "\t<META NAME=\"GENERATOR\" CONTENT=\"Brindlewoven 7.7.6\">";

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

void SaveLines(const fs::path& path, const TStringList& lines) {
    SaveHtmlLines(path.string(), lines);
}

} // namespace

void CheckWebHelpExportAbort(THtmlExportProgress* progress, int value) {
    if (!progress)
        return;
    progress->SetProgress(value);
    if (progress->AbortRequested())
        throw EWebHelpExportAborted();
}

std::string WebHelpNavigationHeader(const TBrindlewovenProject& project,
                                    const TTextStyleList* styles) {
    return "<P>" + FontTag(project, DefaultTextFont(styles)) +
           "<A HREF=\"cnt.htm\" TARGET=\"cnt\">" + project.WebContentsLabel +
           "</A> - <A HREF=\"idx.htm\" TARGET=\"cnt\">" + project.WebIndexLabel +
           "</A></FONT><HR></P>";
}

void ExportWebHelp(TBrindlewovenProject& project, const TTextStyleList* styles,
                   THtmlExportProgress* progress) {
    const int layout = project.WebFormat > 2 ? 2 : project.WebFormat;
    const fs::path output = fs::absolute(fs::path(project.WebOutputFile));
    const fs::path folder = output.parent_path();
    const std::string outputName = platform::Utf8ToCp1252(output.filename().string());
    project.MissingImages.clear();
    project.BrokenLinks.clear();

    TBrindlewovenTopic* first = nullptr;
    if (project.WebUseBuildTags) {
        project.FilterTopicsByBuildTags();
        first = project.FirstTopic;
    } else {
        for (auto& topic : project.Topics())
            topic->Included = true;
        first = project.Topics().empty() ? nullptr : project.Topics().front().get();
    }
    // Pages may not take the names of the files this writer makes itself.
    THtmlPageNames names;
    names.Build(project, true,
                {"cnt", "idx", platform::AnsiLowerCase(fs::path(outputName).stem().string())});
    const int count = project.TopicCount();
    const bool popupsAsScript = !project.HtmlPopupsAsLinks;
    const TFont font = DefaultTextFont(styles);
    const std::string fontTag = FontTag(project, font);
    const std::string charset = HtmlCharsetMeta(project);
    const std::string author =
        "\t<META NAME=\"AUTHOR\" CONTENT=\"" + HtmlEscape(project.Copyright) + "\">";
    const std::string contentsTitle = FormatTitle(project.WebContentsTitle, project.Title);
    const std::string indexTitle = FormatTitle(project.WebIndexTitle, project.Title);
    const std::string firstPage = first ? names.NameOf(first->Number) : std::string();
    fs::create_directories(folder);

    if (layout == 2) {
        SaveLines(output,
                  {"<HTML><HEAD>", "\t" + charset,
                   "<TITLE>" + HtmlEscape(contentsTitle) + "</TITLE>", author, kGeneratorMeta,
                   "</HEAD><FRAMESET COLS=\"*,2*\">", "<FRAME NAME=\"cnt\" SRC=\"cnt.htm\">",
                   "<FRAME NAME=\"topic\" SRC=\"" + firstPage + ".htm\">", "</FRAMESET>",
                   "<NOFRAMES><P>Your browser does not seem to support frames.</P>",
                   "<P><A HREF=\"cnt.htm\">Contents</A></P>",
                   "<P><A HREF=\"" + firstPage + ".htm\">First page</A></P>",
                   "</NOFRAMES></HTML>"});
    }

    // Pass 1: pages.
    if (progress)
        progress->Start("Converting topics from RTF to HTML...", count - 1);
    TStringList targets;
    std::vector<std::string> pages(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CheckWebHelpExportAbort(progress, i);
        TBrindlewovenTopic& topic = *project.Topics()[static_cast<std::size_t>(i)];
        if (!topic.Included)
            continue;
        targets.push_back(platform::AnsiLowerCase(topic.TopicID) + "=" +
                          names.NameOf(topic.Number) + ".htm");
        TStringList lines = {"<HTML><HEAD>", "\t" + charset,
                             "\t<TITLE>" + HtmlEscape(topic.Title) + "</TITLE>"};
        if (!topic.KKeywords.empty())
            lines.push_back("\t<META NAME=\"KEYWORDS\" CONTENT=\"" + HtmlEscape(topic.KKeywords) +
                            "\">");
        lines.push_back(author);
        lines.push_back(kGeneratorMeta);
        lines.push_back("</HEAD>");
        lines.push_back(HtmlBodyTag(project));
        if (layout >= 1) {
            std::string nav = "<P>" + fontTag;
            if (layout == 2)
                nav += "<A HREF=\"cnt.htm\" TARGET=\"cnt\">" + project.WebContentsLabel +
                       "</A> - <A HREF=\"idx.htm\" TARGET=\"cnt\">" + project.WebIndexLabel +
                       "</A>";
            else
                nav += "<A HREF=\"" + outputName + "\">" + project.WebContentsLabel +
                       "</A> - <A HREF=\"idx.htm\">" + project.WebIndexLabel + "</A>";
            const auto colon = topic.BrowseSequence.find(':');
            if (colon != std::string::npos) {
                const std::string group = topic.BrowseSequence.substr(0, colon + 1);
                const std::string own = topic.BrowseSequence.substr(colon + 1);
                TBrindlewovenTopic* previous = nullptr;
                TBrindlewovenTopic* next = nullptr;
                std::string previousValue, nextValue;
                for (auto it = project.Topics().rbegin(); it != project.Topics().rend(); ++it) {
                    TBrindlewovenTopic* other = it->get();
                    if (other == &topic || !other->Included ||
                        other->BrowseSequence.compare(0, group.size(), group) != 0)
                        continue;
                    const std::string value = other->BrowseSequence.substr(group.size());
                    if (value < own && (!previous || value > previousValue))
                        previous = other, previousValue = value;
                    if (value > own && (!next || value < nextValue))
                        next = other, nextValue = value;
                }
                if (previous)
                    nav += " - <A HREF=\"" + names.NameOf(previous->Number) + ".htm\">" +
                           project.WebPreviousLabel + "</A>";
                if (next)
                    nav += " - <A HREF=\"" + names.NameOf(next->Number) + ".htm\">" +
                           project.WebNextLabel + "</A>";
            }
            nav += "</FONT><HR></P>";
            lines.push_back(nav);
        }
        RtfToHtml(project, topic, lines, project.WebFlag);
        lines.push_back("</BODY></HTML>");
        pages[static_cast<std::size_t>(i)] = JoinHtmlLines(lines);
    }

    // Pass 2.
    if (progress)
        progress->Start("Converting WinHelp tags to HTML tags...", count - 1);
    TStringList pictureNames;
    for (int i = 0; i < count; ++i) {
        CheckWebHelpExportAbort(progress, i);
        TBrindlewovenTopic& topic = *project.Topics()[static_cast<std::size_t>(i)];
        if (!topic.Included)
            continue;
        std::string& text = pages[static_cast<std::size_t>(i)];
        ConvertTargetCodes(project, text, names.NameOf(topic.Number), &targets);
        CollectHtmlPictureNames(text, pictureNames);
    }
    TStringList pictures;
    ConvertImagesForHtml(project, pictureNames, pictures, popupsAsScript, false, folder, &targets,
                         progress,
                         project.WebGifImages ? TPictureFormat::Gif : TPictureFormat::Png);

    // Pass 3.
    if (progress)
        progress->Start("Converting WinHelp tags to HTML tags...\r(second pass)", count - 1);
    std::vector<TStringList> pageLines(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CheckHtmlExportAbort(progress, i);
        TBrindlewovenTopic& topic = *project.Topics()[static_cast<std::size_t>(i)];
        if (!topic.Included)
            continue;
        pageLines[static_cast<std::size_t>(i)] =
            ConvertPageLinksAndPictures(project, topic, pages[static_cast<std::size_t>(i)], names,
                                        targets, pictures, popupsAsScript, false);
    }

    if (progress)
        progress->Start("Saving HTML topic files...", count - 1);
    for (int i = 0; i < count; ++i) {
        TBrindlewovenTopic& topic = *project.Topics()[static_cast<std::size_t>(i)];
        if (topic.Included)
            SaveLines(DiskName(folder, names.NameOf(topic.Number) + ".htm"),
                      pageLines[static_cast<std::size_t>(i)]);
    }

    const std::string target = layout == 2 ? " TARGET=\"topic\"" : "";
    auto head = [&](const std::string& title, const std::string& authorLine) {
        TStringList lines = {
            "<HTML><HEAD>",      "\t" + charset, "<TITLE>" + HtmlEscape(title) + "</TITLE>",
            authorLine,          kGeneratorMeta, "</HEAD>",
            HtmlBodyTag(project)};
        if (layout == 2)
            lines.push_back(WebHelpNavigationHeader(project, styles));
        lines.push_back("<P>" + fontTag + HtmlStyleOpenTags(FontStyles(font)));
        lines.push_back(HtmlEscape(title));
        lines.push_back(HtmlStyleCloseTags(FontStyles(font)) + "</FONT><HR></P>");
        lines.push_back(fontTag);
        return lines;
    };

    // Contents page.
    {
        TStringList lines = head(contentsTitle, author);
        if (!project.ContentsLines.empty()) {
            int level = 1;
            std::string indent = "\t";
            lines.push_back("<UL>");
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
                if (entry.Link.empty())
                    lines.push_back(indent + "<LI>" + entry.Name);
                else
                    lines.push_back(indent + "<LI><A HREF=\"" + entry.Link + "\"" + target + ">" +
                                    entry.Name + "</A>");
            }
            while (level > 1) {
                indent.pop_back();
                lines.push_back(indent + "</UL>");
                --level;
            }
            lines.push_back("</UL>");
        } else {
            lines.push_back(
                "<!-- Since you did not use the Brindlewoven Contents Editor to create a "
                "contents tree,");
            lines.push_back("     the contents page simply lists all the topics. -->");
            for (auto& topic : project.Topics())
                if (topic->Included)
                    lines.push_back("<A HREF=\"" + names.NameOf(topic->Number) + ".htm\"" + target +
                                    ">" + HtmlEscape(topic->Title) + "</A><BR>");
        }
        lines.push_back("</FONT></BODY></HTML>");
        SaveLines(layout == 2 ? folder / "cnt.htm" : output, lines);
    }

    // Index page.
    {
        THtmlIndex index;
        for (auto& topic : project.Topics())
            if (topic->Included && !topic->KKeywords.empty())
                AddTopicToIndex(index, topic->KKeywords,
                                topic->Title + '\x0C' + names.NameOf(topic->Number) + ".htm");
        TStringList lines = head(indexTitle, "\t<META NAME=\"AUTHOR\" CONTENT=\"" +
                                                 HtmlEscape(project.Copyright) + "\">");
        lines.push_back("<UL>");
        auto pageLinks = [&](const THHKItem& item, const std::string& tabs) {
            for (const auto& pageLine : item.Pages) {
                std::string title, page;
                SplitIndexPage(pageLine, title, page);
                lines.push_back(tabs + "<LI><A HREF=\"" + page + "\"" + target + ">" +
                                HtmlEscape(title) + "</A>");
            }
        };
        for (const auto& [key, item] : index) {
            lines.push_back("<LI>" + HtmlEscape(item->Keyword));
            lines.push_back("<UL>");
            pageLinks(*item, "\t");
            for (const auto& [subKey, sub] : item->SubKeywords) {
                lines.push_back("\t<LI>" + HtmlEscape(sub->Keyword));
                lines.push_back("\t<UL>");
                pageLinks(*sub, "\t\t");
                lines.push_back("\t</UL>");
            }
            lines.push_back("</UL>");
        }
        lines.push_back("</UL>");
        lines.push_back("</FONT></BODY></HTML>");
        SaveLines(folder / "idx.htm", lines);
    }
}

} // namespace helpproject
