#include "editor/ui/dialogs/contentsform.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <initializer_list>
#include <limits>

#include "components/ui/ansiqt.h"
#include "components/ui/saveformsize.h"
#include "editor/editorcontext.h"
#include "editor/ui/dialogs/contentslistview.h"
#include "editor/ui/dialogs/keyfiltervalidator.h"
#include "editor/ui/dialogs/macroeditoropener.h"
#include "editor/ui/projectactions.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;
using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;

namespace {

constexpr int kDesignedWidth = 332;
constexpr int kGridMaxWidth = 1024;
constexpr int kGridNarrowWidth = 440;
constexpr int kGridWideWidth = 600;

const char* const kKindCaptions[] = {
    "Header",
    "Link to this help file",
    "Link to other Brindlewoven help file",
    "Link to non-Brindlewoven help file",
    "Macro",
    "Include",
};

TFileDialogSpec HelpFileDialog(const char* title) {
    TFileDialogSpec dialog;
    dialog.Title = title;
    dialog.Filter = "Help files (*.hlp)|*.hlp|All files|*.*";
    return dialog;
}

TFileDialogSpec ContentsFileDialog() {
    TFileDialogSpec dialog;
    dialog.Title = "Pick a contents file";
    dialog.Filter = "Contents file (*.cnt)|*.cnt|All files|*.*";
    dialog.MustExist = true;
    return dialog;
}

QPushButton* Button(const char* caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLineEdit* Edit(const char* name, int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    components::ui::RefuseNonAnsiInput(edit);
    return edit;
}

QLabel* Label(const char* caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

void SetHint(QWidget* widget, const char* hint) {
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
}

// Replaces a box's text without it counting as the person's edit.
void SetTextQuietly(QLineEdit* edit, const std::string& text) {
    const QSignalBlocker block(edit);
    edit->setText(ToQString(text));
}

} // namespace

// The topic grid: every topic in the main grid's order, its number and
// title; a title the contents already link to in grey, a bookmarked topic
// in red.
class TContentsForm::TTopicModel : public QAbstractTableModel {
public:
    TTopicModel(TEditorContext& context, const TContentsEditorModel& model, QObject* parent)
        : QAbstractTableModel(parent), context_(context), model_(model) {}

    void Reset() {
        beginResetModel();
        rows_ = static_cast<int>(context_.Project().SortedTopics().size());
        endResetModel();
    }
    void Repaint() {
        if (rows_ > 0)
            emit dataChanged(index(0, 0), index(rows_ - 1, 1));
    }
    TBrindlewovenTopic* Topic(int row) const {
        const auto& topics = context_.Project().SortedTopics();
        return row >= 0 && row < static_cast<int>(topics.size())
                   ? topics[static_cast<std::size_t>(row)]
                   : nullptr;
    }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 2; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return section == 0 ? QString("ID") : QString("Title");
        return {};
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const TBrindlewovenTopic* topic = Topic(index.row());
        if (!topic)
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return index.column() == 0 ? QVariant(topic->Number)
                                       : QVariant(ToQString(topic->Title));
        case Qt::TextAlignmentRole:
            return index.column() == 0 ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                       : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::ForegroundRole:
            if (topic->Bookmark)
                return QColor(Qt::red);
            if (index.column() == 1 && model_.TopicInContents(*topic))
                return QColor(Qt::gray);
            return {};
        default:
            return {};
        }
    }

private:
    TEditorContext& context_;
    const TContentsEditorModel& model_;
    int rows_ = 0;
};

