#pragma once
// The "..." button beside a macro field: opens the dialog's macro editor
// (made on first use and kept, so it shows the macro picked last time) on
// the field's text and on OK puts the composed macro into the field.
#include <QPointer>

class QLineEdit;
class QWidget;

namespace editor::ui {

class TMacroForm;

class TMacroEditorOpener {
public:
    explicit TMacroEditorOpener(QWidget* owner) : owner_(owner) {}

    // True when the editor was closed with OK and the field took its result.
    bool Edit(QLineEdit& field);
    TMacroForm* Form() const;

private:
    QWidget* owner_;
    QPointer<TMacroForm> form_;
};

} // namespace editor::ui
