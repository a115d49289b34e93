#include "form_support.h"

#include <QTest>

#include "editor/texteditor.h"
#include "helpproject/editingsession.h"

namespace editortest {

editor::ui::TBrindlewovenForm& FormFixture::MakeForm() {
    form.reset();
    context = std::make_unique<editor::TEditorContext>(messenger, *registry);
    form = std::make_unique<editor::ui::TBrindlewovenForm>(*context);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return *form;
}

void FormFixture::OpenFourTopics() {
    auto project = std::make_unique<helpproject::TBrindlewovenProject>();
    project->ClearTopics();
    const std::pair<int, const char*> topics[] = {
        {10, "Delta"}, {20, "Alpha"}, {30, "Charlie"}, {40, "Bravo"}};
    for (const auto& [number, title] : topics) {
        helpproject::TBrindlewovenTopic* topic = project->AddTopic(number, title);
        topic->KKeywords = "k" + std::to_string(number);
        project->UpdateSortedView(topic);
    }
    form->Context().Session().ReplaceProject(std::move(project));
    form->Context().TopicEditor().ProjectReplaced();
}

void FormFixture::DropForm() {
    form.reset();
    context.reset();
}

std::string EditorText(editor::ui::TBrindlewovenForm& form) {
    editor::ITextEditor& text = form.Context().TextEditor();
    return text.TextRange(0, text.TextLength());
}

} // namespace editortest