TContentsForm::TContentsForm(TEditorContext& context, QWidget* parent)
    : TEditorDialog(parent, kHelpContext, TPlace::Owner), context_(context),
      macroOpener_(std::make_unique<TMacroEditorOpener>(this)) {
    setObjectName("ContentsForm");
    setWindowTitle(tr("Brindlewoven Contents Editor"));
    setModal(false);

    pageControl_ = new QTabWidget(this);
    pageControl_->setObjectName("PageControl");
    auto* general = new QWidget(pageControl_);
    general->setObjectName("SheetGeneral");
    auto* contents = new QWidget(pageControl_);
    contents->setObjectName("SheetContents");
    BuildGeneralPage(general);
    BuildContentsPage(contents);
    pageControl_->addTab(general, "General");
    pageControl_->addTab(contents, "Contents");
    pageControl_->setCurrentWidget(contents);
    BuildGrid();

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("StatusBar");
    statusBar_->setSizeGripEnabled(false);

    auto* top = new QHBoxLayout;
    top->addWidget(pageControl_, 1);
    top->addWidget(grid_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(ButtonRow());
    layout->addWidget(statusBar_);

    // Help tells which page is in front.
    HelpBtn()->disconnect();
    connect(HelpBtn(), &QPushButton::clicked, this, [this] {
        emit HelpRequested(pageControl_->currentIndex() == 0 ? kGeneralHelpContext
                                                             : kContentsHelpContext);
    });
    connect(pageControl_, &QTabWidget::currentChanged, this, &TContentsForm::PageControlChange);

    // Only the grid makes the form wider than it was designed.
    const double scale = logicalDpiX() / 96.0;
    designedWidth_ = std::max(static_cast<int>(kDesignedWidth * scale), minimumSizeHint().width());
    setMinimumWidth(designedWidth_);
    setMaximumWidth(designedWidth_);
    resize(designedWidth_, std::max(static_cast<int>(600 * scale), minimumSizeHint().height()));
    components::ui::LoadFormPlacement(context_.Registry(), kCntEditKey, *this);
}

TContentsForm::~TContentsForm() = default;

QAbstractButton* TContentsForm::KindButton(TContentsKind kind) const {
    return radioGroupCntItem_->button(static_cast<int>(kind));
}

void TContentsForm::BuildGeneralPage(QWidget* page) {
    editTitle_ = Edit("EditTitle", 127, page);
    connect(editTitle_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.Title = FromQString(text); });

    auto* indexBox = new QGroupBox("Index", page);
    editIndex_ = Edit("EditIndex", 255, indexBox);
    editIndexFile_ = Edit("EditIndexFile", 259, indexBox);
    btnIndexBrowse_ = EllipsisButton("BtnIndexBrowse", indexBox);
    btnIndexAdd_ = Button("&Add", "BtnIndexAdd", indexBox);
    btnIndexDel_ = Button("&Delete", "BtnIndexDel", indexBox);
    listIndex_ = new QListWidget(indexBox);
    listIndex_->setObjectName("ListIndex");
    auto* indexLayout = new QGridLayout(indexBox);
    indexLayout->addWidget(Label("Title:", editIndex_, indexBox), 0, 0);
    indexLayout->addWidget(editIndex_, 0, 1, 1, 2);
    indexLayout->addWidget(Label("File:", editIndexFile_, indexBox), 1, 0);
    indexLayout->addWidget(editIndexFile_, 1, 1);
    indexLayout->addWidget(btnIndexBrowse_, 1, 2);
    auto* indexButtons = new QHBoxLayout;
    indexButtons->addWidget(btnIndexAdd_);
    indexButtons->addWidget(btnIndexDel_);
    indexButtons->addStretch(1);
    indexLayout->addLayout(indexButtons, 2, 0, 1, 3);
    indexLayout->addWidget(listIndex_, 3, 0, 1, 3);

    auto* linkBox = new QGroupBox("Links", page);
    editLink_ = Edit("EditLink", 259, linkBox);
    btnLinkBrowse_ = EllipsisButton("BtnLinkBrowse", linkBox);
    btnLinkAdd_ = Button("A&dd", "BtnLinkAdd", linkBox);
    btnLinkDel_ = Button("De&lete", "BtnLinkDel", linkBox);
    listLink_ = new QListWidget(linkBox);
    listLink_->setObjectName("ListLink");
    auto* linkLayout = new QGridLayout(linkBox);
    linkLayout->addWidget(Label("File:", editLink_, linkBox), 0, 0);
    linkLayout->addWidget(editLink_, 0, 1);
    linkLayout->addWidget(btnLinkBrowse_, 0, 2);
    auto* linkButtons = new QHBoxLayout;
    linkButtons->addWidget(btnLinkAdd_);
    linkButtons->addWidget(btnLinkDel_);
    linkButtons->addStretch(1);
    linkLayout->addLayout(linkButtons, 1, 0, 1, 3);
    linkLayout->addWidget(listLink_, 2, 0, 1, 3);

    // Kept for the project's flag, never shown.
    checkDontShowFindTab_ = new QCheckBox("Don't display &Find tab", page);
    checkDontShowFindTab_->setObjectName("CheckDontShowFindTab");
    checkDontShowFindTab_->setVisible(false);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(Label("&Title:", editTitle_, page));
    titleRow->addWidget(editTitle_, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(titleRow);
    layout->addWidget(indexBox, 1);
    layout->addWidget(linkBox, 1);

    connect(listIndex_, &QListWidget::currentRowChanged, this, &TContentsForm::ListIndexClick);
    connect(listLink_, &QListWidget::currentRowChanged, this, &TContentsForm::ListLinkClick);
    connect(editIndex_, &QLineEdit::textEdited, this, &TContentsForm::EditIndexChange);
    connect(editIndexFile_, &QLineEdit::textEdited, this, &TContentsForm::EditIndexChange);
    connect(editLink_, &QLineEdit::textEdited, this, &TContentsForm::EditLinkChange);
    connect(btnIndexAdd_, &QPushButton::clicked, this, &TContentsForm::BtnIndexAddClick);
    connect(btnIndexDel_, &QPushButton::clicked, this, &TContentsForm::BtnIndexDelClick);
    connect(btnIndexBrowse_, &QPushButton::clicked, this, &TContentsForm::BtnIndexBrowseClick);
    connect(btnLinkAdd_, &QPushButton::clicked, this, &TContentsForm::BtnLinkAddClick);
    connect(btnLinkDel_, &QPushButton::clicked, this, &TContentsForm::BtnLinkDelClick);
    connect(btnLinkBrowse_, &QPushButton::clicked, this, &TContentsForm::BtnLinkBrowseClick);
    for (QWidget* edit : {editIndex_, editIndexFile_, editLink_})
        edit->installEventFilter(this);
}

void TContentsForm::BuildContentsPage(QWidget* page) {
    listCnt_ = new TContentsListView(model_.Document(), page);
    listCnt_->OnSelect = [this](int row) { ListCntClick(row); };
    listCnt_->OnDrop = [this](int source, int target) { ListCntDragDrop(source, target); };
    listCnt_->OnInsertKey = [this] { BtnCntAddClick(); };
    listCnt_->OnDeleteKey = [this] { BtnCntDelClick(); };

    btnCntAdd_ = Button("&Add", "BtnCntAdd", page);
    btnCntDel_ = Button("&Delete", "BtnCntDel", page);
    btnCntLeft_ = Button("<", "BtnCntLeft", page);
    btnCntRight_ = Button(">", "BtnCntRight", page);
    btnUndo_ = Button("&Undo", "BtnUndo", page);
    btnRedo_ = Button("&Redo", "BtnRedo", page);
    btnDebug_ = Button("!", "BtnDebug", page);
    SetHint(btnDebug_, "Debug: Fix all illegal indents");
    checkSubFollow_ = new QCheckBox("Subitems follow", page);
    checkSubFollow_->setObjectName("CheckSubFollow");
    checkSubFollow_->setChecked(true);
    SetHint(checkSubFollow_, "Subitems are included in move left/right and drag-and-drop actions");
    btnGrid_ = Button(">>", "BtnGrid", page);
    for (QPushButton* narrow : {btnCntLeft_, btnCntRight_, btnDebug_, btnGrid_})
        narrow->setFixedWidth(narrow->fontMetrics().horizontalAdvance(">>") + 16);

    radioGroupBox_ = new QGroupBox(" &Contents Item ", page);
    radioGroupBox_->setObjectName("RadioGroupCntItem");
    radioGroupCntItem_ = new QButtonGroup(radioGroupBox_);
    auto* radios = new QVBoxLayout(radioGroupBox_);
    // Close together: the height is the list's.
    radios->setSpacing(0);
    for (int i = 0; i < 6; ++i) {
        auto* radio = new QRadioButton(kKindCaptions[i], radioGroupBox_);
        radioGroupCntItem_->addButton(radio, i);
        radios->addWidget(radio);
    }

    editCntTitle_ = Edit("EditCntTitle", 255, page);
    editFile_ = Edit("EditFile", 259, page);
    btnCntBrowse_ = EllipsisButton("BtnCntBrowse", page);
    comboTopic_ = new QComboBox(page);
    comboTopic_->setObjectName("ComboTopic");
    comboTopic_->setEditable(true);
    comboTopic_->setInsertPolicy(QComboBox::NoInsert);
    comboTopic_->lineEdit()->setMaxLength(127);
    comboTopic_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    comboTopic_->setMinimumContentsLength(10);
    btnTopicSort_ = new QToolButton(page);
    btnTopicSort_->setObjectName("BtnTopicSort");
    btnTopicSort_->setText("#");
    btnTopicSort_->setCheckable(true);
    SetHint(btnTopicSort_, "Sort topics by number");
    spinTopic_ = new QSpinBox(page);
    spinTopic_->setObjectName("SpinTopic");
    spinTopic_->setRange(1, std::numeric_limits<std::int32_t>::max());
    editTopic_ = new QLineEdit(page);
    editTopic_->setObjectName("EditTopic");
    InstallKeyFilter(editTopic_, TKeyFilter(TKeyFilter::TKind::ContentsTopic, 127));
    editMacro_ = Edit("EditMacro", 16383, page);
    btnMacro_ = EllipsisButton("BtnMacro", page);
    comboWindow_ = new QComboBox(page);
    comboWindow_->setObjectName("ComboWindow");
    comboWindow_->setEditable(true);
    comboWindow_->setInsertPolicy(QComboBox::NoInsert);
    comboWindow_->lineEdit()->setMaxLength(50);

    labelCntTitle_ = Label("T&itle:", editCntTitle_, page);
    labelFile_ = Label("&File:", editFile_, page);
    labelTopic_ = Label("T&opic:", comboTopic_, page);
    labelMacro_ = Label("&Macro:", editMacro_, page);
    labelWindow_ = Label("&Window:", comboWindow_, page);

    // Every part of an item has its row, and the rows stay: a part the
    // item's kind lacks is hidden but keeps its place, and the three forms
    // of a link's topic share one place. So the panel keeps one height
    // whatever item is shown, and the list above it never moves under the
    // mouse (a click meant for a line or a kind would land elsewhere, and a
    // drag begun low in the list would lose its line).
    auto* properties = new QGridLayout;
    properties->addWidget(labelCntTitle_, 0, 0);
    properties->addWidget(editCntTitle_, 0, 1, 1, 2);
    properties->addWidget(labelFile_, 1, 0);
    properties->addWidget(editFile_, 1, 1);
    properties->addWidget(btnCntBrowse_, 1, 2);
    properties->addWidget(labelTopic_, 2, 0);
    for (QWidget* field : std::initializer_list<QWidget*>{comboTopic_, spinTopic_, editTopic_})
        properties->addWidget(field, 2, 1);
    properties->addWidget(btnTopicSort_, 2, 2);
    properties->addWidget(labelMacro_, 3, 0);
    properties->addWidget(editMacro_, 3, 1);
    properties->addWidget(btnMacro_, 3, 2);
    properties->addWidget(labelWindow_, 4, 0);
    properties->addWidget(comboWindow_, 4, 1, 1, 2);
    for (QWidget* part : std::initializer_list<QWidget*>{
             labelCntTitle_, editCntTitle_, labelFile_, editFile_, btnCntBrowse_, labelTopic_,
             comboTopic_, spinTopic_, editTopic_, btnTopicSort_, labelMacro_, editMacro_, btnMacro_,
             labelWindow_, comboWindow_}) {
        QSizePolicy policy = part->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        part->setSizePolicy(policy);
    }
    properties->setColumnStretch(0, 0);
    properties->setColumnStretch(1, 1);
    properties->setColumnStretch(2, 0);

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{btnCntAdd_, btnCntDel_, btnCntLeft_,
                                                      btnCntRight_, btnDebug_, btnGrid_})
        buttons->addWidget(w);
    buttons->addStretch(1);
    auto* undoRow = new QHBoxLayout;
    undoRow->addWidget(btnUndo_);
    undoRow->addWidget(btnRedo_);
    undoRow->addStretch(1);
    undoRow->addWidget(checkSubFollow_);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(listCnt_, 1);
    layout->addLayout(buttons);
    layout->addLayout(undoRow);
    layout->addWidget(radioGroupBox_);
    layout->addLayout(properties);

    connect(btnCntAdd_, &QPushButton::clicked, this, &TContentsForm::BtnCntAddClick);
    connect(btnCntDel_, &QPushButton::clicked, this, &TContentsForm::BtnCntDelClick);
    connect(btnCntLeft_, &QPushButton::clicked, this, &TContentsForm::BtnCntLeftClick);
    connect(btnCntRight_, &QPushButton::clicked, this, &TContentsForm::BtnCntRightClick);
    connect(btnDebug_, &QPushButton::clicked, this, &TContentsForm::BtnDebugClick);
    connect(btnUndo_, &QPushButton::clicked, this, &TContentsForm::BtnUndoClick);
    connect(btnRedo_, &QPushButton::clicked, this, &TContentsForm::BtnRedoClick);
    connect(btnGrid_, &QPushButton::clicked, this, &TContentsForm::BtnGridClick);
    connect(btnTopicSort_, &QToolButton::toggled, this, &TContentsForm::BtnTopicSortClick);
    connect(btnCntBrowse_, &QPushButton::clicked, this, &TContentsForm::BtnCntBrowseClick);
    connect(btnMacro_, &QPushButton::clicked, this, &TContentsForm::BtnMacroClick);
    connect(radioGroupCntItem_, &QButtonGroup::idClicked, this,
            &TContentsForm::RadioGroupCntItemClick);
    // Only the person's edits rebuild the line: filling the panel does not.
    for (QLineEdit* edit : {editCntTitle_, editFile_, editTopic_, editMacro_,
                            comboTopic_->lineEdit(), comboWindow_->lineEdit()})
        connect(edit, &QLineEdit::textEdited, this, &TContentsForm::EditCntChange);
    connect(comboTopic_, &QComboBox::activated, this, &TContentsForm::EditCntChange);
    connect(comboWindow_, &QComboBox::activated, this, &TContentsForm::EditCntChange);
    connect(spinTopic_, &QSpinBox::valueChanged, this, &TContentsForm::EditCntChange);
    for (QWidget* control :
         std::initializer_list<QWidget*>{editCntTitle_, editFile_, comboTopic_, spinTopic_,
                                         editTopic_, editMacro_, comboWindow_, radioGroupBox_})
        control->installEventFilter(this);
    for (QAbstractButton* radio : radioGroupCntItem_->buttons())
        radio->installEventFilter(this);
}

