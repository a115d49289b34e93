#pragma once
// Where the check dialog goes so that it does not hide the word: on its
// first showing by TInitialPos (away from the checked control), at later
// words by TSelBehavior (away from the word). Pure functions of rectangles
// in screen co-ordinates, so that the rules are tested without a screen.
#include <optional>

#include "speller/spellerform.h"

namespace speller {

struct TSize {
    int width = 0;
    int height = 0;
};

// The dialog's new top-left corner, or nullopt when it stays where it is.
// `form` is where the dialog is now, `screen` the screen's work area.
std::optional<TPoint> SpellerFormPosition(const TPlacementRequest& request, const TRect& form,
                                          const TRect& screen);

// Whether two rectangles share any point (right and bottom edges exclusive).
bool RectsOverlap(const TRect& a, const TRect& b);

} // namespace speller
