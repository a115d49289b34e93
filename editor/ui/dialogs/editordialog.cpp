#include "editor/ui/dialogs/editordialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/centeronscreen.h"
#include "components/ui/windowedmessenger.h"

namespace editor::ui {

TEditorDialog::TEditorDialog(QWidget* parent, int helpContext, TPlace place)
    : QDialog(parent), helpContext_(helpContext), place_(place) {
    okBtn_ = new QPushButton(tr("OK"), this);
    okBtn_->setObjectName("OkBtn");
    okBtn_->setDefault(true);
    cancelBtn_ = new QPushButton(tr("Cancel"), this);
    cancelBtn_->setObjectName("CancelBtn");
    helpBtn_ = new QPushButton(tr("&Help"), this);
    helpBtn_->setObjectName("HelpBtn");
    buttonRow_ = new QHBoxLayout;
    buttonRow_->addStretch(1);
    for (QPushButton* button : {okBtn_, cancelBtn_, helpBtn_})
        buttonRow_->addWidget(button);
    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpBtn_, &QPushButton::clicked, this, [this] { emit HelpRequested(helpContext_); });
    // F1 is the Help button's key, wherever the focus is in the dialog.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, helpBtn_, &QPushButton::click);
}

void TEditorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (place_ == TPlace::Centered)
        components::ui::CenterOnScreen(*this);
}

void TEditorDialog::Refuse(const std::string& message, QWidget* field) {
    const std::string caption = components::ui::FromQString(windowTitle());
    if (messenger_) {
        messenger_->ShowMessage(components::TMessageKind::Error, caption, message);
    } else {
        components::ui::TWindowedMessenger own;
        own.ShowMessage(components::TMessageKind::Error, caption, message);
    }
    if (field) {
        field->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->selectAll();
    }
}

QPushButton* EllipsisButton(const char* name, QWidget* parent) {
    auto* button = new QPushButton(QObject::tr("..."), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance("...") + 16);
    return button;
}

void FillRangeCombos(QComboBox& from, QComboBox& to, const std::vector<std::string>& items,
                     int fromIndex, int toIndex) {
    const QSignalBlocker blockFrom(from);
    const QSignalBlocker blockTo(to);
    from.clear();
    to.clear();
    for (const std::string& item : items) {
        from.addItem(components::ui::ToQString(item));
        to.addItem(components::ui::ToQString(item));
    }
    from.setCurrentIndex(fromIndex);
    to.setCurrentIndex(toIndex);
}

} // namespace editor::ui