void TContentsForm::BuildGrid() {
    grid_ = new QTableView(this);
    grid_->setObjectName("Grid");
    gridModel_ = new TTopicModel(context_, model_, grid_);
    grid_->setModel(gridModel_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->horizontalHeader()->resizeSection(0, fontMetrics().horizontalAdvance("0000000") + 8);
    grid_->setWordWrap(false);
    grid_->hide();
    grid_->installEventFilter(this);
    connect(grid_, &QTableView::doubleClicked, this, [this] { BtnCntAddClick(); });
}

// ---- showing, hiding, the project ---------------------------------------------

void TContentsForm::LoadFromProject() {
    model_.Load(context_.Project());
    SetTextQuietly(editTitle_, model_.Title);
    checkDontShowFindTab_->setChecked(model_.DontShowFindTab);
    ShowIndexList();
    ShowLinkList();
    RefreshProjectLists();
    listCnt_->Refresh(model_.Document().CurrentItem());
    ShowCurrentItem();
}

void TContentsForm::RefreshProjectLists() {
    const TBrindlewovenProject& project = context_.Project();
    FillComboTopic();
    {
        const QSignalBlocker block(comboWindow_);
        const QString text = comboWindow_->currentText();
        comboWindow_->clear();
        QStringList names;
        for (const std::string& name : TContentsEditorModel::WindowNames(project))
            names << ToQString(name);
        names.sort(Qt::CaseInsensitive);
        comboWindow_->addItem(QString());
        comboWindow_->addItems(names);
        comboWindow_->setCurrentText(text);
    }
    gridModel_->Reset();
    listCnt_->ClearDropTarget();
}

void TContentsForm::FillComboTopic() {
    const QSignalBlocker block(comboTopic_);
    const QString text = comboTopic_->currentText();
    comboTopic_->clear();
    const auto& items = model_.NumberStyle() ? context_.Project().TopicsByNumber()
                                             : context_.Project().TopicsByTitle();
    QStringList texts;
    texts.reserve(static_cast<int>(items.size()));
    for (const auto& item : items)
        texts << ToQString(item.Text);
    comboTopic_->addItems(texts);
    comboTopic_->setCurrentText(text);
}

void TContentsForm::ProjectReplaced() {
    model_.Document().ClearUndoStates();
    if (isVisible())
        LoadFromProject();
    UpdateButtons();
}

void TContentsForm::showEvent(QShowEvent* event) {
    // Read when shown, not on every activation: edits survive a visit to
    // the main window.
    if (!event->spontaneous())
        LoadFromProject();
    TEditorDialog::showEvent(event);
}

void TContentsForm::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        components::ui::SaveFormPlacement(context_.Registry(), kCntEditKey, *this);
        model_.Document().ClearUndoStates();
        UpdateButtons();
    }
    TEditorDialog::hideEvent(event);
}

void TContentsForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible())
        RefreshProjectLists();
    TEditorDialog::changeEvent(event);
}

bool TContentsForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        statusBar_->showMessage(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return TEditorDialog::event(event);
}

bool TContentsForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        // Enter in a field adds what the field belongs to.
        QPushButton* button = btnCntAdd_;
        if (watched == editIndex_ || watched == editIndexFile_)
            button = btnIndexAdd_;
        else if (watched == editLink_)
            button = btnLinkAdd_;
        const bool in = event->type() == QEvent::FocusIn;
        button->setDefault(in);
        OkBtn()->setDefault(!in);
    }
    if (watched == grid_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            BtnCntAddClick();
            return true;
        }
    }
    return TEditorDialog::eventFilter(watched, event);
}

void TContentsForm::accept() {
    model_.Title = FromQString(editTitle_->text());
    model_.DontShowFindTab = checkDontShowFindTab_->isChecked();
    model_.Write(context_.Project());
    context_.Session().SetModified();
    TEditorDialog::accept();
}

// ---- the Contents page -----------------------------------------------------------

void TContentsForm::ListCntClick(int row) {
    model_.Document().SetCurrentItem(row);
    ShowCurrentItem();
}

void TContentsForm::ShowCurrentItem() {
    showing_ = true;
    const TContentsPanel panel = model_.ShowCurrent(context_.Project());
    const bool any = model_.Document().CurrentItem() >= 0;
    radioGroupBox_->setEnabled(any);
    const TContentsItem& item = panel.Item;
    {
        const QSignalBlocker blockSpin(spinTopic_);
        const QSignalBlocker blockTopic(comboTopic_);
        const QSignalBlocker blockWindow(comboWindow_);
        KindButton(item.Kind)->setChecked(true);
        SetTextQuietly(editCntTitle_, item.Title);
        SetTextQuietly(editFile_, item.File);
        comboTopic_->setCurrentText(ToQString(panel.TopicText));
        spinTopic_->setValue(item.TopicNumber);
        SetTextQuietly(editTopic_, item.TopicName);
        SetTextQuietly(editMacro_, item.Macro);
        comboWindow_->setCurrentText(ToQString(item.Window));
    }
    ShowKindControls(item.Kind);
    showing_ = false;
    UpdateButtons();
}

