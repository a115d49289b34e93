#include "editor/findplacement.h"

#include <cstdlib>

namespace editor {

TFindPoint ClampToScreen(TFindPoint at, int width, int height, int screenWidth, int screenHeight) {
    if (at.X < 0)
        at.X = 0;
    if (at.Y < 0)
        at.Y = 0;
    if (at.X + width > screenWidth)
        at.X = screenWidth - width;
    if (at.Y + height > screenHeight)
        at.Y = screenHeight - height;
    return at;
}

std::optional<TFindPoint> MoveAwayFromSelection(const TFindRect& selection, int fontHeight,
                                                const TFindRect& form, int screenWidth,
                                                int screenHeight) {
    const int margin = 3 * std::abs(fontHeight);
    // The corners as points of the text: the right and bottom edges belong
    // to it here.
    const bool covered = form.Contains(selection.Left, selection.Top) ||
                         form.Contains(selection.Right, selection.Top) ||
                         form.Contains(selection.Left, selection.Bottom) ||
                         form.Contains(selection.Right, selection.Bottom);
    if (!covered)
        return std::nullopt;
    const int height = form.Height();
    TFindPoint at{form.Left, selection.Bottom + height < screenHeight
                                 ? selection.Bottom + margin
                                 : selection.Top - height - margin};
    return ClampToScreen(at, form.Width(), height, screenWidth, screenHeight);
}

TFindPoint PlaceBesideEditor(const TFindRect& editor, int width, int height, int screenWidth,
                             int screenHeight, const std::optional<TFindRect>& selection,
                             int fontHeight) {
    TFindPoint at;
    if (editor.Bottom + height < screenHeight) {
        at = {editor.Left, editor.Bottom + 2};
    } else if (editor.Right + width < screenWidth) {
        at = {editor.Right + 2, editor.Top};
    } else if (editor.Top - height >= 1) {
        at = {editor.Left, editor.Top - height - 2};
    } else if (editor.Left - width >= 1) {
        at = {editor.Left - width - 2, editor.Top};
    } else {
        at = {(screenWidth - width) / 2, (screenHeight - height) / 2};
        if (selection) {
            const TFindRect form{at.X, at.Y, at.X + width, at.Y + height};
            if (auto moved =
                    MoveAwayFromSelection(*selection, fontHeight, form, screenWidth, screenHeight))
                at = *moved;
        }
    }
    return ClampToScreen(at, width, height, screenWidth, screenHeight);
}

int PromptTop(const TFindRect& selection, int fontHeight, int promptHeight, int screenHeight) {
    const int margin = 3 * std::abs(fontHeight);
    if (selection.Bottom + promptHeight + margin <= screenHeight)
        return selection.Bottom + margin;
    return selection.Top - promptHeight - margin;
}

TFindPoint PlacePrompt(const TFindRect& selection, int fontHeight, int width, int height,
                       int screenWidth, int screenHeight) {
    const TFindPoint at{(screenWidth - width) / 2,
                        PromptTop(selection, fontHeight, height, screenHeight)};
    return ClampToScreen(at, width, height, screenWidth, screenHeight);
}

} // namespace editor
