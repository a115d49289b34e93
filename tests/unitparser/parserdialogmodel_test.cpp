#include "components/scriptedmessenger.h"
#include "recordingsink_support.h"
#include "tests/unitparser/widgetsunit_support.h"
#include "unitparser/parserdialogmodel.h"

#include <gtest/gtest.h>

using namespace unitparser;
using unitparser::testing::TRecordingSink;
using unitparser::testing::TUnitFolder;
using unitparser::testing::WidgetsUnit;

namespace {

// The entries of WidgetsUnit as the lists show them.
const char* AlignEntry = "property Align;| ||published||..||.m.se";
const char* CaptionEntry = "property Caption: string;|The text shown||published||rw||kmise";
const char* OnClickEntry = "property OnClick: TNotifyEvent;| ||published||kmise";
const char* PaintEntry = "procedure Paint; override;| ||protected||...se";
const char* RefreshEntry = "procedure Refresh; virtual;| ||public||kmise";

class ParserDialogModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.Parser().ParseText(WidgetsUnit, "widgets.pas");
        model.Prepare();
    }

    TParserDialogModel model;
};

constexpr TEntryOption AllOptions[] = {TEntryOption::Key, TEntryOption::Mention,
                                       TEntryOption::Include, TEntryOption::SeeAlso,
                                       TEntryOption::Example};

// The five member check boxes as "checked/enabled" letters: "KM.se" reads
// key and mention checked and enabled, include off, see also and example
// checked but greyed; "-" is a check box that is off and greyed.
std::string MemberBoxes(const TParserDialogModel& model) {
    const char letters[] = {'k', 'm', 'i', 's', 'e'};
    std::string text;
    for (std::size_t i = 0; i < 5; ++i) {
        TOptionState state = model.MemberOption(AllOptions[i]);
        if (!state.checked)
            text += state.enabled ? '.' : '-';
        else
            text += state.enabled ? static_cast<char>(letters[i] - 'a' + 'A') : letters[i];
    }
    return text;
}

} // namespace

TEST_F(ParserDialogModelTest, PrepareShowsTheUnitAndItsFirstClass) {
    EXPECT_EQ(model.Caption(), "Delphi source code parser: unit Widgets");
    EXPECT_EQ(model.TabNames(), (std::vector<std::string>{"TWidget", "TWidgetList"}));
    EXPECT_EQ(model.CurrentTab(), 0);
    EXPECT_EQ(model.ObjectCaption(), "TWidget = class(TCustomControl)");
    EXPECT_EQ(model.Kind(), TObjectKind::Component);
    EXPECT_TRUE(model.ObjInclude() && model.ObjSeeAlso() && model.ObjTasks());
    EXPECT_EQ(model.MemberItems(TMemberKind::Property),
              (std::vector<std::string>{AlignEntry, CaptionEntry}));
    EXPECT_EQ(model.MemberItems(TMemberKind::Method),
              (std::vector<std::string>{PaintEntry, RefreshEntry}));
    EXPECT_EQ(model.MemberItems(TMemberKind::Event), (std::vector<std::string>{OnClickEntry}));
    // Nothing is selected yet: the member check boxes are off and greyed.
    EXPECT_EQ(model.SelectedMemberCaption(), "...");
    EXPECT_EQ(MemberBoxes(model), "-----");
    EXPECT_FALSE(model.SetMemberOption(TEntryOption::Include, false));

    EXPECT_EQ(model.DeclItems(TDeclListKind::Types),
              (std::vector<std::string>{"TColorName = (cnRed, cnGreen);| ||is"}));
    EXPECT_EQ(model.DeclItems(TDeclListKind::Routines),
              (std::vector<std::string>{"procedure Register;| ||ise"}));
    EXPECT_EQ(model.DeclItems(TDeclListKind::Constants),
              (std::vector<std::string>{"MaxWidgets = 10| ||m.s"}));
    EXPECT_EQ(model.DeclItems(TDeclListKind::Variables),
              (std::vector<std::string>{"DefaultWidget: TWidget;| ||m.s"}));
    for (TParserPage page : {TParserPage::Classes, TParserPage::Types, TParserPage::Routines,
                             TParserPage::Constants, TParserPage::Variables})
        EXPECT_TRUE(model.PageVisible(page));
    EXPECT_EQ(model.FirstVisiblePage(), TParserPage::Classes);
}

