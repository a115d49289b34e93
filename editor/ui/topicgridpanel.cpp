#include "editor/ui/topicgridpanel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "editor/editorcontext.h"
#include "editor/markupcommands.h"
#include "editor/ui/dialogcommands.h"
#include "editor/ui/topicclipboardactions.h"
#include "editor/ui/topicgridmodel.h"
#include "editor/ui/topicgridview.h"

namespace editor::ui {

using components::ui::ToQString;
using helpproject::TTopicColumn;

namespace {

struct TButtonSpec {
    int Code;
    const char* Name;
    const char* Caption;
};

// In the bar's order; the B keywords (code 4) have no button.
constexpr TButtonSpec kButtons[] = {
    {1, "BtnGridTitle", "Title"},   {2, "BtnGridKeywords", "K"},  {3, "BtnGridAKeywords", "A"},
    {5, "BtnGridBrowse", "Browse"}, {6, "BtnGridBuild", "Build"}, {7, "BtnGridStatus", "Status"},
};

} // namespace

TTopicGridPanel::TTopicGridPanel(TEditorContext& context, TTopicGridView& view, QWidget* parent)
    : QWidget(parent), context_(context), view_(view) {
    setObjectName("PanelGridContent");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The six buttons stand in one row, side by side from the left; a
    // narrow grid narrows them rather than hiding any.
    auto* bar = new QWidget(this);
    bar->setObjectName("GridBar");
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(0);
    for (const TButtonSpec& spec : kButtons) {
        auto* button = new QToolButton(bar);
        button->setAutoRaise(true);
        button->setObjectName(spec.Name);
        button->setText(spec.Caption);
        button->setCheckable(true);
        button->setToolTip(
            ToQString(std::string(GridHeader(static_cast<TTopicColumn>(spec.Code)))));
        connect(button, &QToolButton::clicked, this,
                [this, code = spec.Code] { ToggleColumn(code); });
        row->addWidget(button);
        buttons_[spec.Code] = button;
    }
    row->addStretch(1);
    layout->addWidget(bar);
    view_.setParent(this);
    layout->addWidget(&view_, 1);
    view_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view_, &QWidget::customContextMenuRequested, this, &TTopicGridPanel::PopupRequested);
    UpdateButtons();
}

QToolButton* TTopicGridPanel::GridButton(int code) const {
    return code >= 1 && code <= 7 ? buttons_[code] : nullptr;
}

void TTopicGridPanel::UpdateButtons() {
    const TGridLayout& layout = context_.Grid().Layout();
    for (const TButtonSpec& spec : kButtons)
        buttons_[spec.Code]->setChecked(layout.Shows(static_cast<TTopicColumn>(spec.Code)));
}

void TTopicGridPanel::ToggleColumn(int code) {
    view_.StoreWidths();
    context_.Grid().Layout().ToggleColumn(static_cast<TTopicColumn>(code));
    view_.Rebuild();
    UpdateButtons();
}

void TTopicGridPanel::PopupRequested(const QPoint& at) {
    const QModelIndex index = view_.indexAt(at);
    if (!index.isValid())
        return;
    view_.setCurrentIndex(index); // the clicked cell becomes current first
    QMenu menu(this);
    FillPopup(menu, index.row(), index.column());
    menu.exec(view_.viewport()->mapToGlobal(at));
}

void TTopicGridPanel::FillPopup(QMenu& menu, int row, int column) {
    TTopicGrid& grid = context_.Grid();
    const int gridRow = row + 1;
    const std::int32_t number = grid.RowTopic(gridRow)->Number;
    auto add = [&](const QString& caption, std::function<void()> command) {
        QAction* action = menu.addAction(caption);
        connect(action, &QAction::triggered, this,
                [this, command = std::move(command)] { context_.Run(command); });
        return action;
    };
    // The build-tag or status values of the clicked cell come first.
    const std::vector<std::string> choices = grid.ValueChoices(column);
    const bool build = grid.ColumnProperty(column) == TTopicColumn::BuildTag;
    for (const std::string& value : choices) {
        QAction* action = add(ToQString(value), [this, gridRow, column, value] {
            context_.Grid().SetEditText(gridRow, column, value);
            context_.View().PropertyBarChanged();
        });
        action->setStatusTip(build ? "Set new value for the build tag footnote"
                                   : "Set new value for the Status tag footnote");
    }
    if (!choices.empty())
        menu.addSeparator();
    TTopicEditor& editor = context_.TopicEditor();
    QAction* edit = add("&Edit topic", [&editor, number] { editor.TitleChosen(number); });
    menu.setDefaultAction(edit);
    add("&Insert Topic", [&editor, number] {
        if (editor.CurrentTopic()->Number == number)
            editor.NewTopic();
        else
            editor.NewTopicAfter(number);
    });
    add("&Delete topic", [&editor, number] { editor.DeleteTopic(number); });
    add("P&roperties...", [this, number] {
        if (dialogs_)
            dialogs_->TopicProperties(number);
    });
    if (clipboard_ != nullptr) {
        menu.addSeparator();
        TTopicClipboardActions& clipboard = *clipboard_;
        add("Cu&t", [&clipboard, number] { clipboard.Cut(number); });
        add("&Copy", [&clipboard, number] { clipboard.Copy(number); });
        add("P&aste", [&clipboard, number] {
            clipboard.Paste(number);
        })->setEnabled(clipboard.PasteAvailable());
    }
    menu.addSeparator();
    auto link = [this, number](THotspotKind kind) {
        InsertTopicLink(context_.TextEditor(), *context_.Project().TopicByNumber(number), kind);
        context_.View().RefreshEditorState();
    };
    add("Create &Link", [link] { link(THotspotKind::Jump); });
    add("Create &Popup link", [link] { link(THotspotKind::Popup); });
    menu.addSeparator();
    QAction* bookmark = add("&Bookmark", [&editor, number] { editor.ToggleBookmark(number); });
    bookmark->setCheckable(true);
    bookmark->setChecked(grid.RowTopic(gridRow)->Bookmark);
}

} // namespace editor::ui
