#pragma once
// Answers the next modal messenger dialog as a person would, once it shows.
#include <functional>

namespace components::ui {
class TMessengerForm;
}

// Runs `answer` on the modal messenger dialog as soon as it is shown and
// active; the answer must close it (click a button, press Escape, close it).
void AnswerNextDialog(std::function<void(components::ui::TMessengerForm&)> answer);

class QWidget;
class QString;
// Types text into a widget key by key, any characters (QTest's own key
// clicks take ASCII only).
void TypeText(QWidget* widget, const QString& text);
