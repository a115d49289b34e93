#include "editor/ui/editorwheel.h"

#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QWheelEvent>
#include <algorithm>

namespace editor::ui {

namespace {

constexpr int kNotch = 120;

} // namespace

TEditorWheel::TEditorWheel(QTextEdit& edit)
    : QObject(&edit), edit_(edit), viewport_(edit.viewport()) {
    viewport_->installEventFilter(this);
}

QTextCursor TEditorWheel::FirstVisibleLine(const QTextEdit& edit) {
    // Past the margins, where a hit lands on no line.
    const int x = static_cast<int>(edit.document()->documentMargin()) + 1;
    return edit.cursorForPosition(QPoint(x, x));
}

void TEditorWheel::ScrollOneLine(QTextEdit& edit, int direction) {
    const QTextCursor top = FirstVisibleLine(edit);
    const int topY = edit.cursorRect(top).top();
    QTextCursor next = top;
    int delta = 0;
    if (direction < 0 && topY < 0) {
        delta = topY; // the first line shows only in part: it comes in whole
    } else if (next.movePosition(direction > 0 ? QTextCursor::Down : QTextCursor::Up)) {
        delta = edit.cursorRect(next).top() - (direction > 0 ? 0 : std::min(topY, 0));
    } else if (direction < 0) {
        delta = -edit.verticalScrollBar()->value(); // the first line: the top margin too
    }
    QScrollBar* bar = edit.verticalScrollBar();
    bar->setValue(bar->value() + delta);
}

bool TEditorWheel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel || watched != viewport_)
        return QObject::eventFilter(watched, event);
    auto* wheel = static_cast<QWheelEvent*>(event);
    pending_ += wheel->angleDelta().y();
    while (pending_ >= kNotch) { // away from the user: up
        ScrollOneLine(edit_, -1);
        pending_ -= kNotch;
    }
    while (pending_ <= -kNotch) {
        ScrollOneLine(edit_, 1);
        pending_ += kNotch;
    }
    wheel->accept();
    return true;
}

} // namespace editor::ui
