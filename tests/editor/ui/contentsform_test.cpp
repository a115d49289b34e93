#include "editor/ui/dialogs/contentsform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "components/scriptedmessenger.h"
#include "components/windowplacement.h"
#include "dialogs_support.h"
#include "editor/editorcontext.h"
#include "editor/ui/dialogs/contentslistview.h"
#include "platform/registry.h"

using editor::TContentsKind;
using editor::ui::TContentsForm;
using editor::ui::TContentsListView;
using helpproject::TStringList;

namespace {

const TStringList kLines{"1 Book", "2 Intro=intro>main", "2 Back=!Back()", "2 Odd=Vellumar@x.hlp",
                         "1 Last=Vellumar20"};

class ContentsFormTest : public ::testing::Test {
protected:
    ContentsFormTest() : registry(platform::OpenMemoryRegistry()), context(messenger, *registry) {
        auto& project = context.Project();
        project.ClearTopics();
        project.AddTopic(10, "Intro")->TopicID = "intro";
        project.AddTopic(20, "Setup")->Bookmark = true;
        project.AddTopic(30, "Extra");
        project.Windows = {"main=\"Main\",(0,0,1023,1023)"};
        project.Title = "Manual";
        project.ContentsLines = kLines;
    }

    static void ClickRow(TContentsListView* list, int row) {
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index);
        QApplication::processEvents(); // the list lays its items out
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
        ASSERT_EQ(list->SelectedRow(), row);
    }
    static void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
    const TStringList& Lines(TContentsForm& form) { return form.Model().Document().Lines(); }

    std::unique_ptr<platform::Registry> registry;
    components::TScriptedMessenger messenger;
    editor::TEditorContext context;
};

} // namespace

TEST_F(ContentsFormTest, OkWritesTheProjectAndMarksItModified) {
    TContentsForm form(context);
    form.show();
    ClickRow(form.ListCnt(), 1);
    Retype(form.EditCntTitle(), "Welcome");
    Click(form.KindButton(TContentsKind::Header));
    EXPECT_FALSE(form.ComboTopic()->isVisible());
    Retype(form.EditTitle(), "Guide");
    EXPECT_EQ(context.Project().ContentsLines, kLines) << "nothing before OK";
    Click(form.OkBtn());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(context.Project().ContentsLines[1], "2 Welcome");
    EXPECT_EQ(context.Project().Title, "Guide");
    EXPECT_TRUE(context.Session().Modified());
}

TEST_F(ContentsFormTest, CancelDiscardsAndTheNextShowingStartsAfresh) {
    TContentsForm form(context);
    form.show();
    ClickRow(form.ListCnt(), 0);
    Click(form.BtnCntDel());
    EXPECT_EQ(Lines(form).size(), kLines.size() - 1);
    EXPECT_TRUE(form.BtnUndo()->isEnabled());
    Click(form.CancelBtn());
    EXPECT_EQ(context.Project().ContentsLines, kLines);
    EXPECT_FALSE(context.Session().Modified());
    form.show();
    EXPECT_EQ(Lines(form), kLines);
    EXPECT_FALSE(form.BtnUndo()->isEnabled()) << "no undo survives a reopen";
    EXPECT_FALSE(form.BtnRedo()->isEnabled());
}

TEST_F(ContentsFormTest, ShowingAnItemNeverChangesItsLine) {
    TContentsForm form(context);
    form.show();
    for (int row = 0; row < static_cast<int>(kLines.size()); ++row)
        ClickRow(form.ListCnt(), row);
    EXPECT_EQ(Lines(form), kLines);
    EXPECT_FALSE(form.BtnUndo()->isEnabled());
    // The macro keeps its first letter; the odd line shows its whole target.
    ClickRow(form.ListCnt(), 2);
    EXPECT_EQ(form.EditMacro()->text(), "Back()");
    ClickRow(form.ListCnt(), 3);
    EXPECT_TRUE(form.KindButton(TContentsKind::OtherFileLink)->isChecked());
    EXPECT_EQ(form.EditTopic()->text(), "Vellumar");
    // Switching the topic box's order shows the topic anew, line unchanged.
    ClickRow(form.ListCnt(), 1);
    EXPECT_EQ(form.ComboTopic()->currentText(), "Intro (10)");
    form.BtnTopicSort()->click();
    EXPECT_EQ(form.ComboTopic()->currentText(), "10: Intro");
    EXPECT_EQ(Lines(form), kLines);
}

