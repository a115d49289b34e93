// The options dialog as a person uses it: values in and out of the pages,
// OK refused with the first failing check's message, the compiler search
// filling all three boxes, the full-text switch, Cancel from code; and the
// error-log panel's topic box.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "components/scriptedmessenger.h"
#include "components/ui/formdirsel.h"
#include "components/ui/urllabel.h"
#include "editor/ui/dialogs/formoptions.h"
#include "editor/ui/errorlogpanel.h"
#include "platform/tempfolder.h"

namespace {

namespace fs = std::filesystem;
using editor::ui::TOptionsForm;

template <class T> T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

void Touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

class FormOptionsTest : public ::testing::Test {
protected:
    platform::TempFolder scratch{"bwopt"};
    components::TScriptedMessenger messenger;
    TOptionsForm form{messenger};
};

TEST_F(FormOptionsTest, ValuesSurviveThePages) {
    helpproject::TBrindlewovenProject project;
    project.Title = "Title";
    project.Compiler = helpproject::THelpCompiler::WinHelp16;
    project.BuildTags = "Pro";
    project.HelpFileKind = 48;
    project.Config = {"A()", "B()"};
    project.HtmlFullTextSearch = true;
    project.HtmlAdvancedSearch = true;
    project.HtmlLinkColor = 0x00FF00;
    project.WindowWidth = 640;
    helpproject::TCompilerPaths paths;
    paths.HC31Sel = "/c/HCP.EXE";
    editor::TCompilerLists lists;
    lists.HtmlHelp = {"/usr/bin/chmcmd"};
    editor::TEditorSettings settings;
    settings.AutoSaveCompile = true;
    const auto values = editor::OptionsFromProject(project, paths, lists, settings);
    form.SetValues(values, {"Lite", "Pro"});

    EXPECT_TRUE(Child<QRadioButton>(form, "RadioHCWin31")->isChecked());
    EXPECT_EQ(Child<QComboBox>(form, "ComboDelphi")->currentIndex(), 3);
    helpproject::TBrindlewovenProject copy;
    helpproject::TCompilerPaths copyPaths;
    editor::TEditorSettings copySettings;
    const auto back = form.Values();
    editor::ApplyOptionsToProject(back, copy, copyPaths, copySettings);
    EXPECT_EQ(copy.SaveToBytes(nullptr), project.SaveToBytes(nullptr));
    EXPECT_EQ(copyPaths.HC31Sel, "/c/HCP.EXE");
    EXPECT_EQ(back.HCHTMLItems, lists.HtmlHelp);
    EXPECT_EQ(copySettings, settings);
}

TEST_F(FormOptionsTest, OkRefusesAWrongCompilerNameAndStaysOpen) {
    form.SetValues({}, {});
    Child<QRadioButton>(form, "RadioHCWin95")->setChecked(true);
    Child<QComboBox>(form, "ComboHCWin95")->setEditText("/x/renamed.exe");
    form.show();
    form.accept();
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.result(), QDialog::Accepted);
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Text.rfind("Please specify the location of the 32-bit", 0), 0u);

    const fs::path good = scratch.Path() / "hcrtf.exe";
    Touch(good);
    Child<QComboBox>(form, "ComboHCWin95")->setEditText(QString::fromStdString(good.string()));
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(FormOptionsTest, SearchFillsAllThreeBoxesAndSkipsARefusedName) {
    const fs::path root = scratch.Path();
    Touch(root / "a/HC.EXE");
    Touch(root / "b/hcp.exe");
    Touch(root / "b/HCRTF.EXE");
    Touch(root / "c/chmcmd");
    form.SearchRoots = [&] { return std::vector<std::string>{root.string()}; };
    form.SetValues({}, {});
    QTest::mouseClick(Child<QPushButton>(form, "BtnFindHC"), Qt::LeftButton);
    EXPECT_EQ(Child<QComboBox>(form, "ComboHCWin31")->currentText().toStdString(),
              (root / "b/hcp.exe").string());
    EXPECT_EQ(Child<QComboBox>(form, "ComboHCWin31")->count(), 2);
    EXPECT_EQ(Child<QComboBox>(form, "ComboHCHTML")->currentText().toStdString(),
              (root / "c/chmcmd").string());
    EXPECT_EQ(Child<QComboBox>(form, "ComboHCHTML")->count(), 1);
    EXPECT_FALSE(messenger.ProgressOpen);
}

