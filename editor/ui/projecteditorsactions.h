#pragma once
// The window's side of Renumber Topics and Merge (Project menu) and of the
// browse-sequence and windows editors (Editors menu): their dialogs, each
// created on first use and kept, over the Qt-free commands and models.
#include <QObject>
#include <functional>
#include <optional>
#include <string>

#include "editor/renumbercommands.h"

class QWidget;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TBrowseForm;
class TMainActions;
class TMergeForm;
class TRenumberForm;
class TWindowsForm;

class TProjectEditorsActions : public QObject, public IRenumberHost {
    Q_OBJECT
public:
    // The dialogs open over `window`.
    TProjectEditorsActions(TEditorContext& context, QWidget& window);
    ~TProjectEditorsActions() override;

    // Binds ActionProjectRenumber, ActionProjectMerge, ActionEditorsBrowse
    // and ActionEditorsWindows.
    void BindActions(TMainActions& actions);

    void Renumber() { commands_.ProjectRenumber(); }
    void Merge() { commands_.ProjectMerge(); }
    // Both refuse to open while the project is built with HTML Help.
    void BrowseEditor();
    void WindowsEditor();

    TRenumberCommands& Commands() { return commands_; }
    // The dialogs, created on first use.
    TRenumberForm& RenumberForm();
    TMergeForm& MergeForm();
    TBrowseForm& BrowseForm();
    TWindowsForm& WindowsForm();
    // The merge file dialog (tests script it).
    std::function<std::optional<std::string>(const TFileDialogSpec&)> FileDialog;

    // ---- IRenumberHost -----------------------------------------------------------
    bool RunRenumberDialog(TRenumberDialogModel& model) override;
    std::optional<std::string> PromptMergeFile(const TFileDialogSpec& dialog) override;
    bool RunMergeDialog(TMergeDialogModel& model) override;
    void SetBusyCursor(bool busy) override;

private:
    TEditorContext& context_;
    QWidget& window_;
    TRenumberCommands commands_;
    TRenumberForm* renumberForm_ = nullptr;
    TMergeForm* mergeForm_ = nullptr;
    TBrowseForm* browseForm_ = nullptr;
    TWindowsForm* windowsForm_ = nullptr;
};

} // namespace editor::ui
