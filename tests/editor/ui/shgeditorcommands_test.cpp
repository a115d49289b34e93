#include "editor/ui/shgeditorcommands.h"

#include <QAction>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

#include "editor/ui/dialogs/shgform.h"
#include "editor/ui/mainactions.h"
#include "form_support.h"
#include "helpproject/images/bmpreader.h"
#include "platform/fileio.h"
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

// Quitting the program with a changed picture in the SHG editor asks about
// it first; Cancel keeps the program and the picture open.
TEST_F(SHGEditorCommands, QuittingAsksAboutAChangedPicture) {
    auto& window = MakeForm();
    window.Actions().Action("ActionEditorsSHG")->trigger();
    editor::ui::TSHGForm* editor = window.SHGEditor().Form();
    helpproject::TBitmap bitmap;
    bitmap.SetSize(40, 30);
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bw_shgquit_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string bmp = (dir / "pic.bmp").string();
    platform::WriteFileAtomic(bmp, helpproject::WriteBmp(bitmap));
    ASSERT_TRUE(editor->OpenFile(bmp));
    editor->BtnAdd()->click();
    messenger.Records.clear();

    messenger.QueueAnswer(components::mrCancel);
    EXPECT_FALSE(window.close());
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Text,
              "\"pic.shg\" has been modified!\rDo you wish to save your changes?");
    EXPECT_EQ(editor->TabCount(), 1);

    messenger.QueueAnswer(components::mrNo);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(messenger.UnscriptedQuestions, 0);
    std::filesystem::remove_all(dir);
}
