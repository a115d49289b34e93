// The grid and the error log dragged by their titles with the mouse: let
// go where no site takes them they go back where they were; dropped on one
// of their own sites they dock there; floated on purpose they float.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDockWidget>
#include <QTest>

#include "editor/barlayout.h"
#include "editor/ui/dockdragguard.h"
#include "editor/ui/floatingontop.h"
#include "form_support.h"

namespace editortest {
namespace {

enum class TDropAt { EditorMiddle, RightEdge, LeftEdge, ErrorLogSite };

class DockDragTest : public FormFixture {
protected:
    editor::ui::TBrindlewovenForm& Window() {
        auto& window = MakeForm();
        window.resize(1200, 800);
        window.PanelHCError()->show();
        QTest::qWait(0);
        window.resizeDocks({window.PanelGrid()}, {300}, Qt::Horizontal);
        window.resizeDocks({window.PanelHCError()}, {120}, Qt::Vertical);
        QTest::qWait(0);
        return window;
    }

    // A point of the window where a drop is let go.
    static QPoint DropPoint(editor::ui::TBrindlewovenForm& window, TDropAt at) {
        const QRect centre = window.centralWidget()->geometry();
        switch (at) {
        case TDropAt::EditorMiddle:
            return centre.center();
        case TDropAt::RightEdge:
            return QPoint(window.width() - 4, centre.center().y());
        case TDropAt::LeftEdge:
            return QPoint(4, centre.center().y());
        case TDropAt::ErrorLogSite: // where the error log lies now
            return window.PanelHCError()->geometry().center();
        }
        return {};
    }

