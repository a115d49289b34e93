#include "editor/editorcontext.h"

#include "components/messengerseam.h"
#include "editor/defaulttextstyles.h"

namespace editor {

TEditorContext::TEditorContext(components::IMessenger& messenger, platform::Registry& registry)
    : messenger_(messenger), registry_(registry) {
    AddDefaultTextStyles(styles_, false);
}

// The grid goes before the topic editor it shows, and both before the
// session and the styles they point at.
TEditorContext::~TEditorContext() {
    grid_.reset();
    topicEditor_.reset();
}

TTopicEditor& TEditorContext::CreateTopicEditor(ITopicEditorView& view) {
    grid_.reset();
    topicEditor_ = std::make_unique<TTopicEditor>(session_, view, styles_, settings_);
    grid_ = std::make_unique<TTopicGrid>(*topicEditor_, gridLayout_);
    return *topicEditor_;
}

bool TEditorContext::Run(const std::function<void()>& command) {
    struct TBusy {
        int& Count;
        explicit TBusy(int& count) : Count(count) { ++Count; }
        ~TBusy() { --Count; }
    } busy(busy_);
    bool ended = false;
    try {
        command();
        ended = true;
    } catch (const components::EAbort&) {
        // A cancelled operation ends without a word.
    } catch (const std::exception& error) {
        messenger_.ShowMessage(components::TMessageKind::Error, "Brindlewoven", error.what());
    }
    return ended;
}

void TEditorContext::SetHelpFileKind(std::int32_t kind) {
    editor::SetHelpFileKind(session_.Project(), styles_, kind);
}

} // namespace editor
