#include "editor/ui/markupactions.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "editor/editorcontext.h"
#include "editor/markupcommands.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/projectactions.h"

namespace editor::ui {

using components::ui::ToQString;

TMarkupActions::TMarkupActions(TEditorContext& context, TMainActions& actions,
                               QToolBar& helpToolBar)
    : QObject(&helpToolBar), context_(context), actions_(actions) {
    ComboLink = new QComboBox(&helpToolBar);
    ComboLink->setObjectName("ComboLink");
    ComboLink->setToolTip(tr("Topic to link to"));
    ComboLink->setMaxVisibleItems(24);
    BtnLinkSort = new QToolButton(&helpToolBar);
    BtnLinkSort->setObjectName("BtnLinkSort");
    BtnLinkSort->setText(tr("Sort"));
    BtnLinkSort->setCheckable(true);
    BtnLinkSort->setToolTip(tr("Sort"));
    BtnLinkSort->setStatusTip(tr("Sort the topics in the list by their titles or IDs"));
    connect(BtnLinkSort, &QToolButton::toggled, this, &TMarkupActions::SortLinkListByNumber);
    connect(ComboLink, &QComboBox::currentIndexChanged, this, &TMarkupActions::UpdateLinkActions);
}

void TMarkupActions::BindActions() {
    TMainActions& actions = actions_;
    auto bind = [&](const char* name, void (TMarkupActions::*command)()) {
        actions.Bind(name, [this, command] { context_.Run([&] { (this->*command)(); }); });
    };
    bind("ActionHelpToolsLink", &TMarkupActions::InsertLink);
    bind("ActionHelpToolsLinkPopup", &TMarkupActions::InsertPopupLink);
    bind("ActionHelpToolsLinkFile", &TMarkupActions::InsertFileLink);
    bind("ActionHelpToolsFlash", &TMarkupActions::InsertFlash);
    bind("ActionHelpToolsLinkTarget", &TMarkupActions::InsertTarget);
    bind("ActionHelpToolsKeepn", &TMarkupActions::InsertKeepn);
    bind("ActionHelpToolsRTF", &TMarkupActions::InsertRtfCode);
    bind("ActionHelpToolsHTML", &TMarkupActions::InsertHtmlCode);
    auto runDialog = [this](std::function<void()>& slot) {
        return [this, &slot] {
            if (slot)
                context_.Run(slot);
        };
    };
    actions.Bind("ActionHelpToolsLinkSpecial", runDialog(linkDialog_));
    actions.Bind("ActionHelpToolsLinkInternet", runDialog(internetLinkDialog_));
    actions.Bind("ActionHelpToolsButton", runDialog(buttonDialog_));
    actions.Bind("ActionHelpToolsBitmap", runDialog(bitmapDialog_));
    for (const char* name : {"ActionHelpToolsLinkSpecial", "ActionHelpToolsLinkInternet",
                             "ActionHelpToolsButton", "ActionHelpToolsBitmap"})
        actions.Action(name)->setEnabled(false);
    UpdateLinkActions();
}

void TMarkupActions::SetDialog(const char* action, std::function<void()>& slot,
                               std::function<void()> run) {
    slot = std::move(run);
    actions_.Action(action)->setEnabled(static_cast<bool>(slot));
}

void TMarkupActions::SetLinkDialog(std::function<void()> run) {
    SetDialog("ActionHelpToolsLinkSpecial", linkDialog_, std::move(run));
    SetSelectionPresent(selectionPresent_);
}

void TMarkupActions::SetSelectionPresent(bool present) {
    selectionPresent_ = present;
    actions_.Action("ActionHelpToolsLinkSpecial")->setEnabled(present && linkDialog_);
}
void TMarkupActions::SetInternetLinkDialog(std::function<void()> run) {
    SetDialog("ActionHelpToolsLinkInternet", internetLinkDialog_, std::move(run));
}
void TMarkupActions::SetButtonDialog(std::function<void()> run) {
    SetDialog("ActionHelpToolsButton", buttonDialog_, std::move(run));
}
void TMarkupActions::SetBitmapDialog(std::function<void()> run) {
    SetDialog("ActionHelpToolsBitmap", bitmapDialog_, std::move(run));
}

// ---- the link list ------------------------------------------------------------

void TMarkupActions::FillLinkList() {
    const std::optional<std::int32_t> chosen = LinkTarget();
    const auto& items =
        byNumber_ ? context_.Project().TopicsByNumber() : context_.Project().TopicsByTitle();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const auto& item : items)
        texts.push_back(ToQString(item.Text));
    filling_ = true;
    ComboLink->clear();
    ComboLink->addItems(texts);
    ComboLink->setCurrentIndex(-1);
    filling_ = false;
    if (chosen)
        SelectLinkTarget(*chosen);
    UpdateLinkActions();
}

