#include "editor/ui/shgeditorcommands.h"

#include <QAction>
#include <gtest/gtest.h>

#include "editor/ui/dialogs/shgform.h"
#include "editor/ui/mainactions.h"
#include "form_support.h"
#include "platform/registry.h"

namespace {

class SHGEditorCommands : public editortest::FormFixture {};

} // namespace

// The Editors menu opens one modeless SHG editor; closing the main window
// closes it and keeps its splitter position.
TEST_F(SHGEditorCommands, TheEditorIsModelessKeptAndClosedWithTheProgram) {
    auto& window = MakeForm();
    window.Actions().Action("ActionEditorsSHG")->trigger();
    editor::ui::TSHGForm* editor = window.SHGEditor().Form();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(editor->isModal());
    EXPECT_EQ(editor->windowTitle(), "SHG Editor");
    window.Actions().Action("ActionEditorsSHG")->trigger();
    EXPECT_EQ(window.SHGEditor().Form(), editor);

    window.SHGEditor().FormClose();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(window.Context()
                    .Registry()
                    .ReadDword(platform::RootKey::CurrentUser, editor::ui::kSHGEditKey, "SplitIt")
                    .has_value());
}
