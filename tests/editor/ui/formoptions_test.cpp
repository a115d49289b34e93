// The options dialog as a person uses it: values in and out of the pages,
// OK refused with the first failing check's message, the compiler search
// filling all three boxes, the full-text switch, Cancel from code; and the
// error-log panel's topic box.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "components/scriptedmessenger.h"
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
