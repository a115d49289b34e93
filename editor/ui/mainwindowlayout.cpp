#include "editor/ui/mainwindowlayout.h"

#include <QAction>
#include <QDockWidget>
#include <QToolBar>

#include "components/ui/richruler.h"
#include "editor/ui/brindlewovenform.h"
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
    QWidget* (*Part)(TBrindlewovenForm&);
};

// The bars and the ruler with the View command that shows each.
const TShownPart kShownParts[] = {
    {"ActionViewProjectBar", &TWindowState::ProjectBar,
     [](TBrindlewovenForm& f) -> QWidget* { return f.ProjectBar(); }},
    {"ActionViewTopicBar", &TWindowState::TopicBar,
     [](TBrindlewovenForm& f) -> QWidget* { return f.TopicBar(); }},
    {"ActionViewPropertiesBar", &TWindowState::PropertiesBar,
     [](TBrindlewovenForm& f) -> QWidget* { return f.PropertiesBar(); }},
    {"ActionViewTextBar", &TWindowState::TextBar,
     [](TBrindlewovenForm& f) -> QWidget* { return f.TextBar(); }},
    {"ActionViewHelpToolBar", &TWindowState::HelpToolBar,
     [](TBrindlewovenForm& f) -> QWidget* { return f.HelpToolBar(); }},
    {"ActionViewRuler", &TWindowState::RulerShown,
     [](TBrindlewovenForm& f) -> QWidget* { return &f.Ruler(); }},
    {"ActionViewGrid", &TWindowState::GridShown,
     [](TBrindlewovenForm& f) -> QWidget* { return f.PanelGrid(); }},
};

} // namespace

void ApplyWindowLayout(TBrindlewovenForm& form, const TWindowState& state) {
    QDockWidget& grid = *form.PanelGrid();
    QDockWidget& errorLog = *form.PanelHCError();
    if (!state.Stored) {
        grid.setFloating(false);
        form.addDockWidget(Qt::LeftDockWidgetArea, &grid);
        form.addDockWidget(Qt::BottomDockWidgetArea, &errorLog);
    } else {
        if (state.HCErrorDock == 0)
            FloatAt(errorLog, state.HCErrorFloatRect);
        if (state.HCErrorHeight)
            form.resizeDocks({&errorLog}, {*state.HCErrorHeight}, Qt::Vertical);
        if (state.GridDock == 2)
            form.addDockWidget(Qt::RightDockWidgetArea, &grid);
        if (state.GridDock == 3)
            FloatAt(grid, state.GridFloatRect);
        if (state.GridWidth)
            form.resizeDocks({&grid}, {*state.GridWidth}, Qt::Horizontal);
    }
    for (const TShownPart& part : kShownParts) {
        part.Part(form)->setVisible(state.*part.Shown);
        form.Actions().Action(part.Action)->setChecked(state.*part.Shown);
    }
    form.Ruler().SetUnits(state.RulerUnits == 1 ? components::TRulerUnits::ruInches
                                                : components::TRulerUnits::ruCentimeters);
}

void CollectWindowLayout(TBrindlewovenForm& form, TWindowState& state) {
    QDockWidget& grid = *form.PanelGrid();
    QDockWidget& errorLog = *form.PanelHCError();
    state.Stored = true;
    state.HCErrorHeight = errorLog.height();
    state.HCErrorDock = errorLog.isFloating() ? 0 : 1;
    state.HCErrorFloatRect = ScreenRectOf(errorLog);
    state.GridWidth = grid.width();
    if (grid.isFloating())
        state.GridDock = 3;
    else
        state.GridDock = form.dockWidgetArea(&grid) == Qt::RightDockWidgetArea ? 2 : 1;
    state.GridFloatRect = ScreenRectOf(grid);
    for (const TShownPart& part : kShownParts)
        state.*part.Shown = !part.Part(form)->isHidden();
    state.RulerUnits = form.Ruler().Units() == components::TRulerUnits::ruInches ? 1 : 0;
}

} // namespace editor::ui
