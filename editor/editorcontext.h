#pragma once
// What every command group and editor of the main window works with: the
// editing session, the text styles, the program-wide settings, the help
// compilers, the messenger, the registry, the topic editor and the one place
// where commands run. The window builds it first and destroys it last; the
// command groups and the separate editors receive it (plus the widgets they
// need), never the window itself.
#include <cstdint>
#include <functional>
#include <memory>

#include "editor/editorsettings.h"
#include "editor/topiceditor.h"
#include "editor/topicgrid.h"
#include "helpproject/build/compilerpaths.h"
#include "helpproject/editingsession.h"
#include "helpproject/textstylemacro.h"

namespace components {
class IMessenger;
}
namespace platform {
class Registry;
}

namespace editor {

class TEditorContext {
public:
    TEditorContext(components::IMessenger& messenger, platform::Registry& registry);
    ~TEditorContext();
    TEditorContext(const TEditorContext&) = delete;
    TEditorContext& operator=(const TEditorContext&) = delete;

    helpproject::TEditingSession& Session() { return session_; }
    helpproject::TBrindlewovenProject& Project() { return session_.Project(); }
    helpproject::TTextStyleList& TextStyles() { return styles_; }
    TEditorSettings& Settings() { return settings_; }
    helpproject::TCompilerPaths& CompilerPaths() { return compilerPaths_; }
    components::IMessenger& Messenger() { return messenger_; }
    platform::Registry& Registry() { return registry_; }

    // The topic editor over the session, shown by the given view, and the
    // topic grid over it. The window creates them once it can answer as
    // their view; they live as long as the context, so the widgets that
    // show them may go first in any order. Nothing shows topics through
    // them after their window is gone.
    TTopicEditor& CreateTopicEditor(ITopicEditorView& view);
    TTopicEditor& TopicEditor() { return *topicEditor_; }
    bool HasTopicEditor() const { return topicEditor_ != nullptr; }
    TTopicGrid& Grid() { return *grid_; }
    // What shows the topic editor, and its text.
    ITopicEditorView& View() { return topicEditor_->View(); }
    ITextEditor& TextEditor() { return topicEditor_->View().TextEditor(); }
    // The grid's columns, their widths and the sort order.
    TGridLayout& GridLayout() { return gridLayout_; }

    // Runs a command: an EAbort ends it silently, any other exception is
    // shown through the messenger. Returns whether it ended normally.
    bool Run(const std::function<void()>& command);
    // A command (or a modal dialog of one) is running.
    bool Busy() const { return busy_ > 0; }

    // Keeps the source-code style in step with the help-file kind.
    void SetHelpFileKind(std::int32_t kind);

private:
    components::IMessenger& messenger_;
    platform::Registry& registry_;
    helpproject::TEditingSession session_;
    helpproject::TTextStyleList styles_;
    TEditorSettings settings_;
    helpproject::TCompilerPaths compilerPaths_;
    TGridLayout gridLayout_;
    std::unique_ptr<TTopicEditor> topicEditor_;
    std::unique_ptr<TTopicGrid> grid_;
    int busy_ = 0;
};

} // namespace editor
