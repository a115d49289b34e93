#pragma once
// A dock panel dragged by its title: what the drag came to once the button
// is up. A drag that found no docking site puts the panel back where it
// was; one that docked it decides by the site whether the panel moved. A
// press that never tore the panel out of its site is no drag at all.
namespace editor {

enum class TDockDragEnd {
    NoDrag,    // pressed and released without leaving the site
    NoTarget,  // left its site and was let go where no site takes it
    SameSite,  // dropped back on the site it came from
    OtherSite, // docked at another of its sites
};

class TDockDrag {
public:
    // The button went down on the title of the panel docked at `site`.
    void Pressed(int site);
    // The panel left its site: counts only while the button is down.
    void TornOut();
    // The button came up: the panel floats, or is docked at `site`.
    TDockDragEnd Released(bool floating, int site);
    // Between the tearing out and the release.
    bool Dragging() const { return pressed_ && tornOut_; }
    // Between the press and the release.
    bool Pressed() const { return pressed_; }

private:
    bool pressed_ = false;
    bool tornOut_ = false;
    int site_ = 0;
};

} // namespace editor
