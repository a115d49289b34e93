#include "components/ui/messengerform.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "components/messengerlayout.h"
#include "components/messengerseam.h"
#include "components/ui/messenger.h"
#include "components/ui/powerprogressbar.h"

namespace components::ui {

TMessengerForm::TMessengerForm()
    : image_(new QLabel(this)), label_(new QLabel(this)), edit_(new QLineEdit(this)),
      progress_(new TPowerProgressBar(this)), copyAction_(new QAction(tr("Copy message"), this)) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    label_->setWordWrap(true);
    // Messages carry what others wrote (a server's answer, a file name):
    // never read as markup.
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image_->hide();
    label_->hide();
    edit_->hide();
    progress_->hide();

    copyAction_->setShortcut(QKeySequence::Copy);
    copyAction_->setShortcutContext(Qt::WindowShortcut);
    connect(copyAction_, &QAction::triggered, this, &TMessengerForm::CopyMessage);
    addAction(copyAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

TMessengerForm::~TMessengerForm() = default;

namespace {

// Controls go through deleteLater: a rebuild may run inside the click of the
// very button it replaces.
void DiscardControl(QWidget* control) {
    control->hide();
    control->deleteLater();
}

} // namespace

void TMessengerForm::SetRadioCount(int count) {
    while (radios_.size() > count)
        DiscardControl(radios_.takeLast());
    while (radios_.size() < count) {
        auto* radio = new QRadioButton(this);
        radios_.append(radio);
    }
}

void TMessengerForm::SetChoiceIndex(int index) {
    components::CheckChoiceIndex(index, static_cast<int>(radios_.size()));
    // Radio buttons of one parent exclude each other and will not all turn
    // off; "none" needs the exclusion lifted for a moment.
    for (int i = 0; i < radios_.size(); ++i) {
        QRadioButton* radio = radios_[i];
        radio->setAutoExclusive(false);
        radio->setChecked(i == index);
        radio->setAutoExclusive(true);
    }
}

int TMessengerForm::CheckedChoice() const {
    for (int i = static_cast<int>(radios_.size()) - 1; i >= 0; --i)
        if (radios_[i]->isChecked())
            return i;
    return -1;
}

int TMessengerForm::IndexOfButton(const QObject* button) const {
    for (int i = 0; i < buttons_.size(); ++i)
        if (buttons_[i].Button == button)
            return i;
    return -1;
}

void TMessengerForm::ClearButtons() {
    for (const TDialogButton& b : buttons_)
        DiscardControl(b.Button);
    buttons_.clear();
}

QPushButton* TMessengerForm::AddButton(TMessengerButton* source) {
    auto* button = new QPushButton(this);
    buttons_.append({button, source});
    return button;
}

void TMessengerForm::CopyMessage() {
    if (focusWidget() == edit_ && edit_->isVisible()) {
        edit_->copy();
        return;
    }
    QApplication::clipboard()->setText(label_->text());
}

QPushButton* TMessengerForm::CancelButton() const {
    for (int i = 0; i < buttons_.size(); ++i)
        if (buttons_[i].Source->Cancel && buttons_[i].Button->isEnabled())
            return buttons_[i].Button;
    return nullptr;
}

void TMessengerForm::reject() {
    if (QPushButton* cancel = CancelButton()) {
        cancel->click();
        return;
    }
    if (isModal())
        done(components::mrCancel);
    else
        hide();
}

void TMessengerForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (QPushButton* cancel = CancelButton())
            cancel->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMessengerForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    emit Shown();
}

void TMessengerForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    emit Hidden();
}

void TMessengerForm::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    emit Painted();
}

} // namespace components::ui
