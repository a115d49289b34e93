#include "editor/keyfiltervalidator.h"

#include "components/ui/ansiqt.h"

namespace editor {

QValidator::State TKeyFilterValidator::validate(QString& input, int& /*pos*/) const {
    if (!components::ui::FitsAnsi(input))
        return Invalid;
    const bool accepted = filter_.AcceptsEdit(components::ui::FromQString(accepted_),
                                              components::ui::FromQString(input));
    return accepted ? Acceptable : Invalid;
}

} // namespace editor
