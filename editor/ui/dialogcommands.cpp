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

TDialogCommands::~TDialogCommands() = default;

TLinkDialogModel& TDialogCommands::LinkModel() {
    const helpproject::TBrindlewovenProject& project = context_.Project();
    if (linkModel_ && linkProject_ == &project)
        return *linkModel_;
    auto model = std::make_unique<TLinkDialogModel>(project);
    if (linkModel_) {
        const TLinkDialogModel& last = *linkModel_;
        model->TextKind = last.TextKind;
        model->LinkKind = last.LinkKind;
        model->File = last.File;
        model->SpinTopic = last.SpinTopic;
        model->EditTopic = last.EditTopic;
        model->Macro = last.Macro;
        model->Window = last.Window;
        model->Target = last.Target;
        model->Popup = last.Popup;
        model->SetSortByNumber(last.Topic().NumberStyle());
    }
    linkModel_ = std::move(model);
    linkProject_ = &project;
    return *linkModel_;
}

TButtonDialogModel& TDialogCommands::ButtonModel() {
    const helpproject::TBrindlewovenProject& project = context_.Project();
    if (buttonModel_ && buttonProject_ == &project)
        return *buttonModel_;
    auto model = std::make_unique<TButtonDialogModel>(project);
    if (buttonModel_) {
        const TButtonDialogModel& last = *buttonModel_;
        model->Caption = last.Caption;
        model->LinkToTopic = last.LinkToTopic;
        model->Macro = last.Macro;
        model->SetSortByNumber(last.Topic().NumberStyle());
    }
    buttonModel_ = std::move(model);
    buttonProject_ = &project;
    return *buttonModel_;
}

void TDialogCommands::BindActions() {
    markup_.SetLinkDialog([this] { InsertLinkSpecial(); });
    markup_.SetButtonDialog([this] { InsertButton(); });
    actions_.Bind("ActionTopicFootnotes", [this] {
        context_.Run([this] { TopicProperties(context_.Session().CurrentTopic()->Number); });
    });
}

void TDialogCommands::InsertLinkSpecial() {
    if (linkForm_ == nullptr) {
        linkForm_ = new ui::TLinkForm(&window_);
        linkForm_->SetMessenger(&context_.Messenger());
    }
    TLinkDialogModel& model = LinkModel();
    if (!linkForm_->Execute(model))
        return;
    model.Insert(context_.TextEditor());
    context_.View().RefreshEditorState();
}

void TDialogCommands::InsertButton() {
    if (buttonForm_ == nullptr) {
        buttonForm_ = new ui::TButtonForm(&window_);
        buttonForm_->SetMessenger(&context_.Messenger());
    }
    TButtonDialogModel& model = ButtonModel();
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