TEST_F(ParserDialogModelTest, MemberCheckBoxesWriteTheirFlagsWithTheEnablingRules) {
    struct Step {
        TEntryOption option;
        bool on;
        bool accepted;
    };
    struct Case {
        const char* name;
        TMemberKind list;
        int index;
        const char* boxesOnClick;
        std::vector<Step> steps;
        std::string entry;
        const char* boxesAfter;
    };
    const std::string caption = "property Caption: string;|The text shown||published||rw||";
    const std::string paint = "procedure Paint; override;| ||protected||";
    const std::string align = "property Align;| ||published||..||";
    const Case cases[] = {
        {"include off greys see also and example",
         TMemberKind::Property,
         1,
         "KMISE",
         {{TEntryOption::Include, false, true}},
         caption + "km.se",
         "KM.se"},
        {"mention off greys key",
         TMemberKind::Property,
         1,
         "KMISE",
         {{TEntryOption::Mention, false, true}},
         caption + "k.ise",
         "k.ISE"},
        {"see also, example and key off",
         TMemberKind::Property,
         1,
         "KMISE",
         {{TEntryOption::SeeAlso, false, true},
          {TEntryOption::Example, false, true},
          {TEntryOption::Key, false, true}},
         caption + ".mi..",
         ".MI.."},
        {"greyed boxes refuse a click",
         TMemberKind::Method,
         0,
         "-..se",
         {{TEntryOption::SeeAlso, false, false}, {TEntryOption::Key, true, false}},
         paint + "...se",
         "-..se"},
        {"mention and include turn the greyed boxes on again",
         TMemberKind::Method,
         0,
         "-..se",
         {{TEntryOption::Mention, true, true},
          {TEntryOption::Include, true, true},
          {TEntryOption::Key, true, true}},
         paint + "kmise",
         "KMISE"},
        {"a redeclared property gets a topic",
         TMemberKind::Property,
         0,
         ".M.se",
         {{TEntryOption::Include, true, true}},
         align + ".mise",
         ".MISE"},
        {"events",
         TMemberKind::Event,
         0,
         "KMISE",
         {{TEntryOption::Example, false, true}},
         "property OnClick: TNotifyEvent;| ||published||kmis.",
         "KMIS."},
    };
    for (const Case& c : cases) {
        TParserDialogModel fresh;
        fresh.Parser().ParseText(WidgetsUnit, "widgets.pas");
        fresh.Prepare();
        fresh.SelectMember(c.list, c.index);
        EXPECT_EQ(MemberBoxes(fresh), c.boxesOnClick) << c.name;
        for (const Step& step : c.steps)
            EXPECT_EQ(fresh.SetMemberOption(step.option, step.on), step.accepted) << c.name;
        EXPECT_EQ(fresh.MemberItems(c.list)[static_cast<std::size_t>(c.index)], c.entry) << c.name;
        EXPECT_EQ(MemberBoxes(fresh), c.boxesAfter) << c.name;
        EXPECT_EQ(fresh.SelectedMemberCaption(), c.entry.substr(0, c.entry.find('|'))) << c.name;
    }
}

