#include "speller/spellerplacement.h"

#include <gtest/gtest.h>

namespace speller {
namespace {

constexpr TRect kScreen{0, 0, 1280, 1024};
constexpr int kW = 400, kH = 300;

TRect FormAt(int x, int y) {
    return {x, y, x + kW, y + kH};
}

struct Case {
    const char* name;
    bool first;
    TInitialPos initial;
    TSelBehavior behavior;
    std::optional<TRect> control;
    std::optional<TRect> word;
    TRect form;
    std::optional<TPoint> expected;
};

TEST(SpellerPlacement, Table) {
    const TRect editor{100, 100, 700, 500};
    const TRect fullScreen{0, 0, 1280, 1024};
    const TRect word{300, 200, 360, 216};
    const Case cases[] = {
        {"centre", true, TInitialPos::ipScreenCenter, TSelBehavior::sbAvoid, editor, word,
         FormAt(0, 0), TPoint{440, 362}},
        {"user defined centres too", true, TInitialPos::ipUserDefined, TSelBehavior::sbAvoid,
         editor, word, FormAt(0, 0), TPoint{440, 362}},
        {"below the control", true, TInitialPos::ipAvoidControl, TSelBehavior::sbAvoid, editor,
         word, FormAt(0, 0), TPoint{100, 502}},
        {"right of a tall control", true, TInitialPos::ipAvoidControl, TSelBehavior::sbAvoid,
         TRect{100, 100, 700, 900}, word, FormAt(0, 0), TPoint{702, 100}},
        {"above a low wide control", true, TInitialPos::ipAvoidControl, TSelBehavior::sbAvoid,
         TRect{0, 700, 1000, 900}, word, FormAt(0, 0), TPoint{0, 398}},
        {"left of a control at the right", true, TInitialPos::ipAvoidControl, TSelBehavior::sbAvoid,
         TRect{500, 100, 1000, 900}, TRect{600, 800, 660, 816}, FormAt(0, 0), TPoint{98, 100}},
        {"beside the control but over the word: next to the word", true,
         TInitialPos::ipAvoidControl, TSelBehavior::sbAvoid, TRect{500, 100, 1000, 900}, word,
         FormAt(0, 0), TPoint{300, 264}},
        {"no side has room: next to the word", true, TInitialPos::ipAvoidControl,
         TSelBehavior::sbAvoid, fullScreen, word, FormAt(0, 0), TPoint{300, 216 + 48}},
        {"no room and no word: centre", true, TInitialPos::ipAvoidControl, TSelBehavior::sbAvoid,
         fullScreen, std::nullopt, FormAt(0, 0), TPoint{440, 362}},
        {"no control: centre", true, TInitialPos::ipAvoidControl, TSelBehavior::sbAvoid,
         std::nullopt, word, FormAt(0, 0), TPoint{440, 362}},
        {"ignore: stays", true, TInitialPos::ipIgnore, TSelBehavior::sbAvoid, editor, word,
         FormAt(5, 5), std::nullopt},
        {"under the selection", true, TInitialPos::ipUnderSelection, TSelBehavior::sbAvoid, editor,
         word, FormAt(0, 0), TPoint{300, 264}},
        {"avoid: not covering, stays", false, TInitialPos::ipAvoidControl, TSelBehavior::sbAvoid,
         editor, word, FormAt(800, 600), std::nullopt},
        {"avoid: covering, below the word", false, TInitialPos::ipAvoidControl,
         TSelBehavior::sbAvoid, editor, word, FormAt(250, 150), TPoint{300, 264}},
        {"avoid: covering only the middle", false, TInitialPos::ipAvoidControl,
         TSelBehavior::sbAvoid, editor, TRect{100, 200, 1200, 216}, FormAt(500, 100),
         TPoint{100, 264}},
        {"avoid up-down: not covering, stays", false, TInitialPos::ipAvoidControl,
         TSelBehavior::sbAvoidUpDown, editor, word, FormAt(800, 600), std::nullopt},
        {"avoid up-down keeps its left", false, TInitialPos::ipAvoidControl,
         TSelBehavior::sbAvoidUpDown, editor, word, FormAt(250, 150), TPoint{250, 264}},
        {"last line of the screen: above", false, TInitialPos::ipAvoidControl,
         TSelBehavior::sbAvoid, editor, TRect{300, 1000, 360, 1016}, FormAt(250, 800),
         TPoint{300, 1000 - kH - 48}},
        {"move: always", false, TInitialPos::ipAvoidControl, TSelBehavior::sbMove, editor, word,
         FormAt(800, 600), TPoint{300, 264}},
        {"move up-down: always, keeps left", false, TInitialPos::ipAvoidControl,
         TSelBehavior::sbMoveUpDown, editor, word, FormAt(800, 600), TPoint{800, 264}},
        {"none: never", false, TInitialPos::ipAvoidControl, TSelBehavior::sbNone, editor, word,
         FormAt(250, 150), std::nullopt},
        {"unknown word: stays", false, TInitialPos::ipAvoidControl, TSelBehavior::sbMove, editor,
         TRect{0, 200, 60, 216}, FormAt(250, 150), std::nullopt},
        {"clipped to the right edge", false, TInitialPos::ipAvoidControl, TSelBehavior::sbMove,
         editor, TRect{1200, 200, 1260, 216}, FormAt(0, 0), TPoint{1280 - kW, 264}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPlacementRequest request;
        request.firstShowing = c.first;
        request.initialPos = c.initial;
        request.selBehavior = c.behavior;
        request.controlRect = c.control;
        request.wordRect = c.word;
        request.avoidDistance = 48;
        std::optional<TPoint> at = SpellerFormPosition(request, c.form, kScreen);
        ASSERT_EQ(at.has_value(), c.expected.has_value());
        if (!at)
            continue;
        EXPECT_EQ(at->x, c.expected->x);
        EXPECT_EQ(at->y, c.expected->y);
        // Wherever it goes, the dialog keeps clear of the word and on screen.
        const TRect placed = FormAt(at->x, at->y);
        if (c.word && c.word->left > 0) {
            EXPECT_FALSE(RectsOverlap(placed, *c.word));
        }
        EXPECT_GE(placed.left, 0);
        EXPECT_GE(placed.top, 0);
        EXPECT_LE(placed.right, kScreen.right);
        EXPECT_LE(placed.bottom, kScreen.bottom);
    }
}

} // namespace
} // namespace speller
