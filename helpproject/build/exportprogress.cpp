#include "helpproject/build/exportprogress.h"

#include "components/messengerseam.h"

namespace helpproject {

void CheckHtmlExportAbort(components::IMessenger* messenger, std::int64_t position) {
    components::CheckAbort(messenger, position, kHtmlExportAborted);
}

} // namespace helpproject
