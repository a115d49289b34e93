// The project commands: the save prompt before each command that drops the
// open project, the atomic open, reopen of a vanished file, Save As from
// code, the import's proposed file name and the unit command's numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "components/reopenlist.h"
#include "components/scriptedmessenger.h"
#include "editor/projectcommands.h"
#include "helpproject/textstylemacro.h"
#include "platform/fileio.h"
#include "platform/tempfolder.h"
#include "projecthost_support.h"

namespace {

namespace fs = std::filesystem;
using components::mrCancel;
using components::mrNo;
using components::mrYes;
using editor::TProjectCommands;

class ProjectCommandsTest : public ::testing::Test {
protected:
    platform::TempFolder scratch{"bwcmds"};
    helpproject::TEditingSession session;
    components::TScriptedMessenger messenger;
    projecttest::TRecordingHost host;
    helpproject::TTextStyleList styles;
    components::TReopenList& reopen = host.Recent;
    TProjectCommands commands{session, messenger, host, &styles};
    std::string sample = projecttest::CopySample(scratch.Path());
    std::string other = projecttest::CopySample(scratch.Path(), "other.bwv");

    // The open project, changed and marked modified.
    void OpenModified(const std::string& file) {
        commands.OpenProject(file);
        session.Project().Title = "Changed title";
        session.SetModified();
    }
    std::string SavedTitleOf(const std::string& file) {
        helpproject::TTextStyleList ignored;
        return helpproject::TBrindlewovenProject::Load(file, &ignored)->Title;
    }
};

enum class Command { New, Open, Reopen, Import };

TEST_F(ProjectCommandsTest, SavePromptMatrix) {
    const std::string hpj = BW_TEST_DATA "/writers/import/help.hpj";
    struct Case {
        Command command;
        bool modified;
        int answer;    // mrNone: no question expected
        bool proceeds; // the open project is replaced
        bool saved;    // the changed title reached the file
    } cases[] = {
        {Command::New, false, components::mrNone, true, false},
        {Command::New, true, mrYes, true, true},
        {Command::New, true, mrNo, true, false},
        {Command::New, true, mrCancel, false, false},
        {Command::Open, true, mrYes, true, true},
        {Command::Open, true, mrNo, true, false},
        {Command::Open, true, mrCancel, false, false},
        {Command::Reopen, true, mrYes, true, true},
        {Command::Reopen, true, mrNo, true, false},
        {Command::Reopen, true, mrCancel, false, false},
        {Command::Import, true, mrNo, true, false},
        {Command::Import, true, mrCancel, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.command) * 100 + c.answer * 10 + c.modified);
        projecttest::CopySample(scratch.Path());
        commands.OpenProject(sample);
        if (c.modified) {
            session.Project().Title = "Changed title";
            session.SetModified();
        }
        const auto* before = &session.Project();
        messenger.Records.clear();
        host.OpenAnswers = {c.command == Command::Import ? hpj : other};
        if (c.answer != components::mrNone)
            messenger.QueueAnswer(c.answer);
        switch (c.command) {
        case Command::New:
            commands.NewProject();
            break;
        case Command::Open:
            commands.ProjectOpen();
            break;
        case Command::Reopen:
            commands.Reopen(other);
            break;
        case Command::Import:
            commands.Import();
            break;
        }
        const auto questions = messenger.Texts(components::TScriptedMessenger::TRecord::Question);
        const bool asked =
            !questions.empty() && questions.front().rfind("Project has been modified!", 0) == 0;
        EXPECT_EQ(asked, c.answer != components::mrNone);
        EXPECT_EQ(&session.Project() != before, c.proceeds);
        EXPECT_EQ(SavedTitleOf(sample) == "Changed title", c.saved);
        if (!c.proceeds) {
            EXPECT_EQ(session.Project().Title, "Changed title");
            EXPECT_TRUE(session.Modified());
        } else {
            EXPECT_FALSE(session.Modified());
        }
    }
}

TEST_F(ProjectCommandsTest, YesOnANeverSavedProjectWithSaveAsCancelledEndsSilently) {
    session.Project().Title = "Unsaved";
    session.SetModified();
    messenger.QueueAnswer(mrYes);
    EXPECT_THROW(commands.NewProject(), components::EAbort);
    EXPECT_EQ(session.Project().Title, "Unsaved");
    EXPECT_TRUE(session.Modified());
}

