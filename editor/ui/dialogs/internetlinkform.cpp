#include "editor/ui/dialogs/internetlinkform.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "editor/markupcommands.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

TInternetLinkForm::TInternetLinkForm(QWidget* parent) : TEditorDialog(parent, 0, TPlace::Owner) {
    setObjectName("InternetLinkForm");
    setWindowTitle(tr("Insert Internet Link"));
    EditText = new QLineEdit(this);
    EditText->setObjectName("EditText");
    EditAddress = new QLineEdit(this);
    EditAddress->setObjectName("EditAddress");
    EditAddress->setPlaceholderText("https://");
    EditAddress->setMinimumWidth(320);
    auto* fields = new QFormLayout;
    fields->addRow(tr("&Text:"), EditText);
    fields->addRow(tr("&Address:"), EditAddress);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(ButtonRow());
    HelpBtn()->hide();
    connect(EditAddress, &QLineEdit::textChanged, this, &TInternetLinkForm::UpdateOk);
    UpdateOk();
}

bool TInternetLinkForm::Execute(const std::string& text) {
    EditText->setText(ToQString(text));
    EditAddress->setFocus();
    EditAddress->selectAll();
    UpdateOk();
    return exec() == QDialog::Accepted;
}

std::string TInternetLinkForm::Text() const {
    return FromQString(EditText->text());
}

std::string TInternetLinkForm::Address() const {
    return FromQString(EditAddress->text().trimmed());
}

void TInternetLinkForm::UpdateOk() {
    OkBtn()->setEnabled(!EditAddress->text().trimmed().isEmpty());
}

void TInternetLinkForm::accept() {
    const std::string problem = CodeTextProblem("The address", Address(), TCodeQuoting::Quoted);
    if (!problem.empty()) {
        Refuse(problem, EditAddress);
        return;
    }
    QDialog::accept();
}

} // namespace editor::ui