TEST_F(ParserDialogModelTest, DeclarationPagesWriteTheirFlags) {
    struct Step {
        TEntryOption option;
        bool on;
        bool accepted;
    };
    struct Case {
        TDeclListKind list;
        std::vector<Step> steps;
        const char* entry;
        // checked/enabled of mention, include, see also, example as in
        // MemberBoxes; "-" also for a box the page does not have.
        const char* boxes;
    };
    const Case cases[] = {
        {TDeclListKind::Types, {}, "TColorName = (cnRed, cnGreen);| ||is", "-IS-"},
        {TDeclListKind::Types,
         {{TEntryOption::Include, false, true}, {TEntryOption::SeeAlso, false, false}},
         "TColorName = (cnRed, cnGreen);| ||.s",
         "-.s-"},
        {TDeclListKind::Types,
         {{TEntryOption::Mention, true, false}, {TEntryOption::Example, true, false}},
         "TColorName = (cnRed, cnGreen);| ||is",
         "-IS-"},
        {TDeclListKind::Routines, {}, "procedure Register;| ||ise", "-ISE"},
        {TDeclListKind::Routines,
         {{TEntryOption::Example, false, true}},
         "procedure Register;| ||is.",
         "-IS."},
        {TDeclListKind::Routines,
         {{TEntryOption::Include, false, true}, {TEntryOption::Example, false, false}},
         "procedure Register;| ||.se",
         "-.se"},
        {TDeclListKind::Constants, {}, "MaxWidgets = 10| ||m.s", "M.s-"},
        {TDeclListKind::Constants,
         {{TEntryOption::Include, true, true}, {TEntryOption::SeeAlso, false, true}},
         "MaxWidgets = 10| ||mi.",
         "MI.-"},
        {TDeclListKind::Variables,
         {{TEntryOption::Mention, false, true}, {TEntryOption::SeeAlso, false, false}},
         "DefaultWidget: TWidget;| ||..s",
         "..s-"},
        {TDeclListKind::Variables,
         {{TEntryOption::Include, true, true}, {TEntryOption::Key, true, false}},
         "DefaultWidget: TWidget;| ||mis",
         "MIS-"},
    };
    const TEntryOption options[] = {TEntryOption::Mention, TEntryOption::Include,
                                    TEntryOption::SeeAlso, TEntryOption::Example};
    const char letters[] = {'m', 'i', 's', 'e'};
    for (const Case& c : cases) {
        TParserDialogModel fresh;
        fresh.Parser().ParseText(WidgetsUnit, "widgets.pas");
        fresh.Prepare();
        EXPECT_EQ(fresh.DeclCaption(c.list), "...");
        EXPECT_FALSE(fresh.DeclOption(c.list, TEntryOption::Include).enabled);
        fresh.SelectDecl(c.list, 0);
        for (const Step& step : c.steps)
            EXPECT_EQ(fresh.SetDeclOption(c.list, step.option, step.on), step.accepted) << c.entry;
        EXPECT_EQ(fresh.DeclItems(c.list).front(), c.entry);
        std::string boxes;
        for (std::size_t i = 0; i < 4; ++i) {
            TOptionState state = fresh.DeclOption(c.list, options[i]);
            if (!state.checked)
                boxes += state.enabled ? '.' : '-';
            else
                boxes += state.enabled ? static_cast<char>(letters[i] - 'a' + 'A') : letters[i];
        }
        EXPECT_EQ(boxes, c.boxes) << c.entry;
        EXPECT_EQ(fresh.DeclCaption(c.list),
                  std::string(c.entry).substr(0, std::string(c.entry).find('|')));
    }
}

TEST_F(ParserDialogModelTest, TabChangeStoresTheShownClassAndLoadsTheNext) {
    model.SelectMember(TMemberKind::Property, 1);
    ASSERT_TRUE(model.SetMemberOption(TEntryOption::Include, false));
    model.SetObjTasks(false);
    model.SetKind(TObjectKind::Form);
    // Until the class is stored its record keeps what the parser gave.
    const TParseObject& widget = *model.Parser().ParseObjects[0];
    EXPECT_TRUE(widget.Tasks);
    EXPECT_TRUE(widget.Properties[1].flags.include);
    EXPECT_EQ(widget.Kind, TObjectKind::Form); // the kind goes straight in

    model.ChangeTab(1);
    EXPECT_FALSE(widget.Tasks);
    const std::string caption = CaptionEntry;
    EXPECT_EQ(widget.Properties[1].BarText(), caption.substr(0, caption.size() - 5) + "km.se");
    EXPECT_EQ(model.CurrentTab(), 1);
    EXPECT_EQ(model.ObjectCaption(), "TWidgetList = class(TObject)");
    EXPECT_EQ(model.Kind(), TObjectKind::Class);
    EXPECT_TRUE(model.ObjInclude() && model.ObjSeeAlso());
    EXPECT_FALSE(model.ObjTasks());
    EXPECT_TRUE(model.MemberItems(TMemberKind::Property).empty());
    EXPECT_EQ(model.MemberItems(TMemberKind::Method),
              (std::vector<std::string>{"function Count: Integer;| ||public||kmise"}));
    EXPECT_FALSE(model.HasSelectedMember());
    EXPECT_EQ(model.SelectedMemberCaption(), "...");

    model.SetObjSeeAlso(false);
    model.ChangeTab(0);
    EXPECT_FALSE(model.Parser().ParseObjects[1]->SeeAlso);
    EXPECT_FALSE(model.ObjTasks());
    EXPECT_EQ(model.Kind(), TObjectKind::Form);
    EXPECT_EQ(model.MemberItems(TMemberKind::Property)[1], widget.Properties[1].BarText());

    // OK stores the shown class without a tab change.
    model.SelectMember(TMemberKind::Method, 1);
    ASSERT_TRUE(model.SetMemberOption(TEntryOption::Mention, false));
    model.Accept();
    EXPECT_EQ(widget.Methods[1].BarText(), "procedure Refresh; virtual;| ||public||k.ise");
}

