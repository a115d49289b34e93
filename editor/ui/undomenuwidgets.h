#pragma once
// The Topic menu's Undo and Redo submenus: the fixed item "&Changes to
// current topic" and below it the topic editor's entries, newest first, each
// with its hint; choosing one undoes or redoes it.
#include <QObject>

class QAction;
class QMenu;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TUndoMenuWidgets : public QObject {
    Q_OBJECT

public:
    // Puts the two submenus into `topicMenu` in place of the actions
    // `undoCurrent` and `redoCurrent`.
    TUndoMenuWidgets(TEditorContext& context, QMenu& topicMenu, QAction& undoCurrent,
                     QAction& redoCurrent, QObject* parent);

    QMenu* UndoMenu() const { return undoMenu_; }
    QMenu* RedoMenu() const { return redoMenu_; }
    // The entries follow the topic editor's.
    void Rebuild();

private:
    TEditorContext& context_;
    QMenu* undoMenu_ = nullptr;
    QMenu* redoMenu_ = nullptr;
    QAction* undoCurrentItem_ = nullptr;
    QAction* redoCurrentItem_ = nullptr;
    QAction* redoCurrent_ = nullptr;
};

} // namespace editor::ui
