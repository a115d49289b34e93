#include "helpproject/writers/htmlmanual.h"

#include <filesystem>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/buildselection.h"
#include "helpproject/images/imageconversion.h"
#include "helpproject/writers/htmlpages.h"
#include "helpproject/writers/markuphtml.h"
#include "helpproject/writers/rtftohtml.h"
#include "platform/codepage.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

constexpr const char* kManualTagPass = "Converting WinHelp tags to HTMLHelp tags...";

// The page: every written topic at its anchor, in the grid's order; the
// targets of the topics come back in `targets`.
std::string ManualPage(const TBrindlewovenProject& project, const TBuildSelection& topics,
                       const THtmlPageNames& names, TStringList& targets,
                       TExportProgress& progress) {
    const std::int32_t count = project.TopicCount();
    progress.Stage(kRtfToHtmlStage, count - 1);
    TStringList lines = {
        "<HTML><HEAD>",
        "\t" + HtmlCharsetMeta(project),
        "\t<TITLE>" + HtmlEscape(project.Title) + "</TITLE>",
        HtmlAuthorMeta(project),
        std::string("\t<META NAME=\"GENERATOR\" CONTENT=\"Brindlewoven 7.7.6 from ") +
            kMakerWebSite + "\">",
        "</HEAD>",
        HtmlBodyTag(project)};
    for (std::int32_t i = 0; i < count; ++i) {
        progress.Check(i, kHtmlExportAborted);
        const TBrindlewovenTopic& topic = *project.SortedTopics()[static_cast<std::size_t>(i)];
        if (!topics.Includes(topic))
            continue;
        const std::string page = names.NameOf(topic.Number);
        targets.push_back(platform::AnsiLowerCase(topic.HtmlTopicID()) + "=#" + page);
        lines.push_back("<A NAME=\"" + page + "\"></A>");
        RtfToHtml(project, topic, lines, false);
        lines.push_back("<BR><BR><BR>");
    }
    lines.push_back("</BODY></HTML>");
    return JoinHtmlLines(lines);
}

} // namespace

void UseManualFontSizes(TBrindlewovenProject& project) {
    if (!project.HtmlScaleFontSizes)
        return;
    project.HtmlScaleFontSizes = false;
    for (const auto& topic : project.Topics())
        topic->ClearHtmlCaches();
}

TBuildReport ExportHtmlManual(const TBrindlewovenProject& project, const std::string& fileName,
                              bool noLinks, components::IMessenger* messenger) {
    TBuildReport report;
    const TBuildSelection topics = TBuildSelection::ForBuild(project);
    NoteHtmlTopics(topics, report);
    THtmlPageNames names;
    names.Build(project, topics);
    TExportProgress progress(messenger);
    TStringList targets;
    std::string text = ManualPage(project, topics, names, targets, progress);

    progress.Stage(kManualTagPass, 3);
    bool popup = false;
    ConvertLinkIdCodes(project, report.BrokenLinks, "", text, popup, false, true, noLinks, &names);
    progress.Check(0, kHtmlExportAborted);
    ConvertTargetCodes(project, text, "", &targets);
    progress.Check(1, kHtmlExportAborted);
    TStringList pictureNames;
    CollectHtmlPictureNames(text, pictureNames);
    progress.Check(2, kHtmlExportAborted);
    TStringList pictures;
    const fs::path target = fs::absolute(fs::path(fileName));
    ConvertImagesForHtml(project, report, pictureNames, pictures, false, false,
                         target.parent_path(), noLinks ? nullptr : &targets, messenger);
    progress.Check(3, kHtmlExportAborted);

    progress.Stage(std::string(kManualTagPass) + "\r(second pass)", 5);
    ConvertLinkCodes(project, report.BrokenLinks, "", text, noLinks, &targets);
    progress.Check(0, kHtmlExportAborted);
    ConvertLinkTargetCodes(project, report.BrokenLinks, "", text, noLinks, &targets);
    progress.Check(1, kHtmlExportAborted);
    ConvertLinkFileCodes(project, text, noLinks, false);
    progress.Check(2, kHtmlExportAborted);
    ConvertButtonCodes(project, report.BrokenLinks, "", text, false, true, noLinks, &names);
    progress.Check(3, kHtmlExportAborted);
    InsertImageCodes(project, text, pictures, popup);
    progress.Check(4, kHtmlExportAborted);
    text = RemoveEmptyFontTags(project, text);
    progress.Check(5, kHtmlExportAborted);

    progress.Stage("Saving HTML file...", 0);
    SaveHtmlFile(fileName, SplitHtmlLines(text), report);
    return report;
}

} // namespace helpproject
