#pragma once
// The topic box of the link and button dialogs: a combo box listing the
// project's topics as "%s (%d)" sorted by title, or as "%d: %s" in number
// order while its sort button is down, over a TTopicPicker. The link
// dialog's box takes typed context strings too; the button dialog's is a
// drop-down list.
#include <QWidget>
#include <functional>

class QComboBox;
class QToolButton;

namespace editor {
class TTopicPicker;
}

namespace editor::ui {

class TTopicPickerBox : public QWidget {
    Q_OBJECT
public:
    enum class TKind { Editable, DropDownList };
    TTopicPickerBox(TKind kind, QWidget* parent = nullptr);

    // The picker shown and what the sort button does to it (it switches the
    // picker's style, keeping what the dialog's rule keeps).
    void Bind(TTopicPicker& picker, std::function<void(bool numberStyle)> setSort);
    // Fills the list from the picker's items and shows its text.
    void Refill();

    QComboBox* Combo() const { return combo_; }
    QToolButton* SortButton() const { return sortButton_; }

private:
    void SortClicked(bool down);
    void TextEdited(const QString& text);
    void ItemChosen(int index);

    QComboBox* combo_;
    QToolButton* sortButton_;
    TTopicPicker* picker_ = nullptr;
    std::function<void(bool)> setSort_;
};

} // namespace editor::ui
