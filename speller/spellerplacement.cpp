#include "speller/spellerplacement.h"

#include <algorithm>

namespace speller {

namespace {

TPoint Centered(const TSize& size, const TRect& screen) {
    return {screen.left + (screen.right - screen.left) / 2 - size.width / 2,
            screen.top + (screen.bottom - screen.top) / 2 - size.height / 2};
}

TPoint Clipped(TPoint at, const TSize& size, const TRect& screen) {
    at.x = std::max(screen.left, std::min(at.x, screen.right - size.width));
    at.y = std::max(screen.top, std::min(at.y, screen.bottom - size.height));
    return at;
}

// Beside the control: below, right, above or left, the first side with room.
std::optional<TPoint> AvoidControl(const TRect& control, const TSize& size, const TRect& screen) {
    if (screen.bottom > control.bottom + size.height)
        return TPoint{control.left, control.bottom + 2};
    if (screen.right > control.right + size.width)
        return TPoint{control.right + 2, control.top};
    if (control.top - size.height > screen.top)
        return TPoint{control.left, control.top - size.height - 2};
    if (control.left - size.width > screen.left)
        return TPoint{control.left - size.width - 2, control.top};
    return std::nullopt;
}

// Below the word, or above it when the screen has no room below.
TPoint AwayFromWord(const TRect& word, const TRect& form, const TSize& size, int distance,
                    const TRect& screen, bool keepLeft) {
    TPoint at{keepLeft ? form.left : word.left, word.bottom + distance};
    if (screen.bottom <= word.bottom + size.height)
        at.y = word.top - size.height - distance;
    return at;
}

// An empty word still has its place.
TRect WordArea(TRect word) {
    word.right = std::max(word.right, word.left + 1);
    word.bottom = std::max(word.bottom, word.top + 1);
    return word;
}

} // namespace

bool RectsOverlap(const TRect& a, const TRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::optional<TPoint> SpellerFormPosition(const TPlacementRequest& request, const TRect& form,
                                          const TRect& screen) {
    const TSize size{form.right - form.left, form.bottom - form.top};
    const std::optional<TRect>& word = request.wordRect;
    const bool wordKnown = word && word->left > 0;
    std::optional<TPoint> at;
    if (request.firstShowing) {
        TInitialPos pos = request.controlRect ? request.initialPos : TInitialPos::ipScreenCenter;
        switch (pos) {
        case TInitialPos::ipIgnore:
            return std::nullopt;
        case TInitialPos::ipScreenCenter:
        case TInitialPos::ipUserDefined:
            at = Centered(size, screen);
            break;
        case TInitialPos::ipAvoidControl:
            at = AvoidControl(*request.controlRect, size, screen);
            break;
        case TInitialPos::ipUnderSelection:
            break;
        }
        if (at && wordKnown) {
            // Away from the control may still be over the word.
            const TPoint clipped = Clipped(*at, size, screen);
            const TRect placed{clipped.x, clipped.y, clipped.x + size.width,
                               clipped.y + size.height};
            if (RectsOverlap(placed, WordArea(*word)))
                at.reset();
        }
        if (!at) {
            if (!wordKnown)
                return Clipped(Centered(size, screen), size, screen);
            at = AwayFromWord(*word, form, size, request.avoidDistance, screen, false);
        }
        return Clipped(*at, size, screen);
    }
    if (!wordKnown)
        return std::nullopt;
    bool keepLeft = false;
    bool always = false;
    switch (request.selBehavior) {
    case TSelBehavior::sbNone:
        return std::nullopt;
    case TSelBehavior::sbAvoid:
        break;
    case TSelBehavior::sbAvoidUpDown:
        keepLeft = true;
        break;
    case TSelBehavior::sbMove:
        always = true;
        break;
    case TSelBehavior::sbMoveUpDown:
        always = keepLeft = true;
        break;
    }
    if (!always && !RectsOverlap(form, WordArea(*word)))
        return std::nullopt;
    return Clipped(AwayFromWord(*word, form, size, request.avoidDistance, screen, keepLeft), size,
                   screen);
}

} // namespace speller