TEST_F(ProjectCommandsTest, FailedLoadKeepsProjectTopicFlagAndStyles) {
    commands.OpenProject(sample);
    auto* project = &session.Project();
    auto* current = session.CurrentTopic();
    session.SetModified();
    const std::size_t styleCount = styles.Count();
    ASSERT_GT(styleCount, 0u);
    const auto firstStyle = *styles.Items().front().Style;

    // A file that starts as a project file and breaks off in the middle.
    const std::string bytes = platform::ReadFileBytes(sample);
    const fs::path broken = scratch.Path() / "broken.bwv";
    platform::WriteFileAtomic(broken, bytes.substr(0, bytes.size() / 2));
    const int replacedBefore = host.Replaced;
    EXPECT_ANY_THROW(commands.OpenProject(broken.string()));
    EXPECT_EQ(&session.Project(), project);
    EXPECT_EQ(session.CurrentTopic(), current);
    EXPECT_TRUE(session.Modified());
    EXPECT_EQ(styles.Count(), styleCount);
    EXPECT_EQ(*styles.Items().front().Style, firstStyle);
    EXPECT_EQ(host.Replaced, replacedBefore);
    EXPECT_EQ(reopen.Files().front(), sample);
}

TEST_F(ProjectCommandsTest, OpenShowsFirstTopicAboveOneAndEntersRecentFiles) {
    commands.OpenProject(sample);
    EXPECT_EQ(session.Project().FileName, sample);
    EXPECT_GT(session.CurrentTopic()->Number, 1);
    EXPECT_EQ(reopen.Files().front(), sample);
    EXPECT_EQ(commands.SaveDialogFileName(), sample);
    EXPECT_EQ(host.KindChanges.back(), session.Project().HelpFileKind);
    EXPECT_EQ(editor::ProjectCaption(""), "Brindlewoven");
    EXPECT_EQ(editor::ProjectCaption("X"), "Brindlewoven - X");
}

TEST_F(ProjectCommandsTest, ReopenOfAVanishedFileReportsAndDropsIt) {
    reopen.AddFile(other);
    fs::remove(other);
    commands.Reopen(other);
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Text, "Project " + other + " doesn't exist any more.");
    EXPECT_TRUE(reopen.Empty());
}

TEST_F(ProjectCommandsTest, SaveAsFromCodeAbortsAndFromTheMenuDoesNothing) {
    EXPECT_FALSE(commands.SaveAs(false));
    try {
        commands.SaveAs(true);
        FAIL() << "no abort";
    } catch (const components::EAbort& abort) {
        EXPECT_STREQ(abort.what(), "Save As canceled");
    }
    const std::string target = (scratch.Path() / "new.bwv").string();
    host.SaveAnswers = {target};
    session.SetModified();
    EXPECT_TRUE(commands.Save());
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(session.Project().FileName, target);
    EXPECT_FALSE(session.Modified());
    EXPECT_EQ(host.Dialogs.back().Title, "Save Brindlewoven project");
}

TEST_F(ProjectCommandsTest, ImportProposesTheHelpProjectNameForTheFirstSave) {
    const std::string hpj = BW_TEST_DATA "/writers/import/help.hpj";
    host.OpenAnswers = {hpj};
    commands.Import();
    EXPECT_GT(session.Project().TopicCount(), 0);
    EXPECT_TRUE(session.Project().FileName.empty());
    EXPECT_EQ(commands.SaveDialogFileName(), BW_TEST_DATA "/writers/import/help.bwv");
    commands.SaveAs(false); // cancelled, but the dialog proposed the name
    EXPECT_EQ(host.Dialogs.back().FileName, BW_TEST_DATA "/writers/import/help.bwv");
}

// Every imported topic goes through the editor once, in number order, so
// that its text is held in the editor's own form; Abort stops the import.
TEST_F(ProjectCommandsTest, ImportPassesEveryTopicThroughTheEditor) {
    struct TPassingHost : projecttest::TRecordingHost {
        std::vector<std::int32_t> passed;
        void PassThroughEditor(helpproject::TBrindlewovenTopic& topic) override {
            passed.push_back(topic.Number);
            topic.Text = {"{\\rtf1 passed}"};
        }
    } passing;
    TProjectCommands importCommands(session, messenger, passing, &styles);
    passing.OpenAnswers = {BW_TEST_DATA "/writers/import/help.hpj"};
    importCommands.Import();
    ASSERT_EQ(passing.passed.size(), static_cast<std::size_t>(session.Project().TopicCount()));
    EXPECT_TRUE(std::is_sorted(passing.passed.begin(), passing.passed.end()));
    for (std::int32_t number : passing.passed)
        EXPECT_EQ(session.Project().FindTopic(number)->Text.front(), "{\\rtf1 passed}");

    passing.passed.clear();
    passing.OpenAnswers = {BW_TEST_DATA "/writers/import/help.hpj"};
    messenger.RequestAbort();
    EXPECT_THROW(importCommands.Import(), components::EAbort);
    EXPECT_TRUE(passing.passed.empty());
}

