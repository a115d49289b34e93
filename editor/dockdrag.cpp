#include "editor/dockdrag.h"

namespace editor {

void TDockDrag::Pressed(int site) {
    pressed_ = true;
    tornOut_ = false;
    site_ = site;
}

void TDockDrag::TornOut() {
    if (pressed_)
        tornOut_ = true;
}

TDockDragEnd TDockDrag::Released(bool floating, int site) {
    const bool dragged = Dragging();
    pressed_ = false;
    tornOut_ = false;
    if (!dragged)
        return TDockDragEnd::NoDrag;
    if (floating)
        return TDockDragEnd::NoTarget;
    return site == site_ ? TDockDragEnd::SameSite : TDockDragEnd::OtherSite;
}

} // namespace editor
