// The View menu: bars come back in their places with their check marks, the
// floating panels' stay-on-top boxes, and undocking narrowing the window.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>

#include <QToolButton>

#include "components/ui/richeredit.h"
#include "editor/barlayout.h"
#include "editor/ui/actionicons.h"
#include "editor/ui/barsizing.h"
#include "editor/ui/floatingontop.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/propertybar.h"
#include "editor/ui/textstylecombo.h"
#include "form_support.h"

namespace editortest {
namespace {

class ViewCommandsTest : public FormFixture {};

TEST_F(ViewCommandsTest, HiddenBarsComeBackInTheirPlacesWithTheirCheckMarks) {
    auto& window = MakeForm();
    const std::pair<const char*, QToolBar*> bars[] = {
        {"ActionViewProjectBar", window.ProjectBar()},
        {"ActionViewTopicBar", window.TopicBar()},
        {"ActionViewPropertiesBar", window.PropertiesBar()},
        {"ActionViewTextBar", window.TextBar()},
        {"ActionViewHelpToolBar", window.HelpToolBar()}};
    auto tops = [&] {
        std::vector<int> y;
        for (const auto& [name, bar] : bars)
            y.push_back(bar->geometry().top());
        return y;
    };
    const std::vector<int> before = tops();
    for (std::size_t i = 1; i < before.size(); ++i)
        EXPECT_LT(before[i - 1], before[i]) << bars[i].first;

    QAction* topicBar = window.Actions().Action("ActionViewTopicBar");
    topicBar->trigger();
    EXPECT_TRUE(window.TopicBar()->isHidden());
    EXPECT_FALSE(topicBar->isChecked());
    QTest::qWait(0);
    EXPECT_LT(window.PropertiesBar()->geometry().top(), before[2]); // the others moved up
    topicBar->trigger();
    QTest::qWait(0);
    EXPECT_TRUE(topicBar->isChecked());
    EXPECT_EQ(tops(), before);

    // Hidden some other way, the check mark follows.
    window.HelpToolBar()->hide();
    EXPECT_FALSE(window.Actions().Action("ActionViewHelpToolBar")->isChecked());
}

TEST_F(ViewCommandsTest, FloatingGridShowsItsStayOnTopBoxAndTakesTheStyle) {
    auto& window = MakeForm();
    auto& onTop = window.GridOnTop();
    QWidget* strip = window.findChild<QWidget*>("PanelGridOnTop");
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(strip->isHidden()); // docked
    EXPECT_EQ(onTop.Box()->text(), "Stay On Top");

    window.PanelGrid()->setFloating(true);
    EXPECT_FALSE(strip->isHidden());
    EXPECT_TRUE(onTop.Box()->isChecked());
    EXPECT_TRUE(window.PanelGrid()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    onTop.Box()->click();
    EXPECT_FALSE(window.PanelGrid()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(window.PanelGrid()->isHidden());
    EXPECT_FALSE(window.CurrentWindowState().GridOnTop);

    window.PanelGrid()->setFloating(false);
    EXPECT_TRUE(strip->isHidden());
    // Floated again, the box shows the saved flag.
    window.PanelGrid()->setFloating(true);
    EXPECT_FALSE(onTop.Box()->isChecked());
}

TEST_F(ViewCommandsTest, FloatingErrorLogShowsOnTopAndDockingHidesIt) {
    auto& window = MakeForm();
    window.PanelHCError()->show();
    auto& onTop = window.HCErrorOnTop();
    EXPECT_EQ(onTop.Box()->text(), "On Top");
    EXPECT_FALSE(onTop.Box()->isVisible());
    window.PanelHCError()->setFloating(true);
    EXPECT_TRUE(onTop.Box()->isVisible());
    EXPECT_TRUE(onTop.Box()->isChecked()); // a first start sets it
    EXPECT_TRUE(window.PanelHCError()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    window.PanelHCError()->setFloating(false);
    EXPECT_FALSE(onTop.Box()->isVisible());
}

TEST_F(ViewCommandsTest, UndockingTheGridNarrowsTheWindowAndDockingDoesNotWidenIt) {
    auto& window = MakeForm();
    window.resize(1200, 800);
    QTest::qWait(0);
    const int width = window.width();
    const int grid = window.PanelGrid()->width();
    window.PanelGrid()->setFloating(true);
    EXPECT_EQ(window.width(), width - grid - editor::kSplitterThickness);
    window.PanelGrid()->setFloating(false);
    EXPECT_EQ(window.width(), width - grid - editor::kSplitterThickness);
}

} // namespace
} // namespace editortest

namespace editortest {
namespace {

TEST_F(ViewCommandsTest, ToolButtonsShowPicturesWithTheCaptionAsTooltip) {
    auto& window = MakeForm();
    for (const char* name :
         {"ActionProjectNew", "ActionProjectOpen", "ActionProjectSave", "ActionProjectMake",
          "ActionTopicAdd", "ActionTopicDelete", "ActionTopicFootnotes", "ActionHelpToolsLink",
          "ActionHelpToolsLinkPopup", "ActionTextFind", "ActionTextBold", "ActionTextBullet",
          "ActionHelpContents", "ActionHelpAbout"}) {
        QAction* action = window.findChild<QAction*>(name);
        ASSERT_NE(action, nullptr) << name;
        const QIcon icon = action->icon();
        ASSERT_FALSE(icon.isNull()) << name;
        // Sharp at both densities.
        EXPECT_EQ(icon.pixmap(QSize(16, 16), 1.0).width(), 16) << name;
        EXPECT_EQ(icon.pixmap(QSize(16, 16), 2.0).width(), 32) << name;
    }
    QAction* save = window.Actions().Action("ActionProjectSave");
    auto* button = qobject_cast<QToolButton*>(window.ProjectBar()->widgetForAction(save));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(button->toolTip(), save->toolTip()); // its hint, or the caption
    EXPECT_FALSE(button->toolTip().isEmpty());
    EXPECT_FALSE(editor::ui::ActionIcon("ActionHelpHowTo").isNull());
    EXPECT_TRUE(editor::ui::ActionIcon("NoSuchAction").isNull());
}

} // namespace
} // namespace editortest

namespace editortest {
namespace {

TEST_F(ViewCommandsTest, TextBarSharesItsFreeWidthBetweenFontAndStyleBoxes) {
    auto& window = MakeForm();
    QWidget* font = window.TextBar()->findChild<QWidget*>("ComboFont");
    QWidget* style = window.TextBar()->findChild<QWidget*>("ComboMacro");
    ASSERT_NE(font, nullptr);
    ASSERT_NE(style, nullptr);
    window.resize(1200, 800);
    QTest::qWait(0);
    const int fontWide = font->width();
    EXPECT_TRUE(font->width() == style->width() || font->width() == style->width() + 1);
    window.resize(1000, 800);
    QTest::qWait(0);
    // The boxes gave up what the window lost; nothing else moved off the bar.
    EXPECT_LT(font->width(), fontWide);
    EXPECT_TRUE(font->width() == style->width() || font->width() == style->width() + 1);
    QWidget* apply = window.TextBar()->widgetForAction(window.StyleCombo().ActionMacroApply());
    ASSERT_NE(apply, nullptr);
    EXPECT_TRUE(apply->isVisible());
    EXPECT_LE(apply->geometry().right(), window.TextBar()->width());
}

} // namespace
} // namespace editortest

namespace editortest {
namespace {

// A style named in the box and applied with the bar's button: the
// person goes on typing in the text.
TEST_F(ViewCommandsTest, ApplyingATextStyleGivesTheEditorTheFocusBack) {
    auto& window = MakeForm();
    QApplication::setActiveWindow(&window);
    QComboBox& style = window.StyleCombo();
    style.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return style.hasFocus(); }));
    style.lineEdit()->selectAll();
    QTest::keyClicks(style.lineEdit(), "*TopicTitle");
    auto* apply = qobject_cast<QToolButton*>(
        window.TextBar()->widgetForAction(window.StyleCombo().ActionMacroApply()));
    ASSERT_NE(apply, nullptr);
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_TRUE(window.RichEdit().hasFocus());
}

// The topic, properties and help tool bars follow the window's width.
TEST_F(ViewCommandsTest, BarsShareTheirWidthAsTheWindowResizes) {
    auto& window = MakeForm();
    auto& boxes = window.PropertyBarWidgets();
    QWidget* const shared[] = {boxes.EditKeywords, boxes.EditAKeywords, boxes.EditBrowse,
                               boxes.ComboBuild, boxes.ComboStatus};
    QWidget* comboLink = window.HelpToolBar()->findChild<QWidget*>("ComboLink");
    QWidget* find = window.HelpToolBar()->findChild<QWidget*>("BtnFindAndReplace");
    ASSERT_NE(comboLink, nullptr);
    ASSERT_NE(find, nullptr);
    struct TStretched {
        QToolBar* Bar;
        QWidget* Box;
        QWidget* Last;
    } const stretched[] = {{window.TopicBar(), boxes.ComboTopic, boxes.BtnGo},
                           {window.HelpToolBar(), comboLink, find}};

    struct TSeen {
        int Keywords;
        std::vector<int> Boxes;
    };
    std::vector<TSeen> seen;
    const int widths[] = {1000, 1240};
    for (int width : widths) {
        window.resize(width, 800);
        QTest::qWait(0);
        QToolBar* properties = window.PropertiesBar();
        const int free = editor::ui::TBarSizing::FreeWidth(*properties);
        // Three columns of at most 80, the rest halved with the odd pixel
        // to the keywords, side by side, filling the bar.
        int sum = 0;
        for (int i = 2; i < 5; ++i)
            EXPECT_EQ(shared[i]->width(), std::min(free / 5, 80)) << width << ' ' << i;
        EXPECT_EQ(shared[0]->width() - shared[1]->width(), (free - 3 * 80) % 2) << width;
        for (int i = 0; i < 5; ++i) {
            EXPECT_TRUE(shared[i]->isVisible()) << width << ' ' << i;
            if (i > 0) {
                EXPECT_GT(shared[i]->x(), shared[i - 1]->geometry().right()) << width << ' ' << i;
            }
            sum += shared[i]->width();
        }
        EXPECT_EQ(sum, free) << width;
        TSeen now{shared[0]->width(), {}};
        for (const TStretched& bar : stretched) {
            // The last control stands where the bar's room ends, not beyond.
            EXPECT_TRUE(bar.Last->isVisible()) << width;
            EXPECT_LT(bar.Last->geometry().right(), bar.Bar->width()) << width;
            now.Boxes.push_back(bar.Box->width());
        }
        seen.push_back(now);
    }
    // Every pixel the window gained went to the stretched boxes, and half of
    // it to each keyword box.
    const int gained = widths[1] - widths[0];
    EXPECT_EQ(seen[1].Keywords - seen[0].Keywords, gained / 2);
    for (std::size_t i = 0; i < seen[0].Boxes.size(); ++i)
        EXPECT_EQ(seen[1].Boxes[i] - seen[0].Boxes[i], gained) << i;
}

// A narrow properties bar takes a sixth for its columns with the component
// help of the first Delphi versions. (The bars stand alone here: no window
// is narrow enough for the columns to fall below their cap.)
TEST_F(ViewCommandsTest, PropertiesColumnsTakeASixthForTheFirstDelphiKinds) {
    auto& window = MakeForm();
    QToolBar topicBar;
    QToolBar properties;
    editor::ui::TPropertyBarWidgets boxes(topicBar, properties);
    boxes.SetEditor(&window.Context().TopicEditor());
    properties.resize(360, 30);
    properties.show();
    QTest::qWait(0);
    const int free = editor::ui::TBarSizing::FreeWidth(properties);
    ASSERT_LT(free / 6, free / 5);
    ASSERT_LT(free / 5, 80);
    struct TCase {
        int Kind;
        int Parts;
    } const cases[] = {{0, 5}, {16, 6}, {32, 6}, {112, 5}, {0, 5}};
    for (const TCase& c : cases) {
        window.Context().Project().HelpFileKind = c.Kind;
        boxes.ShowBar(); // as after a project switch or the options
        const int column = free / c.Parts;
        const int rest = free - 3 * column;
        EXPECT_EQ(boxes.EditBrowse->width(), column) << c.Kind;
        EXPECT_EQ(boxes.ComboBuild->width(), column) << c.Kind;
        EXPECT_EQ(boxes.ComboStatus->width(), column) << c.Kind;
        EXPECT_EQ(boxes.EditKeywords->width(), (rest + 1) / 2) << c.Kind;
        EXPECT_EQ(boxes.EditAKeywords->width(), rest / 2) << c.Kind;
    }
}

} // namespace
} // namespace editortest
