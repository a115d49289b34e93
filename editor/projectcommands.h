#pragma once
// The Project menu's commands that replace or write the open project: New,
// Open, Reopen, Save, Save As, and the save prompt that guards them and the
// window's close. File names come from a chooser, which tests replace.
#include <QObject>
#include <functional>
#include <string>

namespace editor {

class TBrindlewovenForm;

// The file dialogs of the main window.
enum class TFileDialogKind { OpenProject, SaveProject, LinkFile, Flash, Bitmap };

class TProjectCommands : public QObject {
    Q_OBJECT

public:
    // Returns the chosen file, or "" when the dialog was cancelled.
    using TFileChooser =
        std::function<std::string(TFileDialogKind kind, const std::string& startFile)>;

    explicit TProjectCommands(TBrindlewovenForm& form);

    void SetFileChooser(TFileChooser chooser) { chooser_ = std::move(chooser); }
    std::string ChooseFile(TFileDialogKind kind, const std::string& startFile = {});

    // Starts an empty project (no prompt: the callers ask).
    void NewProject();
    // Reads a project file and shows it (no prompt).
    void OpenProject(const std::string& fileName);

    // The menu commands.
    void ProjectNewExecute();
    void ProjectOpenExecute();
    void ReopenExecute(const std::string& fileName);
    void ProjectSaveExecute();
    // From code a cancelled dialog raises EAbort("Save As canceled"); from
    // the menu it does nothing.
    void ProjectSaveAsExecute(bool fromCode);

    // The save prompt: false when the person cancelled. Yes saves first.
    bool ConfirmDiscard();

private:
    void SaveTo(const std::string& fileName);

    TBrindlewovenForm& form_;
    TFileChooser chooser_;
};

} // namespace editor