TEST_F(ParserDialogModelTest, ExcludingAClassGreysItsControlsAndSurvivesATabChange) {
    model.SelectMember(TMemberKind::Property, 1);
    model.SetObjInclude(false);
    EXPECT_FALSE(model.ClassControlsEnabled());
    EXPECT_EQ(MemberBoxes(model), "kmise");
    EXPECT_FALSE(model.SetMemberOption(TEntryOption::Include, false));
    model.SetObjTasks(false);
    model.SetObjSeeAlso(false);
    model.SetKind(TObjectKind::Exception);
    model.SetBitmapFile("/pics/widget.bmp");
    EXPECT_FALSE(model.DropMember(TMemberKind::Property, 0, TMemberKind::Event, 0));
    EXPECT_TRUE(model.ObjTasks() && model.ObjSeeAlso());
    EXPECT_EQ(model.Kind(), TObjectKind::Component);
    EXPECT_EQ(model.BitmapFile(), "");

    model.ChangeTab(1);
    EXPECT_TRUE(model.ClassControlsEnabled());
    model.ChangeTab(0);
    EXPECT_FALSE(model.ObjInclude());
    EXPECT_FALSE(model.ClassControlsEnabled());
    EXPECT_FALSE(model.Parser().ParseObjects[0]->Include);

    model.SetObjInclude(true);
    model.SetBitmapFile("/pics/widget.bmp");
    EXPECT_EQ(model.Parser().ParseObjects[0]->BitmapFile, "/pics/widget.bmp");
    model.ClearBitmapFile();
    EXPECT_EQ(model.BitmapFile(), "");
}

TEST_F(ParserDialogModelTest, DraggingMovesMembersWithinAndBetweenTheirLists) {
    struct Case {
        const char* name;
        TMemberKind source;
        int from;
        TMemberKind target;
        int at;
        bool accepted;
        std::vector<std::string> properties, methods, events;
    };
    const Case cases[] = {
        {"a method onto the properties is refused",
         TMemberKind::Method,
         0,
         TMemberKind::Property,
         0,
         false,
         {AlignEntry, CaptionEntry},
         {PaintEntry, RefreshEntry},
         {OnClickEntry}},
        {"a property onto the methods is refused",
         TMemberKind::Property,
         0,
         TMemberKind::Method,
         -1,
         false,
         {AlignEntry, CaptionEntry},
         {PaintEntry, RefreshEntry},
         {OnClickEntry}},
        {"a property becomes an event",
         TMemberKind::Property,
         1,
         TMemberKind::Event,
         0,
         true,
         {AlignEntry},
         {PaintEntry, RefreshEntry},
         {CaptionEntry, OnClickEntry}},
        {"an event becomes a property, below the last item",
         TMemberKind::Event,
         0,
         TMemberKind::Property,
         -1,
         true,
         {AlignEntry, CaptionEntry, OnClickEntry},
         {PaintEntry, RefreshEntry},
         {}},
        {"methods reorder within their list",
         TMemberKind::Method,
         1,
         TMemberKind::Method,
         0,
         true,
         {AlignEntry, CaptionEntry},
         {RefreshEntry, PaintEntry},
         {OnClickEntry}},
        {"a drop point past the end appends",
         TMemberKind::Property,
         0,
         TMemberKind::Property,
         7,
         true,
         {CaptionEntry, AlignEntry},
         {PaintEntry, RefreshEntry},
         {OnClickEntry}},
        {"no item to drag",
         TMemberKind::Event,
         3,
         TMemberKind::Property,
         0,
         false,
         {AlignEntry, CaptionEntry},
         {PaintEntry, RefreshEntry},
         {OnClickEntry}},
    };
    for (const Case& c : cases) {
        TParserDialogModel fresh;
        fresh.Parser().ParseText(WidgetsUnit, "widgets.pas");
        fresh.Prepare();
        EXPECT_EQ(fresh.DropMember(c.source, c.from, c.target, c.at), c.accepted) << c.name;
        EXPECT_EQ(fresh.MemberItems(TMemberKind::Property), c.properties) << c.name;
        EXPECT_EQ(fresh.MemberItems(TMemberKind::Method), c.methods) << c.name;
        EXPECT_EQ(fresh.MemberItems(TMemberKind::Event), c.events) << c.name;
        if (c.accepted) {
            // The moved member stays the one the check boxes act on.
            ASSERT_TRUE(fresh.HasSelectedMember()) << c.name;
            EXPECT_EQ(fresh.SelectedMemberList(), c.target);
            const std::string moved =
                fresh.MemberItems(c.target)[static_cast<std::size_t>(fresh.SelectedMemberIndex())];
            EXPECT_EQ(fresh.SelectedMemberCaption(), moved.substr(0, moved.find('|'))) << c.name;
        }
    }
}

