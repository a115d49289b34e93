#pragma once
// The progress and abort step every HTML writer shares, the picture
// conversion included.
#include <cstdint>

namespace components {
class IMessenger;
}

namespace helpproject {

// What the user's abort ends an HTML export with (components::EAbort, shown
// as nothing).
inline constexpr const char* kHtmlExportAborted = "HTML Export aborted by user";
// Moves the messenger's gauge, lets pending events through and throws
// components::EAbort(kHtmlExportAborted) when the user asked to stop. A null
// messenger does nothing.
void CheckHtmlExportAbort(components::IMessenger* messenger, std::int64_t position);

} // namespace helpproject
