#include "editor/dialogs/buttondialogmodel.h"

#include "editor/markupcommands.h"

namespace editor {

std::string TButtonDialogModel::Action() const {
    if (!LinkToTopic)
        return Macro;
    const std::int32_t number = topic_.Number();
    return number >= 1 ? std::to_string(number) : std::string();
}

std::string TButtonDialogModel::Code() const {
    return ButtonCode(Caption, Action());
}

} // namespace editor
