#include "editor/ui/dialogs/browseform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/centeronscreen.h"
#include "components/ui/saveformsize.h"
#include "editor/dialogs/browsesequencemodel.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

// Sequence names: letters only, in lower case.
class TSequenceNameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (!components::ui::FitsAnsi(input))
            return Invalid;
        std::string name;
        for (char c : FromQString(input)) {
            const char key = TBrowseSequenceModel::NameKey(c);
            if (key == 0 || key == '\b')
                return Invalid;
            name += key;
        }
        input = ToQString(name);
        return Acceptable;
    }
};

} // namespace

// ---- the lists ------------------------------------------------------------------------

TBrowseList::TBrowseList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false); // drawn in red by paintEvent
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    // Near the top or bottom edge a drag scrolls the list item by item.
    setAutoScroll(true);
    setAutoScrollMargin(fontMetrics().height() + 4);
}

std::vector<int> TBrowseList::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int TBrowseList::DropRow(const QPoint& at) const {
    const QModelIndex index = indexAt(at);
    return index.isValid() ? index.row() : -1;
}

void TBrowseList::dragEnterEvent(QDragEnterEvent* event) {
    if (qobject_cast<TBrowseList*>(event->source())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TBrowseList::dragMoveEvent(QDragMoveEvent* event) {
    QListWidget::dragMoveEvent(event); // scrolls near the edges
    if (!qobject_cast<TBrowseList*>(event->source())) {
        event->ignore();
        return;
    }
    dropTarget_ = DropRow(event->position().toPoint());
    event->setDropAction(Qt::MoveAction);
    event->accept();
    viewport()->update();
}

void TBrowseList::dragLeaveEvent(QDragLeaveEvent* event) {
    dropTarget_ = -2;
    viewport()->update();
    QListWidget::dragLeaveEvent(event);
}

void TBrowseList::dropEvent(QDropEvent* event) {
    auto* source = qobject_cast<TBrowseList*>(event->source());
    dropTarget_ = -2;
    viewport()->update();
    if (!source || !Dropped) {
        event->ignore();
        return;
    }
    // The lists follow the model; Qt's own move is not wanted.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    const std::vector<int> rows = source->SelectedRows();
    const int at = DropRow(event->position().toPoint());
    QTimer::singleShot(0, this, [this, source, rows, at] { Dropped(source, rows, at); });
}

void TBrowseList::paintEvent(QPaintEvent* event) {
    QListWidget::paintEvent(event);
    if (dropTarget_ == -2)
        return;
    QPainter painter(viewport());
    painter.setPen(QPen(Qt::red, 2));
    int y = 0;
    if (dropTarget_ >= 0 && dropTarget_ < count())
        y = visualItemRect(item(dropTarget_)).top();
    else if (count() > 0)
        y = visualItemRect(item(count() - 1)).bottom();
    painter.drawLine(0, y, viewport()->width(), y);
}

// ---- the editor -----------------------------------------------------------------------

TBrowseForm::TBrowseForm(components::IMessenger& messenger, platform::Registry* registry,
                         QWidget* parent)
    : QDialog(parent), messenger_(messenger), registry_(registry) {
    setObjectName("BrowseForm");
    setWindowTitle("Browse Sequence Editor");
    comboBrowse_ = new QComboBox(this);
    comboBrowse_->setObjectName("ComboBrowse");
    comboBrowse_->setEditable(true);
    comboBrowse_->setInsertPolicy(QComboBox::NoInsert);
    comboBrowse_->lineEdit()->setValidator(new TSequenceNameValidator(comboBrowse_));
    auto* browseLabel = new QLabel("&Browse sequence:", this);
    browseLabel->setBuddy(comboBrowse_);
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    readBtn_ = button("ReadBtn", "&Read sequence");
    appendBtn_ = button("AppendBtn", "A&ppend sequence");
    writeBtn_ = button("WriteBtn", "&Write sequence");
    newBtn_ = button("NewBtn", "&New sequence");
    checkSort_ = new QCheckBox("&Sort available topics alphabetically", this);
    checkSort_->setObjectName("CheckSort");
    listTopic_ = new TBrowseList(this);
    listTopic_->setObjectName("ListTopic");
    listBrowse_ = new TBrowseList(this);
    listBrowse_->setObjectName("ListBrowse");
    auto* topicLabel = new QLabel("    &Available topics:", this);
    topicLabel->setBuddy(listTopic_);
    auto* browseListLabel = new QLabel("    &Topics in browse sequence:", this);
    browseListLabel->setBuddy(listBrowse_);
    btnAdd_ = button("BtnAdd", ">");
    btnAdd_->setToolTip("Add the selected topics to the browse sequence (Ctrl+Enter)");
    btnRemove_ = button("BtnRemove", "<");
    btnRemove_->setToolTip("Take the selected topics out of the browse sequence (Ctrl+Enter)");
    labelStatus_ = new QLabel(this);
    labelStatus_->setObjectName("LabelStatus");
    labelStatus_->setStyleSheet("color: red;");
    labelStatus_->hide();
    timerStatus_ = new QTimer(this);
    timerStatus_->setObjectName("TimerStatus");
    timerStatus_->setInterval(1000);
    closeBtn_ = button("CloseBtn", "&Close");
    closeBtn_->setDefault(true);
    helpBtn_ = button("HelpBtn", "&Help");

    auto* top = new QGridLayout;
    top->addWidget(browseLabel, 0, 0);
    top->addWidget(comboBrowse_, 0, 1);
    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {readBtn_, appendBtn_, writeBtn_, newBtn_})
        commands->addWidget(b);
    top->addLayout(commands, 1, 0, 1, 2);
    top->setColumnStretch(1, 1);
    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(btnAdd_);
    middle->addWidget(btnRemove_);
    middle->addStretch(1);
    auto* lists = new QGridLayout;
    lists->addWidget(topicLabel, 0, 0);
    lists->addWidget(browseListLabel, 0, 2);
    lists->addWidget(listTopic_, 1, 0);
    lists->addLayout(middle, 1, 1);
    lists->addWidget(listBrowse_, 1, 2);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(2, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(labelStatus_);
    bottom->addStretch(1);
    bottom->addWidget(closeBtn_);
    bottom->addWidget(helpBtn_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(checkSort_);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);
    resize(640, 460);

    connect(comboBrowse_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (model_)
            model_->SetName(FromQString(text));
    });
    connect(readBtn_, &QPushButton::clicked, this, [this] { Act([this] { model_->Read(); }); });
    connect(appendBtn_, &QPushButton::clicked, this, [this] { Act([this] { model_->Append(); }); });
    connect(writeBtn_, &QPushButton::clicked, this, [this] { Act([this] { model_->Write(); }); });
    connect(newBtn_, &QPushButton::clicked, this, [this] {
        Act([this] { model_->New(); });
        comboBrowse_->setEditText(QString());
    });
    connect(checkSort_, &QCheckBox::toggled, this,
            [this](bool on) { Act([this, on] { model_->SetSortAvailable(on); }); });
    connect(btnAdd_, &QPushButton::clicked, this,
            [this] { Act([this] { model_->AddToSequence(listTopic_->SelectedRows()); }); });
    connect(btnRemove_, &QPushButton::clicked, this,
            [this] { Act([this] { model_->RemoveFromSequence(listBrowse_->SelectedRows()); }); });
    connect(listTopic_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = listTopic_->row(item);
        Act([this, row] { model_->AddToSequence({row}); });
    });
    connect(listBrowse_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = listBrowse_->row(item);
        Act([this, row] { model_->RemoveFromSequence({row}); });
    });
    listBrowse_->Dropped = [this](TBrowseList* source, const std::vector<int>& rows, int at) {
        Act([&] {
            if (source == listTopic_)
                model_->DropIntoSequence(rows, at);
            else
                model_->MoveWithinSequence(rows, at);
        });
    };
    listTopic_->Dropped = [this](TBrowseList* source, const std::vector<int>& rows, int) {
        if (source == listBrowse_)
            Act([&] { model_->DropIntoAvailable(rows); });
    };
    listTopic_->installEventFilter(this);
    listBrowse_->installEventFilter(this);
    connect(timerStatus_, &QTimer::timeout, this, [this] {
        if (++statusTicks_ >= 3) {
            labelStatus_->hide();
            timerStatus_->stop();
        }
    });
    connect(closeBtn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(helpBtn_, &QPushButton::clicked, this, [this] { emit HelpRequested(kHelpContext); });
    if (!registry_ || !components::ui::LoadFormPlacement(*registry_, kBrowseKey, *this))
        components::ui::CenterOnScreen(*this);
}

