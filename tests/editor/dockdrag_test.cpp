// What a drag of a dock panel by its title comes to, from the press, the
// tearing out and where the panel is when the button comes up.
#include <gtest/gtest.h>

#include "editor/dockdrag.h"

namespace {

using editor::TDockDrag;
using editor::TDockDragEnd;

constexpr int kLeft = 1;
constexpr int kRight = 2;

TEST(DockDragTest, TheEndOfADragFollowsWhereThePanelWasLetGo) {
    struct TCase {
        const char* Name;
        bool TornOut;
        bool Floating;
        int Site;
        TDockDragEnd End;
    } const cases[] = {
        {"a click on the title", false, false, kLeft, TDockDragEnd::NoDrag},
        {"let go where no site takes it", true, true, kLeft, TDockDragEnd::NoTarget},
        {"dropped back on its own site", true, false, kLeft, TDockDragEnd::SameSite},
        {"dropped on the other site", true, false, kRight, TDockDragEnd::OtherSite},
    };
    for (const TCase& c : cases) {
        TDockDrag drag;
        drag.Pressed(kLeft);
        EXPECT_TRUE(drag.Pressed()) << c.Name;
        if (c.TornOut)
            drag.TornOut();
        EXPECT_EQ(drag.Dragging(), c.TornOut) << c.Name;
        EXPECT_EQ(drag.Released(c.Floating, c.Site), c.End) << c.Name;
        EXPECT_FALSE(drag.Dragging()) << c.Name;
        EXPECT_FALSE(drag.Pressed()) << c.Name;
    }
}

TEST(DockDragTest, LeavingTheSiteWithoutAPressIsNoDrag) {
    // Floated by its button or a double click: nobody holds it.
    TDockDrag drag;
    drag.TornOut();
    EXPECT_FALSE(drag.Dragging());
    EXPECT_EQ(drag.Released(true, 0), TDockDragEnd::NoDrag);
    // A second release after a finished drag is no drag either.
    drag.Pressed(kLeft);
    drag.TornOut();
    EXPECT_EQ(drag.Released(true, kLeft), TDockDragEnd::NoTarget);
    EXPECT_EQ(drag.Released(true, kLeft), TDockDragEnd::NoDrag);
}

TEST(DockDragTest, ANewPressForgetsAnUnfinishedDrag) {
    // A release that went elsewhere: the next press starts afresh.
    TDockDrag drag;
    drag.Pressed(kLeft);
    drag.TornOut();
    drag.Pressed(kRight);
    EXPECT_FALSE(drag.Dragging());
    EXPECT_EQ(drag.Released(false, kRight), TDockDragEnd::NoDrag);
}

} // namespace
