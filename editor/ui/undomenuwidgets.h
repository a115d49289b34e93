#pragma once
// The Topic menu's Undo and Redo submenus: the fixed item "&Changes to
// current topic" and below it the topic editor's entries, newest first, each
// with its hint; choosing one undoes or redoes it.
#include <QObject>

class QAction;
class QMenu;

namespace editor::ui {

class TBrindlewovenForm;

class TUndoMenuWidgets : public QObject {
    Q_OBJECT

public:
    // Puts the two submenus into `topicMenu` in place of the actions
    // `undoCurrent` and `redoCurrent`.
    TUndoMenuWidgets(TBrindlewovenForm& form, QMenu& topicMenu, QAction& undoCurrent,
                     QAction& redoCurrent);

    QMenu* UndoMenu() const { return undoMenu_; }
    QMenu* RedoMenu() const { return redoMenu_; }
    // The entries follow the topic editor's.
    void Rebuild();

private:
    TBrindlewovenForm& form_;
    QMenu* undoMenu_ = nullptr;
    QMenu* redoMenu_ = nullptr;
    QAction* undoCurrentItem_ = nullptr;
    QAction* redoCurrentItem_ = nullptr;
    QAction* redoCurrent_ = nullptr;
};

} // namespace editor::ui
