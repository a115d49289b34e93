#include "editor/ui/textcommands.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTextEdit>

#include "editor/ui/mainactions.h"

namespace editor::ui {

TTextCommands::TTextCommands(TMainActions& actions, QTextEdit& editor)
    : QObject(&editor), actions_(actions), editor_(editor) {}

void TTextCommands::BindActions() {
    const std::pair<const char*, TCommand> commands[] = {
        {"ActionTextCut", TCommand::Cut},       {"ActionTextCopy", TCommand::Copy},
        {"ActionTextPaste", TCommand::Paste},   {"ActionTextPastePlain", TCommand::PastePlain},
        {"ActionTextDelete", TCommand::Delete}, {"ActionTextSelectAll", TCommand::SelectAll},
    };
    for (const auto& [name, command] : commands)
        actions_.Bind(name, [this, command = command] { Run(command); });
}

QLineEdit* TTextCommands::FocusedLine() const {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == &editor_ || editor_.isAncestorOf(focus))
        return nullptr;
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        return line;
    if (auto* combo = qobject_cast<QComboBox*>(focus))
        return combo->lineEdit();
    if (qobject_cast<QAbstractSpinBox*>(focus) != nullptr)
        return focus->findChild<QLineEdit*>();
    return nullptr;
}

void TTextCommands::Run(TCommand command) {
    QLineEdit* line = nullptr;
    if (command != TCommand::Delete && command != TCommand::SelectAll)
        line = FocusedLine();
    if (line != nullptr) {
        switch (command) {
        case TCommand::Cut:
            line->cut();
            break;
        case TCommand::Copy:
            line->copy();
            break;
        default: // a line edit pastes plain text anyway
            line->paste();
            break;
        }
        return;
    }
    switch (command) {
    case TCommand::Cut:
        editor_.cut();
        break;
    case TCommand::Copy:
        editor_.copy();
        break;
    case TCommand::Paste:
        editor_.paste();
        break;
    case TCommand::PastePlain:
        editor_.insertPlainText(QApplication::clipboard()->text());
        break;
    case TCommand::Delete:
        editor_.textCursor().removeSelectedText();
        break;
    case TCommand::SelectAll:
        editor_.selectAll();
        break;
    }
}

} // namespace editor::ui
