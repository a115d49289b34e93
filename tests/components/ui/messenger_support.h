#pragma once
// Answers the next modal dialog as a person would, once it shows.
#include <functional>

namespace components::ui {
class TMessengerForm;
}

class QString;
class QWidget;

// Runs `answer` on the next modal widget `accepts` takes, as soon as it is
// shown and active; the answer must close it.
void AnswerNextModal(std::function<bool(QWidget*)> accepts, std::function<void(QWidget&)> answer);

// The same for a modal dialog of one class.
template <class TDialog> void AnswerNext(std::function<void(TDialog&)> answer) {
    AnswerNextModal(
        [](QWidget* widget) { return dynamic_cast<TDialog*>(widget) != nullptr; },
        [answer = std::move(answer)](QWidget& widget) { answer(dynamic_cast<TDialog&>(widget)); });
}

// Runs `answer` on the modal messenger dialog as soon as it is shown and
// active; the answer must close it (click a button, press Escape, close it).
void AnswerNextDialog(std::function<void(components::ui::TMessengerForm&)> answer);

// Types text into a widget key by key, any characters (QTest's own key
// clicks take ASCII only).
void TypeText(QWidget* widget, const QString& text);