TEST_F(ParserDialogModelTest, MovedMemberKeepsItsFlagsAfterTheDrop) {
    model.SelectMember(TMemberKind::Property, 0);                                    // Align
    ASSERT_TRUE(model.DropMember(TMemberKind::Property, 1, TMemberKind::Event, -1)); // Caption
    // The check boxes now act on Caption, in its new list, not on whatever
    // took its old place.
    ASSERT_TRUE(model.SetMemberOption(TEntryOption::Example, false));
    EXPECT_EQ(model.MemberItems(TMemberKind::Event)[1],
              "property Caption: string;|The text shown||published||rw||kmis.");
    EXPECT_EQ(model.MemberItems(TMemberKind::Property), (std::vector<std::string>{AlignEntry}));
    model.Accept();
    EXPECT_EQ(model.Parser().ParseObjects[0]->Events.size(), 2u);
}

TEST_F(ParserDialogModelTest, DeclarationListsReorderByDragging) {
    auto& consts = model.Parser().ListConsts;
    consts.push_back(MakeDeclEntry(TDeclListKind::Constants, "MinWidgets = 1", " "));
    consts.push_back(MakeDeclEntry(TDeclListKind::Constants, "NoWidget = nil", " "));
    EXPECT_TRUE(model.MoveDecl(TDeclListKind::Constants, 0, -1));
    EXPECT_EQ(model.SelectedDecl(TDeclListKind::Constants), 2);
    EXPECT_TRUE(model.MoveDecl(TDeclListKind::Constants, 2, 1));
    EXPECT_FALSE(model.MoveDecl(TDeclListKind::Constants, 3, 0));
    EXPECT_EQ(model.DeclItems(TDeclListKind::Constants),
              (std::vector<std::string>{"MinWidgets = 1| ||m.s", "MaxWidgets = 10| ||m.s",
                                        "NoWidget = nil| ||m.s"}));
    EXPECT_EQ(model.DeclCaption(TDeclListKind::Constants), "MaxWidgets = 10");
}

TEST(ParserDialogModel, PagesShowOnlyWhatTheUnitHas) {
    TParserDialogModel model;
    model.Parser().ParseText("unit Consts; interface const A = 1; var B: Integer; implementation",
                             "consts.pas");
    model.Prepare();
    EXPECT_FALSE(model.PageVisible(TParserPage::Classes));
    EXPECT_FALSE(model.PageVisible(TParserPage::Types));
    EXPECT_FALSE(model.PageVisible(TParserPage::Routines));
    EXPECT_TRUE(model.PageVisible(TParserPage::Constants));
    EXPECT_TRUE(model.PageVisible(TParserPage::Variables));
    EXPECT_EQ(model.FirstVisiblePage(), TParserPage::Constants);
    EXPECT_TRUE(model.TabNames().empty());
    EXPECT_EQ(model.CurrentTab(), -1);
    // Without a class the Classes page's controls do nothing.
    model.SetObjInclude(false);
    model.SelectMember(TMemberKind::Property, 0);
    EXPECT_FALSE(model.HasSelectedMember());
    EXPECT_FALSE(model.ClassControlsEnabled());
    model.Accept();
}