TEST_F(ContentsFormTest, ARunOfTypingIsOneUndoStep) {
    TContentsForm form(context);
    form.show();
    ClickRow(form.ListCnt(), 4);
    form.EditCntTitle()->setFocus();
    QTest::keyClicks(form.EditCntTitle(), "\tpart");
    EXPECT_EQ(Lines(form)[4], "1 Lastpart=Vellumar20") << "the tab is not in the line";
    Click(form.BtnUndo());
    EXPECT_EQ(Lines(form), kLines);
    EXPECT_EQ(form.ListCnt()->SelectedRow(), 4);
    EXPECT_EQ(form.EditCntTitle()->text(), "Last");
    Click(form.BtnRedo());
    EXPECT_EQ(Lines(form)[4], "1 Lastpart=Vellumar20");
}

TEST_F(ContentsFormTest, AddTakesTheGridsTopicAndTheWindow) {
    TContentsForm form(context);
    form.show();
    ClickRow(form.ListCnt(), 0);
    Click(form.BtnGrid());
    ASSERT_TRUE(form.Grid()->isVisible());
    EXPECT_EQ(form.BtnGrid()->text(), "<<");
    EXPECT_GE(form.width(), 440);
    // Intro is in the contents already (grey), Setup is bookmarked (red).
    const QAbstractItemModel* grid = form.Grid()->model();
    EXPECT_EQ(grid->data(grid->index(0, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::gray));
    EXPECT_EQ(grid->data(grid->index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    form.Grid()->setCurrentIndex(grid->index(2, 1));
    Click(form.BtnCntAdd());
    EXPECT_EQ(Lines(form)[1], "2 Extra=Vellumar30");
    EXPECT_EQ(form.ListCnt()->SelectedRow(), 1);
    EXPECT_EQ(grid->data(grid->index(2, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::gray));
    // Switching to the General page puts the grid away.
    form.PageControl()->setCurrentIndex(0);
    EXPECT_FALSE(form.Grid()->isVisible());
    EXPECT_EQ(form.BtnGrid()->text(), ">>");
}

TEST_F(ContentsFormTest, ADragWithTheMouseMovesTheLine) {
    TContentsForm form(context);
    form.show();
    QApplication::processEvents();
    TContentsListView* list = form.ListCnt();
    QWidget* viewport = list->viewport();
    const QPoint from = list->visualRect(list->model()->index(4, 0)).center();
    const QPoint to = list->visualRect(list->model()->index(0, 0)).center();
    Mouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(viewport, QEvent::MouseMove, from + QPoint(0, -10), Qt::LeftButton);
    Mouse(viewport, QEvent::MouseMove, to, Qt::LeftButton);
    EXPECT_TRUE(list->Dragging());
    EXPECT_EQ(list->DropTarget(), 0);
    Mouse(viewport, QEvent::MouseButtonRelease, to, Qt::NoButton);
    EXPECT_EQ(list->DropTarget(), -1);
    EXPECT_EQ(Lines(form)[0], "1 Last=Vellumar20");
    EXPECT_EQ(Lines(form)[1], "1 Book");
    EXPECT_EQ(list->SelectedRow(), 0);
    EXPECT_TRUE(form.BtnUndo()->isEnabled());
    Click(form.BtnUndo());
    EXPECT_EQ(Lines(form), kLines);
}

TEST_F(ContentsFormTest, ActivationKeepsTheEditsAndANewProjectIsReadAnew) {
    TContentsForm form(context);
    form.show();
    ClickRow(form.ListCnt(), 0);
    Click(form.BtnCntDel());
    context.Project().AddTopic(40, "Late");
    form.activateWindow();
    QEvent activation(QEvent::ActivationChange);
    QApplication::sendEvent(&form, &activation);
    QApplication::processEvents();
    EXPECT_EQ(Lines(form).size(), kLines.size() - 1) << "the edit survives";
    EXPECT_GE(form.ComboTopic()->findText("Late (40)"), 0) << "the topics are fresh";

    // A new project while the editor is open: the editor shows it, and OK
    // writes it unchanged, never the old project's lines.
    auto other = std::make_unique<helpproject::TBrindlewovenProject>();
    other->ContentsLines = {"1 Other"};
    context.Session().ReplaceProject(std::move(other));
    form.ProjectReplaced();
    EXPECT_EQ(Lines(form), TStringList{"1 Other"});
    EXPECT_FALSE(form.BtnUndo()->isEnabled());
    Click(form.OkBtn());
    EXPECT_EQ(context.Project().ContentsLines, TStringList{"1 Other"});
}

TEST_F(ContentsFormTest, GeneralPageListsAndBrowsing) {
    context.Project().ContentsIndexes = {"Other=other.hlp"};
    TContentsForm form(context);
    form.SetFileChooser([](const editor::TFileDialogSpec& spec) {
        EXPECT_EQ(spec.Title, "Help file to link to");
        return std::string("/somewhere/else/linked.hlp");
    });
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.PageControl()->setCurrentIndex(0);
    EXPECT_EQ(form.EditIndex()->text(), "Other");
    EXPECT_FALSE(form.EditLink()->isEnabled()) << "no link selected";
    Retype(form.EditIndexFile(), "renamed.hlp");
    EXPECT_EQ(form.ListIndex()->item(0)->text(), "Other=renamed.hlp");
    // Entering a field makes its Add button the default.
    EXPECT_TRUE(form.BtnIndexAdd()->isDefault());
    Click(form.BtnLinkAdd());
    EXPECT_EQ(form.ListLink()->item(0)->text(), "helpfile.hlp");
    Click(form.BtnLinkBrowse());
    EXPECT_EQ(form.ListLink()->item(0)->text(), "linked.hlp");
    Click(form.OkBtn());
    EXPECT_EQ(context.Project().ContentsIndexes, TStringList{"Other=renamed.hlp"});
    EXPECT_EQ(context.Project().ContentsLinks, TStringList{"linked.hlp"});
}

TEST_F(ContentsFormTest, PlacementIsKeptUnderCntEdit) {
    QRect placed;
    {
        TContentsForm form(context);
        form.show();
        form.move(40, 50);
        form.resize(form.width(), 700);
        QApplication::processEvents();
        placed = form.geometry();
        form.hide();
    }
    const auto stored = components::ReadWindowPlacement(*registry, editor::ui::kCntEditKey);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->Rect.Height(), 700);
    TContentsForm again(context);
    EXPECT_EQ(again.height(), 700);
    EXPECT_EQ(again.geometry().topLeft(), placed.topLeft());
}

TEST_F(ContentsFormTest, DraggingNearTheBottomEdgeScrollsTheList) {
    TStringList many;
    for (int i = 0; i < 200; ++i)
        many.push_back("1 Item " + std::to_string(i));
    context.Project().ContentsLines = many;
    TContentsForm form(context);
    form.show();
    QApplication::processEvents();
    TContentsListView* list = form.ListCnt();
    QWidget* viewport = list->viewport();
    const QPoint from = list->visualRect(list->model()->index(0, 0)).center();
    const QPoint edge(from.x(), viewport->height() - 4);
    Mouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(viewport, QEvent::MouseMove, edge, Qt::LeftButton);
    EXPECT_TRUE(list->DragTimer()->isActive());
    const int before = list->DropTarget();
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->verticalScrollBar()->value() > 0; }));
    EXPECT_GT(list->DropTarget(), before) << "the target follows the scrolled list";
    // Away from the edge the timer stops at its next tick.
    const QPoint middle = viewport->rect().center();
    Mouse(viewport, QEvent::MouseMove, middle, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->DragTimer()->isActive(); }));
    Mouse(viewport, QEvent::MouseButtonRelease, middle, Qt::NoButton);
}

