#include "messenger_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include "components/ui/messengerform.h"

namespace {

void Poll(std::function<bool(QWidget*)> accepts, std::function<void(QWidget&)> answer,
          int triesLeft) {
    QTimer::singleShot(
        5, [accepts = std::move(accepts), answer = std::move(answer), triesLeft]() mutable {
            QWidget* modal = QApplication::activeModalWidget();
            QWidget* dialog = modal && accepts(modal) ? modal : nullptr;
            // Shortcuts reach only the active window, and activation may come
            // a moment after the window shows.
            if (dialog && dialog->isVisible() && dialog->isActiveWindow()) {
                answer(*dialog);
                return;
            }
            if (dialog && dialog->isVisible())
                dialog->activateWindow();
            if (triesLeft > 0)
                Poll(std::move(accepts), std::move(answer), triesLeft - 1);
            else
                ADD_FAILURE() << "no modal dialog appeared";
        });
}

} // namespace

void AnswerNextModal(std::function<bool(QWidget*)> accepts, std::function<void(QWidget&)> answer) {
    Poll(std::move(accepts), std::move(answer), 400);
}

void AnswerNextDialog(std::function<void(components::ui::TMessengerForm&)> answer) {
    AnswerNext<components::ui::TMessengerForm>(std::move(answer));
}

void TypeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}
