#include "helpproject/writers/htmlmanual.h"

#include <filesystem>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/writers/htmlhelpwriter.h"
#include "helpproject/writers/imageconversion.h"
#include "helpproject/writers/markuphtml.h"
#include "helpproject/writers/rtftohtml.h"
#include "platform/codepage.h"

namespace helpproject {

namespace fs = std::filesystem;

void ExportHtmlManual(TBrindlewovenProject& project, const std::string& fileName, bool noLinks,
                      THtmlExportProgress* progress) {
    project.FilterTopicsByBuildTags();
    project.MissingImages.clear();
    project.BrokenLinks.clear();
    THtmlPageNames names;
    names.Build(project, true);
    const int count = static_cast<int>(project.SortedTopics().size());
    if (progress)
        progress->Start("Converting topics from RTF to HTML...", count - 1);
    TStringList lines = {
        "<HTML><HEAD>",
        "\t" + HtmlCharsetMeta(project),
        "\t<TITLE>" + HtmlEscape(project.Title) + "</TITLE>",
        "\t<META NAME=\"AUTHOR\" CONTENT=\"" + HtmlEscape(project.Copyright) + "\">",
        std::string("\t<META NAME=\"GENERATOR\" CONTENT=\"Brindlewoven 7.7.6 from ") +
            kMakerWebSite + "\">",
        "</HEAD>",
        HtmlBodyTag(project)};
    TStringList targets;
    for (int i = 0; i < count; ++i) {
        CheckHtmlExportAbort(progress, i);
        TBrindlewovenTopic& topic = *project.SortedTopics()[static_cast<std::size_t>(i)];
        if (!topic.Included)
            continue;
        const std::string page = names.NameOf(topic.Number);
        targets.push_back(platform::AnsiLowerCase(topic.TopicID) + "=#" + page);
        lines.push_back("<A NAME=\"" + page + "\"></A>");
        RtfToHtml(project, topic, lines, false);
        lines.push_back("<BR><BR><BR>");
    }
    lines.push_back("</BODY></HTML>");
    std::string text = JoinHtmlLines(lines);
    lines.clear();

    if (progress)
        progress->Start("Converting WinHelp tags to HTMLHelp tags...", 3);
    bool popup = false;
    ConvertLinkIdCodes(project, "", text, popup, false, true, noLinks, &names);
    CheckHtmlExportAbort(progress, 0);
    ConvertTargetCodes(project, text, "", &targets);
    CheckHtmlExportAbort(progress, 1);
    TStringList pictureNames;
    CollectHtmlPictureNames(text, pictureNames);
    CheckHtmlExportAbort(progress, 2);
    TStringList pictures;
    const fs::path target = fs::absolute(fs::path(fileName));
    ConvertImagesForHtml(project, pictureNames, pictures, false, false, target.parent_path(),
                         noLinks ? nullptr : &targets, progress);
    CheckHtmlExportAbort(progress, 3);

    if (progress)
        progress->Start("Converting WinHelp tags to HTMLHelp tags...\r(second pass)", 5);
    ConvertLinkCodes(project, "", text, noLinks, &targets);
    CheckHtmlExportAbort(progress, 0);
    ConvertLinkTargetCodes(project, "", text, noLinks, &targets);
    CheckHtmlExportAbort(progress, 1);
    ConvertLinkFileCodes(project, text, noLinks, false);
    CheckHtmlExportAbort(progress, 2);
    ConvertButtonCodes(project, "", text, false, true, noLinks, &names);
    CheckHtmlExportAbort(progress, 3);
    InsertImageCodes(project, text, pictures, popup);
    CheckHtmlExportAbort(progress, 4);
    text = RemoveEmptyFontTags(project, text);
    CheckHtmlExportAbort(progress, 5);

    if (progress)
        progress->Start("Saving HTML file...", 0);
    SaveHtmlLines(fileName, SplitHtmlLines(text));
}

} // namespace helpproject
