#pragma once
// Watches a dock panel of the main window while it is dragged by its
// title. Let go where no docking site takes it, the panel goes back where
// it was, at its size, docked, as if it had never moved. Dropped on one of
// its sites it docks there at the size it had. Floated on purpose (its
// float button, a double click on its title, a command) it floats.
//
// Listeners learn of the panel's floating or docking through this guard,
// not through the panel: while a drag is under way nothing has changed yet.
#include <QByteArray>
#include <QObject>

#include "editor/dockdrag.h"

class QDockWidget;
class QMainWindow;

namespace editor::ui {

class TDockDragGuard : public QObject {
    Q_OBJECT

public:
    TDockDragGuard(QMainWindow& window, QDockWidget& panel);

    QDockWidget& Panel() const { return panel_; }
    // The panel is torn out and the button is still down.
    bool Dragging() const { return drag_.Dragging(); }

signals:
    // The panel now floats, or is docked again.
    void FloatingChanged(bool floating);
    // The panel left the site it was docked at: floated, or moved by a
    // drag to another site. `extent`: its width (at a side) or height
    // (at the bottom) in that site.
    void LeftSite(int extent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TopLevelChanged(bool floating);
    void Pressed();
    void Released();
    int Site() const;
    // The panel's extent across its site: its width at a side, its height
    // at the bottom.
    int Extent() const;
    void SetExtent(int extent);

    QMainWindow& window_;
    QDockWidget& panel_;
    TDockDrag drag_;
    QByteArray layoutBefore_;
    int extentBefore_ = 0;
    // The extent at the site the panel was last docked at.
    int dockedExtent_ = 0;
    bool restoring_ = false;
};

} // namespace editor::ui