TBrowseForm::~TBrowseForm() = default;

void TBrowseForm::Execute(TBrowseSequenceModel& model) {
    model_ = &model;
    model.Show();
    {
        const QSignalBlocker block(checkSort_);
        checkSort_->setChecked(false);
    }
    model.SetSortAvailable(false);
    ShowNames();
    comboBrowse_->setEditText(QString());
    model.SetName(std::string());
    labelStatus_->hide();
    ShowLists();
    exec();
    model_ = nullptr;
}

void TBrowseForm::Act(const std::function<void()>& action) {
    if (!model_)
        return;
    const std::string before = model_->StatusText();
    try {
        action();
    } catch (const std::exception& error) {
        messenger_.ShowMessage(components::TMessageKind::Error, "Browse Sequence Editor",
                               error.what());
    }
    ShowNames();
    ShowLists();
    if (model_->StatusText() != before || sender() == readBtn_ || sender() == writeBtn_ ||
        sender() == appendBtn_)
        ShowStatus();
}

void TBrowseForm::ShowNames() {
    const QString text = comboBrowse_->currentText();
    const QSignalBlocker block(comboBrowse_);
    comboBrowse_->clear();
    for (const std::string& name : model_->Names())
        comboBrowse_->addItem(ToQString(name));
    comboBrowse_->setEditText(text);
}

void TBrowseForm::ShowLists() {
    auto fill = [](QListWidget* list, const std::vector<std::string>& items) {
        list->clear();
        for (const std::string& item : items)
            list->addItem(ToQString(item));
    };
    fill(listTopic_, model_->Available());
    fill(listBrowse_, model_->Sequence());
}

void TBrowseForm::ShowStatus() {
    if (model_->StatusText().empty())
        return;
    labelStatus_->setText(ToQString(model_->StatusText()));
    labelStatus_->show();
    statusTicks_ = 0;
    timerStatus_->start();
}

bool TBrowseForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & Qt::ControlModifier)) {
            (watched == listTopic_ ? btnAdd_ : btnRemove_)->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TBrowseForm::hideEvent(QHideEvent* event) {
    if (registry_)
        components::ui::SaveFormPlacement(*registry_, kBrowseKey, *this);
    QDialog::hideEvent(event);
}

} // namespace editor::ui
