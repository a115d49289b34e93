#pragma once
// The topic editor's mouse wheel: each notch scrolls the text by exactly one
// line, down or up, whatever the desktop's wheel setting; the wheel event
// goes no further.
#include <QObject>
#include <QTextCursor>

class QTextEdit;

namespace editor::ui {

class TEditorWheel : public QObject {
    Q_OBJECT

public:
    explicit TEditorWheel(QTextEdit& edit);

    // Scrolls by one line: `direction` > 0 down, < 0 up.
    static void ScrollOneLine(QTextEdit& edit, int direction);
    // A cursor on the first line the editor shows (in part or whole).
    static QTextCursor FirstVisibleLine(const QTextEdit& edit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTextEdit& edit_;
    QObject* viewport_; // compared only: it may be going with the editor
    int pending_ = 0;   // eighths of a degree not yet a whole notch
};

} // namespace editor::ui