TEST(ParserDialogModel, MemberListsShareTheHeightDownToTheSelectedGroup) {
    // From the first label's bottom (35) to 320, less two labels and their
    // gaps (2 * 19), in three: 82.
    TMemberListGeometry g = MemberListGeometry(20, 15, 320);
    EXPECT_EQ(g.listHeight, 82);
    EXPECT_EQ(g.labelTop, (std::array<int, 3>{20, 121, 222}));
    EXPECT_EQ(g.listTop, (std::array<int, 3>{35, 136, 237}));
    // Any size: labels 4 below the list above, lists right below their
    // labels, the last list ending at most two pixels above the bottom.
    for (int bottom : {120, 200, 333, 1000}) {
        TMemberListGeometry h = MemberListGeometry(8, 17, bottom);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(h.listTop[i], h.labelTop[i] + 17);
            if (i > 0) {
                EXPECT_EQ(h.labelTop[i], h.listTop[i - 1] + h.listHeight + 4);
            }
        }
        const int last = h.listTop[2] + h.listHeight;
        EXPECT_LE(last, bottom);
        EXPECT_GE(last, bottom - 2);
    }
    EXPECT_EQ(MemberListGeometry(0, 15, 30).listHeight, 0);
}

// ---- Runs over unit files ----------------------------------------------------

class ParserDialogRun : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text) {
        return folder.Write(name, text);
    }

    TUnitFolder folder{"bw-parserdialog-"};
    TParserDialogModel model;
    TRecordingSink sink;
    components::TScriptedMessenger messenger;
};

TEST_F(ParserDialogRun, OkGeneratesFromTheChoicesAndCancelAddsNothing) {
    const std::string unit = Write("widgets.pas", WidgetsUnit);
    bool shown = false;
    EXPECT_EQ(model.ParsePascalUnit(
                  unit, 1000, sink,
                  [&] {
                      shown = true;
                      model.SetObjInclude(false);
                      return false;
                  },
                  &messenger),
              -1);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(sink.order.empty());

    const int first = model.ParsePascalUnit(
        unit, 2000, sink,
        [&] {
            // A fresh parse: the class left out before is back.
            EXPECT_TRUE(model.ObjInclude());
            model.SetObjInclude(false); // TWidget
            model.ChangeTab(1);         // TWidgetList
            model.SetObjTasks(true);
            model.SelectMember(TMemberKind::Method, 0);
            model.SetMemberOption(TEntryOption::Include, false);
            model.SelectDecl(TDeclListKind::Types, 0);
            model.SetDeclOption(TDeclListKind::Types, TEntryOption::Include, false);
            model.SelectDecl(TDeclListKind::Routines, 0);
            model.SetDeclOption(TDeclListKind::Routines, TEntryOption::Include, false);
            model.SelectDecl(TDeclListKind::Constants, 0);
            model.SetDeclOption(TDeclListKind::Constants, TEntryOption::Mention, false);
            model.SelectDecl(TDeclListKind::Variables, 0);
            model.SetDeclOption(TDeclListKind::Variables, TEntryOption::Include, true);
            model.SetDeclOption(TDeclListKind::Variables, TEntryOption::SeeAlso, false);
            model.UseComments = false;
            return true;
        },
        &messenger);
    EXPECT_EQ(first, 2000);
    std::vector<std::string> titles;
    for (int number : sink.order)
        titles.push_back(std::to_string(number) + " " + sink.Topic(number).title);
    EXPECT_EQ(titles,
              (std::vector<std::string>{
                  "2000 Widgets unit", "2001 Widgets unit - See also", "2010 TWidgetList class",
                  "2011 TWidgetList class - See also", "2013 TWidgetList - Methods",
                  "2015 About the TWidgetList class", "2016 About the TWidgetList class - See also",
                  "2020 DefaultWidget variable"}));
    // The member only mentioned is listed without a topic of its own.
    EXPECT_NE(sink.Topic(2013).text.find("{linkDelphi=Count_Method}"), std::string::npos);
}

