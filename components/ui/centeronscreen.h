#pragma once
// Dialogs that the program shows in the middle of the screen rather than
// over their owner.
class QWidget;

namespace components::ui {

// Moves the window so that its frame is centred on the work area of the
// screen it is on (the primary screen before it is shown).
void CenterOnScreen(QWidget& window);

} // namespace components::ui
