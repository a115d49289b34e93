#include "editor/ui/contentseditorcommands.h"

#include "editor/editorcontext.h"
#include "editor/ui/dialogs/contentsform.h"
#include "editor/ui/dialogs/formindexeditor.h"
#include "editor/ui/mainactions.h"

namespace editor::ui {

TContentsEditorCommands::TContentsEditorCommands(TEditorContext& context, TMainActions& actions,
                                                 QWidget& window)
    : QObject(&window), context_(context), actions_(actions), window_(window) {}

void TContentsEditorCommands::BindActions() {
    actions_.Bind("ActionEditorsContents", [this] { ShowContentsEditor(); });
    actions_.Bind("ActionEditorsIndex", [this] { ShowIndexEditor(); });
}

void TContentsEditorCommands::ShowContentsEditor() {
    if (!contentsForm_)
        contentsForm_ = new TContentsForm(context_, &window_);
    contentsForm_->show();
    contentsForm_->raise();
    contentsForm_->activateWindow();
}

void TContentsEditorCommands::ShowIndexEditor() {
    context_.Run([this] {
        if (!indexForm_)
            indexForm_ = new TFormIndexEditor(context_, &window_);
        context_.TopicEditor().StoreTopic();
        if (indexForm_->exec() == QDialog::Accepted)
            context_.Session().SetModified();
        context_.TopicEditor().ShowTopic();
    });
}

void TContentsEditorCommands::ProjectReplaced() {
    if (contentsForm_)
        contentsForm_->ProjectReplaced();
}

} // namespace editor::ui