TEST_F(FormOptionsTest, FullTextSearchEnablesTheAdvancedOption) {
    form.SetValues({}, {});
    auto* full = Child<QCheckBox>(form, "CheckHTMLFullTextSearch");
    auto* advanced = Child<QCheckBox>(form, "CheckHTMLAdvancedFullTextSearch");
    EXPECT_FALSE(advanced->isEnabled());
    full->setChecked(true);
    EXPECT_TRUE(advanced->isEnabled());
    full->setChecked(false);
    EXPECT_FALSE(advanced->isEnabled());
}

TEST_F(FormOptionsTest, CancelFromCodeAbortsAndFromTheMenuDoesNothing) {
    helpproject::TBrindlewovenProject project;
    helpproject::TCompilerPaths paths;
    paths.HCHTMLSel = "/bin/sh"; // exists: no search first
    editor::TEditorSettings settings;
    QTimer::singleShot(0, &form, &QDialog::reject);
    EXPECT_FALSE(editor::ui::ExecuteProjectOptions(form, project, paths, settings, false));
    QTimer::singleShot(0, &form, &QDialog::reject);
    EXPECT_THROW(editor::ui::ExecuteProjectOptions(form, project, paths, settings, true),
                 components::EAbort);
    EXPECT_EQ(project.Compiler, helpproject::THelpCompiler::None);
}

TEST_F(FormOptionsTest, ButtonsOpenTheirDialogsAndTakeTheirAnswers) {
    // Configuration: the lines go to the macro editor as one macro, and its
    // answer comes back a line per macro; Cancel keeps the lines.
    auto* config = Child<QPlainTextEdit>(form, "MemoConfig");
    config->setPlainText("BrowseButtons()\nCB(`a')");
    std::string edited;
    std::optional<std::string> answer = "BrowseButtons();JI(`x.hlp',`t')";
    form.EditMacro = [&](const std::string& text) {
        edited = text;
        return answer;
    };
    QTest::mouseClick(Child<QPushButton>(form, "BtnConfig"), Qt::LeftButton);
    EXPECT_EQ(edited, "BrowseButtons();CB(`a')");
    EXPECT_EQ(config->toPlainText(), "BrowseButtons()\nJI(`x.hlp',`t')");
    answer.reset();
    QTest::mouseClick(Child<QPushButton>(form, "BtnConfig"), Qt::LeftButton);
    EXPECT_EQ(config->toPlainText(), "BrowseButtons()\nJI(`x.hlp',`t')");

    // Baggage: each chosen file is added as a line.
    auto* baggage = Child<QPlainTextEdit>(form, "MemoBaggage");
    baggage->setPlainText("old.dat");
    form.PickBaggage = [] { return QStringList{"/a/one.bin", "/b/two"}; };
    QTest::mouseClick(Child<QPushButton>(form, "BtnBaggage"), Qt::LeftButton);
    EXPECT_EQ(baggage->toPlainText(), "old.dat\n/a/one.bin\n/b/two");

    // Output folder: the picker starts at the field's text.
    auto* folder = Child<QLineEdit>(form, "EditOutputFolder");
    folder->setText("/start");
    QString started;
    form.PickFolder = [&](const QString& start) {
        started = start;
        return QString("/chosen");
    };
    QTest::mouseClick(Child<QPushButton>(form, "BtnOutputFolder"), Qt::LeftButton);
    EXPECT_EQ(started, "/start");
    EXPECT_EQ(folder->text(), "/chosen");

    // Help asks for the topic of the page shown.
    std::vector<int> contexts;
    QObject::connect(&form, &TOptionsForm::HelpRequested,
                     [&](int context) { contexts.push_back(context); });
    for (int page : {0, 2}) {
        form.Pages()->setCurrentIndex(page);
        QTest::mouseClick(Child<QPushButton>(form, "BtnHelp"), Qt::LeftButton);
    }
    EXPECT_EQ(contexts, (std::vector<int>{19100, 19300}));
}

