#include "speller/ui/formeditwordlistmemo.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "speller/wordlistmemo.h"

namespace speller::ui {

using components::ui::FromQString;
using components::ui::ToQString;

TFormEditWordListMemo::TFormEditWordListMemo(TUserDictionary& list, QWidget* parent)
    : QDialog(parent), list_(list) {
    setObjectName("FormEditWordListMemo");
    setWindowTitle(tr("Edit User Word List"));
    auto* top = new QVBoxLayout(this);
    auto* memos = new QHBoxLayout;
    auto column = [&](const QString& caption, const char* name) {
        auto* box = new QVBoxLayout;
        auto* label = new QLabel(caption, this);
        auto* memo = new QPlainTextEdit(this);
        memo->setObjectName(name);
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        label->setBuddy(memo);
        box->addWidget(label);
        box->addWidget(memo, 1);
        memos->addLayout(box, 1);
        return memo;
    };
    editIgnore_ = column(tr("&Learned words:"), "EditIgnore");
    editReplace_ = column(tr("&Automatic replacements:"), "EditReplace");
    top->addLayout(memos, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK_ = buttons->button(QDialogButtonBox::Ok);
    btnOK_->setObjectName("BtnOK");
    btnCancel_ = buttons->button(QDialogButtonBox::Cancel);
    btnCancel_->setObjectName("BtnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    top->addWidget(buttons);

    const TWordListMemo memo = WordListMemoOf(list_);
    editIgnore_->setPlainText(ToQString(memo.Learned).replace("\r\n", "\n"));
    editReplace_->setPlainText(ToQString(memo.Replacements).replace("\r\n", "\n"));
    resize(520, 360);
}

void TFormEditWordListMemo::accept() {
    ApplyWordListMemo(
        list_, {FromQString(editIgnore_->toPlainText()), FromQString(editReplace_->toPlainText())});
    QDialog::accept();
}

} // namespace speller::ui
