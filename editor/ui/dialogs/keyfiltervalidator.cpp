#include "editor/ui/dialogs/keyfiltervalidator.h"

#include <QComboBox>
#include <QLineEdit>

#include "components/ui/ansiqt.h"

namespace editor::ui {

using components::ui::FitsAnsi;
using components::ui::FromQString;

TKeyFilterValidator::TKeyFilterValidator(const TKeyFilter& filter, QLineEdit* edit)
    : QValidator(edit), filter_(filter), edit_(edit), before_(edit->text()) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
}

QValidator::State TKeyFilterValidator::validate(QString& input, int&) const {
    // Text set by the program (a stored value loaded, an item of the list
    // chosen) empties the box's undo history; only what is typed or pasted
    // afterwards is judged.
    if (!edit_->isUndoAvailable())
        return Acceptable;
    if (!FitsAnsi(input))
        return Invalid;
    return filter_.AcceptsEdit(FromQString(before_), FromQString(input)) ? Acceptable : Invalid;
}

TKeyFilterValidator* InstallKeyFilter(QLineEdit* edit, const TKeyFilter& filter) {
    // The Windows-1252 validator brings the refusal tip; ours replaces it and
    // checks both.
    components::ui::RefuseNonAnsiInput(edit);
    auto* validator = new TKeyFilterValidator(filter, edit);
    edit->setValidator(validator);
    return validator;
}

TKeyFilterValidator* InstallKeyFilter(QComboBox* combo, const TKeyFilter& filter) {
    return InstallKeyFilter(combo->lineEdit(), filter);
}

} // namespace editor::ui
