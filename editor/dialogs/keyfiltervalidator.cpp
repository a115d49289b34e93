#include "editor/dialogs/keyfiltervalidator.h"

#include <QComboBox>
#include <QLineEdit>

#include "components/ui/ansiqt.h"

namespace editor::ui {

using components::ui::FitsAnsi;
using components::ui::FromQString;

TKeyFilterValidator::TKeyFilterValidator(const TKeyFilter& filter, QLineEdit* edit)
    : QValidator(edit), filter_(filter), edit_(edit) {}

QValidator::State TKeyFilterValidator::validate(QString& input, int&) const {
    if (!FitsAnsi(input))
        return Invalid;
    return filter_.AcceptsEdit(FromQString(edit_->text()), FromQString(input)) ? Acceptable
                                                                               : Invalid;
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
