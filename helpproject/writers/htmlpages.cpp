#include "helpproject/writers/htmlpages.h"

#include "components/messengerseam.h"
#include "components/rtf/rtferror.h"
#include "helpproject/brindlewovenerror.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/buildselection.h"
#include "helpproject/writers/markuphtml.h"
#include "helpproject/writers/rtftohtml.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/fileio.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

// Calls `step` for every written topic with its position. With an abort
// message the user's abort is checked before each topic, written or not.
template <typename Step>
void ForEachWrittenTopic(const THtmlPageJob& job, const TExportProgress& progress,
                         const char* abortMessage, Step step) {
    const TTopicOwnerList& topics = job.Project.Topics();
    for (std::size_t i = 0; i < topics.size(); ++i) {
        if (abortMessage)
            progress.Check(static_cast<std::int64_t>(i), abortMessage);
        if (job.Topics.Includes(*topics[i]))
            step(i, *topics[i]);
    }
}

} // namespace

std::string HtmlAuthorMeta(const TBrindlewovenProject& project) {
    return "\t<META NAME=\"AUTHOR\" CONTENT=\"" + HtmlEscape(project.Copyright) + "\">";
}

TExportProgress::~TExportProgress() {
    if (messenger_ && shown_)
        messenger_->EndProgress();
}

void TExportProgress::Stage(const std::string& text, std::int64_t maximum) {
    if (!messenger_)
        return;
    messenger_->BeginProgress(text, maximum);
    shown_ = true;
}

void TExportProgress::Check(std::int64_t position, const std::string& abortMessage) const {
    components::CheckAbort(messenger_, position, abortMessage);
}

void TExportProgress::CheckAborted(const std::string& abortMessage) const {
    if (messenger_ && messenger_->AbortRequested())
        throw components::EAbort(abortMessage);
}

THtmlPages BuildHtmlPages(const THtmlPageJob& job, const THtmlPageBuilder& buildPage,
                          TExportProgress& progress, TBuildReport& report) {
    const TBrindlewovenProject& project = job.Project;
    const std::int32_t count = project.TopicCount();
    const bool popupsAsScript = !project.HtmlPopupsAsLinks;
    THtmlPages pages;
    pages.Lines.resize(static_cast<std::size_t>(count));
    std::vector<std::string> texts(static_cast<std::size_t>(count));

    progress.Stage(kRtfToHtmlStage, count - 1);
    ForEachWrittenTopic(job, progress, job.PageAbortMessage.c_str(),
                        [&](std::size_t i, const TBrindlewovenTopic& topic) {
                            pages.Targets.push_back(platform::AnsiLowerCase(topic.HtmlTopicID()) +
                                                    "=" + job.Names.NameOf(topic.Number) + ".htm");
                            try {
                                texts[i] = JoinHtmlLines(buildPage(topic));
                            } catch (const rtf::ERtfError& error) {
                                // Text the RTF engine refuses: say whose.
                                throw EBrindlewoven("Topic " + HtmlTopicLabel(topic) + ": " +
                                                        error.what(),
                                                    topic.Number);
                            }
                        });

    progress.Stage(job.TagPassText, count - 1);
    ForEachWrittenTopic(job, progress, job.PageAbortMessage.c_str(),
                        [&](std::size_t i, const TBrindlewovenTopic& topic) {
                            ConvertTargetCodes(project, texts[i], job.Names.NameOf(topic.Number),
                                               &pages.Targets);
                            CollectHtmlPictureNames(texts[i], pages.PictureNames);
                        });
    TStringList pictures;
    ConvertImagesForHtml(project, report, pages.PictureNames, pictures, popupsAsScript,
                         job.ImagesSubfolder, job.OutputFolder, &pages.Targets,
                         progress.Messenger(), job.PictureFormat);

    progress.Stage(job.TagPassText + "\r(second pass)", count - 1);
    ForEachWrittenTopic(job, progress, kHtmlExportAborted,
                        [&](std::size_t i, const TBrindlewovenTopic& topic) {
                            pages.Lines[i] = ConvertPageLinksAndPictures(
                                project, report.BrokenLinks, topic, texts[i], job.Names,
                                pages.Targets, pictures, popupsAsScript, job.HtmlHelpForm);
                        });
    return pages;
}

TStringList SaveHtmlPages(const THtmlPageJob& job, const THtmlPages& pages,
                          const std::function<fs::path(const std::string& pageFile)>& pathOf,
                          TExportProgress& progress, TBuildReport& report) {
    progress.Stage(kSavingPagesStage, job.Project.TopicCount() - 1);
    TStringList files;
    ForEachWrittenTopic(
        job, progress, nullptr, [&](std::size_t i, const TBrindlewovenTopic& topic) {
            const fs::path path = pathOf(job.Names.NameOf(topic.Number) + ".htm");
            try {
                SaveHtmlFile(path, pages.Lines[i], report, job.SyncFiles, job.PrivateFolder);
            } catch (const platform::PlatformError& error) {
                // The message names the topic whose page it is.
                throw EBrindlewoven("The page of topic " + HtmlTopicLabel(topic) +
                                        " cannot be saved: " + error.what(),
                                    topic.Number);
            }
            files.push_back(path.string());
        });
    return files;
}

void SaveHtmlFile(const fs::path& path, const TStringList& lines, TBuildReport& report, bool sync,
                  bool privateFolder) {
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    if (!privateFolder || !platform::WriteNewFile(path, bytes)) {
        platform::AtomicFileWriter writer(path);
        writer.SetSync(sync);
        writer.Write(bytes);
        writer.Commit();
    }
    report.FilesWritten.push_back(path.string());
}

void NoteHtmlTopics(const TBuildSelection& topics, TBuildReport& report) {
    report.IncludedTopics = topics.Numbers();
    for (const TBrindlewovenTopic* topic : topics.Topics())
        if (topic->HtmlTopicID() != topic->TopicID)
            report.AutomaticIDs.push_back(topic->Number);
}

} // namespace helpproject
