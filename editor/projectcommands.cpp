#include "editor/projectcommands.h"

#include <filesystem>

#include "editor/defaulttextstyles.h"
#include "helpproject/import/winhelpimport.h"
#include "helpproject/textstylemacro.h"
#include "helpproject/writers/htmlhelpwriter.h"
#include "helpproject/writers/htmlmanual.h"
#include "helpproject/writers/rtfmanual.h"
#include "helpproject/writers/webhelpwriter.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/pathnames.h"
#include "platform/textutil.h"

namespace editor {

using components::IMessenger;
using components::TMessageButton;
using components::TQuestion;
using helpproject::TBrindlewovenProject;

namespace {

constexpr const char* kProjectFilter = "Brindlewoven projects (*.bwv)|*.bwv|All files|*.*";

TQuestion SavePrompt() {
    TQuestion q;
    q.Kind = components::TMessageKind::Warning;
    q.Caption = "If you do not save your project, you will lose all your changes";
    q.Text = "Project has been modified!\rDo you wish to save your changes?";
    q.Buttons = {{"&Yes: Save!", components::mrYes, true, false},
                 {"&No: Don't save", components::mrNo, false, false},
                 {"&Cancel action", components::mrCancel, false, true}};
    return q;
}

bool FileExists(const std::string& fileName) {
    std::error_code ec;
    return std::filesystem::is_regular_file(fileName, ec);
}

} // namespace

TFileDialogSpec OpenProjectDialog() {
    return {"Load Brindlewoven Project", "bwv", kProjectFilter, "", true, false};
}
TFileDialogSpec SaveProjectDialog(const std::string& fileName) {
    return {"Save Brindlewoven project", "bwv", kProjectFilter, fileName, false, true};
}
TFileDialogSpec FlatManualDialog() {
    return {"Save flat manual in HTML or RTF format",
            "htm",
            "HTML (*.html)|*.htm;*.html|Rich Text Format (*.rtf)|*.rtf",
            "",
            false,
            true};
}
TFileDialogSpec ImportDialog() {
    return {"Import Help Project", "hpj", "Help Projects (*.hpj)|*.hpj", "", true, false};
}
TFileDialogSpec ExportHpjRtfDialog() {
    return {"Export to HPJ and RTF", "rtf", "Rich Text Format (*.rtf)|*.rtf", "", false, true};
}
TFileDialogSpec ExportHtmlHelpDialog() {
    return {"Export to HTML Help", "hhp", "HTML Help Project (*.hhp)|*.hhp", "", false, true};
}
TFileDialogSpec PascalUnitDialog() {
    return {"Open Delphi unit", "pas", "Delphi unit (*.pas)|*.pas|All files|*.*", "", true, false};
}

std::string ProjectCaption(const std::string& title) {
    return title.empty() ? std::string("Brindlewoven") : "Brindlewoven - " + title;
}

std::int32_t NextThousandAbove(const TBrindlewovenProject& project) {
    const auto& topics = project.Topics();
    const std::int32_t last = topics.empty() ? 0 : topics.back()->Number;
    return (last / 1000 + 1) * 1000;
}

TProjectCommands::TProjectCommands(helpproject::TEditingSession& session, IMessenger& messenger,
                                   IProjectCommandHost& host, helpproject::TTextStyleList* styles)
    : session_(session), messenger_(messenger), host_(host), styles_(styles) {}

bool TProjectCommands::ConfirmDropProject() {
    if (!session_.Modified())
        return true;
    TQuestion prompt = SavePrompt();
    switch (messenger_.Ask(prompt)) {
    case components::mrYes:
        // A Save As cancelled here ends the command silently.
        return Save(true);
    case components::mrNo:
        return true;
    default:
        return false;
    }
}

void TProjectCommands::NewProject() {
    if (!ConfirmDropProject())
        return;
    session_.NewProject();
    saveDialogName_.clear();
    if (styles_) {
        // A new project starts from the built-in styles, not the last one's.
        styles_->Clear();
        AddDefaultTextStyles(*styles_, false);
    }
    // The window's views leave the old project before anything else runs.
    host_.ProjectReplaced();
    host_.HelpFileKindChanged(0);
    host_.ShowNewProjectTopic();
}

void TProjectCommands::OpenProject(const std::string& fileName) {
    session_.OpenProject(fileName, styles_);
    InstallLoadedProject(fileName);
}

void TProjectCommands::InstallLoadedProject(const std::string& fileName) {
    // The window's views leave the old project before anything else runs.
    host_.ProjectReplaced();
    host_.HelpFileKindChanged(session_.Project().HelpFileKind);
    host_.ShowTopic();
    session_.SetModified(false);
    saveDialogName_ = fileName;
    host_.AddRecentFile(fileName);
}

void TProjectCommands::ProjectOpen() {
    host_.StoreTopic();
    if (!ConfirmDropProject())
        return;
    if (const auto file = host_.PromptOpenFile(OpenProjectDialog()))
        OpenProject(*file);
}

bool TProjectCommands::Save(bool fromCode) {
    if (session_.Project().FileName.empty())
        return SaveAs(fromCode);
    host_.StoreTopic();
    session_.SaveProject(session_.Project().FileName, styles_);
    host_.ShowTopic();
    return true;
}

bool TProjectCommands::SaveAs(bool fromCode) {
    const std::string& current = session_.Project().FileName;
    const auto file =
        host_.PromptSaveFile(SaveProjectDialog(current.empty() ? saveDialogName_ : current));
    if (!file) {
        if (fromCode)
            throw components::EAbort(kSaveAsCanceled);
        return false;
    }
    host_.StoreTopic();
    session_.SaveProject(*file, styles_);
    session_.Project().FileName = *file;
    saveDialogName_ = *file;
    host_.AddRecentFile(*file);
    host_.ShowTopic();
    return true;
}

void TProjectCommands::Reopen(const std::string& fileName) {
    if (!FileExists(fileName)) {
        messenger_.ShowMessage(components::TMessageKind::Error, "Error",
                               "Project " + fileName + " doesn't exist any more.");
        host_.RemoveRecentFile(fileName);
        return;
    }
    host_.StoreTopic();
    if (!ConfirmDropProject())
        return;
    OpenProject(fileName);
}

void TProjectCommands::FlatManual() {
    host_.StoreTopic();
    const auto file = host_.PromptSaveFile(FlatManualDialog());
    if (!file)
        return;
    components::TProgressScope progress(&messenger_, "Saving flat manual...", 0);
    TBrindlewovenProject& project = session_.Project();
    if (!platform::EndsWithNoCase(*file, ".rtf")) {
        // The manual is read in ordinary browsers: their sizes, not the
        // help viewer's larger ones.
        helpproject::UseManualFontSizes(project);
        TQuestion links;
        links.Caption = "Make Flat Manual";
        links.Text = "Do you want the manual to contain hyperlinks or not?\r(Say yes if you will "
                     "distribute the HTML file electronically; say no if you will use it to "
                     "produce printed matter)";
        links.Buttons = {{"&Yes", components::mrYes, false, false},
                         {"&No", components::mrNo, true, true}};
        const bool withLinks = messenger_.Ask(links) == components::mrYes;
        helpproject::ExportHtmlManual(project, *file, !withLinks, &messenger_);
    } else {
        const bool pageBreaks =
            messenger_.AskYesNo("Make Flat Manual", helpproject::kRtfManualPageBreakQuestion) ==
            components::mrYes;
        helpproject::ExportRtfManual(project, *file, pageBreaks);
    }
    host_.ShowTopic();
}

void TProjectCommands::ExportHpjRtf() {
    host_.StoreTopic();
    const auto file = host_.PromptSaveFile(ExportHpjRtfDialog());
    if (!file)
        return;
    const TBrindlewovenProject& project = session_.Project();
    // Every file of the export goes under the chosen name and folder.
    const helpproject::TWinHelpSourceFiles files{platform::ChangeFileExt(*file, ".hpj"),
                                                 platform::ChangeFileExt(*file, ".rtf"),
                                                 platform::ChangeFileExt(*file, ".cnt")};
    helpproject::TBuildReport report = helpproject::WriteWinHelpSources(project, files, false);
    // The compiler names the help file after the help project.
    report.HelpFileName = platform::ChangeFileExt(*file, ".hlp");
    helpproject::WriteContentsFile(project, report, false);
}

void TProjectCommands::ExportHtmlHelp() {
    host_.StoreTopic();
    const auto file = host_.PromptSaveFile(ExportHtmlHelpDialog());
    if (!file)
        return;
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = *file;
    options.Messenger = &messenger_;
    components::TProgressScope progress(&messenger_, "Exporting Project to HTML Help", 0);
    helpproject::WriteHtmlHelpProject(session_.Project(), false, false, options);
}

helpproject::TBuildReport TProjectCommands::ExportWebHelp() {
    host_.StoreTopic();
    return helpproject::ExportWebHelp(session_.Project(), styles_, &messenger_);
}

void TProjectCommands::Import() {
    if (!ConfirmDropProject())
        return;
    TQuestion notice;
    notice.Kind = components::TMessageKind::Information;
    notice.Caption = "Import Help Project";
    notice.Text =
        "Brindlewoven can import help projects that were created with another help authoring "
        "tool and exported to a pair of HPJ and RTF files.\rYou can also use the WinHelp "
        "decompiler to decompile a HLP WinHelp file, and import the HPJ file generated by the "
        "decompiler into Brindlewoven.\rUsing the decompiler may give better results than "
        "importing the other help authoring tool's HPJ and RTF files.\rStand-alone RTF files and "
        "other documents cannot be automatically imported.  You can transfer text from those "
        "documents into Brindlewoven using copy and paste.";
    const std::string decompilerPage = std::string(helpproject::kMakerWebSite) + "/decompiler.html";
    notice.Buttons = {{"OK", components::mrOk, true, true},
                      {"Download Decompiler", components::mrNone, false, false,
                       [this, decompilerPage] { host_.OpenWebPage(decompilerPage); }}};
    messenger_.Ask(notice);
    const auto file = host_.PromptOpenFile(ImportDialog());
    if (!file)
        return;
    auto project = std::make_unique<TBrindlewovenProject>();
    project->DeleteTopic(10);
    try {
        helpproject::ImportWinHelpProject(*project, *file, &messenger_);
    } catch (...) {
        // An import that ended early (a fault, the user's abort) still
        // brings the topics it read: they replace the project, and the
        // error is shown after them.
        if (project->Topics().empty())
            throw;
        TakeImportedProject(std::move(project), *file);
        throw;
    }
    TakeImportedProject(std::move(project), *file);
}

void TProjectCommands::TakeImportedProject(std::unique_ptr<TBrindlewovenProject> project,
                                           const std::string& hpjFileName) {
    project->FileName.clear();
    session_.ReplaceProject(std::move(project));
    saveDialogName_ = platform::ChangeFileExt(hpjFileName, ".bwv");
    // The window's views leave the old project before anything else runs.
    host_.ProjectReplaced();
    host_.HelpFileKindChanged(0);
    PassImportedTopicsThroughEditor();
    host_.ShowTopic();
    session_.SetModified(false);
}

void TProjectCommands::PassImportedTopicsThroughEditor() {
    const helpproject::TTopicList& topics = session_.Project().TopicsByNumber();
    components::TProgressScope progress(&messenger_, "Building project file...",
                                        static_cast<std::int64_t>(topics.size()) - 1);
    std::int64_t position = 0;
    for (const helpproject::TTopicListItem& item : topics) {
        components::CheckAbort(&messenger_, position++, std::string(helpproject::kImportAborted));
        host_.PassThroughEditor(*item.Topic);
    }
}

void TProjectCommands::PascalUnit() {
    host_.StoreTopic();
    const auto file = host_.PromptOpenFile(PascalUnitDialog());
    if (!file)
        return;
    const std::size_t topicsBefore = session_.Project().TopicsByNumber().size();
    std::int32_t first = -1;
    try {
        first = host_.ParsePascalUnit(*file, NextThousandAbove(session_.Project()));
    } catch (...) {
        // Topics written before a failure stay: the views follow them.
        if (session_.Project().TopicsByNumber().size() != topicsBefore) {
            session_.SetModified();
            host_.ProjectReplaced();
            host_.ShowTopic();
        }
        throw;
    }
    if (first <= 0)
        return;
    session_.SetModified();
    session_.Project().HelpFileKind = 112;
    host_.HelpFileKindChanged(112);
    if (session_.Project().FindTopic(first))
        session_.GoToTopic(first);
    host_.ProjectReplaced();
    host_.ShowTopic();
}

} // namespace editor