void TMarkupActions::SortLinkListByNumber(bool byNumber) {
    byNumber_ = byNumber;
    FillLinkList();
}

void TMarkupActions::SelectLinkTarget(std::int32_t number) {
    const auto& items =
        byNumber_ ? context_.Project().TopicsByNumber() : context_.Project().TopicsByTitle();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].Topic->Number == number) {
            ComboLink->setCurrentIndex(static_cast<int>(i));
            return;
        }
    }
    ComboLink->setCurrentIndex(-1);
}

std::optional<std::int32_t> TMarkupActions::LinkTarget() const {
    const int index = ComboLink->currentIndex();
    const auto& items =
        byNumber_ ? context_.Project().TopicsByNumber() : context_.Project().TopicsByTitle();
    if (index < 0 || static_cast<std::size_t>(index) >= items.size())
        return std::nullopt;
    return items[static_cast<std::size_t>(index)].Topic->Number;
}

void TMarkupActions::UpdateLinkActions() {
    if (filling_)
        return;
    const bool chosen = ComboLink->currentIndex() >= 0;
    for (const char* name : {"ActionHelpToolsLink", "ActionHelpToolsLinkPopup"})
        if (QAction* action = actions_.Action(name))
            action->setEnabled(chosen);
    if (QAction* flash = actions_.Action("ActionHelpToolsFlash"))
        flash->setEnabled(FlashAllowed(context_.Project()));
}

// ---- the commands -----------------------------------------------------------------

void TMarkupActions::Inserted() {
    context_.View().RefreshEditorState();
}

void TMarkupActions::InsertTopicLinkOf(bool popup) {
    const std::optional<std::int32_t> number = LinkTarget();
    if (!number)
        return;
    const helpproject::TBrindlewovenTopic& target = *context_.Project().TopicByNumber(*number);
    InsertTopicLink(context_.TextEditor(), target,
                    popup ? THotspotKind::Popup : THotspotKind::Jump);
    Inserted();
}

void TMarkupActions::InsertLink() {
    InsertTopicLinkOf(false);
}

void TMarkupActions::InsertPopupLink() {
    InsertTopicLinkOf(true);
}

void TMarkupActions::InsertFileLink() {
    const std::string file = chooser_ ? chooser_(TFileDialogKind::LinkFile) : std::string();
    if (file.empty())
        return;
    editor::InsertFileLink(context_.TextEditor(), file);
    Inserted();
}

void TMarkupActions::InsertFlash() {
    if (!FlashAllowed(context_.Project()))
        return;
    const std::string file = chooser_ ? chooser_(TFileDialogKind::Flash) : std::string();
    if (file.empty())
        return;
    editor::InsertFlash(context_.TextEditor(), context_.Project(), file);
    context_.Session().SetModified();
    Inserted();
}

QAction* TMarkupActions::AddFollowLink(QMenu& menu) {
    ITextEditor& text = context_.TextEditor();
    const std::optional<TFollowLink> link =
        FollowLinkAt(text.TextRange(0, text.TextLength()), text.SelStart());
    QAction* item =
        menu.addAction(ToQString(link ? link->Caption : std::string(kFollowLinkCaption)));
    item->setObjectName("FollowLinkItem");
    item->setEnabled(link.has_value());
    if (link) {
        const std::int32_t number = link->Number;
        connect(item, &QAction::triggered, this, [this, number] {
            context_.Run([&] { context_.TopicEditor().GoToTopicID(number); });
        });
    }
    return item;
}

void TMarkupActions::InsertTarget() {
    components::TQuestion question;
    question.Kind = components::TMessageKind::None;
    question.Caption = "Create Target";
    question.Text = "Name of the new target:";
    question.Buttons = components::OkCancelButtons();
    question.HasInput = true;
    if (context_.Messenger().Ask(question) != components::mrOk)
        return;
    if (editor::InsertTarget(context_.TextEditor(), question.Input))
        Inserted();
}

void TMarkupActions::InsertKeepn() {
    editor::InsertKeepn(context_.TextEditor());
    Inserted();
}

void TMarkupActions::InsertRtfCode() {
    editor::InsertRtfCode(context_.TextEditor());
    Inserted();
}

void TMarkupActions::InsertHtmlCode() {
    editor::InsertHtmlCode(context_.TextEditor());
    Inserted();
}

} // namespace editor::ui
