#pragma once
// The program's own mouse cursors: the hand, the cross with a plus (adding
// an area), the arrow with the move mark, and the cursor shown while a
// floating panel is dragged. Drawn 32 pixels square; Qt scales them on
// dense screens.
#include <QCursor>

namespace components::ui {

enum class TProgramCursor { Hand = 1, CrossAdd = 2, ArrowMove = 3, Fly = 32 };

QCursor ProgramCursor(TProgramCursor which);

} // namespace components::ui
