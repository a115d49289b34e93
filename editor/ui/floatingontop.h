#pragma once
// The "Stay On Top" check box of a floating panel: shown only while the
// panel floats, it keeps the floating window above the others while ticked.
// The flag it sets lives with its owner (the grid's is saved with the
// window's layout).
#include <QObject>

class QCheckBox;
class QDockWidget;
class QWidget;

namespace editor::ui {

class TDockDragGuard;

class TFloatingOnTop : public QObject {
    Q_OBJECT

public:
    // `box` is created as a child of `strip` with `caption`; the flag is
    // read and written through `onTop`. The guard tells when the panel
    // floats or docks (a drag under way has not changed it yet).
    TFloatingOnTop(TDockDragGuard& guard, QWidget& strip, const char* boxName,
                   const QString& caption, bool& onTop);

    QCheckBox* Box() const { return box_; }
    // The floating state changed (or the layout was applied): shows or
    // hides the box and gives the floating window its style.
    void Follow();

private:
    void Apply();

    QDockWidget& panel_;
    QWidget& strip_;
    QCheckBox* box_;
    bool& onTop_;
};

} // namespace editor::ui
