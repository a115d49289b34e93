#pragma once
// The Text menu's clipboard commands: Cut, Copy, Paste and Paste as Plain
// Text work on the topic editor when it has the focus and otherwise on the
// edit box that has it (the tool-bar boxes included); Delete and Select All
// work on the editor.
#include <QObject>

class QLineEdit;
class QTextEdit;
class QWidget;

namespace editor::ui {

class TMainActions;

class TTextCommands : public QObject {
    Q_OBJECT

public:
    TTextCommands(TMainActions& actions, QTextEdit& editor);

    void BindActions();

    enum class TCommand { Cut, Copy, Paste, PastePlain, Delete, SelectAll };
    void Run(TCommand command);

private:
    // The edit line of the focused widget (a line edit, an editable combo
    // box's line, a spin box's line), nullptr when the editor or nothing
    // editable has the focus.
    QLineEdit* FocusedLine() const;

    TMainActions& actions_;
    QTextEdit& editor_;
};

} // namespace editor::ui
