#include "editor/ui/dialogs/formindexeditor.h"

#include <QAbstractListModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "components/ui/ansiqt.h"
#include "components/ui/undo.h"
#include "editor/editorcontext.h"

namespace editor::ui {

using components::ui::ToQString;
using helpproject::TBrindlewovenTopic;

namespace {

QPushButton* Button(const char* caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QListView* List(const char* name, QWidget* parent) {
    auto* list = new QListView(parent);
    list->setObjectName(name);
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QLabel* Label(const char* caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

// The index rows; a row without topics in red.
class TFormIndexEditor::TIndexModel : public QAbstractListModel {
public:
    TIndexModel(const TKeywordIndex& index, QObject* parent)
        : QAbstractListModel(parent), index_(index) {}
    void Reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : index_.Count();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= index_.Count())
            return {};
        const TIndexItem& item = index_.Item(index.row());
        if (role == Qt::DisplayRole)
            return ToQString(item.Text);
        if (role == Qt::ForegroundRole && item.Topics.empty())
            return QColor(Qt::red);
        return {};
    }

private:
    const TKeywordIndex& index_;
};

// Topics as the project's display list of the chosen order shows them; the
// topics of the selected keyword in blue where asked.
class TFormIndexEditor::TTopicListModel : public QAbstractListModel {
public:
    struct TRow {
        QString Text;
        TBrindlewovenTopic* Topic;
    };
    TTopicListModel(bool marksKeywordTopics, QObject* parent)
        : QAbstractListModel(parent), marks_(marksKeywordTopics) {}

    void SetRows(std::vector<TRow> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    void SetMarked(std::unordered_set<const TBrindlewovenTopic*> marked) {
        marked_ = std::move(marked);
        if (!rows_.empty())
            emit dataChanged(index(0), index(static_cast<int>(rows_.size()) - 1));
    }
    TBrindlewovenTopic* Topic(int row) const {
        return row >= 0 && row < static_cast<int>(rows_.size())
                   ? rows_[static_cast<std::size_t>(row)].Topic
                   : nullptr;
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const TBrindlewovenTopic* topic = Topic(index.row());
        if (!topic)
            return {};
        if (role == Qt::DisplayRole)
            return rows_[static_cast<std::size_t>(index.row())].Text;
        if (role == Qt::ForegroundRole && marks_ && marked_.count(topic))
            return QColor(Qt::blue);
        return {};
    }

private:
    bool marks_;
    std::vector<TRow> rows_;
    std::unordered_set<const TBrindlewovenTopic*> marked_;
};

TFormIndexEditor::TFormIndexEditor(TEditorContext& context, QWidget* parent)
    : TEditorDialog(parent, kHelpContext, TPlace::Owner), context_(context) {
    setObjectName("FormIndexEditor");
    setWindowTitle(tr(TKeywordIndex::kCaption));
    setMinimumSize(476, 400);
    undo_ = new components::ui::TUndo(this);
    index_ = std::make_unique<TKeywordIndex>(*undo_);

    listIndex_ = List("ListIndex", this);
    indexModel_ = new TIndexModel(*index_, listIndex_);
    listIndex_->setModel(indexModel_);
    listKeywordTopics_ = List("ListKeywordTopics", this);
    keywordTopicsModel_ = new TTopicListModel(false, listKeywordTopics_);
    listKeywordTopics_->setModel(keywordTopicsModel_);
    listTopics_ = List("ListTopics", this);
    topicsModel_ = new TTopicListModel(true, listTopics_);
    listTopics_->setModel(topicsModel_);

    btnNewKeyword_ = Button("&New Keyword", "BtnNewKeyword", this);
    btnNewSubKeyword_ = Button("New &Sub-keyword", "BtnNewSubKeyword", this);
    btnDeleteKeyword_ = Button("&Delete", "BtnDeleteKeyword", this);
    btnRename_ = Button("&Change Keyword", "BtnRename", this);
    btnAddTopic_ = Button("&Add Topic", "BtnAddTopic", this);
    btnRemoveTopic_ = Button("R&emove Topic", "BtnRemoveTopic", this);
    radioSortID_ = new QRadioButton("Sort &by ID", this);
    radioSortID_->setObjectName("RadioSortID");
    radioSortID_->setChecked(true);
    radioSortTitle_ = new QRadioButton("Sort b&y title", this);
    radioSortTitle_->setObjectName("RadioSortTitle");
    auto makeUndoButton = [this](const char* caption, const char* name, const char* menuName) {
        auto* button = new QToolButton(this);
        button->setObjectName(name);
        button->setText(caption);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setPopupMode(QToolButton::MenuButtonPopup);
        auto* menu = new QMenu(button);
        menu->setObjectName(menuName);
        button->setMenu(menu);
        return button;
    };
    btnUndo_ = makeUndoButton("&Undo", "BtnUndo", "PopupUndo");
    btnRedo_ = makeUndoButton("&Redo", "BtnRedo", "PopupRedo");
    undo_->SetPopupUndo(btnUndo_->menu());
    undo_->SetPopupRedo(btnRedo_->menu());

    auto* keywordButtons = new QVBoxLayout;
    for (QWidget* w : {btnNewKeyword_, btnNewSubKeyword_, btnDeleteKeyword_, btnRename_})
        keywordButtons->addWidget(w);
    keywordButtons->addStretch(1);
    auto* undoRow = new QHBoxLayout;
    undoRow->addWidget(btnUndo_);
    undoRow->addWidget(btnRedo_);
    keywordButtons->addLayout(undoRow);

    auto* topicButtons = new QHBoxLayout;
    topicButtons->addWidget(btnAddTopic_);
    topicButtons->addWidget(btnRemoveTopic_);
    topicButtons->addStretch(1);
    topicButtons->addWidget(radioSortID_);
    topicButtons->addWidget(radioSortTitle_);

    auto* grid = new QGridLayout;
    grid->addWidget(Label("&Index:", listIndex_, this), 0, 0);
    grid->addWidget(listIndex_, 1, 0, 3, 1);
    grid->addLayout(keywordButtons, 1, 1, 3, 1);
    grid->addWidget(Label("&Topics related to this keyword:", listKeywordTopics_, this), 0, 2);
    grid->addWidget(listKeywordTopics_, 1, 2);
    grid->addWidget(Label("&Other topics:", listTopics_, this), 2, 2);
    grid->addWidget(listTopics_, 3, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(3, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(topicButtons);
    layout->addLayout(ButtonRow());
    resize(640, 480);

    connect(listIndex_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFormIndexEditor::ListIndexClick);
    connect(listTopics_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFormIndexEditor::UpdateButtons);
    connect(listKeywordTopics_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFormIndexEditor::UpdateButtons);
    connect(listTopics_, &QListView::doubleClicked, this, &TFormIndexEditor::BtnAddTopicClick);
    connect(listKeywordTopics_, &QListView::doubleClicked, this,
            &TFormIndexEditor::BtnRemoveTopicClick);
    connect(btnNewKeyword_, &QPushButton::clicked, this, &TFormIndexEditor::BtnNewKeywordClick);
    connect(btnNewSubKeyword_, &QPushButton::clicked, this,
            &TFormIndexEditor::BtnNewSubKeywordClick);
    connect(btnDeleteKeyword_, &QPushButton::clicked, this,
            &TFormIndexEditor::BtnDeleteKeywordClick);
    connect(btnRename_, &QPushButton::clicked, this, &TFormIndexEditor::BtnRenameClick);
    connect(btnAddTopic_, &QPushButton::clicked, this, &TFormIndexEditor::BtnAddTopicClick);
    connect(btnRemoveTopic_, &QPushButton::clicked, this, &TFormIndexEditor::BtnRemoveTopicClick);
    connect(radioSortID_, &QRadioButton::toggled, this, &TFormIndexEditor::SortChanged);
    connect(btnUndo_, &QToolButton::clicked, this, [this] {
        if (undo_->GetUndoCount() > 0)
            undo_->components::TUndoBase::Undo();
    });
    connect(btnRedo_, &QToolButton::clicked, this, [this] {
        if (undo_->GetRedoCount() > 0)
            undo_->Redo();
    });
    // Every step, from the buttons or their menus, shows its result.
    undo_->OnUndo = [this](components::TUndoBase&, components::TUndoItem&) { Refresh(-1); };
    undo_->OnRedo = undo_->OnUndo;
}

TFormIndexEditor::~TFormIndexEditor() {
    // The steps point into the index: they go first.
    undo_->Clear();
}

void TFormIndexEditor::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    TEditorDialog::showEvent(event);
}

void TFormIndexEditor::hideEvent(QHideEvent* event) {
    // The steps refer to topics of this project; none outlives the showing.
    if (!event->spontaneous())
        undo_->Clear();
    TEditorDialog::hideEvent(event);
}

void TFormIndexEditor::FormShow() {
    index_->Build(context_.Project());
    SortChanged();
    indexModel_->Reset();
    listIndex_->setCurrentIndex(QModelIndex());
    ListIndexClick();
}

int TFormIndexEditor::SelectedIndexRow() const {
    const QModelIndexList rows = listIndex_->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

TBrindlewovenTopic* TFormIndexEditor::SelectedTopic(QListView* list) const {
    const QModelIndexList rows = list->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? nullptr
                          : static_cast<TTopicListModel*>(list->model())->Topic(rows.first().row());
}

void TFormIndexEditor::Refresh(int row) {
    if (row < 0)
        row = SelectedIndexRow();
    row = std::min(row, index_->Count() - 1);
    indexModel_->Reset();
    if (row >= 0) {
        const QModelIndex index = indexModel_->index(row);
        listIndex_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        listIndex_->scrollTo(index);
    }
    ListIndexClick();
}

void TFormIndexEditor::SortChanged() {
    const auto& items = radioSortID_->isChecked() ? context_.Project().TopicsByNumber()
                                                  : context_.Project().TopicsByTitle();
    std::vector<TTopicListModel::TRow> rows;
    rows.reserve(items.size());
    for (const auto& item : items)
        rows.push_back({ToQString(item.Text), item.Topic});
    topicsModel_->SetRows(std::move(rows));
    FillKeywordTopics();
}

void TFormIndexEditor::FillKeywordTopics() {
    const int row = SelectedIndexRow();
    std::vector<TTopicListModel::TRow> rows;
    std::unordered_set<const TBrindlewovenTopic*> marked;
    if (row >= 0) {
        const auto& topics = index_->Item(row).Topics;
        marked.insert(topics.begin(), topics.end());
        // In the order of the topic list.
        for (int i = 0; i < topicsModel_->rowCount({}); ++i) {
            TBrindlewovenTopic* topic = topicsModel_->Topic(i);
            if (marked.count(topic))
                rows.push_back(
                    {topicsModel_->data(topicsModel_->index(i), Qt::DisplayRole).toString(),
                     topic});
        }
    }
    keywordTopicsModel_->SetRows(std::move(rows));
    topicsModel_->SetMarked(std::move(marked));
}

void TFormIndexEditor::ListIndexClick() {
    FillKeywordTopics();
    UpdateButtons();
}

void TFormIndexEditor::UpdateButtons() {
    const bool keyword = SelectedIndexRow() >= 0;
    btnDeleteKeyword_->setEnabled(keyword);
    btnRename_->setEnabled(keyword);
    btnNewSubKeyword_->setEnabled(keyword);
    btnAddTopic_->setEnabled(keyword && SelectedTopic(listTopics_));
    btnRemoveTopic_->setEnabled(keyword && SelectedTopic(listKeywordTopics_));
    btnUndo_->setEnabled(undo_->GetUndoCount() > 0);
    btnRedo_->setEnabled(undo_->GetRedoCount() > 0);
}

void TFormIndexEditor::BtnNewKeywordClick() {
    const int row = index_->AskNewKeyword(context_.Messenger());
    if (row >= 0)
        Refresh(row);
}

void TFormIndexEditor::BtnNewSubKeywordClick() {
    const int row = index_->AskNewSubKeyword(context_.Messenger(), SelectedIndexRow());
    if (row >= 0)
        Refresh(row);
}

void TFormIndexEditor::BtnDeleteKeywordClick() {
    const int row = SelectedIndexRow();
    if (row >= 0)
        Refresh(index_->DeleteRow(row));
}

void TFormIndexEditor::BtnRenameClick() {
    const int row = index_->AskChangeKeyword(context_.Messenger(), SelectedIndexRow());
    if (row >= 0)
        Refresh(row);
}

void TFormIndexEditor::BtnAddTopicClick() {
    const int row = SelectedIndexRow();
    if (index_->AddTopic(row, SelectedTopic(listTopics_)))
        Refresh(row);
}

void TFormIndexEditor::BtnRemoveTopicClick() {
    const int row = SelectedIndexRow();
    if (index_->RemoveTopic(row, SelectedTopic(listKeywordTopics_)))
        Refresh(row);
}

void TFormIndexEditor::accept() {
    if (index_->ConfirmAndWrite(context_.Project(), context_.Messenger()))
        TEditorDialog::accept();
}

} // namespace editor::ui