void TContentsForm::ShowKindControls(TContentsKind kind) {
    using K = TContentsKind;
    const bool any = model_.Document().CurrentItem() >= 0;
    const bool link = kind == K::Link;
    const bool ownFile = kind == K::OwnFileLink;
    const bool otherFile = kind == K::OtherFileLink;
    const bool anyLink = link || ownFile || otherFile;
    const bool macro = kind == K::Macro;
    const bool include = kind == K::Include;
    // The topic of a link to this help file is picked from the list, one
    // in another of our help files is given by number, one in any other
    // help file by its context string.
    labelTopic_->setBuddy(ownFile     ? static_cast<QWidget*>(spinTopic_)
                          : otherFile ? static_cast<QWidget*>(editTopic_)
                                      : static_cast<QWidget*>(comboTopic_));
    const std::pair<std::vector<QWidget*>, bool> parts[] = {
        {{labelCntTitle_, editCntTitle_}, !include},
        {{labelFile_, editFile_, btnCntBrowse_}, ownFile || otherFile || include},
        {{labelTopic_}, anyLink},
        {{comboTopic_, btnTopicSort_}, link},
        {{spinTopic_}, ownFile},
        {{editTopic_}, otherFile},
        {{labelMacro_, editMacro_, btnMacro_}, macro},
        {{labelWindow_, comboWindow_}, anyLink},
    };
    for (const auto& [widgets, used] : parts)
        for (QWidget* widget : widgets) {
            widget->setVisible(used);
            widget->setEnabled(any);
        }
}

