#include "editor/ui/dialogs/macroform.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "editor/ui/dialogs/keyfiltervalidator.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

// Where the nested editor opens: down and to the right of its caller.
constexpr int kNestedOffset = 16;

QLineEdit* ParameterEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    InstallKeyFilter(edit, TKeyFilter());
    return edit;
}

} // namespace

TMacroForm::TMacroForm(QWidget* parent) : TEditorDialog(parent, kHelpContext, TPlace::Owner) {
    setObjectName("MacroForm");
    setWindowTitle(tr("Brindlewoven Macro Editor"));

    listMacro_ = new QListWidget(this);
    listMacro_->setObjectName("ListMacro");
    for (const TMacroRecord& record : kMacroTable)
        listMacro_->addItem(ToQString(record.Name));
    // As wide as the longest name: the room is the parameters'.
    listMacro_->setFixedWidth(listMacro_->sizeHintForColumn(0) +
                              listMacro_->verticalScrollBar()->sizeHint().width() +
                              2 * listMacro_->frameWidth() + 8);
    listMacro_->setMinimumHeight(300);

    labelMacro_ = new QLabel(this);
    labelMacro_->setObjectName("LabelMacro");
    labelMacro_->setWordWrap(true);
    labelMacro_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labelMacro_->setMinimumHeight(4 * fontMetrics().lineSpacing());
    labelWin95_ = new QLabel(tr("32-bit WinHelp only"), this);
    labelWin95_->setObjectName("LabelWin95");
    QFont bold = labelWin95_->font();
    bold.setBold(true);
    labelWin95_->setFont(bold);

    auto* parameters = new QGridLayout;
    for (std::size_t i = 0; i < TMacroRecord::kParameters; ++i) {
        const QString n = QString::number(i + 1);
        edits_[i] = ParameterEdit(this);
        edits_[i]->setObjectName("Edit" + n);
        edits_[i]->installEventFilter(this);
        labels_[i] = new QLabel(this);
        labels_[i]->setObjectName("Label" + n);
        labels_[i]->setBuddy(edits_[i]);
        buttons_[i] = EllipsisButton(qPrintable("Button" + n), this);
        connect(buttons_[i], &QPushButton::clicked, this, [this, i] { ParamButtonClicked(i); });
        const int row = static_cast<int>(i);
        parameters->addWidget(labels_[i], row, 0);
        parameters->addWidget(edits_[i], row, 1);
        parameters->addWidget(buttons_[i], row, 2);
    }
    parameters->setColumnStretch(1, 1);
    parameters->setColumnMinimumWidth(0, fontMetrics().horizontalAdvance("context-string") + 8);
    parameters->setColumnMinimumWidth(2, buttons_[0]->width());

    labelHint_ = new QLabel(this);
    labelHint_->setObjectName("LabelHint");
    labelHint_->setWordWrap(true);
    labelHint_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labelHint_->setMinimumHeight(3 * fontMetrics().lineSpacing());
    labelHint_->setFrameShape(QFrame::StyledPanel);

    memoMacro_ = new QLineEdit(this);
    memoMacro_->setObjectName("MemoMacro");
    InstallKeyFilter(memoMacro_, TKeyFilter(TKeyFilter::TKind::Any, TMacroEditorModel::kMaxMemo));
    auto* memoLabel = new QLabel(tr("&Macro:"), this);
    memoLabel->setBuddy(memoMacro_);
    addBtn_ = new QPushButton(tr("Add"), this);
    addBtn_->setObjectName("AddBtn");
    addBtn_->setDefault(true);
    clearBtn_ = new QPushButton(tr("Clear"), this);
    clearBtn_->setObjectName("BitBtn1");
    clearBtn_->setAutoDefault(false);

    // Enter adds the call; OK is clicked.
    OkBtn()->setDefault(false);
    for (QPushButton* b : {OkBtn(), CancelBtn(), HelpBtn()})
        b->setAutoDefault(false);

    auto* right = new QVBoxLayout;
    right->addWidget(labelMacro_);
    right->addWidget(labelWin95_);
    right->addLayout(parameters);
    right->addWidget(labelHint_);
    right->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(listMacro_);
    top->addLayout(right, 1);

    auto* memo = new QHBoxLayout;
    memo->addWidget(memoLabel);
    memo->addWidget(memoMacro_, 1);
    memo->addWidget(addBtn_);
    memo->addWidget(clearBtn_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(memo);
    layout->addLayout(ButtonRow());
    resize(640, 440);

    connect(listMacro_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            model_.SelectMacro(static_cast<std::size_t>(row));
        ShowMacro();
    });
    connect(addBtn_, &QPushButton::clicked, this, &TMacroForm::AddClicked);
    connect(clearBtn_, &QPushButton::clicked, memoMacro_, &QLineEdit::clear);

    listMacro_->setCurrentRow(0);
    ShowMacro();
}

