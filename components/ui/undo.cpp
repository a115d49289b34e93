#include "components/ui/undo.h"

#include <QAction>
#include <QMenu>
#include <exception>

#include "components/ui/ansiqt.h"
#include "platform/diagnostics.h"

namespace components::ui {

TUndo::TUndo(QObject* parent) : QObject(parent) {}

TUndo::~TUndo() = default;

void TUndo::SetPopupUndo(QMenu* menu) {
    Attach(popupUndo_, menu, false);
}

void TUndo::SetPopupRedo(QMenu* menu) {
    Attach(popupRedo_, menu, true);
}

void TUndo::Attach(QPointer<QMenu>& slot, QMenu* menu, bool redo) {
    if (slot) {
        slot->clear();
        slot->disconnect(this);
    }
    slot = menu;
    if (menu)
        connect(menu, &QMenu::aboutToShow, this, [this, menu, redo] { Fill(menu, redo); });
}

void TUndo::FillUndoPopup() {
    if (popupUndo_)
        Fill(popupUndo_, false);
}

void TUndo::FillRedoPopup() {
    if (popupRedo_)
        Fill(popupRedo_, true);
}

void TUndo::Fill(QMenu* menu, bool redo) {
    menu->clear();
    for (const components::TUndoMenuEntry& entry : components::UndoMenuEntries(*this, redo)) {
        QAction* action = menu->addAction(ToQString(entry.Caption));
        action->setStatusTip(ToQString(entry.Hint));
        action->setToolTip(ToQString(entry.Hint));
        action->setEnabled(entry.Enabled);
        action->setData(entry.Tag);
        if (!entry.Enabled)
            continue;
        int tag = entry.Tag;
        connect(action, &QAction::triggered, this, [this, tag, redo] {
            // An action that fails must not throw into Qt's event dispatch.
            try {
                if (redo)
                    RedoTo(tag);
                else
                    UndoTo(tag);
            } catch (const std::exception& e) {
                platform::Warn(e.what());
            }
        });
    }
}

} // namespace components::ui