void TContentsForm::RadioGroupCntItemClick() {
    ShowKindControls(static_cast<TContentsKind>(radioGroupCntItem_->checkedId()));
    EditCntChange();
}

TContentsPanel TContentsForm::PanelFromControls() const {
    TContentsPanel panel;
    TContentsItem& item = panel.Item;
    item.Kind = static_cast<TContentsKind>(std::max(0, radioGroupCntItem_->checkedId()));
    item.Title = FromQString(editCntTitle_->text());
    panel.TopicText = FromQString(comboTopic_->currentText());
    item.TopicNumber = spinTopic_->value();
    item.TopicName = FromQString(editTopic_->text());
    item.File = FromQString(editFile_->text());
    item.Macro = FromQString(editMacro_->text());
    item.Window = FromQString(comboWindow_->currentText());
    // The parts a kind does not have, as ShowCurrent leaves them.
    using K = TContentsKind;
    if (item.Kind != K::Link)
        panel.TopicText.clear();
    return panel;
}

void TContentsForm::EditCntChange() {
    const int current = model_.Document().CurrentItem();
    if (showing_ || current < 0)
        return;
    if (model_.PanelChanged(context_.Project(), PanelFromControls())) {
        listCnt_->RefreshRow(current);
        gridModel_->Repaint();
    }
    UpdateButtons();
}