TEST_F(ParserDialogRun, CommentsAsDescriptionsFollowsTheCheckBox) {
    const std::string unit = Write("c.pas", "unit C; interface const A = 1; // the answer\n"
                                            "implementation end.");
    for (bool useComments : {true, false}) {
        TRecordingSink out;
        model.ParsePascalUnit(
            unit, 1000, out,
            [&] {
                model.SelectDecl(TDeclListKind::Constants, 0);
                model.SetDeclOption(TDeclListKind::Constants, TEntryOption::Include, true);
                model.UseComments = useComments;
                return true;
            },
            &messenger);
        const std::string& text = out.Topic(1010).text;
        EXPECT_EQ(text.find("the answer") != std::string::npos, useComments) << text;
        EXPECT_EQ(text.find("<<< Description of A constant >>>") != std::string::npos, !useComments)
            << text;
    }
}

TEST_F(ParserDialogRun, ASecondUnitKeepsNothingOfTheFirst) {
    const std::string widgets = Write("widgets.pas", WidgetsUnit);
    const std::string consts = Write("consts.pas", "unit Consts; interface const A = 1;\n"
                                                   "implementation end.");
    model.ParsePascalUnit(
        widgets, 1000, sink,
        [&] {
            model.ChangeTab(1);
            model.SelectMember(TMemberKind::Method, 0);
            model.SelectDecl(TDeclListKind::Constants, 0);
            return false;
        },
        &messenger);
    bool checked = false;
    model.ParsePascalUnit(
        consts, 1000, sink,
        [&] {
            checked = true;
            EXPECT_EQ(model.Caption(), "Delphi source code parser: unit Consts");
            EXPECT_TRUE(model.TabNames().empty());
            EXPECT_EQ(model.CurrentTab(), -1);
            EXPECT_FALSE(model.HasSelectedMember());
            EXPECT_TRUE(model.MemberItems(TMemberKind::Method).empty());
            EXPECT_EQ(model.SelectedDecl(TDeclListKind::Constants), -1);
            EXPECT_FALSE(model.PageVisible(TParserPage::Classes));
            return true;
        },
        &messenger);
    EXPECT_TRUE(checked);
    std::vector<int> expected = {1000, 1001};
    EXPECT_EQ(sink.order, expected);
    EXPECT_EQ(model.Parser().UnitName, "Consts");
}

TEST_F(ParserDialogRun, AUnitThatFailsToParseReportsAndWritesNothing) {
    struct Case {
        const char* file;
        const char* source;
        std::string message;
    };
    const std::string notUnit = folder.Path("prog.pas").string();
    const Case cases[] = {
        {"bad.pas", "unit Bad;\ninterface\ntype\n  TFoo TBar;\nimplementation\nend.",
         folder.Path("bad.pas").string() + ": Error in line 4: '=' expected in type declaration"},
        {"prog.pas", "program Prog; begin end.",
         notUnit + " is not a Pascal unit.\r(Unit clause not found)"},
    };
    // A good unit first, so that its classes would be there to leak.
    model.ParsePascalUnit(
        Write("widgets.pas", WidgetsUnit), 1000, sink, [] { return false; }, &messenger);
    for (const Case& c : cases) {
        bool shown = false;
        try {
            model.ParsePascalUnit(
                Write(c.file, c.source), 1000, sink, [&] { return shown = true; }, &messenger);
            ADD_FAILURE() << c.file << " parsed";
        } catch (const EParseError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
        EXPECT_FALSE(shown);
        EXPECT_TRUE(sink.order.empty());
        EXPECT_TRUE(model.Parser().ParseObjects.empty());
        EXPECT_TRUE(model.TabNames().empty());
        EXPECT_EQ(model.Caption(), "Delphi Source Code Parser");
    }
}

TEST_F(ParserDialogRun, AnEmptyUnitSaysSoAndShowsNoDialog) {
    bool shown = false;
    EXPECT_THROW(model.ParsePascalUnit(
                     Write("e.pas", "unit E; interface implementation end."), 1000, sink,
                     [&] { return shown = true; }, &messenger),
                 components::EAbort);
    EXPECT_FALSE(shown);
    EXPECT_EQ(messenger.Texts(components::TScriptedMessenger::TRecord::Question),
              (std::vector<std::string>{"This unit seems to be quite empty."}));
    EXPECT_TRUE(sink.order.empty());
}
