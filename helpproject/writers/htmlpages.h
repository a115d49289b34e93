#pragma once
// The page pipeline of the multi-page HTML outputs, HTML Help and web help.
// Pass 1 makes every written topic's page (the writer's own head and the
// topic's HTML) and the target list; pass 2 turns anchors into targets and
// collects the pictures, which are then converted; pass 3 translates links,
// buttons and pictures. The writers then save the pages and add their own
// files around them.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "helpproject/brindlewoventopic.h"
#include "helpproject/build/buildreport.h"
#include "helpproject/images/imageconversion.h"

namespace components {
class IMessenger;
}

namespace helpproject {

class TBrindlewovenProject;
class TBuildSelection;
class THtmlPageNames;

inline constexpr const char* kHtmlGeneratorMeta =
    "\t<META NAME=\"GENERATOR\" CONTENT=\"Brindlewoven 7.7.6\">";
inline constexpr const char* kRtfToHtmlStage = "Converting topics from RTF to HTML...";
inline constexpr const char* kSavingPagesStage = "Saving HTML topic files...";

// The AUTHOR META line with the project's copyright.
std::string HtmlAuthorMeta(const TBrindlewovenProject& project);

// The messenger's gauge through one export: each stage shows its text with
// the gauge from 0 to its maximum, and the gauge closes when the export
// ends, however it ends. Without a messenger nothing shows and nothing
// aborts.
class TExportProgress {
public:
    explicit TExportProgress(components::IMessenger* messenger) : messenger_(messenger) {}
    ~TExportProgress();
    TExportProgress(const TExportProgress&) = delete;
    TExportProgress& operator=(const TExportProgress&) = delete;

    void Stage(const std::string& text, std::int64_t maximum);
    // Moves the gauge, lets pending events through and throws
    // components::EAbort(`abortMessage`) when the user asked to stop.
    void Check(std::int64_t position, const std::string& abortMessage) const;
    // The abort test alone, the gauge left where it is.
    void CheckAborted(const std::string& abortMessage) const;
    components::IMessenger* Messenger() const { return messenger_; }

private:
    components::IMessenger* messenger_;
    bool shown_ = false;
};

// What the two writers do differently in the passes.
struct THtmlPageJob {
    const TBrindlewovenProject& Project;
    const TBuildSelection& Topics;
    const THtmlPageNames& Names;
    // The gauge text of the tag passes; the third adds "\r(second pass)".
    std::string TagPassText;
    // What the user's abort ends the first two passes with; the third ends
    // with kHtmlExportAborted in both writers.
    std::string PageAbortMessage;
    // HTML Help's OBJECT buttons and shortcuts, else FORM buttons and plain
    // anchors.
    bool HtmlHelpForm = true;
    // Where and how the pictures go (ConvertImagesForHtml).
    std::filesystem::path OutputFolder;
    bool ImagesSubfolder = true;
    TPictureFormat PictureFormat = TPictureFormat::FromProject;
    // False for compiler input (see SaveHtmlFile).
    bool SyncFiles = true;
    // The output folder is a make's private temporary folder (see
    // SaveHtmlFile).
    bool PrivateFolder = false;
};

// A page's lines before the tag passes.
using THtmlPageBuilder = std::function<TStringList(const TBrindlewovenTopic& topic)>;

struct THtmlPages {
    // By topic position in number order; empty for the topics not written.
    std::vector<TStringList> Lines;
    TStringList Targets;
    TStringList PictureNames;
};

// The three passes. Pictures are written into the job's output folder;
// broken links, missing pictures and picture files go to the report.
THtmlPages BuildHtmlPages(const THtmlPageJob& job, const THtmlPageBuilder& buildPage,
                          TExportProgress& progress, TBuildReport& report);

// Saves every written page at pathOf(page name + ".htm"); returns the files
// in topic order.
TStringList
SaveHtmlPages(const THtmlPageJob& job, const THtmlPages& pages,
              const std::function<std::filesystem::path(const std::string& pageFile)>& pathOf,
              TExportProgress& progress, TBuildReport& report);

// Saves lines as CR LF text through a temporary file and notes the file as
// written. `sync` false skips the flush to disk: for compiler input that is
// read at once and then deleted, where a crash loses nothing worth keeping.
// `privateFolder`: the file goes into a folder only this make writes, so a
// new file is written once under its final name (platform::WriteNewFile);
// one that exists is still replaced through a temporary file.
void SaveHtmlFile(const std::filesystem::path& path, const TStringList& lines, TBuildReport& report,
                  bool sync = true, bool privateFolder = false);

// Notes the written topics of an HTML output in the report, with the ones
// whose ID names no page and so take the automatic one.
void NoteHtmlTopics(const TBuildSelection& topics, TBuildReport& report);

} // namespace helpproject
