#pragma once
// The topic grid and the error log as the main window's docks: each keeps
// its place when a drag by its title finds no site (TDockDragGuard), shows
// its stay-on-top box while it floats (TFloatingOnTop), and the grid gives
// its width back when it leaves its site: the window narrows by the grid
// and the splitter. The error log leaving keeps the window's size.
#include <QObject>

class QDockWidget;
class QMainWindow;
class QWidget;

namespace editor::ui {

class TDockDragGuard;
class TFloatingOnTop;

class TDockPanels : public QObject {
    Q_OBJECT

public:
    struct TParts {
        QMainWindow& Window;
        QDockWidget& PanelGrid;
        // The grid's contents: its "Stay On Top" strip goes below its bar.
        QWidget& GridContents;
        QDockWidget& PanelHCError;
        // The error log's contents: "On Top" goes under its Go button.
        QWidget& HCErrorContents;
    };

    // `gridOnTop` and `hcErrorOnTop` are the owner's flags; `applyingLayout`
    // is set while the owner lays the window out from the saved layout
    // (floating the grid then narrows nothing).
    TDockPanels(const TParts& parts, bool& gridOnTop, bool& hcErrorOnTop,
                const bool& applyingLayout);

    TDockDragGuard& GridDrag() const { return *gridDrag_; }
    TDockDragGuard& HCErrorDrag() const { return *hcErrorDrag_; }
    TFloatingOnTop& GridOnTop() const { return *gridOnTop_; }
    TFloatingOnTop& HCErrorOnTop() const { return *hcErrorOnTop_; }

private:
    void GridLeftSite(int width);

    QMainWindow& window_;
    const bool& applyingLayout_;
    TDockDragGuard* gridDrag_;
    TDockDragGuard* hcErrorDrag_;
    TFloatingOnTop* gridOnTop_;
    TFloatingOnTop* hcErrorOnTop_;
};

} // namespace editor::ui
