#pragma once
// The windows editor's logic: the list of window definitions, the one shown
// in the controls, and what goes back into the list. A definition is
// rebuilt from the controls only after they were edited, so definitions the
// person merely looked at stay exactly as they were.
#include <string>
#include <vector>

#include "editor/dialogs/windowdefinition.h"

namespace editor {

class TWindowsEditorModel {
public:
    // The editor comes up with the project's windows; the first is shown.
    void Show(const std::vector<std::string>& windows);

    const std::vector<std::string>& Windows() const { return windows_; }
    // The place of the window shown, -1 for none.
    int ShownIndex() const { return shown_; }
    // The controls' values (held to the scale when a window is shown).
    const TWindowDefinition& Controls() const { return controls_; }
    // An edit of the controls: the shown window is rebuilt from them when
    // another one is chosen or OK is pressed.
    void Edit(const TWindowDefinition& controls);
    bool ControlsEdited() const { return edited_; }

    // Stores the shown window (when edited) and shows the chosen one.
    void Select(int index);
    // Appends the new window's definition and shows it, as edited.
    void Add();
    // Deletes the chosen window and shows the first.
    void Delete(int index);
    // Stores the shown window; the list to put in the project.
    std::vector<std::string> Ok();

private:
    void StoreShown();

    std::vector<std::string> windows_;
    int shown_ = -1;
    TWindowDefinition controls_;
    bool edited_ = false;
};

} // namespace editor
