// Help opens at the page asked for: with xchm the first viewer on PATH (here
// a recorder of that name), Show Help File reaches the current topic's page
// of the built help file and a dialog's Help button its own page of the
// program's help.
#include <QAction>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "editor/editorcontext.h"
#include "editor/projecthost_support.h"
#include "editor/topiceditor.h"
#include "editor/ui/dialogs/footnoteform.h"
#include "editor/ui/helpactions.h"
#include "editor/ui/mainactions.h"
#include "form_support.h"
#include "platform/fileio.h"
#include "platform/tempfolder.h"

namespace editortest {
namespace {

namespace fs = std::filesystem;

class HelpPagesTest : public FormFixture {
protected:
    HelpPagesTest() : path("PATH", (folder.Path() / "bin").string() + ":/usr/bin:/bin") {
        fs::create_directories(folder.Path() / "bin");
        const fs::path recorder = folder.Path() / "bin" / "xchm";
        platform::WriteFileAtomic(recorder, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; "
                                            "done >'" +
                                                record.string() + ".tmp'\nmv '" + record.string() +
                                                ".tmp' '" + record.string() + "'\n");
        fs::permissions(recorder, fs::perms::owner_all);
    }

    // The arguments the viewer was started with, one a line (waits at most
    // 10 s for it to run).
    std::string Recorded() {
        for (int i = 0; i < 1000 && !fs::exists(record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!fs::exists(record))
            return "(the viewer did not run)";
        const std::string text = platform::ReadFileBytes(record);
        fs::remove(record);
        return text;
    }

    platform::TempFolder folder{"bwhelppages"};
    fs::path record = folder.Path() / "viewer-arguments";
    projecttest::TEnvScope path;
};

TEST_F(HelpPagesTest, ShowHelpFileOpensTheCurrentTopicsPage) {
    auto& window = MakeForm();
    OpenFourTopics();
    helpproject::TBrindlewovenProject& project = window.Context().Project();
    project.FileName = (folder.Path() / "guide.bwv").string();
    project.Compiler = helpproject::THelpCompiler::HtmlHelp;
    platform::WriteFileAtomic(folder.Path() / "guide.chm", "built");
    window.Context().TopicEditor().GoToTopicID(30);
    const std::string page = project.FindTopic(30)->GetHtmlFileName() + ".htm";

    window.Actions().Action("ActionProjectShowHelpFile")->trigger();
    EXPECT_EQ(Recorded(),
              "file:" + (folder.Path() / "guide.chm").string() + "#xchm:/html/" + page + "\n");
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(HelpPagesTest, DialogHelpButtonOpensItsPageOfTheProgramsHelp) {
    auto& window = MakeForm();
    platform::WriteFileAtomic(folder.Path() / "Brindlewoven.chm", "built");
    window.HelpActions().SetHelpFolder(folder.Path());
    editor::ui::TFootnoteForm dialog(&window);
    dialog.show();
    QTest::mouseClick(dialog.HelpBtn(), Qt::LeftButton);
    EXPECT_EQ(Recorded(), "file:" + (folder.Path() / "Brindlewoven.chm").string() +
                              "#xchm:/html/bw" +
                              std::to_string(editor::ui::TFootnoteForm::kHelpContext) + ".htm\n");
    window.Actions().Action("ActionHelpHowTo")->trigger();
    EXPECT_EQ(Recorded(),
              "file:" + (folder.Path() / "Brindlewoven.chm").string() + "#xchm:/html/bw1000.htm\n");
    EXPECT_TRUE(messenger.Records.empty());
}

} // namespace
} // namespace editortest
