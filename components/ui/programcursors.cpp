#include "components/ui/programcursors.h"

#include <QPixmap>

static void InitCursorResources() {
    Q_INIT_RESOURCE(cursors);
}

namespace components::ui {

QCursor ProgramCursor(TProgramCursor which) {
    InitCursorResources();
    struct TPicture {
        const char* File;
        int HotX;
        int HotY;
    };
    TPicture picture{};
    switch (which) {
    case TProgramCursor::Hand:
        picture = {":/cursors/hand.png", 10, 2};
        break;
    case TProgramCursor::CrossAdd:
        picture = {":/cursors/crossadd.png", 10, 10};
        break;
    case TProgramCursor::ArrowMove:
        picture = {":/cursors/arrowmove.png", 1, 1};
        break;
    case TProgramCursor::Fly:
        picture = {":/cursors/fly.png", 16, 16};
        break;
    }
    const QPixmap pixmap(picture.File);
    if (pixmap.isNull()) // a build without the pictures still points
        return QCursor(which == TProgramCursor::Hand       ? Qt::PointingHandCursor
                       : which == TProgramCursor::CrossAdd ? Qt::CrossCursor
                                                           : Qt::SizeAllCursor);
    return QCursor(pixmap, picture.HotX, picture.HotY);
}

} // namespace components::ui