    // Presses on the panel's title, drags it in steps to `to` (in the
    // window's coordinates) and lets go there.
    static void DragByTitle(editor::ui::TBrindlewovenForm& window, QDockWidget& panel,
                            const QPoint& to) {
        const QPoint grip(24, panel.widget()->geometry().top() / 2);
        const QPoint from = panel.mapTo(&window, grip);
        auto inPanel = [&](const QPoint& inWindow) {
            return panel.mapFromGlobal(window.mapToGlobal(inWindow));
        };
        QTest::mousePress(&panel, Qt::LeftButton, {}, grip);
        constexpr int kSteps = 24;
        for (int step = 1; step <= kSteps; ++step)
            QTest::mouseMove(&panel, inPanel(from + (to - from) * step / kSteps));
        QTest::mouseRelease(&panel, Qt::LeftButton, {}, inPanel(to));
        QTest::qWait(0);
    }
};

TEST_F(DockDragTest, ADragWithoutATargetPutsThePanelBackAsItWas) {
    struct TCase {
        const char* Name;
        bool Grid;
        TDropAt At;
    } const cases[] = {
        {"grid over the editor", true, TDropAt::EditorMiddle},
        {"grid over the error log's site", true, TDropAt::ErrorLogSite},
        {"error log over the editor", false, TDropAt::EditorMiddle},
        {"error log over the grid's right site", false, TDropAt::RightEdge},
    };
    for (const TCase& c : cases) {
        auto& window = Window();
        QDockWidget& panel = c.Grid ? *window.PanelGrid() : *window.PanelHCError();
        const Qt::DockWidgetArea area = window.dockWidgetArea(&panel);
        const QRect geometry = panel.geometry();
        const QSize windowSize = window.size();
        const QRect editor = window.centralWidget()->geometry();
        bool tornOut = false;
        QObject::connect(&panel, &QDockWidget::topLevelChanged,
                         [&](bool floating) { tornOut = tornOut || floating; });
        QCheckBox* onTop = c.Grid ? window.GridOnTop().Box() : window.HCErrorOnTop().Box();
        onTop->setChecked(false);

        DragByTitle(window, panel, DropPoint(window, c.At));
        QTest::qWait(0);
        EXPECT_TRUE(tornOut) << c.Name; // the drag really took it out
        EXPECT_FALSE(panel.isFloating()) << c.Name;
        EXPECT_FALSE(panel.isHidden()) << c.Name;
        EXPECT_EQ(window.dockWidgetArea(&panel), area) << c.Name;
        EXPECT_EQ(panel.geometry(), geometry) << c.Name;
        EXPECT_EQ(window.centralWidget()->geometry(), editor) << c.Name;
        EXPECT_EQ(window.size(), windowSize) << c.Name;
        // Nothing of the floating state showed or changed.
        EXPECT_FALSE(onTop->isVisible()) << c.Name;
        EXPECT_FALSE(onTop->isChecked()) << c.Name;
    }
}

TEST_F(DockDragTest, ADropOnTheGridsOtherSiteDocksItThereAtItsWidth) {
    auto& window = Window();
    QDockWidget& grid = *window.PanelGrid();
    const int width = grid.width();
    const int windowWidth = window.width();
    DragByTitle(window, grid, DropPoint(window, TDropAt::RightEdge));
    QTest::qWait(0);
    EXPECT_FALSE(grid.isFloating());
    EXPECT_EQ(window.dockWidgetArea(&grid), Qt::RightDockWidgetArea);
    EXPECT_EQ(grid.width(), width);
    // It left the left site: the window gives that width back.
    EXPECT_EQ(window.width(), windowWidth - width - editor::kSplitterThickness);
    EXPECT_EQ(window.CurrentWindowState().GridDock, 2);

    // And back to the left the same way (in a window wide enough again).
    window.resize(windowWidth, window.height());
    QTest::qWait(0);
    DragByTitle(window, grid, DropPoint(window, TDropAt::LeftEdge));
    QTest::qWait(0);
    EXPECT_EQ(window.dockWidgetArea(&grid), Qt::LeftDockWidgetArea);
    EXPECT_EQ(grid.width(), width);
    EXPECT_EQ(window.width(), windowWidth - width - editor::kSplitterThickness);
    EXPECT_EQ(window.CurrentWindowState().GridDock, 1);
}

TEST_F(DockDragTest, DroppedBackOnItsOwnSiteThePanelKeepsItsSize) {
    auto& window = Window();
    QDockWidget& log = *window.PanelHCError();
    const int height = log.height();
    const QSize windowSize = window.size();
    DragByTitle(window, log, DropPoint(window, TDropAt::ErrorLogSite));
    QTest::qWait(0);
    EXPECT_FALSE(log.isFloating());
    EXPECT_EQ(window.dockWidgetArea(&log), Qt::BottomDockWidgetArea);
    EXPECT_EQ(log.height(), height);
    EXPECT_EQ(window.size(), windowSize);
}

TEST_F(DockDragTest, FloatingOnPurposeStillFloats) {
    struct TCase {
        const char* Name;
        bool DoubleClick; // else the title's float button
    } const cases[] = {{"double click on the title", true}, {"float button", false}};
    for (const TCase& c : cases) {
        auto& window = Window();
        QDockWidget& grid = *window.PanelGrid();
        const int width = grid.width();
        const int windowWidth = window.width();
        if (c.DoubleClick) {
            const QPoint title(24, grid.widget()->geometry().top() / 2);
            QTest::mouseDClick(&grid, Qt::LeftButton, {}, title);
        } else {
            auto* floatButton = grid.findChild<QAbstractButton*>("qt_dockwidget_floatbutton");
            ASSERT_NE(floatButton, nullptr);
            QTest::mouseClick(floatButton, Qt::LeftButton);
        }
        QTest::qWait(0);
        EXPECT_TRUE(grid.isFloating()) << c.Name;
        EXPECT_TRUE(window.GridOnTop().Box()->isVisible()) << c.Name;
        EXPECT_EQ(window.width(), windowWidth - width - editor::kSplitterThickness) << c.Name;
    }
}

} // namespace
} // namespace editortest
