#include "unitparser/ui/parserform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

#include "components/scriptedmessenger.h"
#include "components/ui/messenger_support.h"
#include "components/ui/messengerform.h"
#include "components/ui/windowedmessenger.h"
#include "helpproject/brindlewovenproject.h"
#include "tests/unitparser/widgetsunit_support.h"
#include "unitparser/projecttopicsink.h"
#include "unitparser/ui/parserlistbox.h"

using namespace unitparser;
using unitparser::testing::TUnitFolder;
using unitparser::testing::WidgetsUnit;
using unitparser::ui::TParserForm;
using unitparser::ui::TParserListBox;

namespace {

std::string Text(const QString& text) {
    return text.toStdString();
}

std::vector<std::string> Items(const TParserListBox* list) {
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i)
        items.push_back(Text(list->item(i)->text()));
    return items;
}

void Click(QAbstractButton* button) {
    ASSERT_TRUE(button->isVisible()) << Text(button->objectName());
    ASSERT_TRUE(button->isEnabled()) << Text(button->objectName());
    QTest::mouseClick(button, Qt::LeftButton, {},
                      QPoint(std::min(8, button->width() / 2), button->height() / 2));
}

void ClickRow(TParserListBox* list, int row) {
    ASSERT_TRUE(list->isVisible()) << Text(list->objectName());
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr) << row;
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// A person clicks only a tab that can be seen: the bar shows, and the tab
// lies within it.
void ClickTab(QTabBar* tabs, int index) {
    ASSERT_TRUE(tabs->isVisible());
    const QRect tab = tabs->tabRect(index);
    ASSERT_FALSE(tab.isEmpty()) << index;
    ASSERT_TRUE(tabs->rect().contains(tab))
        << index << ": the bar is " << tabs->height() << " pixels high";
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tab.center());
    ASSERT_EQ(tabs->currentIndex(), index);
}

void ShowPage(TParserForm& form, TParserPage page) {
    QTabBar* bar = form.Pages()->tabBar();
    const int index = static_cast<int>(page);
    ASSERT_TRUE(form.Pages()->isTabVisible(index));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    ASSERT_EQ(form.Pages()->currentIndex(), index);
}

// Drops row `row` of `source` onto `target` at the point `at` of its
// viewport, as a drag with the mouse ends; true when the target took it.
bool Drop(TParserListBox* source, int row, TParserListBox* target, QPoint at) {
    std::unique_ptr<QMimeData> data(TParserListBox::EntryMimeData(source->ListId(), row));
    QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(target->viewport(), &enter);
    QDragMoveEvent move(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(target->viewport(), &move);
    if (!move.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(target->viewport(), &drop);
    return drop.isAccepted();
}

QPoint Below(TParserListBox* list) {
    return QPoint(10, list->viewport()->height() - 3);
}

QPoint OnRow(TParserListBox* list, int row) {
    return list->visualItemRect(list->item(row)).center();
}

class ParserFormTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text) {
        return folder.Write(name, text);
    }

    // Shows the dialog (not modally) over WidgetsUnit.
    void ShowWidgets() {
        form.Model().Parser().ParseText(WidgetsUnit, "widgets.pas");
        form.Model().Prepare();
        form.ShowModel();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    TUnitFolder folder{"bw-parserform-"};
    TParserForm form;
};

} // namespace

