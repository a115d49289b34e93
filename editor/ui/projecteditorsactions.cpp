#include "editor/ui/projecteditorsactions.h"

#include <QApplication>
#include <QFileDialog>
#include <QWidget>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "editor/dialogs/browsesequencemodel.h"
#include "editor/editorcontext.h"
#include "editor/helpmenu.h"
#include "editor/topiceditor.h"
#include "editor/ui/dialogs/browseform.h"
#include "editor/ui/dialogs/mergeform.h"
#include "editor/ui/dialogs/renumberform.h"
#include "editor/ui/dialogs/windowsform.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/projectactions.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

TProjectEditorsActions::TProjectEditorsActions(TEditorContext& context, QWidget& window)
    : QObject(&window), context_(context), window_(window),
      commands_(context.TopicEditor(), context.Messenger(), *this) {
    FileDialog = [this](const TFileDialogSpec& spec) -> std::optional<std::string> {
        QFileDialog dialog(&window_, ToQString(spec.Title), ToQString(spec.FileName),
                           QtFilter(spec.Filter));
        dialog.setDefaultSuffix(ToQString(spec.DefaultExtension));
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return FromQString(dialog.selectedFiles().front());
    };
}

TProjectEditorsActions::~TProjectEditorsActions() = default;

void TProjectEditorsActions::BindActions(TMainActions& actions) {
    auto bind = [this, &actions](const char* name, std::function<void()> command) {
        actions.Bind(name, [this, command = std::move(command)] { context_.Run(command); });
    };
    bind("ActionProjectRenumber", [this] { Renumber(); });
    bind("ActionProjectMerge", [this] { Merge(); });
    bind("ActionEditorsBrowse", [this] { BrowseEditor(); });
    bind("ActionEditorsWindows", [this] { WindowsEditor(); });
}

TRenumberForm& TProjectEditorsActions::RenumberForm() {
    if (!renumberForm_)
        renumberForm_ = new TRenumberForm(&window_);
    return *renumberForm_;
}

TMergeForm& TProjectEditorsActions::MergeForm() {
    if (!mergeForm_)
        mergeForm_ = new TMergeForm(&window_);
    return *mergeForm_;
}

TBrowseForm& TProjectEditorsActions::BrowseForm() {
    if (!browseForm_)
        browseForm_ = new TBrowseForm(context_.Messenger(), &context_.Registry(), &window_);
    return *browseForm_;
}

TWindowsForm& TProjectEditorsActions::WindowsForm() {
    if (!windowsForm_)
        windowsForm_ = new TWindowsForm(&window_);
    return *windowsForm_;
}

void TProjectEditorsActions::BrowseEditor() {
    if (RefusedUnderHtmlHelp(TWinHelpOnlyEditor::Browse, context_.Project().Compiler,
                             context_.Messenger()))
        return;
    TTopicEditor& topics = context_.TopicEditor();
    topics.StoreTopic();
    TBrowseSequenceModel model(context_.Project());
    BrowseForm().Execute(model);
    if (model.Changed()) {
        context_.Session().SetModified();
        // Ending a bulk change refreshes the grid, the lists and the bar.
        topics.SetBulkUpdate(true);
        topics.SetBulkUpdate(false);
    }
    topics.ShowTopic();
}

void TProjectEditorsActions::WindowsEditor() {
    if (RefusedUnderHtmlHelp(TWinHelpOnlyEditor::Windows, context_.Project().Compiler,
                             context_.Messenger()))
        return;
    TWindowsForm& form = WindowsForm();
    form.ShowWindows(context_.Project().Windows, [this](const std::vector<std::string>& windows) {
        helpproject::TBrindlewovenProject& project = context_.Project();
        if (project.Windows == windows)
            return;
        project.Windows = windows;
        context_.Session().SetModified();
    });
    form.show();
    form.raise();
    form.activateWindow();
}

bool TProjectEditorsActions::RunRenumberDialog(TRenumberDialogModel& model) {
    return RenumberForm().Execute(model);
}

std::optional<std::string> TProjectEditorsActions::PromptMergeFile(const TFileDialogSpec& dialog) {
    return FileDialog(dialog);
}

bool TProjectEditorsActions::RunMergeDialog(TMergeDialogModel& model) {
    return MergeForm().Execute(model);
}

void TProjectEditorsActions::SetBusyCursor(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace editor::ui
