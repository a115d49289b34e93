#include "editorfixture_support.h"

namespace editortest {

std::unique_ptr<helpproject::TBrindlewovenProject>
ProjectWith(std::initializer_list<std::int32_t> numbers) {
    auto project = std::make_unique<helpproject::TBrindlewovenProject>();
    project->ClearTopics();
    for (std::int32_t n : numbers)
        project->AddTopic(n, "T" + std::to_string(n));
    return project;
}

void EditorFixture::Open(std::initializer_list<std::int32_t> numbers) {
    editor.reset();
    session = std::make_unique<helpproject::TEditingSession>(ProjectWith(numbers));
    styles.Clear();
    editor::AddDefaultTextStyles(styles, true);
    editor = std::make_unique<editor::TTopicEditor>(*session, view, styles, settings);
}

std::vector<std::int32_t> EditorFixture::Numbers() const {
    std::vector<std::int32_t> out;
    for (const auto& topic : session->Project().Topics())
        out.push_back(topic->Number);
    return out;
}

} // namespace editortest