void TContentsForm::AfterStructureChange() {
    listCnt_->Refresh(model_.Document().CurrentItem());
    ShowCurrentItem();
    gridModel_->Repaint();
}

void TContentsForm::UpdateButtons() {
    btnUndo_->setEnabled(model_.Document().CanUndo());
    btnRedo_->setEnabled(model_.Document().CanRedo());
}

void TContentsForm::BtnCntAddClick() {
    const TBrindlewovenTopic* topic =
        grid_->isVisible()
            ? gridModel_->Topic(grid_->currentIndex().row())
            : model_.TopicFromText(context_.Project(), FromQString(comboTopic_->currentText()));
    model_.AddItem(topic, FromQString(comboWindow_->currentText()));
    AfterStructureChange();
}

void TContentsForm::BtnCntDelClick() {
    if (model_.Document().DeleteCurrent())
        AfterStructureChange();
}

void TContentsForm::BtnCntLeftClick() {
    if (model_.Document().MoveLeft(checkSubFollow_->isChecked()))
        AfterStructureChange();
}

void TContentsForm::BtnCntRightClick() {
    if (model_.Document().MoveRight(checkSubFollow_->isChecked()))
        AfterStructureChange();
}

void TContentsForm::BtnDebugClick() {
    model_.Document().FixIndents();
    AfterStructureChange();
}

void TContentsForm::BtnUndoClick() {
    model_.Document().Undo();
    AfterStructureChange();
}

void TContentsForm::BtnRedoClick() {
    model_.Document().Redo();
    AfterStructureChange();
}

void TContentsForm::ListCntDragDrop(int source, int target) {
    if (model_.Document().Drop(source, target, checkSubFollow_->isChecked()) >= 0)
        AfterStructureChange();
}

void TContentsForm::BtnTopicSortClick(bool down) {
    model_.SetNumberStyle(down);
    FillComboTopic();
    // The item's topic in the new style; the line stays as it is.
    if (model_.Document().CurrentItem() >= 0)
        ShowCurrentItem();
}

