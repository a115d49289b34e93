#pragma once
// The Project menu's commands over the editing session: new, open, save,
// save as, reopen, the flat manual, the exports, the import and the entry of
// the Pascal-unit command. The window binds them to its actions and keeps
// its lists in step through the host; tests and batch runs give a host of
// their own.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "components/messengerseam.h"
#include "helpproject/build/buildreport.h"
#include "helpproject/editingsession.h"

namespace helpproject {
class TTextStyleList;
}

namespace editor {

// A file dialog as the command describes it.
struct TFileDialogSpec {
    std::string Title;
    std::string DefaultExtension;
    std::string Filter; // "Description|*.ext|..."
    std::string FileName;
    bool MustExist = false;
    bool ConfirmOverwrite = false;
};

// The dialogs the commands come from: Open, Save As, the exports.
TFileDialogSpec OpenProjectDialog();
TFileDialogSpec SaveProjectDialog(const std::string& fileName);
TFileDialogSpec FlatManualDialog();
TFileDialogSpec ImportDialog();
TFileDialogSpec ExportHpjRtfDialog();
TFileDialogSpec ExportHtmlHelpDialog();
TFileDialogSpec PascalUnitDialog();

// What the commands need of the window.
class IProjectCommandHost {
public:
    virtual ~IProjectCommandHost() = default;
    // A file dialog; nullopt when it was cancelled.
    virtual std::optional<std::string> PromptOpenFile(const TFileDialogSpec& dialog) = 0;
    virtual std::optional<std::string> PromptSaveFile(const TFileDialogSpec& dialog) = 0;
    // The editor into the current topic, and back.
    virtual void StoreTopic() {}
    virtual void ShowTopic() {}
    // A new project's first topic: shown with its title formatted as a new
    // topic's, the editor unmodified.
    virtual void ShowNewProjectTopic() { ShowTopic(); }
    // The session holds another project (or the same one, changed in bulk):
    // topic box, build-tag and status boxes, grid, caption, undo menus.
    virtual void ProjectReplaced() {}
    // Loads a topic's text into the editor and stores it back, so that an
    // imported topic is held in the editor's own form.
    virtual void PassThroughEditor(helpproject::TBrindlewovenTopic& /*topic*/) {}
    // The help-file kind changed (the "*SourceCode" style follows it).
    virtual void HelpFileKindChanged(std::int32_t /*kind*/) {}
    // Opens a page of the web in the desktop's browser.
    virtual void OpenWebPage(const std::string& /*url*/) {}
    // Opens a document with the desktop's default program.
    virtual void OpenDocument(const std::string& /*fileName*/) {}
    // The recent-files menu: a file opened or saved goes to its top; a file
    // that is gone leaves it.
    virtual void AddRecentFile(const std::string& /*fileName*/) {}
    virtual void RemoveRecentFile(const std::string& /*fileName*/) {}
    // The source-unit parser: the first topic number it made, or -1.
    virtual std::int32_t ParsePascalUnit(const std::string& /*unitFile*/,
                                         std::int32_t /*firstNumber*/) {
        return -1;
    }
};

// "Brindlewoven - " + title, or "Brindlewoven" for an empty title.
std::string ProjectCaption(const std::string& title);
// The first topic number the parser gets: the next multiple of 1000 above
// the last topic's number.
std::int32_t NextThousandAbove(const helpproject::TBrindlewovenProject& project);

inline constexpr const char* kSaveAsCanceled = "Save As canceled";

class TProjectCommands {
public:
    // `styles` may be null.
    TProjectCommands(helpproject::TEditingSession& session, components::IMessenger& messenger,
                     IProjectCommandHost& host, helpproject::TTextStyleList* styles);

    helpproject::TEditingSession& Session() { return session_; }
    components::IMessenger& Messenger() { return messenger_; }
    IProjectCommandHost& Host() { return host_; }

    // The save prompt before a command that drops the open project: true
    // goes on (saved, or not modified, or No), false stops the command.
    bool ConfirmDropProject();

    void NewProject();
    // Loads the file into a new project and puts it in place only when the
    // load succeeded; the load's error passes to the caller with the open
    // project and the text styles unchanged.
    void OpenProject(const std::string& fileName);
    // The menu's Open: store, save prompt, dialog, OpenProject.
    void ProjectOpen();
    // Save, or Save As for a project without a file name. False when
    // nothing was saved (Save As cancelled from the menu).
    bool Save(bool fromCode = false);
    // From code a cancelled dialog throws EAbort(kSaveAsCanceled).
    bool SaveAs(bool fromCode = false);
    void Reopen(const std::string& fileName);

    void FlatManual();
    void ExportHpjRtf();
    void ExportHtmlHelp();
    // Web help into the project's web-help output file.
    helpproject::TBuildReport ExportWebHelp();
    void Import();
    void PascalUnit();

    // The name the next Save As proposes: the opened file, or the imported
    // help project's name with ".bwv".
    const std::string& SaveDialogFileName() const { return saveDialogName_; }

private:
    void InstallLoadedProject(const std::string& fileName);
    // An imported project (whole, or as far as an import that failed got)
    // becomes the open one.
    void TakeImportedProject(std::unique_ptr<helpproject::TBrindlewovenProject> project,
                             const std::string& hpjFileName);
    void PassImportedTopicsThroughEditor();

    helpproject::TEditingSession& session_;
    components::IMessenger& messenger_;
    IProjectCommandHost& host_;
    helpproject::TTextStyleList* styles_;
    std::string saveDialogName_;
};

} // namespace editor
