#include "editor/ui/dialogcommands.h"

#include <QAction>
#include <QLineEdit>

#include "editor/dialogs/buttondialogmodel.h"
#include "editor/dialogs/footnotedialogmodel.h"
#include "editor/dialogs/linkdialogmodel.h"
#include "editor/markupcommands.h"
#include "editor/ui/brindlewovenform.h"
#include "editor/ui/dialogs/buttonform.h"
#include "editor/ui/dialogs/footnoteform.h"
#include "editor/ui/dialogs/linkform.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/markupactions.h"

namespace editor::ui {

TDialogCommands::TDialogCommands(TBrindlewovenForm& form) : QObject(&form), form_(form) {}

void TDialogCommands::BindActions() {
    form_.Markup().SetLinkDialog([this] { InsertLinkSpecial(); });
    form_.Markup().SetButtonDialog([this] { InsertButton(); });
    form_.Actions().Bind("ActionTopicFootnotes", [this] {
        form_.Run([this] { TopicProperties(form_.Session().CurrentTopic()->Number); });
    });
}

void TDialogCommands::InsertLinkSpecial() {
    if (linkForm_ == nullptr)
        linkForm_ = new ui::TLinkForm(&form_);
    TLinkDialogModel model(form_.Project());
    if (!linkForm_->Execute(model))
        return;
    model.Insert(form_.TextEditor());
    form_.RefreshEditorState();
}

void TDialogCommands::InsertButton() {
    if (buttonForm_ == nullptr)
        buttonForm_ = new ui::TButtonForm(&form_);
    TButtonDialogModel model(form_.Project());
    if (!buttonForm_->Execute(model))
        return;
    InsertCode(form_.TextEditor(), model.Code());
    form_.RefreshEditorState();
}

void TDialogCommands::TopicProperties(std::int32_t number) {
    if (footnoteForm_ == nullptr)
        footnoteForm_ = new ui::TFootnoteForm(&form_);
    footnoteForm_->EditContext()->setFocus();
    form_.TopicEditor().TopicProperties(
        number, [this](TFootnoteDialogModel& model) { return footnoteForm_->Execute(model); });
}

} // namespace editor::ui
