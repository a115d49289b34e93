#pragma once
// Where the Find and Replace window and its prompt go on the screen: beside
// the editor when shown, off the found text when it covers it. Screen
// coordinates; rectangles exclude their right and bottom edges.
#include "components/windowplacement.h"

#include <optional>

namespace editor {

using TFindRect = components::TPlacementRect;

struct TFindPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TFindPoint&) const = default;
};

// A negative coordinate becomes 0; a window past the right or bottom edge
// moves back to end there.
TFindPoint ClampToScreen(TFindPoint at, int width, int height, int screenWidth, int screenHeight);

// The found text's rectangle (`selection`, already extended down by the
// font height) and the margin of three font heights: the window's new top
// left when it covers a corner of the text, else nothing.
std::optional<TFindPoint> MoveAwayFromSelection(const TFindRect& selection, int fontHeight,
                                                const TFindRect& form, int screenWidth,
                                                int screenHeight);

// Below the editor, right of it, above it, left of it, or else centred on
// the screen and moved off the selection (when there is one).
TFindPoint PlaceBesideEditor(const TFindRect& editor, int width, int height, int screenWidth,
                             int screenHeight, const std::optional<TFindRect>& selection,
                             int fontHeight);

// The prompt's top: below the found text when it fits, else above it.
int PromptTop(const TFindRect& selection, int fontHeight, int promptHeight, int screenHeight);
// The Replace prompt's place: centred across the screen, its top by
// PromptTop, kept on the screen.
TFindPoint PlacePrompt(const TFindRect& selection, int fontHeight, int width, int height,
                       int screenWidth, int screenHeight);

} // namespace editor