std::string TContentsForm::ChooseFile(const TFileDialogSpec& spec) {
    if (chooser_)
        return chooser_(spec);
    QFileDialog dialog(this, ToQString(spec.Title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(spec.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(QtFilter(spec.Filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::string();
    return FromQString(QDir::toNativeSeparators(dialog.selectedFiles().first()));
}

void TContentsForm::BtnCntBrowseClick() {
    const bool include =
        radioGroupCntItem_->checkedId() == static_cast<int>(TContentsKind::Include);
    const std::string path =
        ChooseFile(include ? ContentsFileDialog() : HelpFileDialog("Pick a help file"));
    if (path.empty())
        return;
    editFile_->setText(ToQString(TContentsEditorModel::FileNameOnly(path)));
    EditCntChange();
}

void TContentsForm::BtnMacroClick() {
    if (macroOpener_->Edit(*editMacro_))
        EditCntChange();
}

void TContentsForm::BtnGridClick() {
    SetGridVisible(!grid_->isVisible());
}

void TContentsForm::SetGridVisible(bool visible) {
    const double scale = logicalDpiX() / 96.0;
    if (visible) {
        gridModel_->Reset();
        grid_->show();
        setMaximumWidth(std::max(designedWidth_, static_cast<int>(kGridMaxWidth * scale)));
        if (width() < kGridNarrowWidth * scale)
            resize(static_cast<int>(kGridWideWidth * scale), height());
        btnGrid_->setText("<<");
    } else {
        grid_->hide();
        setMaximumWidth(designedWidth_);
        resize(designedWidth_, height());
        btnGrid_->setText(">>");
    }
}

void TContentsForm::PageControlChange(int page) {
    if (page == 0)
        SetGridVisible(false);
}

// ---- the General page ----------------------------------------------------------

void TContentsForm::ShowIndexList() {
    {
        const QSignalBlocker block(listIndex_);
        listIndex_->clear();
        for (const std::string& item : model_.IndexFiles().Items())
            listIndex_->addItem(ToQString(item));
        listIndex_->setCurrentRow(model_.IndexFiles().Selected());
    }
    ListIndexClick(model_.IndexFiles().Selected());
}

void TContentsForm::ShowLinkList() {
    {
        const QSignalBlocker block(listLink_);
        listLink_->clear();
        for (const std::string& item : model_.LinkFiles().Items())
            listLink_->addItem(ToQString(item));
        listLink_->setCurrentRow(model_.LinkFiles().Selected());
    }
    ListLinkClick(model_.LinkFiles().Selected());
}

void TContentsForm::ListIndexClick(int row) {
    TContentsFileList& list = model_.IndexFiles();
    list.Select(row);
    SetTextQuietly(editIndex_, list.SelectedTitle());
    SetTextQuietly(editIndexFile_, list.SelectedFile());
    const bool any = list.Selected() >= 0;
    for (QWidget* w :
         std::initializer_list<QWidget*>{editIndex_, editIndexFile_, btnIndexDel_, btnIndexBrowse_})
        w->setEnabled(any);
}

void TContentsForm::ListLinkClick(int row) {
    TContentsFileList& list = model_.LinkFiles();
    list.Select(row);
    SetTextQuietly(editLink_, list.SelectedFile());
    const bool any = list.Selected() >= 0;
    for (QWidget* w : std::initializer_list<QWidget*>{editLink_, btnLinkDel_, btnLinkBrowse_})
        w->setEnabled(any);
}

void TContentsForm::EditIndexChange() {
    TContentsFileList& list = model_.IndexFiles();
    if (list.Selected() < 0)
        return;
    list.EditSelected(FromQString(editIndex_->text()), FromQString(editIndexFile_->text()));
    listIndex_->item(list.Selected())->setText(ToQString(list.Items()[list.Selected()]));
}

void TContentsForm::EditLinkChange() {
    TContentsFileList& list = model_.LinkFiles();
    if (list.Selected() < 0)
        return;
    list.EditSelected({}, FromQString(editLink_->text()));
    listLink_->item(list.Selected())->setText(ToQString(list.Items()[list.Selected()]));
}

void TContentsForm::BtnIndexAddClick() {
    model_.IndexFiles().Add(FromQString(editIndex_->text()), FromQString(editIndexFile_->text()));
    ShowIndexList();
}

void TContentsForm::BtnIndexDelClick() {
    model_.IndexFiles().DeleteSelected();
    ShowIndexList();
}

void TContentsForm::BtnLinkAddClick() {
    model_.LinkFiles().Add({}, FromQString(editLink_->text()));
    ShowLinkList();
}

void TContentsForm::BtnLinkDelClick() {
    model_.LinkFiles().DeleteSelected();
    ShowLinkList();
}

void TContentsForm::BtnIndexBrowseClick() {
    const std::string path = ChooseFile(HelpFileDialog("Help file to include in index"));
    if (path.empty())
        return;
    editIndexFile_->setText(ToQString(TContentsEditorModel::FileNameOnly(path)));
    EditIndexChange();
}

void TContentsForm::BtnLinkBrowseClick() {
    const std::string path = ChooseFile(HelpFileDialog("Help file to link to"));
    if (path.empty())
        return;
    editLink_->setText(ToQString(TContentsEditorModel::FileNameOnly(path)));
    EditLinkChange();
}

} // namespace editor::ui
