#include "editor/texteditor.h"

namespace editor {

void ITextEditor::MoveCaretToEnd() {
    SetSelection(TextLength(), 0);
}

} // namespace editor
