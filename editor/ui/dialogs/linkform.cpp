#include "editor/ui/dialogs/linkform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QVBoxLayout>
#include <initializer_list>
#include <limits>

#include "components/ui/ansiqt.h"
#include "editor/dialogs/linkdialogmodel.h"
#include "editor/ui/dialogs/keyfiltervalidator.h"
#include "editor/ui/dialogs/topicpickerbox.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

QButtonGroup* RadioGroup(QGroupBox* box, const QStringList& items) {
    auto* group = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    return group;
}

QLabel* Label(const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

void ShowAll(std::initializer_list<QWidget*> widgets, bool visible) {
    for (QWidget* widget : widgets)
        widget->setVisible(visible);
}

void SetItems(QComboBox& combo, const std::vector<std::string>& items) {
    combo.clear();
    for (const std::string& item : items)
        combo.addItem(ToQString(item));
}

} // namespace

TLinkForm::TLinkForm(QWidget* parent)
    : TEditorDialog(parent, kHelpContext, TPlace::Centered), macroEditor_(this) {
    setObjectName("LinkForm");
    setWindowTitle(tr("Insert link"));

    auto* textBox = new QGroupBox(tr(" L&inked text "), this);
    textBox->setObjectName("RadioGroupText");
    radioText_ =
        RadioGroup(textBox, {"Green + underline", "No green or underline", "Underline only"});
    auto* linkBox = new QGroupBox(tr(" &Link "), this);
    linkBox->setObjectName("RadioGroupLink");
    radioLink_ = RadioGroup(linkBox, {"This help file", "Other Brindlewoven help file",
                                      "Non-Brindlewoven help file", "Macro", "Target"});

    editFile_ = new QLineEdit(this);
    editFile_->setObjectName("EditFile");
    editFile_->setStatusTip(tr("The help file the topic to link to is in"));
    components::ui::RefuseNonAnsiInput(editFile_);
    labelFile_ = Label(tr("&File:"), editFile_, this);
    browseBtn_ = EllipsisButton("BrowseBtn", this);
    browseBtn_->setStatusTip(tr("Pick the help file where the topic to link to is in"));

    topicBox_ = new TTopicPickerBox(TTopicPickerBox::TKind::Editable, this);
    topicBox_->Combo()->setStatusTip(tr("Pick a topic, or type its context string"));
    InstallKeyFilter(topicBox_->Combo(), TLinkDialogModel::TopicBoxFilter());
    spinTopic_ = new QSpinBox(this);
    spinTopic_->setObjectName("SpinTopic");
    spinTopic_->setRange(1, std::numeric_limits<int>::max());
    spinTopic_->setStatusTip(tr("The number of the topic in the other help file"));
    editTopic_ = new QLineEdit(this);
    editTopic_->setObjectName("EditTopic");
    editTopic_->setStatusTip(tr("The context string of the topic in the other help file"));
    InstallKeyFilter(editTopic_, TLinkDialogModel::TopicBoxFilter());
    labelTopic_ = Label("&Topic:", topicBox_, this);
    labelTopic_->setObjectName("LabelTopic");

    editMacro_ = new QLineEdit(this);
    editMacro_->setObjectName("EditMacro");
    editMacro_->setStatusTip(tr("The WinHelp macro the link runs"));
    components::ui::RefuseNonAnsiInput(editMacro_);
    labelMacro_ = Label(tr("&Macro:"), editMacro_, this);
    macroBtn_ = EllipsisButton("MacroBtn", this);
    macroBtn_->setStatusTip(tr("Compose the macro in the macro editor"));

    comboTarget_ = new QComboBox(this);
    comboTarget_->setObjectName("ComboTarget");
    comboTarget_->setEditable(true);
    comboTarget_->setInsertPolicy(QComboBox::NoInsert);
    comboTarget_->setStatusTip(tr("The target in a topic to jump to"));
    InstallKeyFilter(comboTarget_, TKeyFilter());
    labelTarget_ = Label(tr("T&arget:"), comboTarget_, this);

    comboWindow_ = new QComboBox(this);
    comboWindow_->setObjectName("ComboWindow");
    comboWindow_->setStatusTip(tr("The window the topic is shown in"));
    labelWindow_ = Label(tr("&Window:"), comboWindow_, this);
    checkPopup_ = new QCheckBox(tr("&Popup link"), this);
    checkPopup_->setObjectName("CheckPopup");
    checkPopup_->setStatusTip(tr("Show the topic in a popup window"));

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("StatusBar");
    statusBar_->setSizeGripEnabled(false);

    auto* fields = new QGridLayout;
    fields->addWidget(labelFile_, 0, 0);
    fields->addWidget(editFile_, 0, 1);
    fields->addWidget(browseBtn_, 0, 2);
    fields->addWidget(labelTopic_, 1, 0);
    fields->addWidget(topicBox_, 1, 1, 1, 2);
    fields->addWidget(spinTopic_, 1, 1);
    fields->addWidget(editTopic_, 1, 1);
    fields->addWidget(labelMacro_, 2, 0);
    fields->addWidget(editMacro_, 2, 1);
    fields->addWidget(macroBtn_, 2, 2);
    fields->addWidget(labelTarget_, 3, 0);
    fields->addWidget(comboTarget_, 3, 1, 1, 2);
    fields->addWidget(labelWindow_, 4, 0);
    fields->addWidget(comboWindow_, 4, 1, 1, 2);
    fields->addWidget(checkPopup_, 5, 1, 1, 2);
    fields->setColumnStretch(1, 1);
    fields->setRowStretch(6, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(textBox);
    left->addWidget(linkBox);
    left->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(fields, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(ButtonRow());
    layout->addWidget(statusBar_);
    setMinimumWidth(620);

    connect(radioLink_, &QButtonGroup::idClicked, this, [this] { ShowControlsOfKind(); });
    // The look of the hotspot is kept from one use to the next, Cancel or
    // not, as the kind of link is.
    connect(radioText_, &QButtonGroup::idClicked, this, [this](int id) {
        if (model_ && id >= 0)
            model_->TextKind = static_cast<TLinkTextKind>(id);
    });
    connect(checkPopup_, &QCheckBox::toggled, this, [this] { ShowControlsOfKind(); });
    connect(browseBtn_, &QPushButton::clicked, this, &TLinkForm::BrowseClicked);
    connect(macroBtn_, &QPushButton::clicked, this, [this] { macroEditor_.Edit(*editMacro_); });
}

QComboBox* TLinkForm::ComboTopic() const {
    return topicBox_->Combo();
}

bool TLinkForm::Execute(TLinkDialogModel& model) {
    model_ = &model;
    model.Show();
    LoadControls();
    return exec() == QDialog::Accepted;
}

void TLinkForm::LoadControls() {
    TLinkDialogModel& m = *model_;
    radioText_->button(static_cast<int>(m.TextKind))->setChecked(true);
    radioLink_->button(static_cast<int>(m.LinkKind))->setChecked(true);
    editFile_->setText(ToQString(m.File));
    spinTopic_->setValue(m.SpinTopic);
    editTopic_->setText(ToQString(m.EditTopic));
    editMacro_->setText(ToQString(m.Macro));
    checkPopup_->setChecked(m.Popup);
    topicBox_->Bind(m.Topic(), [&m](bool down) { m.SetSortByNumber(down); });
    SetItems(*comboWindow_, m.Windows());
    comboWindow_->setCurrentIndex(std::max(0, comboWindow_->findText(ToQString(m.Window))));
    SetItems(*comboTarget_, m.Targets());
    comboTarget_->setEditText(ToQString(m.Target));
    ShowControlsOfKind();
}

void TLinkForm::ShowControlsOfKind() {
    if (!model_)
        return;
    model_->LinkKind = static_cast<TLinkKind>(std::max(0, radioLink_->checkedId()));
    model_->Popup = checkPopup_->isChecked();
    const TLinkDialogControls c = model_->Controls();
    using TFocus = TLinkDialogControls::TFocus;
    topicBox_->setVisible(c.TopicCombo);
    ShowAll({labelFile_, editFile_, browseBtn_}, c.File);
    spinTopic_->setVisible(c.SpinTopic);
    editTopic_->setVisible(c.EditTopic);
    labelTopic_->setVisible(c.LabelFocus != TFocus::None);
    ShowAll({labelMacro_, editMacro_, macroBtn_}, c.Macro);
    ShowAll({labelTarget_, comboTarget_}, c.Target);
    ShowAll({labelWindow_, comboWindow_}, c.Window);
    checkPopup_->setVisible(c.Popup);
    switch (c.LabelFocus) {
    case TFocus::TopicCombo:
        labelTopic_->setBuddy(topicBox_->Combo());
        break;
    case TFocus::SpinTopic:
        labelTopic_->setBuddy(spinTopic_);
        break;
    case TFocus::EditTopic:
        labelTopic_->setBuddy(editTopic_);
        break;
    case TFocus::None:
        break;
    }
}

void TLinkForm::BrowseClicked() {
    QFileDialog dialog(this, "Pick the help file where the topic to link to is in");
    dialog.setObjectName("HLPDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({"Help files (*.hlp *.chm)", "All files (*)"});
    dialog.setDefaultSuffix("hlp");
    dialog.selectFile(editFile_->text());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || !model_)
        return;
    model_->FileChosen(FromQString(QDir::toNativeSeparators(dialog.selectedFiles()[0])));
    editFile_->setText(ToQString(model_->File));
}

void TLinkForm::accept() {
    if (model_) {
        TLinkDialogModel& m = *model_;
        m.TextKind = static_cast<TLinkTextKind>(std::max(0, radioText_->checkedId()));
        m.LinkKind = static_cast<TLinkKind>(std::max(0, radioLink_->checkedId()));
        m.File = FromQString(editFile_->text());
        m.SpinTopic = spinTopic_->value();
        m.EditTopic = FromQString(editTopic_->text());
        m.Macro = FromQString(editMacro_->text());
        m.Window = FromQString(comboWindow_->currentText());
        m.Target = FromQString(comboTarget_->currentText());
        m.Popup = checkPopup_->isChecked();
        m.Topic().SetText(FromQString(topicBox_->Combo()->currentText()));
        if (const std::optional<TLinkCodeProblem> problem = m.CodeProblem()) {
            Refuse(problem->Message, FieldOf(problem->Field));
            return;
        }
    }
    QDialog::accept();
}

QWidget* TLinkForm::FieldOf(TLinkCodeProblem::TField field) const {
    using TField = TLinkCodeProblem::TField;
    switch (field) {
    case TField::Topic:
        return topicBox_->Combo();
    case TField::File:
        return editFile_;
    case TField::EditTopic:
        return editTopic_;
    case TField::Macro:
        return editMacro_;
    case TField::Target:
        return comboTarget_;
    case TField::Window:
        return comboWindow_;
    }
    return nullptr;
}

bool TLinkForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        statusBar_->showMessage(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

} // namespace editor::ui