// An item of every kind, and enough of them that the list scrolls.
TStringList EveryKind() {
    TStringList lines{
        "1 Book",          "2 Intro=intro>main", "2 Other=Vellumar5@o.hlp", "2 Far=far@far.hlp",
        "2 Back=! Back()", ":INCLUDE more.cnt"};
    for (int i = 0; i < 40; ++i)
        lines.push_back("2 Page " + std::to_string(i) + "=intro");
    return lines;
}

// Where a widget stands in the form, and how large it is.
QRect PlaceIn(const QWidget* widget, const QWidget* form) {
    return QRect(widget->mapTo(form, QPoint(0, 0)), widget->size());
}

TEST_F(ContentsFormTest, TheItemPanelKeepsOneHeightForEveryKind) {
    context.Project().ContentsLines = EveryKind();
    TContentsForm form(context);
    form.show();
    QApplication::processEvents();
    TContentsListView* list = form.ListCnt();
    const QRect listPlace = PlaceIn(list, &form);
    std::vector<QRect> kindPlaces;
    for (int kind = 0; kind < 6; ++kind)
        kindPlaces.push_back(PlaceIn(form.KindButton(static_cast<TContentsKind>(kind)), &form));
    const TContentsKind kinds[] = {TContentsKind::Header,      TContentsKind::Link,
                                   TContentsKind::OwnFileLink, TContentsKind::OtherFileLink,
                                   TContentsKind::Macro,       TContentsKind::Include};
    for (int row = 0; row < 6; ++row) {
        SCOPED_TRACE(row);
        ClickRow(list, row);
        QApplication::processEvents();
        ASSERT_TRUE(form.KindButton(kinds[row])->isChecked());
        // The list and the kinds stay where the mouse found them, and the
        // line shown is whole in view.
        EXPECT_EQ(PlaceIn(list, &form), listPlace);
        for (int kind = 0; kind < 6; ++kind)
            EXPECT_EQ(PlaceIn(form.KindButton(static_cast<TContentsKind>(kind)), &form),
                      kindPlaces[static_cast<std::size_t>(kind)]);
        EXPECT_TRUE(
            list->viewport()->rect().contains(list->visualRect(list->model()->index(row, 0))));
    }
    // Changing an item's kind moves nothing either, and the parts it lacks
    // are hidden.
    ClickRow(list, 1);
    for (TContentsKind kind : kinds) {
        Click(form.KindButton(kind));
        QApplication::processEvents();
        EXPECT_EQ(PlaceIn(list, &form), listPlace);
    }
    EXPECT_TRUE(form.EditFile()->isVisible());
    EXPECT_FALSE(form.EditCntTitle()->isVisible());
    EXPECT_FALSE(form.EditMacro()->isVisible());
    EXPECT_FALSE(form.ComboWindow()->isVisible());
}