// An import that ends early (here at a [FILES] entry found nowhere) brings
// the topics it read into the window all the same, and its error follows;
// one that read nothing leaves the open project as it was.
TEST_F(ProjectCommandsTest, ImportThatEndsEarlyShowsTheTopicsItRead) {
    commands.OpenProject(sample);
    const auto* before = &session.Project();
    host.OpenAnswers = {BW_TEST_DATA "/writers/wordimport/scribe.hpj"};
    const int shown = host.Shown;
    try {
        commands.Import();
        FAIL() << "the import went through";
    } catch (const helpproject::EProjectError& error) {
        EXPECT_TRUE(std::string(error.what())
                        .starts_with("Cannot find the topic file \"afxprint.rtf\" of [FILES]."));
    }
    EXPECT_NE(&session.Project(), before);
    EXPECT_EQ(session.Project().TopicCount(), 7);
    EXPECT_EQ(session.Project().Topics().front()->TopicID, "main_index");
    EXPECT_EQ(host.Shown, shown + 1);
    EXPECT_FALSE(session.Modified());
    EXPECT_TRUE(session.Project().FileName.empty());
    EXPECT_EQ(commands.SaveDialogFileName(), BW_TEST_DATA "/writers/wordimport/scribe.bwv");

    // A project whose first file is missing brings nothing: the project stays.
    const fs::path hpj = scratch.Path() / "none.hpj";
    std::ofstream(hpj) << "[FILES]\r\nnowhere.rtf\r\n";
    const auto* imported = &session.Project();
    host.OpenAnswers = {hpj.string()};
    EXPECT_THROW(commands.Import(), helpproject::EProjectError);
    EXPECT_EQ(&session.Project(), imported);
}

TEST_F(ProjectCommandsTest, PascalUnitStartsAtTheNextThousand) {
    struct TParsingHost : projecttest::TRecordingHost {
        std::int32_t asked = 0;
        std::int32_t ParsePascalUnit(const std::string&, std::int32_t first) override {
            asked = first;
            return -1;
        }
    } parsing;
    TProjectCommands unitCommands(session, messenger, parsing, &styles);
    session.Project().AddTopic(2500, "x");
    parsing.OpenAnswers = {"unit.pas"};
    unitCommands.PascalUnit();
    EXPECT_EQ(parsing.asked, 3000);
    EXPECT_EQ(parsing.Dialogs.back().Title, "Open Delphi unit");
    EXPECT_TRUE(parsing.KindChanges.empty()); // cancelled: the kind stays
}

TEST_F(ProjectCommandsTest, PascalUnitShowsWhatTheParserWrote) {
    // Generated topics: kind 112, the first topic shown, the project changed.
    // A failure after some topics were written keeps them, and the views
    // follow; a failure before any leaves everything as it was.
    struct TWritingHost : projecttest::TRecordingHost {
        helpproject::TBrindlewovenProject* project = nullptr;
        int write = 0;
        bool fail = false;
        std::int32_t ParsePascalUnit(const std::string&, std::int32_t first) override {
            for (int i = 0; i < write; ++i)
                project->AddTopic(first + i, "generated");
            if (fail)
                throw std::runtime_error("generation failed");
            return write > 0 ? first : -1;
        }
    } writing;
    writing.project = &session.Project();
    TProjectCommands unitCommands(session, messenger, writing, &styles);
    session.SetModified(false);
    const std::int32_t first = editor::NextThousandAbove(session.Project());

    writing.fail = true;
    writing.OpenAnswers = {"unit.pas"};
    EXPECT_THROW(unitCommands.PascalUnit(), std::runtime_error);
    EXPECT_FALSE(session.Modified());
    EXPECT_EQ(writing.Replaced, 0);

    writing.write = 2;
    writing.OpenAnswers = {"unit.pas"};
    EXPECT_THROW(unitCommands.PascalUnit(), std::runtime_error);
    EXPECT_TRUE(session.Modified());
    EXPECT_EQ(writing.Replaced, 1);
    EXPECT_TRUE(writing.KindChanges.empty());

    session.SetModified(false);
    writing.fail = false;
    writing.OpenAnswers = {"unit.pas"};
    const std::int32_t next = editor::NextThousandAbove(session.Project());
    EXPECT_EQ(next, first + 1000);
    unitCommands.PascalUnit();
    EXPECT_TRUE(session.Modified());
    EXPECT_EQ(writing.KindChanges, (std::vector<std::int32_t>{112}));
    EXPECT_EQ(session.Project().HelpFileKind, 112);
    ASSERT_NE(session.CurrentTopic(), nullptr);
    EXPECT_EQ(session.CurrentTopic()->Number, next);
}

