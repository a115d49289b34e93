#pragma once
// "Edit User Word List": the learned words and the automatic replacements
// of the user word list as two memos; OK puts them back into the list.
#include <QDialog>

#include "speller/userdictionary.h"

class QPlainTextEdit;
class QPushButton;

namespace speller::ui {

class TFormEditWordListMemo : public QDialog {
    Q_OBJECT

public:
    TFormEditWordListMemo(TUserDictionary& list, QWidget* parent = nullptr);

    QPlainTextEdit* EditIgnore() const { return editIgnore_; }
    QPlainTextEdit* EditReplace() const { return editReplace_; }
    QPushButton* BtnOK() const { return btnOK_; }
    QPushButton* BtnCancel() const { return btnCancel_; }

    void accept() override;

private:
    TUserDictionary& list_;
    QPlainTextEdit* editIgnore_ = nullptr;
    QPlainTextEdit* editReplace_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
};

} // namespace speller::ui
