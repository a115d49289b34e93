// A person's walk through the main window: open the sample project, pick a
// topic in the grid, type, link to another topic, save, and find it all in
// the file when the project is opened again.
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "components/ui/richeredit.h"
#include "editor/commandline.h"
#include "editor/markupcommands.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/markupactions.h"
#include "editor/ui/projectactions.h"
#include "editor/ui/propertybar.h"
#include "editor/ui/topicgridmodel.h"
#include "editor/ui/topicgridview.h"
#include "form_support.h"

namespace editortest {
namespace {

namespace fs = std::filesystem;

class BrindlewovenFormE2ETest : public FormFixture {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("bw_form_e2e_" + std::to_string(QCoreApplication::applicationPid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        file = folder / "sample.bwv";
        fs::copy_file(fs::path(BW_SOURCE_DIR) / "examples/sample/sample.bwv", file);
    }
    void TearDown() override {
        form.reset();
        fs::remove_all(folder);
    }
    std::string ReadFile() {
        std::ifstream in(file, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    fs::path folder;
    fs::path file;
};

TEST_F(BrindlewovenFormE2ETest, OpenPickTypeLinkSaveReopen) {
    editor::ui::TBrindlewovenForm& window = MakeForm();
    QApplication::setActiveWindow(&window);
    ASSERT_FALSE(window.RunCommandLine({file.string()}).Quit);
    ASSERT_TRUE(messenger.Records.empty());
    ASSERT_GE(window.Context().Project().TopicCount(), 3);

    // The grid lists the sample's topics; the third is clicked and opened
    // with Ctrl+Enter.
    editor::ui::TTopicGridView& grid = window.GridView();
    ASSERT_EQ(grid.Model().rowCount(), window.Context().Project().TopicCount());
    const QModelIndex third = grid.Model().index(2, 1);
    const std::int32_t picked = window.Context().Project().SortedTopic(3)->Number;
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(third).center());
    QTest::keyClick(&grid, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(window.Context().Session().CurrentTopic()->Number, picked);

    // Type at the end of its text.
    components::ui::TRicherEdit& edit = window.RichEdit();
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClicks(&edit, "Steep notes for the brave ");

    // Link to another topic: choose it in the link list, press Link.
    const helpproject::TBrindlewovenTopic* target = window.Context().Project().SortedTopic(1);
    ASSERT_NE(target->Number, picked);
    QComboBox* links = window.Markup().ComboLink;
    const int item = links->findText(
        QString::fromStdString(helpproject::TitleStyleText(target->Title, target->Number)));
    ASSERT_GE(item, 0);
    links->setCurrentIndex(item);
    window.Actions().Action("ActionHelpToolsLink")->trigger();
    const std::string targetTitle = target->Title;
    const std::string code = editor::TopicLinkCode(*target, editor::THotspotKind::Jump);
    ASSERT_EQ(code.rfind("{linkID=" + std::to_string(target->Number), 0), 0u);
    EXPECT_NE(EditorText(window).find("Steep notes for the brave " + targetTitle + code),
              std::string::npos);

    // Save (F2 on the window), then switch away and come back.
    QTest::keyClick(&window, Qt::Key_F2);
    EXPECT_FALSE(window.Context().Session().Modified());
    EXPECT_TRUE(messenger.Records.empty());
    const std::string saved = ReadFile();
    EXPECT_NE(saved.find("Steep notes for the brave"), std::string::npos);
    // In the topic's RTF the braces of the code are escaped.
    const std::string escaped = "\\" + code.substr(0, code.size() - 1) + "\\}";
    EXPECT_NE(saved.find(escaped), std::string::npos) << escaped;

    // Opened anew, the topic shows the text and the code.
    window.ProjectActions().OpenProject(file.string());
    window.Context().TopicEditor().GoToTopicID(picked);
    const std::string text = EditorText(window);
    EXPECT_NE(text.find("Steep notes for the brave " + targetTitle), std::string::npos);
    EXPECT_NE(text.find(code), std::string::npos);
    EXPECT_TRUE(window.close());
}

} // namespace
} // namespace editortest
