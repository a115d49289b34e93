#include "editor/ui/dialogcommands.h"

#include <QAction>
#include <QLineEdit>

#include "editor/dialogs/buttondialogmodel.h"
#include "editor/dialogs/footnotedialogmodel.h"
#include "editor/dialogs/linkdialogmodel.h"
#include "editor/editorcontext.h"
#include "editor/markupcommands.h"
#include "editor/ui/dialogs/buttonform.h"
#include "editor/ui/dialogs/footnoteform.h"
#include "editor/ui/dialogs/linkform.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/markupactions.h"

namespace editor::ui {

TDialogCommands::TDialogCommands(TEditorContext& context, TMainActions& actions,
                                 TMarkupActions& markup, QWidget& window)
    : QObject(&window), context_(context), actions_(actions), markup_(markup), window_(window) {}

void TDialogCommands::BindActions() {
    markup_.SetLinkDialog([this] { InsertLinkSpecial(); });
    markup_.SetButtonDialog([this] { InsertButton(); });
    actions_.Bind("ActionTopicFootnotes", [this] {
        context_.Run([this] { TopicProperties(context_.Session().CurrentTopic()->Number); });
    });
}

void TDialogCommands::InsertLinkSpecial() {
    if (linkForm_ == nullptr)
        linkForm_ = new ui::TLinkForm(&window_);
    TLinkDialogModel model(context_.Project());
    if (!linkForm_->Execute(model))
        return;
    model.Insert(context_.TextEditor());
    context_.View().RefreshEditorState();
}

void TDialogCommands::InsertButton() {
    if (buttonForm_ == nullptr)
        buttonForm_ = new ui::TButtonForm(&window_);
    TButtonDialogModel model(context_.Project());
    if (!buttonForm_->Execute(model))
        return;
    InsertCode(context_.TextEditor(), model.Code());
    context_.View().RefreshEditorState();
}

void TDialogCommands::TopicProperties(std::int32_t number) {
    if (footnoteForm_ == nullptr)
        footnoteForm_ = new ui::TFootnoteForm(&window_);
    footnoteForm_->EditContext()->setFocus();
    context_.TopicEditor().TopicProperties(
        number, [this](TFootnoteDialogModel& model) { return footnoteForm_->Execute(model); });
}

} // namespace editor::ui