TEST_F(ContentsFormTest, ADragStartedLowInTheListDrops) {
    context.Project().ContentsLines = EveryKind();
    TContentsForm form(context);
    form.show();
    QApplication::processEvents();
    TContentsListView* list = form.ListCnt();
    ClickRow(list, 0);
    QWidget* viewport = list->viewport();
    // The lowest line wholly in view: a link, whose panel differs from the
    // header's.
    int low = 0;
    while (viewport->rect().contains(list->visualRect(list->model()->index(low + 1, 0))))
        ++low;
    ASSERT_GE(low, 5) << "the list shows too few lines to test";
    const std::string dragged = Lines(form)[static_cast<std::size_t>(low)];
    const QPoint from = list->visualRect(list->model()->index(low, 0)).center();
    const QPoint to = list->visualRect(list->model()->index(1, 0)).center();
    Mouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(list->SelectedRow(), low);
    // The line pressed is still in view under the mouse.
    EXPECT_TRUE(viewport->rect().contains(list->visualRect(list->model()->index(low, 0))));
    EXPECT_TRUE(list->visualRect(list->model()->index(low, 0)).contains(from));
    Mouse(viewport, QEvent::MouseMove, from + QPoint(0, -10), Qt::LeftButton);
    Mouse(viewport, QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(viewport, QEvent::MouseButtonRelease, to, Qt::NoButton);
    EXPECT_EQ(Lines(form)[1], dragged);
    EXPECT_EQ(list->SelectedRow(), 1);
}
