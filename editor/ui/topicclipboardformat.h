#pragma once
// The clipboard format whole topics travel in, registered once at start-up
// under the name "Brindlewoven topic" (the record is helpproject/
// topicclipboard.h). Qt names a platform clipboard format by a MIME type.
#include <QString>

namespace editor::ui {

// Registers the format (first call) and returns its MIME type.
const QString& TopicClipboardMimeType();

} // namespace editor::ui
