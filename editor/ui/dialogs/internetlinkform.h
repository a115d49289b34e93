#pragma once
// The Internet Link dialog: the hotspot text (the editor's selection when it
// opens) and the address the link opens. OK needs an address; one holding a
// brace or a double quote (the code quotes the address) is refused with a
// message and the dialog stays open.
#include <string>

#include "editor/ui/dialogs/editordialog.h"

class QLineEdit;

namespace editor::ui {

class TInternetLinkForm : public TEditorDialog {
    Q_OBJECT

public:
    explicit TInternetLinkForm(QWidget* parent = nullptr);

    QLineEdit* EditText = nullptr;
    QLineEdit* EditAddress = nullptr;

    // Shows the dialog with `text` in the text field; true for OK.
    bool Execute(const std::string& text);
    // What OK took (Windows-1252).
    std::string Text() const;
    std::string Address() const;

    void accept() override;

private:
    void UpdateOk();
};

} // namespace editor::ui