TEST_F(FormOptionsTest, CompilerBrowseShowsProgramsWithoutAnExtension) {
    for (const char* button : {"BtnHCWin31", "BtnHCWin95", "BtnHCHTML"}) {
        SCOPED_TRACE(button);
        QString filter;
        form.PickCompiler = [&](const QString&, const QString& f, const QString&) {
            filter = f;
            return QString();
        };
        QTest::mouseClick(Child<QPushButton>(form, button), Qt::LeftButton);
        EXPECT_TRUE(filter.endsWith(";;All files (*)")) << filter.toStdString();
    }
}

TEST_F(FormOptionsTest, OutputFolderUsesTheFolderPicker) {
    // The picker answered by closing it with OK on the folder typed into it.
    auto* folder = Child<QLineEdit>(form, "EditOutputFolder");
    folder->setText(QString::fromStdString(scratch.Path().string()));
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* picker = qobject_cast<components::ui::TFormDirSel*>(w);
                picker && picker->isVisible()) {
                picker->Edit()->setText("/tmp");
                picker->BtnOK()->click();
            }
    });
    QTest::mouseClick(Child<QPushButton>(form, "BtnOutputFolder"), Qt::LeftButton);
    EXPECT_EQ(folder->text(), "/tmp");
}

// The dialogs the buttons open by themselves, closed as a person would.
TEST_F(FormOptionsTest, ConfigurationAndBaggageOpenTheirOwnDialogs) {
    struct Case {
        const char* button;
        const char* dialogClass;
        QString title;
    };
    const Case cases[] = {
        {"BtnConfig", "editor::ui::TMacroForm", QString()},
        {"BtnBaggage", "QFileDialog", "Pick files to add to help file's baggage section"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        bool shown = false;
        QString title;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog != &form &&
                                                              dialog->isVisible() &&
                                                              dialog->inherits(c.dialogClass)) {
                    shown = true;
                    title = dialog->windowTitle();
                    dialog->reject();
                }
        });
        const QString before = Child<QPlainTextEdit>(form, "MemoConfig")->toPlainText();
        QTest::mouseClick(Child<QPushButton>(form, c.button), Qt::LeftButton);
        EXPECT_TRUE(shown);
        if (!c.title.isEmpty()) {
            EXPECT_EQ(title, c.title);
        }
        EXPECT_EQ(Child<QPlainTextEdit>(form, "MemoConfig")->toPlainText(), before);
    }
}

TEST_F(FormOptionsTest, DownloadLinkShowsWhereCompilersAreOffered) {
    auto* link = Child<components::ui::TURLLabel>(form, "URLCompilers");
    ASSERT_NE(link, nullptr);
    EXPECT_FALSE(link->URL().isEmpty());
    bool captionFound = false;
    for (QLabel* label : form.findChildren<QLabel*>())
        captionFound =
            captionFound || label->text() == "All help compilers can be downloaded from:";
    EXPECT_TRUE(captionFound);
}

TEST(ErrorLogPanel, DigitsOnlyAndAnEmptyBoxDisablesGoToTopic) {
    editor::ui::TErrorLogPanel panel;
    panel.SetLines({"line 1", "", "MISSING IMAGES:", "cup.bmp"});
    EXPECT_EQ(panel.Memo()->toPlainText(), "line 1\n\nMISSING IMAGES:\ncup.bmp");
    QString asked;
    QObject::connect(&panel, &editor::ui::TErrorLogPanel::GoToTopic,
                     [&](const QString& text) { asked = text; });
    EXPECT_FALSE(panel.GoButton()->isEnabled());
    QTest::keyClicks(panel.TopicEdit(), "1a-2");
    EXPECT_EQ(panel.TopicEdit()->text(), "12");
    EXPECT_TRUE(panel.GoButton()->isEnabled());
    QTest::mouseClick(panel.GoButton(), Qt::LeftButton);
    EXPECT_EQ(asked, "12");
    panel.TopicEdit()->clear();
    EXPECT_FALSE(panel.GoButton()->isEnabled());
}

} // namespace
