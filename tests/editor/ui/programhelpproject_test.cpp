// The program's own help project: every help context the program asks for
// has its topic, and the program makes the help from it.
#include <filesystem>

#include "editor/commandline.h"
#include "editor/helpmenu.h"
#include "editor/programhelp.h"
#include "editor/ui/dialogs/browseform.h"
#include "editor/ui/dialogs/buttonform.h"
#include "editor/ui/dialogs/contentsform.h"
#include "editor/ui/dialogs/findform.h"
#include "editor/ui/dialogs/footnoteform.h"
#include "editor/ui/dialogs/formindexeditor.h"
#include "editor/ui/dialogs/linkform.h"
#include "editor/ui/dialogs/macroform.h"
#include "editor/ui/dialogs/mergeform.h"
#include "editor/ui/dialogs/renumberform.h"
#include "editor/ui/dialogs/shgform.h"
#include "editor/ui/dialogs/shgsortform.h"
#include "editor/ui/dialogs/windowsform.h"
#include "form_support.h"
#include "helpproject/brindlewovenproject.h"
#include "platform/tempfolder.h"
#include "unitparser/ui/parserform.h"

namespace editortest {
namespace {

namespace fs = std::filesystem;
using namespace editor::ui;

const int kContexts[] = {
    editor::kHelpContentsContext, editor::kHelpHowToContext, TFootnoteForm::kHelpContext,
    TLinkForm::kHelpContext, TFindForm::kHelpContext, TButtonForm::kHelpContext,
    TContentsForm::kHelpContext, TContentsForm::kGeneralHelpContext,
    TContentsForm::kContentsHelpContext, TFormIndexEditor::kHelpContext, TMacroForm::kHelpContext,
    TRenumberForm::kHelpContext, TMergeForm::kHelpContext, TSHGForm::kHelpContext,
    TSHGSortForm::kHelpContext, TBrowseForm::kHelpContext, TWindowsForm::kHelpContext,
    // the project options' four pages
    19100, 19200, 19300, 19400, unitparser::ui::TParserForm::kHelpContext};

fs::path HelpProject() {
    return fs::path(BW_TEST_DATA).parent_path().parent_path() / "apps" / "Brindle" / "help" /
           "Brindlewoven.bwv";
}

class ProgramHelpProjectTest : public FormFixture {};

TEST_F(ProgramHelpProjectTest, EveryContextTheProgramUsesHasItsTopic) {
    helpproject::TBrindlewovenProject project;
    project.LoadFromFile(HelpProject().string(), nullptr);
    for (int context : kContexts) {
        const helpproject::TBrindlewovenTopic* topic = project.FindTopic(context);
        ASSERT_NE(topic, nullptr) << context;
        EXPECT_FALSE(topic->Title.empty()) << context;
        EXPECT_GT(topic->Text.size(), 2u) << context; // more than a title
    }
}

TEST_F(ProgramHelpProjectTest, TheProgramMakesAPageForEveryContext) {
    platform::TempFolder scratch{"bwhelp"};
    const fs::path copy = scratch.Path() / "Brindlewoven.bwv";
    fs::copy_file(HelpProject(), copy);
    const fs::path web = scratch.Path() / "BrindlewovenHelp";
    auto& window = MakeForm();
    window.RunCommandLine({copy.string(), "/cweb", (web / "index.htm").string(), "/q"});
    EXPECT_TRUE(messenger.Records.empty());
    for (int context : kContexts)
        EXPECT_TRUE(fs::is_regular_file(web / editor::TProgramHelp::PageName(context))) << context;
}

} // namespace
} // namespace editortest
