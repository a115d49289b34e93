#pragma once
// The undo stacks with their two menus: opening the Undo (Redo) menu lists
// the actions that can be undone (redone), newest first, at most 16; picking
// one undoes (redoes) it and everything newer. The stacks themselves are
// components::TUndoBase; this class only fills and answers the menus.
#include <QMenu>
#include <QObject>
#include <QPointer>

#include "components/undobase.h"

namespace components::ui {

class TUndo : public QObject, public components::TUndoBase {
    Q_OBJECT
public:
    explicit TUndo(QObject* parent = nullptr);
    ~TUndo() override;

    QMenu* PopupUndo() const { return popupUndo_; }
    QMenu* PopupRedo() const { return popupRedo_; }
    // Empties the menu attached before and detaches it; the new menu is
    // filled each time it opens. A menu that is destroyed detaches itself.
    void SetPopupUndo(QMenu* menu);
    void SetPopupRedo(QMenu* menu);

    void FillUndoPopup();
    void FillRedoPopup();

private:
    void Attach(QPointer<QMenu>& slot, QMenu* menu, bool redo);
    void Fill(QMenu* menu, bool redo);

    QPointer<QMenu> popupUndo_;
    QPointer<QMenu> popupRedo_;
};

} // namespace components::ui
