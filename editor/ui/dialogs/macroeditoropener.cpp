#include "editor/ui/dialogs/macroeditoropener.h"

#include <QLineEdit>

#include "components/ui/ansiqt.h"
#include "editor/ui/dialogs/macroform.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

TMacroForm* TMacroEditorOpener::Form() const {
    return form_;
}

bool TMacroEditorOpener::Edit(QLineEdit& field) {
    if (!form_)
        form_ = new TMacroForm(owner_);
    form_->SetMacroText(FromQString(field.text()));
    if (form_->exec() != QDialog::Accepted)
        return false;
    // The composed text replaces the field's as a whole; the field's own
    // filter judges typing only.
    field.setText(ToQString(form_->MacroText()));
    return true;
}

} // namespace editor::ui
