#pragma once
// The formatting bar's contents beside its own buttons: the text-style box
// with its commands, and the bar's commands in the Text menu.
class QWidget;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TFormatBarWidget;
class TMainActions;
class TTextStyleCombo;

// Adds the text-style box (sharing the free width with the font box) and
// its commands to the bar, and puts the bar's commands into the Text menu
// before Find; their keys work with the bar hidden, as actions of `window`.
// Returns the style box.
TTextStyleCombo* FillTextBar(TFormatBarWidget& bar, TEditorContext& context, TMainActions& actions,
                             QWidget& window);

} // namespace editor::ui
