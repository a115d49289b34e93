#include "editor/ui/mainwindowlayout.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QToolBar>

#include "components/ui/richruler.h"
#include "editor/ui/mainactions.h"

namespace editor::ui {

namespace {

TScreenRect ScreenRectOf(const QWidget& widget) {
    const QRect frame = widget.frameGeometry();
    const QPoint topLeft = widget.isWindow() ? frame.topLeft() : widget.mapToGlobal(QPoint(0, 0));
    return {topLeft.x(), topLeft.y(), topLeft.x() + frame.width(), topLeft.y() + frame.height()};
}

QRect QtRectOf(const TScreenRect& rect) {
    return QRect(QPoint(rect.Left, rect.Top), QPoint(rect.Right - 1, rect.Bottom - 1));
}

void FloatAt(QDockWidget& panel, const std::optional<TScreenRect>& rect) {
    panel.setFloating(true);
    if (rect)
        panel.setGeometry(QtRectOf(*rect));
}

struct TShownPart {
    const char* Action;
    bool TWindowState::*Shown;
    QWidget* (*Part)(const TMainWindowParts&);
};

// The bars and the ruler with the View command that shows each.
const TShownPart kShownParts[] = {
    {"ActionViewProjectBar", &TWindowState::ProjectBar,
     [](const TMainWindowParts& p) -> QWidget* { return p.ProjectBar; }},
    {"ActionViewTopicBar", &TWindowState::TopicBar,
     [](const TMainWindowParts& p) -> QWidget* { return p.TopicBar; }},
    {"ActionViewPropertiesBar", &TWindowState::PropertiesBar,
     [](const TMainWindowParts& p) -> QWidget* { return p.PropertiesBar; }},
    {"ActionViewTextBar", &TWindowState::TextBar,
     [](const TMainWindowParts& p) -> QWidget* { return p.TextBar; }},
    {"ActionViewHelpToolBar", &TWindowState::HelpToolBar,
     [](const TMainWindowParts& p) -> QWidget* { return p.HelpToolBar; }},
    {"ActionViewRuler", &TWindowState::RulerShown,
     [](const TMainWindowParts& p) -> QWidget* { return &p.Ruler; }},
    {"ActionViewGrid", &TWindowState::GridShown,
     [](const TMainWindowParts& p) -> QWidget* { return &p.PanelGrid; }},
};

} // namespace

void ApplyWindowLayout(const TMainWindowParts& parts, const TWindowState& state) {
    QDockWidget& grid = parts.PanelGrid;
    QDockWidget& errorLog = parts.PanelHCError;
    if (!state.Stored) {
        grid.setFloating(false);
        parts.Window.addDockWidget(Qt::LeftDockWidgetArea, &grid);
        parts.Window.addDockWidget(Qt::BottomDockWidgetArea, &errorLog);
    } else {
        if (state.HCErrorDock == 0)
            FloatAt(errorLog, state.HCErrorFloatRect);
        if (state.HCErrorHeight)
            parts.Window.resizeDocks({&errorLog}, {*state.HCErrorHeight}, Qt::Vertical);
        if (state.GridDock == 2)
            parts.Window.addDockWidget(Qt::RightDockWidgetArea, &grid);
        if (state.GridDock == 3)
            FloatAt(grid, state.GridFloatRect);
        if (state.GridWidth)
            parts.Window.resizeDocks({&grid}, {*state.GridWidth}, Qt::Horizontal);
    }
    for (const TShownPart& part : kShownParts) {
        part.Part(parts)->setVisible(state.*part.Shown);
        parts.Actions.Action(part.Action)->setChecked(state.*part.Shown);
    }
    parts.Ruler.SetUnits(state.RulerUnits == 1 ? components::TRulerUnits::ruInches
                                               : components::TRulerUnits::ruCentimeters);
}

void CollectWindowLayout(const TMainWindowParts& parts, TWindowState& state) {
    QDockWidget& grid = parts.PanelGrid;
    QDockWidget& errorLog = parts.PanelHCError;
    state.Stored = true;
    state.HCErrorHeight = errorLog.height();
    state.HCErrorDock = errorLog.isFloating() ? 0 : 1;
    state.HCErrorFloatRect = ScreenRectOf(errorLog);
    state.GridWidth = grid.width();
    if (grid.isFloating())
        state.GridDock = 3;
    else
        state.GridDock = parts.Window.dockWidgetArea(&grid) == Qt::RightDockWidgetArea ? 2 : 1;
    state.GridFloatRect = ScreenRectOf(grid);
    for (const TShownPart& part : kShownParts)
        state.*part.Shown = !part.Part(parts)->isHidden();
    state.RulerUnits = parts.Ruler.Units() == components::TRulerUnits::ruInches ? 1 : 0;
}

} // namespace editor::ui
