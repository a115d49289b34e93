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

std::optional<TButtonDialogModel::TCodeProblem> TButtonDialogModel::CodeProblem() const {
    if (std::string message = CodeTextProblem("The button caption", Caption); !message.empty())
        return TCodeProblem{false, std::move(message)};
    if (!LinkToTopic)
        if (std::string message = CodeTextProblem("The macro", Macro); !message.empty())
            return TCodeProblem{true, std::move(message)};
    return std::nullopt;
}

} // namespace editor
