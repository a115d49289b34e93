#pragma once
// The text formatting bar without its widgets: what it shows for the
// selection (font, size, colour, styles, alignment, bullets) and what its
// commands do to the selection. Showing never writes into the text: while
// the bar is being brought up to date its commands do nothing, so a widget
// that reports its own programmatic change as a user's cannot modify the
// document.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "editor/texteditor.h"
#include "helpproject/textstylemacro.h"

namespace editor {

class TTopicEditor;

// The colour box's entries: 0 the window-text colour, then black, maroon,
// green, olive, navy, purple, teal, gray, silver, red, lime, yellow, blue,
// fuchsia, aqua.
extern const std::array<helpproject::TColor, 16> kTextColors;
// The first entry of the selection's colour; 0 when it varies or matches none.
int TextColorIndex(const TSelectionFormat& format);

struct TFormatBarState {
    bool HasSelection = false; // Delete and Link... are enabled
    std::string FontName;
    int FontSize = 0; // points
    int ColorIndex = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool AlignLeft = false;
    bool AlignCenter = false;
    bool AlignRight = false;
    bool Bullet = false;
    bool operator==(const TFormatBarState&) const = default;
};

// What the bar shows for a selection.
TFormatBarState MirrorFormat(const TSelectionFormat& format, const rtf::ParaFormat& paragraph,
                             std::size_t selectionLength);

// Bullets on: the numbering and the indents and first tab stop a bulleted
// paragraph needs. Bullets off: the numbering only.
rtf::ParaFormat BulletParagraph(const rtf::ParaFormat& paragraph, bool on);

class IFormatBarView {
public:
    virtual ~IFormatBarView() = default;
    virtual void ShowFormat(const TFormatBarState& state) = 0;
};

class TFormatBar {
public:
    TFormatBar(TTopicEditor& editor, IFormatBarView& view) : editor_(editor), view_(view) {}

    const TFormatBarState& State() const { return state_; }
    // Brings the bar up to date with the selection (on every change of the
    // text or the selection). Nothing happens while it runs already, while a
    // topic is set up and during bulk updates.
    void Mirror();

    void ToggleBold();
    void ToggleItalic();
    void ToggleUnderline();
    void ToggleStrikeOut();
    void AlignLeft();
    void AlignCenter();
    void AlignRight();
    void ToggleBullet();
    void SetFontName(const std::string& name);
    // 4..99 points; other sizes change nothing.
    void SetFontSize(int points);
    void SetColorIndex(int index);

private:
    bool Suspended() const;
    void SetCharFormat(const rtf::CharFormat& format, std::uint32_t mask);
    void SetAlignment(rtf::Alignment alignment);

    TTopicEditor& editor_;
    IFormatBarView& view_;
    TFormatBarState state_;
    bool mirroring_ = false;
};

} // namespace editor
