#include "editor/ui/propertybar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <limits>

#include "components/ui/ansiqt.h"
#include "editor/barlayout.h"
#include "editor/topiceditor.h"
#include "editor/ui/barsizing.h"
#include "editor/ui/dialogs/keyfiltervalidator.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;
using helpproject::TTopicColumn;

namespace {

QLineEdit* MakeEdit(QToolBar& bar, const char* name, const char* hint, TTopicColumn column) {
    auto* edit = new QLineEdit(&bar);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    edit->setStatusTip(hint);
    edit->setPlaceholderText(hint);
    const TKeyFilter filter = TTopicEditor::PropertyFilter(column);
    if (filter.MaxLength() < 32767)
        edit->setMaxLength(static_cast<int>(filter.MaxLength()));
    bar.addWidget(edit);
    return edit;
}

QComboBox* MakeCombo(QToolBar& bar, const char* name, const char* hint) {
    auto* combo = new QComboBox(&bar);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setToolTip(hint);
    combo->setStatusTip(hint);
    combo->lineEdit()->setPlaceholderText(hint);
    bar.addWidget(combo);
    return combo;
}

QSpinBox* MakeSpin(QToolBar& bar, const char* name, const char* hint) {
    auto* spin = new QSpinBox(&bar);
    spin->setObjectName(name);
    spin->setRange(0, std::numeric_limits<int>::max());
    spin->setToolTip(hint);
    spin->setStatusTip(hint);
    spin->setMinimumWidth(80);
    bar.addWidget(spin);
    return spin;
}

void SetTextQuietly(QLineEdit* edit, const std::string& text) {
    const QString shown = ToQString(text);
    if (edit->text() != shown)
        edit->setText(shown);
}

void FillCombo(QComboBox* combo, const std::vector<std::string>& values) {
    const QString text = combo->currentText();
    combo->clear();
    for (const std::string& value : values)
        combo->addItem(ToQString(value));
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

} // namespace

TPropertyBarWidgets::TPropertyBarWidgets(QToolBar& topicBar, QToolBar& propertiesBar,
                                         QObject* parent)
    : QObject(parent) {
    SpinID = MakeSpin(topicBar, "SpinID", "Topic ID");
    ComboTopic = MakeCombo(topicBar, "ComboTopic", "Topic title");
    ComboTopic->setMaxVisibleItems(24);
    SpinGo = MakeSpin(topicBar, "SpinGo", "Go to the topic with this ID");
    BtnGo = new QToolButton(&topicBar);
    BtnGo->setObjectName("BtnGo");
    BtnGo->setText(tr("Go"));
    BtnGo->setToolTip(tr("Go to topic (right click: history)"));
    BtnGo->setContextMenuPolicy(Qt::CustomContextMenu);
    topicBar.addWidget(BtnGo);

    EditKeywords = MakeEdit(propertiesBar, "EditKeywords", "Keywords", TTopicColumn::KKeywords);
    EditAKeywords = MakeEdit(propertiesBar, "EditAKeywords", "A Keywords", TTopicColumn::AKeywords);
    EditBrowse =
        MakeEdit(propertiesBar, "EditBrowse", "Browse sequence", TTopicColumn::BrowseSequence);
    ui::InstallKeyFilter(EditBrowse, TTopicEditor::PropertyFilter(TTopicColumn::BrowseSequence));
    ComboBuild = MakeCombo(propertiesBar, "ComboBuild", "Build tag");
    ComboBuild->lineEdit()->setMaxLength(50);
    ComboBuild->lineEdit()->setPlaceholderText(tr("Build")); // fits the narrow column
    ui::InstallKeyFilter(ComboBuild, TTopicEditor::PropertyFilter(TTopicColumn::BuildTag));
    ComboStatus = MakeCombo(propertiesBar, "ComboStatus", "Status");
    // The title box takes what the topic bar leaves; the properties bar
    // shares its width among its boxes.
    TBarSizing::Stretch(topicBar, *ComboTopic, *BtnGo);
    propertiesSizing_ = TBarSizing::ShareProperties(
        propertiesBar, {EditKeywords, EditAKeywords, EditBrowse, ComboBuild, ComboStatus},
        [this] { return editor_ && SixthPropertyColumns(editor_->Project().HelpFileKind); });

    connect(SpinID, &QSpinBox::valueChanged, this, &TPropertyBarWidgets::NumberTyped);
    connect(ComboTopic, &QComboBox::editTextChanged, this, &TPropertyBarWidgets::TitleEdited);
    connect(ComboTopic, &QComboBox::activated, this, &TPropertyBarWidgets::TitleActivated);
    connect(EditKeywords, &QLineEdit::textEdited, this, [this](const QString& text) {
        Typed([&] { editor_->SetKKeywords(FromQString(text)); });
    });
    connect(EditAKeywords, &QLineEdit::textEdited, this, [this](const QString& text) {
        Typed([&] { editor_->SetAKeywords(FromQString(text)); });
    });
    connect(EditBrowse, &QLineEdit::textEdited, this, [this](const QString& text) {
        Typed([&] { editor_->SetBrowseSequence(FromQString(text)); });
        SetTextQuietly(EditBrowse, editor_ ? editor_->PropertyBar().BrowseSequence : "");
    });
    connect(ComboBuild, &QComboBox::editTextChanged, this, [this](const QString& text) {
        Typed([&] { editor_->SetBuildTag(FromQString(text)); });
    });
    connect(ComboStatus, &QComboBox::editTextChanged, this,
            [this](const QString& text) { Typed([&] { editor_->SetStatus(FromQString(text)); }); });
    connect(BtnGo, &QToolButton::clicked, this, &TPropertyBarWidgets::Go);
    connect(SpinGo->findChild<QLineEdit*>(), &QLineEdit::returnPressed, this,
            &TPropertyBarWidgets::Go);
    connect(BtnGo, &QWidget::customContextMenuRequested, this,
            &TPropertyBarWidgets::HistoryRequested);
}

template <class TSetter> void TPropertyBarWidgets::Typed(TSetter setter) {
    if (showing_ || editor_ == nullptr)
        return;
    run_(setter);
    emit PropertyTyped();
}

void TPropertyBarWidgets::ShowBar() {
    if (editor_ == nullptr)
        return;
    propertiesSizing_->Apply(); // the help-file kind may have changed
    showing_ = true;
    const TPropertyBar& bar = editor_->PropertyBar();
    SpinID->setValue(bar.Number);
    const int index = editor_->TitleBoxIndex();
    const QString title = ToQString(bar.Title);
    if (index >= 0 && ComboTopic->itemText(index) == title)
        ComboTopic->setCurrentIndex(index);
    else
        ComboTopic->setCurrentIndex(-1);
    if (ComboTopic->currentText() != title)
        ComboTopic->setEditText(title);
    SetTextQuietly(EditKeywords, bar.KKeywords);
    SetTextQuietly(EditAKeywords, bar.AKeywords);
    SetTextQuietly(EditBrowse, bar.BrowseSequence);
    if (ComboBuild->currentText() != ToQString(bar.BuildTag))
        ComboBuild->setEditText(ToQString(bar.BuildTag));
    if (ComboStatus->currentText() != ToQString(bar.Status))
        ComboStatus->setEditText(ToQString(bar.Status));
    showing_ = false;
}

void TPropertyBarWidgets::FillTopicList() {
    if (editor_ == nullptr)
        return;
    showing_ = true;
    QStringList titles;
    const auto& items = editor_->Project().TopicsByTitle();
    titles.reserve(static_cast<qsizetype>(items.size()));
    for (const auto& item : items)
        titles.push_back(ToQString(item.Topic->Title));
    ComboTopic->clear();
    ComboTopic->addItems(titles);
    showing_ = false;
    ShowBar();
}

void TPropertyBarWidgets::FillPropertyLists() {
    if (editor_ == nullptr)
        return;
    showing_ = true;
    FillCombo(ComboBuild, editor_->BuildTagList());
    FillCombo(ComboStatus, editor_->StatusList());
    showing_ = false;
}

void TPropertyBarWidgets::NumberTyped(int value) {
    Typed([&] { editor_->SetNumberBox(value); });
}

void TPropertyBarWidgets::TitleEdited(const QString& text) {
    if (ComboTopic->currentIndex() >= 0 && ComboTopic->itemText(ComboTopic->currentIndex()) == text)
        return; // an item chosen: handled by TitleActivated
    Typed([&] { editor_->TitleTyped(FromQString(text)); });
}

void TPropertyBarWidgets::TitleActivated(int index) {
    if (showing_ || editor_ == nullptr || index < 0)
        return;
    const auto& items = editor_->Project().TopicsByTitle();
    if (static_cast<std::size_t>(index) >= items.size())
        return;
    const std::int32_t number = items[static_cast<std::size_t>(index)].Topic->Number;
    run_([&] { editor_->TitleChosen(number); });
    emit TopicChosen();
}

void TPropertyBarWidgets::Go() {
    if (editor_ == nullptr)
        return;
    run_([&] { editor_->GoToNumberFrom(SpinGo->value()); });
    emit TopicChosen();
}

} // namespace editor::ui