void TMacroForm::ShowMacro() {
    labelMacro_->setText(ToQString(model_.Description()));
    labelWin95_->setVisible(model_.Win32Only());
    for (std::size_t i = 0; i < TMacroRecord::kParameters; ++i) {
        const TMacroSlot slot = model_.Slot(i);
        labels_[i]->setVisible(slot.Visible);
        edits_[i]->setVisible(slot.Visible);
        buttons_[i]->setVisible(slot.HasButton);
        labels_[i]->setText(ToQString(slot.Label));
        edits_[i]->setStatusTip(ToQString(slot.Hint));
        edits_[i]->setToolTip(ToQString(slot.Hint));
    }
    labelHint_->clear();
}

void TMacroForm::showEvent(QShowEvent* event) {
    model_.Show();
    memoMacro_->setText(ToQString(model_.Memo));
    TEditorDialog::showEvent(event);
}

bool TMacroForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (!tip.isEmpty())
            labelHint_->setText(tip);
        return true;
    }
    return QDialog::event(event);
}

bool TMacroForm::eventFilter(QObject* watched, QEvent* event) {
    // The hint of the parameter being typed stays in view.
    if (event->type() == QEvent::FocusIn)
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            labelHint_->setText(edit->statusTip());
    return QDialog::eventFilter(watched, event);
}

void TMacroForm::AddClicked() {
    for (std::size_t i = 0; i < TMacroRecord::kParameters; ++i)
        model_.Values[i] = FromQString(edits_[i]->text());
    model_.Memo = FromQString(memoMacro_->text());
    model_.Add();
    memoMacro_->setText(ToQString(model_.Memo));
}

void TMacroForm::accept() {
    if (memoMacro_->text().isEmpty())
        AddClicked();
    model_.Memo = FromQString(memoMacro_->text());
    model_.Ok();
    QDialog::accept();
}

void TMacroForm::ParamButtonClicked(std::size_t slot) {
    switch (model_.Slot(slot).Type) {
    case TMacroParamType::Hlp:
        ChooseHelpFile(slot);
        break;
    case TMacroParamType::Mac:
        ComposeNestedMacro(slot);
        break;
    default:
        break;
    }
}

void TMacroForm::ChooseHelpFile(std::size_t slot) {
    QFileDialog dialog(this);
    dialog.setObjectName("HLPDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({"Help files (*.hlp)", "All files (*)"});
    if (!model_.HelpFolder().empty())
        dialog.setDirectory(ToQString(model_.HelpFolder()));
    dialog.selectFile(edits_[slot]->text());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    model_.HelpFileChosen(slot, FromQString(QDir::toNativeSeparators(dialog.selectedFiles()[0])));
    edits_[slot]->setText(ToQString(model_.Values[slot]));
}

void TMacroForm::ComposeNestedMacro(std::size_t slot) {
    TMacroForm nested(this);
    nested.setObjectName("NestedMacroForm");
    nested.move(pos() + QPoint(kNestedOffset, kNestedOffset));
    nested.SetMacroText(FromQString(edits_[slot]->text()));
    if (nested.exec() != QDialog::Accepted)
        return;
    model_.NestedMacroAccepted(slot, nested.MacroText());
    edits_[slot]->setText(ToQString(model_.Values[slot]));
}

} // namespace editor::ui
