#pragma once
// The main window's layout as the State values keep it: where the topic
// grid and the error log are docked or float, which bars and the ruler are
// shown, the ruler's units. Without stored values the window takes the
// default layout (grid docked left, error log docked at the bottom).
#include "editor/windowstate.h"

class QDockWidget;
class QMainWindow;
class QToolBar;

namespace components::ui {
class TRichRuler;
}

namespace editor::ui {

class TMainActions;

// The parts of the main window that its layout places and shows.
struct TMainWindowParts {
    QMainWindow& Window;
    TMainActions& Actions;
    QDockWidget& PanelGrid;
    QDockWidget& PanelHCError;
    components::ui::TRichRuler& Ruler;
    QToolBar* ProjectBar;
    QToolBar* TopicBar;
    QToolBar* PropertiesBar;
    QToolBar* TextBar;
    QToolBar* HelpToolBar;
};

void ApplyWindowLayout(const TMainWindowParts& parts, const TWindowState& state);
// The layout as the window shows it now goes into `state`; the grid's
// columns and the settings there are left as they are.
void CollectWindowLayout(const TMainWindowParts& parts, TWindowState& state);

} // namespace editor::ui
