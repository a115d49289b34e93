// The View menu: bars come back in their places with their check marks, the
// floating panels' stay-on-top boxes, and undocking narrowing the window.
#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QTest>
#include <QToolBar>

#include <QToolButton>

#include "editor/barlayout.h"
#include "editor/ui/actionicons.h"
#include "editor/ui/floatingontop.h"
#include "editor/ui/mainactions.h"
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