TEST_F(ProjectCommandsTest, FlatManualAsksThePartsQuestionByExtension) {
    commands.OpenProject(sample);
    const std::string rtf = (scratch.Path() / "manual.rtf").string();
    const std::string htm = (scratch.Path() / "manual.htm").string();
    host.SaveAnswers = {rtf, htm};
    messenger.QueueAnswer(mrYes);
    commands.FlatManual();
    messenger.QueueAnswer(mrNo);
    commands.FlatManual();
    const auto questions = messenger.Texts(components::TScriptedMessenger::TRecord::Question);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_NE(questions[0].find("page breaks"), std::string::npos);
    EXPECT_NE(questions[1].find("hyperlinks"), std::string::npos);
    EXPECT_GT(fs::file_size(rtf), 0u);
    EXPECT_GT(fs::file_size(htm), 0u);
    EXPECT_FALSE(commands.Session().Project().HtmlScaleFontSizes);
}

} // namespace

// Every file of Export to RTF+HPJ goes under the chosen name and folder; the
// project's own folder, an imported project's contents file included, is
// left as it was, whichever compiler and contents the project has.
TEST_F(ProjectCommandsTest, ExportWritesEveryFileUnderTheChosenName) {
    struct Case {
        helpproject::THelpCompiler compiler;
        bool contentsLines;
    } cases[] = {
        {helpproject::THelpCompiler::WinHelp32, true},
        {helpproject::THelpCompiler::WinHelp32, false},
        {helpproject::THelpCompiler::WinHelp16, true},
    };
    const fs::path projectFolder = scratch.Path() / "project";
    const fs::path exportFolder = scratch.Path() / "export";
    const auto listing = [](const fs::path& folder) {
        std::vector<std::pair<std::string, std::string>> files;
        for (const auto& entry : fs::directory_iterator(folder))
            files.emplace_back(entry.path().filename().string(),
                               platform::ReadFileBytes(entry.path()));
        std::sort(files.begin(), files.end());
        return files;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.compiler) * 10 + c.contentsLines);
        fs::remove_all(projectFolder);
        fs::remove_all(exportFolder);
        fs::create_directories(exportFolder);
        const std::string file = projecttest::CopySample(projectFolder, "imported.bwv");
        commands.OpenProject(file);
        helpproject::TBrindlewovenProject& project = session.Project();
        const std::string ownCnt = (projectFolder / "imported.cnt").string();
        platform::WriteFileAtomic(ownCnt, ":BASE imported.hlp\r\n1 The imported contents\r\n");
        project.Compiler = c.compiler;
        project.ContentsLines.clear();
        if (c.contentsLines)
            project.ContentsLines = {"1 Exported contents"};
        const auto before = listing(projectFolder);

        host.SaveAnswers = {(exportFolder / "manual.rtf").string()};
        commands.ExportHpjRtf();

        EXPECT_EQ(listing(projectFolder), before);
        std::vector<std::string> written;
        for (const auto& [name, bytes] : listing(exportFolder))
            written.push_back(name);
        EXPECT_EQ(written, (std::vector<std::string>{"manual.cnt", "manual.hpj", "manual.rtf"}));
        const std::string cnt = platform::ReadFileBytes(exportFolder / "manual.cnt");
        EXPECT_EQ(cnt.rfind(":BASE manual.hlp\r\n", 0), 0u) << cnt;
        EXPECT_EQ(cnt.find("1 Exported contents") != std::string::npos, c.contentsLines);
        const std::string hpj = platform::ReadFileBytes(exportFolder / "manual.hpj");
        EXPECT_EQ(hpj.find("CNT=manual.cnt") != std::string::npos,
                  c.compiler == helpproject::THelpCompiler::WinHelp32)
            << hpj;
    }
}
