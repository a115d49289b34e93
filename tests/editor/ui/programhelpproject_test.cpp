// The program's own help project: every help context the program asks for
// has its topic, and the program makes the help from it.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "components/pcreregex.h"
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
#include "editor/ui/spellactions.h"
#include "form_support.h"
#include "helpproject/brindlewovenproject.h"
#include "platform/fileio.h"
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
    19100, 19200, 19300, 19400, unitparser::ui::TParserForm::kHelpContext,
    TSpellActions::kDownloadHelpContext};

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

// The help is made from its source by mkhelpproject; the project in the
// source tree is what the tool makes of the source now.
TEST_F(ProgramHelpProjectTest, TheHelpProjectIsMadeFromItsSource) {
    platform::TempFolder scratch{"bwhelp"};
    const fs::path made = scratch.Path() / "made.bwv";
    const std::string command = std::string(BW_TOOLS_DIR "/mkhelpproject ") +
                                (HelpProject().parent_path() / "topics.txt").string() + " " +
                                made.string();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(platform::ReadFileBytes(made), platform::ReadFileBytes(HelpProject()))
        << "run mkhelpproject on topics.txt";
}

// "Menu > Item" in the help names a menu of the main window and an item
// in it, by the captions the program shows.
TEST_F(ProgramHelpProjectTest, MenuPathsNameTheProgramsMenus) {
    auto& window = MakeForm();
    std::map<std::string, std::set<std::string>> menus;
    auto caption = [](const QString& text) {
        QString shown = text;
        shown.remove('&');
        if (shown.endsWith("..."))
            shown.chop(3);
        return shown.toStdString();
    };
    for (QAction* top : window.menuBar()->actions())
        if (QMenu* menu = top->menu())
            for (QAction* item : menu->actions())
                menus[caption(menu->title())].insert(caption(item->text()));

    const std::string source = platform::ReadFileBytes(HelpProject().parent_path() / "topics.txt");
    // "Menu > " and, after it, the caption of an item of that menu.
    components::TPcreRegEx path;
    path.SetRegEx(R"(([A-Z][A-Za-z]*) > (?=[A-Z]))");
    path.Compile();
    path.SetInputText(source);
    int seen = 0;
    for (bool found = path.MatchFirst(); found; found = path.MatchNext()) {
        ++seen;
        const std::string menu = path.GetGroup(1);
        ASSERT_TRUE(menus.count(menu)) << "no menu " << menu;
        const std::size_t at =
            static_cast<std::size_t>(path.MatchedTextOffset() - 1 + path.MatchedTextLength());
        bool named = false;
        for (const std::string& item : menus[menu])
            named =
                named || (source.compare(at, item.size(), item) == 0 &&
                          (at + item.size() == source.size() ||
                           !std::isalnum(static_cast<unsigned char>(source[at + item.size()]))));
        EXPECT_TRUE(named) << "no item of " << menu << " at \"" << source.substr(at, 30) << "\"";
    }
    EXPECT_GT(seen, 0);
}

} // namespace
} // namespace editortest
