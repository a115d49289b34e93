// The editor's wheel scrolls one line per notch.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTextEdit>
#include <QWheelEvent>

#include "editor/ui/editorwheel.h"

namespace {

class EditorWheelTest : public ::testing::Test {
protected:
    EditorWheelTest() {
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines << QString("line %1").arg(i);
        edit.setPlainText(lines.join('\n'));
        edit.resize(300, 200);
        edit.show();
        QApplication::processEvents();
        edit.moveCursor(QTextCursor::Start);
        edit.verticalScrollBar()->setValue(0);
        new editor::ui::TEditorWheel(edit);
    }
    // The paragraph shown first (one line each).
    int FirstVisibleLine() {
        return editor::ui::TEditorWheel::FirstVisibleLine(edit).blockNumber();
    }
    bool Wheel(int delta) {
        const QPointF at(10, 10);
        QWheelEvent event(at, edit.viewport()->mapToGlobal(at.toPoint()), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(edit.viewport(), &event);
        return event.isAccepted();
    }

    QTextEdit edit;
};

TEST_F(EditorWheelTest, EachNotchScrollsExactlyOneLine) {
    ASSERT_EQ(FirstVisibleLine(), 0);
    EXPECT_TRUE(Wheel(-120));
    EXPECT_EQ(FirstVisibleLine(), 1);
    Wheel(-240); // two notches at once
    EXPECT_EQ(FirstVisibleLine(), 3);
    Wheel(120);
    EXPECT_EQ(FirstVisibleLine(), 2);
    // Half notches add up to one.
    Wheel(-60);
    EXPECT_EQ(FirstVisibleLine(), 2);
    Wheel(-60);
    EXPECT_EQ(FirstVisibleLine(), 3);
    // The top line lies exactly at the top edge after each notch.
    EXPECT_EQ(edit.cursorRect(editor::ui::TEditorWheel::FirstVisibleLine(edit)).top() >= 0, true);
    // At the top, up stays.
    for (int i = 0; i < 5; ++i)
        Wheel(120);
    EXPECT_EQ(FirstVisibleLine(), 0);
    EXPECT_EQ(edit.verticalScrollBar()->value(), 0);
}

} // namespace
