#pragma once
// The main window's layout as the State values keep it: where the topic
// grid and the error log are docked or float, which bars and the ruler are
// shown, the ruler's units. Without stored values the window takes the
// default layout (grid docked left, error log docked at the bottom).
#include "editor/windowstate.h"

namespace editor::ui {

class TBrindlewovenForm;

void ApplyWindowLayout(TBrindlewovenForm& form, const TWindowState& state);
// The layout as the window shows it now goes into `state`; the grid's
// columns and the settings there are left as they are.
void CollectWindowLayout(TBrindlewovenForm& form, TWindowState& state);

} // namespace editor::ui
