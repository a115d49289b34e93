// The program's own cursors are built in, with their hot spots inside.
#include <gtest/gtest.h>

#include "components/ui/programcursors.h"

namespace {

using components::ui::ProgramCursor;
using components::ui::TProgramCursor;

TEST(ProgramCursorsTest, EachCursorIsItsOwnPictureWithTheHotSpotInside) {
    for (TProgramCursor which : {TProgramCursor::Hand, TProgramCursor::CrossAdd,
                                 TProgramCursor::ArrowMove, TProgramCursor::Fly}) {
        const QCursor cursor = ProgramCursor(which);
        ASSERT_EQ(cursor.shape(), Qt::BitmapCursor) << static_cast<int>(which);
        EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
        EXPECT_GE(cursor.hotSpot().x(), 0);
        EXPECT_LT(cursor.hotSpot().x(), 32);
        EXPECT_GE(cursor.hotSpot().y(), 0);
        EXPECT_LT(cursor.hotSpot().y(), 32);
    }
    EXPECT_NE(ProgramCursor(TProgramCursor::Hand).pixmap().toImage(),
              ProgramCursor(TProgramCursor::Fly).pixmap().toImage());
}

} // namespace
