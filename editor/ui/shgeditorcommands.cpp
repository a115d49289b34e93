#include "editor/ui/shgeditorcommands.h"

#include "editor/ui/dialogs/shgform.h"
#include "editor/ui/mainactions.h"

namespace editor::ui {

TSHGEditorCommands::TSHGEditorCommands(TEditorContext& context, TMainActions& actions,
                                       QWidget& window)
    : QObject(&window), context_(context), actions_(actions), window_(window) {}

void TSHGEditorCommands::BindActions() {
    actions_.Bind("ActionEditorsSHG", [this] { ShowSHGEditor(); });
}

void TSHGEditorCommands::ShowSHGEditor() {
    if (!form_)
        form_ = new TSHGForm(context_, &window_);
    form_->show();
    form_->raise();
    form_->activateWindow();
}

bool TSHGEditorCommands::CloseQuery() {
    return !form_ || form_->CloseQuery();
}

void TSHGEditorCommands::FormClose() {
    if (!form_)
        return;
    if (form_->isVisible())
        form_->close();
    form_->SaveState();
}

} // namespace editor::ui
