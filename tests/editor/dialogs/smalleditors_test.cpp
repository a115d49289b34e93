// The models of the browse-sequence editor, the windows editor with its
// position wizard, the hotspot sort dialog and the merge and renumber
// dialogs.
#include <gtest/gtest.h>

#include "editor/dialogs/browsesequencemodel.h"
#include "editor/dialogs/mergedialogmodel.h"
#include "editor/dialogs/positionwizard.h"
#include "editor/dialogs/renumberdialogmodel.h"
#include "editor/dialogs/shgsortmodel.h"
#include "editor/dialogs/windowseditormodel.h"
#include "helpproject/brindlewovenproject.h"

namespace {

using editor::TWindowDefinition;
using editor::TWindowsEditorModel;
using helpproject::TBrindlewovenProject;
using Strings = std::vector<std::string>;

std::unique_ptr<TBrindlewovenProject> Project(std::initializer_list<std::int32_t> numbers) {
    auto project = std::make_unique<TBrindlewovenProject>();
    project->ClearTopics();
    for (std::int32_t n : numbers)
        project->AddTopic(n, "T" + std::to_string(n));
    return project;
}

// ---- windows editor ---------------------------------------------------------------------

TEST(WindowsEditor, NewWindowStoredUnchangedIsHeldToTheScale) {
    TWindowsEditorModel model;
    model.Show({});
    EXPECT_EQ(model.ShownIndex(), -1);
    model.Add();
    EXPECT_EQ(model.Controls().Width, 511);
    EXPECT_EQ(model.Controls().Height, 1023);
    EXPECT_EQ(model.Ok(), Strings{"new=\"\",(512,0,511,1023),0,,,0"});
}

TEST(WindowsEditor, ADefinitionChangesOnlyAfterAnEdit) {
    const Strings windows = {"main=\"Main\",(0,0,1023,1023),0,,,0",
                             "odd=\"Odd\",(900, 10,500,2000),1,(1,2,3),(4,5,6),1", "broken"};
    TWindowsEditorModel model;
    model.Show(windows);
    model.Select(1);
    model.Select(2);
    model.Select(0);
    EXPECT_EQ(model.Ok(), windows);

    model.Select(1);
    TWindowDefinition edited = model.Controls();
    EXPECT_EQ(edited.Width, 123); // held to the scale in the controls
    EXPECT_EQ(edited.Height, 1013);
    edited.Caption = "Odder";
    model.Edit(edited);
    model.Select(0);
    EXPECT_EQ(model.Windows()[1], "odd=\"Odder\",(900,10,123,1013),1,(1,2,3),(4,5,6),1");
}

TEST(WindowsEditor, DefinitionsReadAndWritten) {
    struct TCase {
        const char* text;
        TWindowDefinition parsed;
        const char* formatted;
    };
    const TCase cases[] = {
        {"main=\"Help\",(10,20,300,400),0,,,0",
         {"main", "Help", 10, 20, 300, 400, false, true, 0xFFFFFF, 0xFFFFFF, false},
         "main=\"Help\",(10,20,300,400),0,,,0"},
        {"pop=\"\",(0,0,5,6),1,(255,0,0),(0,128,255),1",
         {"pop", "", 0, 0, 5, 6, true, false, 0x0000FF, 0xFF8000, true},
         "pop=\"\",(0,0,5,6),1,(255,0,0),(0,128,255),1"},
        {"x",
         {"x", "", 0, 0, 1, 1, false, true, 0xFFFFFF, 0xFFFFFF, false},
         "x=\"\",(0,0,1,1),0,,,0"},
        {"y=\"cap",
         {"y", "cap", 0, 0, 1, 1, false, true, 0xFFFFFF, 0xFFFFFF, false},
         "y=\"cap\",(0,0,1,1),0,,,0"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(TWindowDefinition::Parse(c.text), c.parsed) << c.text;
        EXPECT_EQ(c.parsed.Format(), c.formatted) << c.text;
    }
}

TEST(WindowsEditor, EmptyNameIsNotStoredAndDeleteShowsTheFirst) {
    TWindowsEditorModel model;
    model.Show({"a=\"A\",(0,0,10,10),0,,,0", "b=\"B\",(0,0,10,10),0,,,0"});
    TWindowDefinition controls = model.Controls();
    controls.Name.clear();
    controls.Caption = "lost";
    model.Edit(controls);
    model.Select(1);
    EXPECT_EQ(model.Windows()[0], "a=\"A\",(0,0,10,10),0,,,0");
    model.Delete(0);
    EXPECT_EQ(model.Windows(), Strings{"b=\"B\",(0,0,10,10),0,,,0"});
    EXPECT_EQ(model.ShownIndex(), 0);
    EXPECT_EQ(model.Controls().Name, "b");
}

TEST(PositionWizard, ScaleAndBack) {
    const editor::TPixelRect monitor{100, 50, 2048, 1024};
    EXPECT_EQ(editor::ScaledToScreen({512, 0, 256, 512}, monitor),
              (editor::TPixelRect{1124, 50, 512, 512}));
    EXPECT_EQ(editor::ScreenToScaled({1124, 50, 512, 512}, monitor),
              (editor::TPixelRect{512, 0, 256, 512}));
    // Wider than what is left of the scale: 1024 - X.
    EXPECT_EQ(editor::ScreenToScaled({1124, 50, 1200, 1024}, monitor),
              (editor::TPixelRect{512, 0, 512, 1024}));
}

// ---- hotspot sort -------------------------------------------------------------------------

TEST(SHGSort, UpDownAndDrag) {
    editor::TSHGSortModel model;
    model.SetHotspots({"a", "b", "c", "d"});
    model.Up(); // the first cannot go up
    EXPECT_EQ(model.Order(), (std::vector<int>{0, 1, 2, 3}));
    model.Select(2);
    model.Up();
    EXPECT_EQ(model.Order(), (std::vector<int>{0, 2, 1, 3}));
    EXPECT_EQ(model.Selected(), 1);
    model.Select(3);
    model.Down();
    EXPECT_EQ(model.Selected(), 3);
    model.Move(0, -1);
    EXPECT_EQ(model.Order(), (std::vector<int>{2, 1, 3, 0}));
    model.Move(3, 1);
    EXPECT_EQ(model.Order(), (std::vector<int>{2, 0, 1, 3}));
    EXPECT_EQ(model.Items()[1].Name, "a");
}

// ---- renumber and merge dialogs -------------------------------------------------------

TEST(RenumberDialog, RangeRuleEnablesOk) {
    auto project = Project({10, 20, 30});
    editor::TRenumberDialogModel model;
    model.SetStart(1);
    model.Activate(*project);
    EXPECT_EQ(model.Items(), (Strings{"10: T10", "20: T20", "30: T30"}));
    EXPECT_TRUE(model.OkEnabled());
    EXPECT_EQ(model.Start(), 10); // 1 becomes the range's first number
    model.SetFromIndex(2);
    model.SetToIndex(0);
    EXPECT_FALSE(model.OkEnabled());
    model.SetToIndex(2);
    EXPECT_TRUE(model.OkEnabled()); // the same topic as start and end
    EXPECT_EQ(model.Request().From, 30);
    EXPECT_EQ(model.Request().To, 30);
    model.SetGap(0);
    EXPECT_EQ(model.Gap(), 1);
    model.SetGap(1'000'000);
    EXPECT_EQ(model.Gap(), 100000);
    model.SetStart(5'000'000'000);
    EXPECT_EQ(model.Start(), 2147483647);
}

TEST(MergeDialog, OkRuleForEachCriterion) {
    auto other = Project({10, 20});
    other->TopicByNumber(10)->BrowseSequence = "main:000010";
    editor::TMergeDialogModel model;
    model.Fill(*other, "/x/other.bwv");
    EXPECT_TRUE(model.OkEnabled()); // "Insert all topics"
    model.SetCriterion(1);
    model.SetIDFromIndex(1);
    model.SetIDToIndex(0);
    EXPECT_FALSE(model.OkEnabled());
    model.SetIDToIndex(1);
    EXPECT_TRUE(model.OkEnabled());
    model.SetCriterion(2);
    EXPECT_TRUE(model.OkEnabled());
    model.BrowseSequences()[0].second = false;
    model.SetSameID(2);
    const editor::TMergeSelection selection = model.Selection();
    EXPECT_TRUE(selection.BrowseSequences.empty());
    EXPECT_EQ(selection.SameID, editor::TSameIDChoice::ChangeID);
    EXPECT_EQ(selection.From, 20);
}

// ---- browse sequences ---------------------------------------------------------------------

class BrowseSequence : public ::testing::Test {
protected:
    BrowseSequence() : project(Project({10, 20, 30, 40})), model(*project) {
        project->TopicByNumber(30)->BrowseSequence = "main:000010";
        project->TopicByNumber(10)->BrowseSequence = "main:000020";
        project->TopicByNumber(20)->BrowseSequence = "side:000010";
        project->TopicByNumber(40)->Title = "A last";
        model.Show();
    }
    std::unique_ptr<TBrindlewovenProject> project;
    editor::TBrowseSequenceModel model;
};

TEST_F(BrowseSequence, NamesTakeLettersInLowerCase) {
    EXPECT_EQ(editor::TBrowseSequenceModel::NameKey('Q'), 'q');
    EXPECT_EQ(editor::TBrowseSequenceModel::NameKey('\xC4'), '\xE4');
    EXPECT_EQ(editor::TBrowseSequenceModel::NameKey('\b'), '\b');
    for (char refused : {'1', '0', ' ', ':', '_'})
        EXPECT_EQ(editor::TBrowseSequenceModel::NameKey(refused), 0) << refused;
    model.SetName("Ma1in");
    EXPECT_EQ(model.Name(), "main");
    EXPECT_EQ(model.Names(), (Strings{"side", "main"}));
}

TEST_F(BrowseSequence, ReadAppendWithoutDuplicates) {
    model.SetName("main");
    model.Read();
    EXPECT_EQ(model.Sequence(), (Strings{"T30 (30)", "T10 (10)"}));
    EXPECT_EQ(model.Available(), (Strings{"T20 (20)", "A last (40)"}));
    EXPECT_EQ(model.StatusText(), "Read sequence main");
    model.Append(); // the same sequence again adds nothing
    EXPECT_EQ(model.Sequence(), (Strings{"T30 (30)", "T10 (10)"}));
    model.SetName("side");
    model.Append();
    EXPECT_EQ(model.Sequence(), (Strings{"T30 (30)", "T10 (10)", "T20 (20)"}));
    EXPECT_EQ(model.Available(), (Strings{"A last (40)"}));
    model.Read();
    EXPECT_EQ(model.Sequence(), (Strings{"T20 (20)"}));
}

TEST_F(BrowseSequence, WriteNeedsANameAndNumbersByTens) {
    model.AddToSequence({3, 0});
    EXPECT_FALSE(model.Write());
    EXPECT_EQ(project->TopicByNumber(10)->BrowseSequence, "main:000020");
    EXPECT_FALSE(model.Changed());

    model.SetName("main");
    model.Read();
    model.RemoveFromSequence({1});  // 10 leaves the sequence
    model.DropIntoSequence({1}, 0); // 40 goes first
    ASSERT_EQ(model.Sequence(), (Strings{"A last (40)", "T30 (30)"}));
    ASSERT_TRUE(model.Write());
    EXPECT_EQ(project->TopicByNumber(40)->BrowseSequence, "main:000010");
    EXPECT_EQ(project->TopicByNumber(30)->BrowseSequence, "main:000020");
    EXPECT_EQ(project->TopicByNumber(10)->BrowseSequence, "");
    EXPECT_EQ(project->TopicByNumber(20)->BrowseSequence, "side:000010");
    EXPECT_EQ(model.StatusText(), "Wrote sequence main");
    EXPECT_TRUE(model.Changed());

    // The listed topics move to another sequence, which joins the names.
    model.SetName("new");
    model.Write();
    EXPECT_EQ(project->TopicByNumber(40)->BrowseSequence, "new:000010");
    EXPECT_EQ(model.Names(), (Strings{"side", "new"}));
}

TEST_F(BrowseSequence, MovesAndSorting) {
    model.AddToSequence({0, 1, 2}); // 10, 20, 30
    model.MoveWithinSequence({2}, 0);
    EXPECT_EQ(model.Sequence(), (Strings{"T30 (30)", "T10 (10)", "T20 (20)"}));
    model.MoveWithinSequence({0, 1}, -1);
    EXPECT_EQ(model.Sequence(), (Strings{"T20 (20)", "T30 (30)", "T10 (10)"}));
    model.SetSortAvailable(true);
    model.DropIntoAvailable({1, 2});
    EXPECT_EQ(model.Available(), (Strings{"A last (40)", "T10 (10)", "T30 (30)"}));
    model.SetSortAvailable(false);
    EXPECT_EQ(model.Available(), (Strings{"T10 (10)", "T30 (30)", "A last (40)"}));
    model.New();
    EXPECT_TRUE(model.Sequence().empty());
    EXPECT_EQ(model.Available().size(), 4u);
    EXPECT_EQ(model.Name(), "");
}

} // namespace