TEST_F(ParserFormTest, ControlsCarryTheirCaptionsAndHelpContexts) {
    EXPECT_EQ(Text(form.windowTitle()), "Delphi Source Code Parser");
    EXPECT_EQ(form.minimumSize(), QSize(400, 320));
    const std::map<std::string, std::string> captions = {
        {"CheckObjInclude", "Include class in the help file"},
        {"CheckObjSeeAlso", "Add \"See also\" to the class topic"},
        {"CheckObjTasks", "Add \"Tasks\" topic for this class"},
        {"BtnObjBitmap", ""},
        {"BtnObjBitmapClear", "Clear"},
        {"CheckObjSelInclude", "&Include this member in the help file"},
        {"CheckObjSelSeeAlso", "Add \"See &also\""},
        {"CheckObjSelExample", "Add \"&Example\""},
        {"CheckObjSelKey", "&Key member of this class"},
        {"CheckObjSelMention", "&Mention member in the class topic"},
        {"CheckTypeInclude", "&Include type in the help file"},
        {"CheckTypeSeeAlso", "Add \"&See also\""},
        {"CheckRoutineInclude", "&Include routine in the help file"},
        {"CheckConstMention", "&Mention in unit's help topic"},
        {"CheckConstInclude", "&Create own help topic"},
        {"CheckVarMention", "&Mention in unit's help topic"},
        {"CheckVarInclude", "&Create own help topic"},
        {"CheckComment", "Use comments as descriptions"},
        {"OkBtn", "OK"},
        {"CancelBtn", "Cancel"},
        {"HelpBtn", "Help"},
    };
    for (const auto& [name, caption] : captions) {
        auto* button = form.findChild<QAbstractButton*>(QString::fromStdString(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(Text(button->text()), caption) << name;
    }
    for (const char* name : {"CheckRoutineSeeAlso", "CheckRoutineExample", "CheckConstSeeAlso",
                             "CheckVarSeeAlso", "ImageDefault"})
        EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;
    EXPECT_TRUE(form.CheckComment()->isChecked());
    EXPECT_EQ(Text(form.RadioGroupObjectType()->title()), " Kind of class ");
    std::vector<std::string> kinds;
    for (int i = 0; i < 5; ++i)
        kinds.push_back(Text(form.ObjectTypeButtons()->button(i)->text()));
    EXPECT_EQ(kinds,
              (std::vector<std::string>{"Exception", "Class", "Interface", "Component", "Form"}));
    std::vector<std::string> pages;
    for (int i = 0; i < form.Pages()->count(); ++i)
        pages.push_back(Text(form.Pages()->tabText(i)));
    EXPECT_EQ(pages,
              (std::vector<std::string>{"Classes", "Types", "Routines", "Constants", "Variables"}));
    EXPECT_EQ(Text(form.MemberLabel(TMemberKind::Property)->text()), "Properties:");
    EXPECT_EQ(Text(form.MemberLabel(TMemberKind::Method)->text()), "Methods:");
    EXPECT_EQ(Text(form.MemberLabel(TMemberKind::Event)->text()), "Events:");

    const std::map<std::string, int> contexts = {
        {"ParserForm", 91000},      {"SheetObjects", 91100},  {"ListObjProperties", 91110},
        {"ListObjMethods", 91110},  {"ListObjEvents", 91110}, {"GroupObjSelected", 91110},
        {"CheckObjSelKey", 91110},  {"CheckObjTasks", 91100}, {"SheetTypes", 91200},
        {"SheetRoutines", 91200},   {"SheetConsts", 91200},   {"SheetVars", 91200},
        {"CheckVarInclude", 91200}, {"CheckComment", 91010},  {"OkBtn", 91000},
    };
    for (const auto& [name, context] : contexts) {
        const QWidget* widget =
            name == "ParserForm" ? &form : form.findChild<QWidget*>(QString::fromStdString(name));
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(TParserForm::HelpContextOf(widget), context) << name;
    }
}

TEST_F(ParserFormTest, HelpAsksForTheFormsTopicOnEveryPage) {
    // The button lies below the pages: whichever page shows, it asks for
    // the dialog's own topic, the one the program's help holds.
    ShowWidgets();
    QSignalSpy help(&form, &TParserForm::HelpRequested);
    Click(form.HelpBtn());
    ShowPage(form, TParserPage::Routines);
    Click(form.HelpBtn());
    ASSERT_EQ(help.size(), 2);
    EXPECT_EQ(help[0][0].toInt(), TParserForm::kHelpContext);
    EXPECT_EQ(help[1][0].toInt(), TParserForm::kHelpContext);
    EXPECT_EQ(TParserForm::kHelpContext, 91000);
}

TEST_F(ParserFormTest, ClassesPageShowsAClassAndWritesTheMembersFlags) {
    ShowWidgets();
    EXPECT_EQ(Text(form.windowTitle()), "Delphi source code parser: unit Widgets");
    ASSERT_EQ(form.TabObjects()->count(), 2);
    EXPECT_EQ(Text(form.TabObjects()->tabText(0)), "TWidget");
    EXPECT_EQ(Text(form.TabObjects()->tabText(1)), "TWidgetList");
    EXPECT_EQ(form.Pages()->currentIndex(), 0);
    EXPECT_EQ(Text(form.GroupObject()->title()), "TWidget = class(TCustomControl)");
    EXPECT_TRUE(form.ObjectTypeButtons()->button(3)->isChecked());
    EXPECT_EQ(Text(form.GroupObjSelected()->title()), "...");
    for (TEntryOption option : {TEntryOption::Include, TEntryOption::Key})
        EXPECT_FALSE(form.MemberCheck(option)->isEnabled());

    TParserListBox* properties = form.MemberList(TMemberKind::Property);
    ASSERT_EQ(Items(properties),
              (std::vector<std::string>{
                  "property Align;| ||published||..||.m.se",
                  "property Caption: string;|The text shown||published||rw||kmise"}));
    ClickRow(properties, 1);
    EXPECT_EQ(Text(form.GroupObjSelected()->title()), "property Caption: string;");
    for (TEntryOption option : {TEntryOption::Key, TEntryOption::Mention, TEntryOption::Include,
                                TEntryOption::SeeAlso, TEntryOption::Example}) {
        EXPECT_TRUE(form.MemberCheck(option)->isChecked());
        EXPECT_TRUE(form.MemberCheck(option)->isEnabled());
    }

    // Include off greys See also and Example; Mention off greys Key; the
    // entry shows "." where a box is unchecked.
    Click(form.MemberCheck(TEntryOption::Include));
    EXPECT_FALSE(form.MemberCheck(TEntryOption::SeeAlso)->isEnabled());
    EXPECT_FALSE(form.MemberCheck(TEntryOption::Example)->isEnabled());
    Click(form.MemberCheck(TEntryOption::Mention));
    EXPECT_FALSE(form.MemberCheck(TEntryOption::Key)->isEnabled());
    EXPECT_EQ(Text(properties->item(1)->text()),
              "property Caption: string;|The text shown||published||rw||k..se");
    Click(form.MemberCheck(TEntryOption::Mention));
    Click(form.MemberCheck(TEntryOption::Key));
    EXPECT_EQ(Text(properties->item(1)->text()),
              "property Caption: string;|The text shown||published||rw||.m.se");

    // A protected, overriding method: only Mention and Include to click.
    TParserListBox* methods = form.MemberList(TMemberKind::Method);
    ClickRow(methods, 0);
    EXPECT_EQ(Text(form.GroupObjSelected()->title()), "procedure Paint; override;");
    EXPECT_FALSE(form.MemberCheck(TEntryOption::Key)->isEnabled());
    EXPECT_FALSE(form.MemberCheck(TEntryOption::SeeAlso)->isEnabled());
    EXPECT_TRUE(form.MemberCheck(TEntryOption::SeeAlso)->isChecked());
    Click(form.MemberCheck(TEntryOption::Include));
    Click(form.MemberCheck(TEntryOption::SeeAlso));
    EXPECT_EQ(Text(methods->item(0)->text()), "procedure Paint; override;| ||protected||..i.e");

    // The kind goes straight into the class.
    Click(form.ObjectTypeButtons()->button(4));
    EXPECT_EQ(form.Model().Parser().ParseObjects[0]->Kind, TObjectKind::Form);
}

TEST_F(ParserFormTest, ExcludedClassIsGreyedAndStaysSoAcrossTabs) {
    ShowWidgets();
    ClickRow(form.MemberList(TMemberKind::Event), 0);
    Click(form.CheckObjInclude());
    std::vector<QWidget*> carried = {form.RadioGroupObjectType(), form.CheckObjSeeAlso(),
                                     form.CheckObjTasks(),        form.BtnObjBitmap(),
                                     form.BtnObjBitmapClear(),    form.GroupObjSelected()};
    for (TMemberKind kind : {TMemberKind::Property, TMemberKind::Method, TMemberKind::Event})
        carried.push_back(form.MemberList(kind));
    for (QWidget* widget : carried)
        EXPECT_FALSE(widget->isEnabled()) << Text(widget->objectName());
    EXPECT_FALSE(form.MemberCheck(TEntryOption::Include)->isEnabled());

    ClickTab(form.TabObjects(), 1);
    EXPECT_EQ(Text(form.GroupObject()->title()), "TWidgetList = class(TObject)");
    EXPECT_TRUE(form.CheckObjInclude()->isChecked());
    EXPECT_FALSE(form.CheckObjTasks()->isChecked());
    for (QWidget* widget : carried)
        EXPECT_TRUE(widget->isEnabled()) << Text(widget->objectName());
    EXPECT_TRUE(form.ObjectTypeButtons()->button(1)->isChecked());
    EXPECT_EQ(Items(form.MemberList(TMemberKind::Method)),
              (std::vector<std::string>{"function Count: Integer;| ||public||kmise"}));
    EXPECT_EQ(Text(form.GroupObjSelected()->title()), "...");
    Click(form.CheckObjTasks());

    ClickTab(form.TabObjects(), 0);
    EXPECT_FALSE(form.CheckObjInclude()->isChecked());
    for (QWidget* widget : carried)
        EXPECT_FALSE(widget->isEnabled()) << Text(widget->objectName());
    EXPECT_FALSE(form.Model().Parser().ParseObjects[0]->Include);
    EXPECT_TRUE(form.Model().Parser().ParseObjects[1]->Tasks);

    Click(form.CheckObjInclude());
    for (QWidget* widget : carried)
        EXPECT_TRUE(widget->isEnabled()) << Text(widget->objectName());
}

TEST_F(ParserFormTest, DraggingMembersFollowsTheListsRules) {
    ShowWidgets();
    TParserListBox* properties = form.MemberList(TMemberKind::Property);
    TParserListBox* methods = form.MemberList(TMemberKind::Method);
    TParserListBox* events = form.MemberList(TMemberKind::Event);
    const auto before = std::make_tuple(Items(properties), Items(methods), Items(events));

    EXPECT_FALSE(Drop(methods, 0, properties, OnRow(properties, 0)));
    EXPECT_FALSE(Drop(properties, 0, methods, Below(methods)));
    EXPECT_EQ(std::make_tuple(Items(properties), Items(methods), Items(events)), before);

    // A property dropped onto the events becomes an event, before the item
    // under the drop point.
    ASSERT_TRUE(Drop(properties, 1, events, OnRow(events, 0)));
    EXPECT_EQ(Items(properties),
              (std::vector<std::string>{"property Align;| ||published||..||.m.se"}));
    EXPECT_EQ(Items(events), (std::vector<std::string>{
                                 "property Caption: string;|The text shown||published||rw||kmise",
                                 "property OnClick: TNotifyEvent;| ||published||kmise"}));
    EXPECT_EQ(events->currentRow(), 0);
    EXPECT_EQ(Text(form.GroupObjSelected()->title()), "property Caption: string;");

    // Methods reorder in their own list; below the last item is the end.
    ASSERT_TRUE(Drop(methods, 0, methods, Below(methods)));
    EXPECT_EQ(Items(methods),
              (std::vector<std::string>{"procedure Refresh; virtual;| ||public||kmise",
                                        "procedure Paint; override;| ||protected||...se"}));
    Click(form.OkBtn());
    EXPECT_EQ(form.Model().Parser().ParseObjects[0]->Events.size(), 2u);
    EXPECT_EQ(form.Model().Parser().ParseObjects[0]->Methods[0].Name(), "Refresh");
}

TEST_F(ParserFormTest, DeclarationPagesWriteTheirFlags) {
    ShowWidgets();
    ShowPage(form, TParserPage::Types);
    TParserListBox* types = form.DeclList(TDeclListKind::Types);
    EXPECT_EQ(Text(form.DeclGroup(TDeclListKind::Types)->title()), "...");
    EXPECT_FALSE(form.DeclCheck(TDeclListKind::Types, TEntryOption::Include)->isEnabled());
    ClickRow(types, 0);
    EXPECT_EQ(Text(form.DeclGroup(TDeclListKind::Types)->title()),
              "TColorName = (cnRed, cnGreen);");
    Click(form.DeclCheck(TDeclListKind::Types, TEntryOption::Include));
    EXPECT_EQ(Text(types->item(0)->text()), "TColorName = (cnRed, cnGreen);| ||.s");
    EXPECT_FALSE(form.DeclCheck(TDeclListKind::Types, TEntryOption::SeeAlso)->isEnabled());
    EXPECT_EQ(form.DeclCheck(TDeclListKind::Types, TEntryOption::Mention), nullptr);

    ShowPage(form, TParserPage::Routines);
    ClickRow(form.DeclList(TDeclListKind::Routines), 0);
    Click(form.DeclCheck(TDeclListKind::Routines, TEntryOption::Example));
    EXPECT_EQ(Text(form.DeclList(TDeclListKind::Routines)->item(0)->text()),
              "procedure Register;| ||is.");

    ShowPage(form, TParserPage::Constants);
    ClickRow(form.DeclList(TDeclListKind::Constants), 0);
    QCheckBox* seeAlso = form.DeclCheck(TDeclListKind::Constants, TEntryOption::SeeAlso);
    EXPECT_FALSE(seeAlso->isEnabled());
    Click(form.DeclCheck(TDeclListKind::Constants, TEntryOption::Include));
    EXPECT_TRUE(seeAlso->isEnabled());
    Click(seeAlso);
    EXPECT_EQ(Text(form.DeclList(TDeclListKind::Constants)->item(0)->text()),
              "MaxWidgets = 10| ||mi.");

    ShowPage(form, TParserPage::Variables);
    ClickRow(form.DeclList(TDeclListKind::Variables), 0);
    Click(form.DeclCheck(TDeclListKind::Variables, TEntryOption::Mention));
    EXPECT_EQ(Text(form.DeclList(TDeclListKind::Variables)->item(0)->text()),
              "DefaultWidget: TWidget;| ||..s");
}

TEST_F(ParserFormTest, MemberListsShareTheHeightDownToTheSelectedGroup) {
    ShowWidgets();
    for (QSize size : {QSize(640, 480), QSize(900, 700), QSize(420, 340)}) {
        form.resize(size);
        QApplication::processEvents();
        const int heights[] = {form.MemberList(TMemberKind::Property)->height(),
                               form.MemberList(TMemberKind::Method)->height(),
                               form.MemberList(TMemberKind::Event)->height()};
        EXPECT_EQ(heights[0], heights[1]);
        EXPECT_EQ(heights[1], heights[2]);
        EXPECT_GT(heights[0], 10);
        const TMemberKind kinds[] = {TMemberKind::Property, TMemberKind::Method,
                                     TMemberKind::Event};
        for (std::size_t i = 0; i < 3; ++i) {
            const QWidget* label = form.MemberLabel(kinds[i]);
            const QWidget* list = form.MemberList(kinds[i]);
            EXPECT_EQ(list->y(), label->y() + label->height());
            if (i > 0) {
                const QWidget* above = form.MemberList(kinds[i - 1]);
                EXPECT_EQ(label->y(), above->y() + above->height() + 4);
            }
        }
        const QWidget* last = form.MemberList(TMemberKind::Event);
        const int listBottom = last->mapTo(&form, QPoint(0, last->height())).y();
        const int groupBottom =
            form.GroupObjSelected()->mapTo(&form, QPoint(0, form.GroupObjSelected()->height())).y();
        EXPECT_LE(listBottom, groupBottom);
        EXPECT_GE(listBottom, groupBottom - 2);
    }
}

TEST_F(ParserFormTest, BitmapButtonShowsTheChosenBitmapOrTheDefault) {
    ShowWidgets();
    QImage picture(24, 24, QImage::Format_RGB32);
    picture.fill(QColor(255, 0, 0));
    const std::string bitmap = folder.Path("widget.bmp").string();
    ASSERT_TRUE(picture.save(QString::fromStdString(bitmap), "BMP"));
    auto shown = [&] {
        return form.BtnObjBitmap()->icon().pixmap(24, 24).toImage().convertToFormat(
            QImage::Format_RGB32);
    };
    const QImage defaultPicture = shown();

    QString asked;
    form.PickBitmap = [&](const QString& title, const QString& filter, const QString& start) {
        asked = title + "|" + filter + "|" + start;
        return QString();
    };
    Click(form.BtnObjBitmap());
    EXPECT_EQ(Text(asked), "Add a bitmap to component topic|Bitmaps (*.bmp);;All files (*)|");
    EXPECT_EQ(form.Model().BitmapFile(), "");

    form.PickBitmap = [&](const QString&, const QString&, const QString&) {
        return QString::fromStdString(bitmap);
    };
    Click(form.BtnObjBitmap());
    EXPECT_EQ(form.Model().Parser().ParseObjects[0]->BitmapFile, bitmap);
    EXPECT_EQ(shown().pixelColor(12, 12), QColor(255, 0, 0));

    // Another class shows the default; back again, its own bitmap.
    ClickTab(form.TabObjects(), 1);
    EXPECT_EQ(shown(), defaultPicture);
    ClickTab(form.TabObjects(), 0);
    EXPECT_EQ(shown().pixelColor(12, 12), QColor(255, 0, 0));

    Click(form.BtnObjBitmapClear());
    EXPECT_EQ(form.Model().BitmapFile(), "");
    EXPECT_EQ(shown(), defaultPicture);
}

// ---- Runs ----------------------------------------------------------------------

namespace {

struct TTopicLine {
    int number;
    std::string title;
    bool operator==(const TTopicLine&) const = default;
};

void PrintTo(const TTopicLine& line, std::ostream* out) {
    *out << line.number << " " << line.title;
}

std::vector<TTopicLine> TopicsFrom(const helpproject::TBrindlewovenProject& project, int first) {
    std::vector<TTopicLine> lines;
    for (const auto& item : project.TopicsByNumber())
        if (item.Topic->Number >= first)
            lines.push_back({item.Topic->Number, item.Topic->Title});
    return lines;
}

} // namespace

TEST_F(ParserFormTest, ChoicesOnARealUnitGiveExactlyTheirTopics) {
    helpproject::TBrindlewovenProject project;
    const std::size_t topicsBefore = project.TopicsByNumber().size();
    TProjectTopicSink sink(project, nullptr);
    components::TScriptedMessenger messenger;
    bool answered = false;
    AnswerNext<TParserForm>([&](TParserForm& f) {
        answered = true;
        EXPECT_EQ(Text(f.windowTitle()), "Delphi source code parser: unit fptimer");
        ASSERT_EQ(f.TabObjects()->count(), 3);
        // TFPCustomTimer: left out.
        Click(f.CheckObjInclude());
        // TFPTimer: its "See also" off for now; Interval neither mentioned
        // nor included.
        ClickTab(f.TabObjects(), 1);
        Click(f.CheckObjSeeAlso());
        ClickRow(f.MemberList(TMemberKind::Property), 1);
        EXPECT_EQ(Text(f.GroupObjSelected()->title()), "property Interval;");
        Click(f.MemberCheck(TEntryOption::Mention));
        // TFPTimerDriver: a Tasks topic; the protected SetInterval gets a
        // topic with "See also" and without an example.
        ClickTab(f.TabObjects(), 2);
        EXPECT_FALSE(f.CheckObjTasks()->isChecked());
        Click(f.CheckObjTasks());
        ClickRow(f.MemberList(TMemberKind::Method), 1);
        EXPECT_EQ(Text(f.GroupObjSelected()->title()),
                  "procedure SetInterval(const AValue: Cardinal); virtual;");
        Click(f.MemberCheck(TEntryOption::Mention));
        Click(f.MemberCheck(TEntryOption::Include));
        Click(f.MemberCheck(TEntryOption::Example));
        // Back on TFPTimer its "See also" is still off: check it again.
        ClickTab(f.TabObjects(), 1);
        EXPECT_FALSE(f.CheckObjSeeAlso()->isChecked());
        Click(f.CheckObjSeeAlso());
        // The class-of type left out; the variable with a topic of its own
        // but no "See also".
        ShowPage(f, TParserPage::Types);
        ClickRow(f.DeclList(TDeclListKind::Types), 0);
        Click(f.DeclCheck(TDeclListKind::Types, TEntryOption::Include));
        ShowPage(f, TParserPage::Variables);
        ClickRow(f.DeclList(TDeclListKind::Variables), 0);
        Click(f.DeclCheck(TDeclListKind::Variables, TEntryOption::Include));
        Click(f.DeclCheck(TDeclListKind::Variables, TEntryOption::SeeAlso));
        Click(f.OkBtn());
    });
    const int first =
        form.ParsePascalUnit(BW_TEST_DATA "/unitparser/fptimer.pp", 1000, sink, messenger);
    ASSERT_TRUE(answered);
    EXPECT_EQ(first, 1000);
    const std::vector<TTopicLine> expected = {
        {1000, "fptimer unit"},
        {1001, "fptimer unit - See also"},
        {1010, "TFPTimer component"},
        {1011, "TFPTimer component - See also"},
        {1012, "TFPTimer - Properties"},
        {1014, "TFPTimer - Events"},
        {1015, "About the TFPTimer component"},
        {1016, "About the TFPTimer component - See also"},
        {1020, "TFPTimerDriver class"},
        {1021, "TFPTimerDriver class - See also"},
        {1022, "TFPTimerDriver - Properties"},
        {1023, "TFPTimerDriver - Methods"},
        {1025, "About the TFPTimerDriver class"},
        {1026, "About the TFPTimerDriver class - See also"},
        {1030, "Timer property"},
        {1031, "Timer property - See also"},
        {1032, "Timer property - Example"},
        {1035, "TimerStarted property"},
        {1036, "TimerStarted property - See also"},
        {1037, "TimerStarted property - Example"},
        {1040, "Create method"},
        {1041, "Create method - See also"},
        {1042, "Create method - Example"},
        {1045, "SetInterval method"},
        {1046, "SetInterval method - See also"},
        {1050, "StartTimer method"},
        {1051, "StartTimer method - See also"},
        {1052, "StartTimer method - Example"},
        {1055, "StopTimer method"},
        {1056, "StopTimer method - See also"},
        {1057, "StopTimer method - Example"},
        {1060, "DefaultTimerDriverClass variable"},
    };
    EXPECT_EQ(TopicsFrom(project, 1000), expected);
    EXPECT_EQ(project.TopicsByNumber().size(), topicsBefore + expected.size());
    // The TFPTimer properties list names Enabled and UseTimerThread, not
    // Interval.
    std::string list;
    for (const std::string& line : project.FindTopic(1012)->Text)
        list += line;
    EXPECT_NE(list.find("Enabled_Property"), std::string::npos);
    EXPECT_NE(list.find("UseTimerThread_Property"), std::string::npos);
    EXPECT_EQ(list.find("Interval"), std::string::npos);
}

TEST_F(ParserFormTest, CancelAddsNothingAndTheNextUnitStartsAfresh) {
    helpproject::TBrindlewovenProject project;
    const std::size_t topicsBefore = project.TopicsByNumber().size();
    TProjectTopicSink sink(project, nullptr);
    components::TScriptedMessenger messenger;
    AnswerNext<TParserForm>([&](TParserForm& f) {
        Click(f.CheckObjInclude());
        ClickRow(f.MemberList(TMemberKind::Method), 0);
        ShowPage(f, TParserPage::Types);
        ClickRow(f.DeclList(TDeclListKind::Types), 0);
        Click(f.CancelBtn());
    });
    EXPECT_EQ(form.ParsePascalUnit(Write("widgets.pas", WidgetsUnit), 1000, sink, messenger), -1);
    EXPECT_EQ(project.TopicsByNumber().size(), topicsBefore);

    // The same unit again: nothing of the cancelled choices is left.
    AnswerNext<TParserForm>([&](TParserForm& f) {
        EXPECT_EQ(f.Pages()->currentIndex(), 0);
        EXPECT_TRUE(f.CheckObjInclude()->isChecked());
        EXPECT_TRUE(f.MemberList(TMemberKind::Method)->isEnabled());
        EXPECT_EQ(f.MemberList(TMemberKind::Method)->currentRow(), -1);
        EXPECT_EQ(Text(f.GroupObjSelected()->title()), "...");
        EXPECT_EQ(f.DeclList(TDeclListKind::Types)->currentRow(), -1);
        EXPECT_EQ(Text(f.DeclGroup(TDeclListKind::Types)->title()), "...");
        Click(f.CancelBtn());
    });
    EXPECT_EQ(form.ParsePascalUnit(Write("widgets.pas", WidgetsUnit), 1000, sink, messenger), -1);

    // A unit without classes: no tab of the former unit is left.
    AnswerNext<TParserForm>([&](TParserForm& f) {
        EXPECT_EQ(Text(f.windowTitle()), "Delphi source code parser: unit Consts");
        EXPECT_EQ(f.TabObjects()->count(), 0);
        EXPECT_FALSE(f.Pages()->isTabVisible(0));
        EXPECT_FALSE(f.Pages()->isTabVisible(1));
        EXPECT_TRUE(f.Pages()->isTabVisible(3));
        EXPECT_EQ(f.Pages()->currentIndex(), 3);
        EXPECT_EQ(Items(f.DeclList(TDeclListKind::Constants)),
                  (std::vector<std::string>{"A = 1| ||m.s"}));
        Click(f.OkBtn());
    });
    const std::string consts = Write("consts.pas", "unit Consts; interface const A = 1;\n"
                                                   "implementation end.");
    EXPECT_EQ(form.ParsePascalUnit(consts, 1000, sink, messenger), 1000);
    EXPECT_EQ(TopicsFrom(project, 1000),
              (std::vector<TTopicLine>{{1000, "Consts unit"}, {1001, "Consts unit - See also"}}));
    // Afterwards the form holds nothing of the unit.
    EXPECT_EQ(form.TabObjects()->count(), 0);
    EXPECT_EQ(Text(form.windowTitle()), "Delphi Source Code Parser");
}

TEST_F(ParserFormTest, AUnitThatFailsToParseShowsNoDialogAndAddsNoTopic) {
    helpproject::TBrindlewovenProject project;
    const std::size_t topicsBefore = project.TopicsByNumber().size();
    TProjectTopicSink sink(project, nullptr);
    components::TScriptedMessenger messenger;
    try {
        form.ParsePascalUnit(BW_TEST_DATA "/unitparser/gstack.pp", 1000, sink, messenger);
        ADD_FAILURE() << "parsed";
    } catch (const EParseError& error) {
        EXPECT_EQ(std::string(error.what()),
                  BW_TEST_DATA "/unitparser/gstack.pp: Error in line 22: "
                               "'=' expected in type declaration");
    }
    EXPECT_EQ(project.TopicsByNumber().size(), topicsBefore);
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(ParserFormTest, StatusTextShowsWhileTheUnitIsRead) {
    helpproject::TBrindlewovenProject project;
    TProjectTopicSink sink(project, nullptr);
    components::TScriptedMessenger messenger;
    std::vector<std::string> texts;
    form.StatusText = [&](const std::string& text) { texts.push_back(text); };
    std::vector<std::string> whileShown;
    AnswerNext<TParserForm>([&](TParserForm& f) {
        whileShown = texts;
        Click(f.CancelBtn());
    });
    form.ParsePascalUnit(Write("widgets.pas", WidgetsUnit), 1000, sink, messenger);
    EXPECT_EQ(whileShown, (std::vector<std::string>{"Parsing unit...", ""}));
    EXPECT_EQ(texts.back(), "");

    texts.clear();
    EXPECT_THROW(form.ParsePascalUnit(BW_TEST_DATA "/unitparser/gstack.pp", 1000, sink, messenger),
                 EParseError);
    EXPECT_EQ(texts, (std::vector<std::string>{"Parsing unit...", ""}));
}

TEST_F(ParserFormTest, AnEmptyUnitIsReportedInTheErrorBoxWithItsBummerButton) {
    helpproject::TBrindlewovenProject project;
    TProjectTopicSink sink(project, nullptr);
    components::ui::TWindowedMessenger messenger;
    std::vector<std::string> buttons;
    std::string message;
    AnswerNextDialog([&](components::ui::TMessengerForm& box) {
        message = Text(box.MessageLabel()->text());
        for (int i = 0; i < box.ButtonCount(); ++i)
            buttons.push_back(Text(box.DialogButton(i)->text()));
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    EXPECT_THROW(form.ParsePascalUnit(Write("e.pas", "unit E; interface implementation end."), 1000,
                                      sink, messenger),
                 components::EAbort);
    EXPECT_EQ(message, "This unit seems to be quite empty.");
    EXPECT_EQ(buttons, (std::vector<std::string>{"Bummer"}));
}
