#include "editor/ui/dialogs/topicpickerbox.h"

#include <QComboBox>
#include <QCompleter>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QStringList>
#include <QToolButton>

#include "components/ui/ansiqt.h"
#include "editor/dialogs/topicpicker.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

TTopicPickerBox::TTopicPickerBox(TKind kind, QWidget* parent) : QWidget(parent) {
    combo_ = new QComboBox(this);
    combo_->setObjectName("ComboTopic");
    combo_->setEditable(kind == TKind::Editable);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo_->setMinimumContentsLength(30);
    combo_->setMaxVisibleItems(20);
    // Completing a typed context string must not change its case.
    if (combo_->completer())
        combo_->completer()->setCaseSensitivity(Qt::CaseSensitive);
    sortButton_ = new QToolButton(this);
    sortButton_->setObjectName("BtnTopicSort");
    sortButton_->setText(tr("#"));
    sortButton_->setCheckable(true);
    sortButton_->setToolTip(tr("List the topics by number"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(combo_, 1);
    layout->addWidget(sortButton_);
    setFocusProxy(combo_);

    connect(sortButton_, &QToolButton::clicked, this, &TTopicPickerBox::SortClicked);
    if (combo_->isEditable())
        connect(combo_, &QComboBox::editTextChanged, this, &TTopicPickerBox::TextEdited);
    else
        connect(combo_, &QComboBox::currentIndexChanged, this, &TTopicPickerBox::ItemChosen);
}

void TTopicPickerBox::Bind(TTopicPicker& picker, std::function<void(bool)> setSort) {
    picker_ = &picker;
    setSort_ = std::move(setSort);
    Refill();
}

void TTopicPickerBox::Refill() {
    if (!picker_)
        return;
    const QSignalBlocker block(combo_);
    combo_->clear();
    QStringList items;
    for (const auto& item : picker_->Items())
        items.append(ToQString(item.Text));
    combo_->addItems(items);
    sortButton_->setChecked(picker_->NumberStyle());
    const int index = picker_->SelectedIndex();
    combo_->setCurrentIndex(index);
    if (combo_->isEditable())
        combo_->setEditText(ToQString(picker_->Text()));
}

void TTopicPickerBox::SortClicked(bool down) {
    if (!picker_)
        return;
    setSort_(down);
    Refill();
}

void TTopicPickerBox::TextEdited(const QString& text) {
    if (picker_)
        picker_->SetText(FromQString(text));
}

void TTopicPickerBox::ItemChosen(int index) {
    if (picker_)
        picker_->Select(index);
}

} // namespace editor::ui
