#include "messenger_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include "components/ui/messengerform.h"

namespace {

void Poll(std::function<void(components::ui::TMessengerForm&)> answer, int triesLeft) {
    QTimer::singleShot(5, [answer = std::move(answer), triesLeft]() mutable {
        auto* form =
            qobject_cast<components::ui::TMessengerForm*>(QApplication::activeModalWidget());
        // Shortcuts reach only the active window, and activation may come
        // a moment after the window shows.
        if (form && form->isVisible() && form->isActiveWindow()) {
            answer(*form);
            return;
        }
        if (form && form->isVisible())
            form->activateWindow();
        if (triesLeft > 0)
            Poll(std::move(answer), triesLeft - 1);
        else
            ADD_FAILURE() << "no modal messenger dialog appeared";
    });
}

} // namespace

void AnswerNextDialog(std::function<void(components::ui::TMessengerForm&)> answer) {
    Poll(std::move(answer), 400);
}

void TypeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}
