#include "editor/ui/topicclipboardformat.h"

#include "components/ui/ansiqt.h"
#include "helpproject/topicclipboard.h"

namespace editor::ui {

const QString& TopicClipboardMimeType() {
    // The Windows clipboard knows the format by its registered name; other
    // platforms by the MIME type itself.
    static const QString type =
        QString("application/x-qt-windows-mime;value=\"%1\"")
            .arg(components::ui::ToQString(helpproject::TopicClipboardFormatName));
    return type;
}

} // namespace editor::ui
