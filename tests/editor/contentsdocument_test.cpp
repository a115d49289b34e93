#include <gtest/gtest.h>

#include "editor/contentsdocument.h"

using editor::BuildContentsLine;
using editor::DisplayTitle;
using editor::LineLevel;
using editor::ParseContentsLine;
using editor::TContentsDocument;
using editor::TContentsItem;
using editor::TContentsKind;
using editor::TContentsLines;

namespace {

TContentsDocument Document(TContentsLines lines, int current = -1) {
    TContentsDocument document;
    document.Load(std::move(lines));
    document.SetCurrentItem(current);
    return document;
}

} // namespace

// ---- the six kinds ---------------------------------------------------------------

struct TKindCase {
    const char* Line;
    TContentsKind Kind;
    const char* Title;
    const char* TopicID;
    std::int32_t Number;
    const char* TopicName;
    const char* File;
    const char* Macro;
    const char* Window;
};

class ContentsLineKinds : public ::testing::TestWithParam<TKindCase> {};

TEST_P(ContentsLineKinds, ParsedIntoItsPartsAndRebuiltUnchanged) {
    const TKindCase& c = GetParam();
    const TContentsItem item = ParseContentsLine(c.Line);
    EXPECT_EQ(item.Kind, c.Kind);
    EXPECT_EQ(item.Title, c.Title);
    EXPECT_EQ(item.TopicID, c.TopicID);
    EXPECT_EQ(item.TopicNumber, c.Number);
    EXPECT_EQ(item.TopicName, c.TopicName);
    EXPECT_EQ(item.File, c.File);
    EXPECT_EQ(item.Macro, c.Macro);
    EXPECT_EQ(item.Window, c.Window);
    EXPECT_EQ(BuildContentsLine(LineLevel(c.Line), item), c.Line);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ContentsLineKinds,
    ::testing::Values(
        TKindCase{"1 Getting started", TContentsKind::Header, "Getting started", "", 1, "", "", "",
                  ""},
        TKindCase{"2 Intro=intro", TContentsKind::Link, "Intro", "intro", 1, "", "", "", ""},
        TKindCase{"3 Intro=intro>main", TContentsKind::Link, "Intro", "intro", 1, "", "", "",
                  "main"},
        TKindCase{"2 Empty=", TContentsKind::Link, "Empty", "", 1, "", "", "", ""},
        TKindCase{"2 Other=Vellumar120@other.hlp>pop", TContentsKind::OwnFileLink, "Other", "", 120,
                  "", "other.hlp", "", "pop"},
        TKindCase{"4 Foreign=ctx_a@vendor.hlp", TContentsKind::OtherFileLink, "Foreign", "", 1,
                  "ctx_a", "vendor.hlp", "", ""},
        TKindCase{"2 Back=! Back();Exit()", TContentsKind::Macro, "Back", "", 1, "", "",
                  "Back();Exit()", ""},
        TKindCase{":INCLUDE more.cnt", TContentsKind::Include, "", "", 1, "", "more.cnt", "", ""},
        // "Vellumar" before "@" without a number that comes back the same is
        // a foreign context string: shown, and rebuilt, without change.
        TKindCase{"2 Odd=Vellumar@x.hlp", TContentsKind::OtherFileLink, "Odd", "", 1, "Vellumar",
                  "x.hlp", "", ""},
        TKindCase{"2 Odd=Vellumar007@x.hlp", TContentsKind::OtherFileLink, "Odd", "", 1,
                  "Vellumar007", "x.hlp", "", ""},
        TKindCase{"2 Odd=Vellumar99999999999@x.hlp", TContentsKind::OtherFileLink, "Odd", "", 1,
                  "Vellumar99999999999", "x.hlp", "", ""},
        TKindCase{"2 Odd=vellumar5@x.hlp", TContentsKind::OtherFileLink, "Odd", "", 1, "vellumar5",
                  "x.hlp", "", ""}));

TEST(ContentsLine, MacroWithoutBlankKeepsItsFirstCharacter) {
    const TContentsItem item = ParseContentsLine("1 Go back=!Back()");
    EXPECT_EQ(item.Kind, TContentsKind::Macro);
    EXPECT_EQ(item.Macro, "Back()");
    EXPECT_EQ(BuildContentsLine(1, item), "1 Go back=! Back()");
}

TEST(ContentsLine, ControlCharactersAreRemoved) {
    TContentsItem item;
    item.Kind = TContentsKind::Link;
    item.Title = "Tab\there";
    item.TopicID = "in\rtro";
    item.Window = "ma\nin";
    EXPECT_EQ(BuildContentsLine(2, item), "2 Tabhere=intro>main");
    EXPECT_EQ(DisplayTitle("2 Tabhere=intro>main"), "Tabhere");
    EXPECT_EQ(DisplayTitle(":INCLUDE a.cnt"), ":INCLUDE a.cnt");
}

// ---- adding and deleting ---------------------------------------------------------

TEST(ContentsDocument, AddWithNothingSelectedGoesToTheEnd) {
    // Below a book at the end: one level deeper.
    auto document = Document({"1 Book", "2 Page=p", "1 Last book"});
    EXPECT_EQ(document.Add(false, {}, {}, {}), 3);
    EXPECT_EQ(document.Line(3), "2 New Item=");
    EXPECT_EQ(document.CurrentItem(), 3);
    // Below a page: beside it; a topic and window go into the line.
    auto pages = Document({"1 Book", "2 Page=p"});
    EXPECT_EQ(pages.Add(true, "Intro\t", "intro", "main"), 2);
    EXPECT_EQ(pages.Line(2), "2 Intro=intro>main");
    // An empty contents starts at level 1; after an include line, level 2.
    auto empty = Document({});
    empty.Add(false, {}, {}, {});
    EXPECT_EQ(empty.Lines(), TContentsLines{"1 New Item="});
    auto include = Document({":INCLUDE a.cnt"}, 0);
    include.Add(false, {}, {}, {});
    EXPECT_EQ(include.Line(1), "2 New Item=");
}

TEST(ContentsDocument, AddGoesDirectlyAfterTheSelection) {
    auto document = Document({"1 Book", "2 Child=c", "1 Other"}, 0);
    EXPECT_EQ(document.Add(false, {}, {}, {}), 1);
    EXPECT_EQ(document.Lines(), (TContentsLines{"1 Book", "2 New Item=", "2 Child=c", "1 Other"}));
    auto deepest = Document({"9 Deep book"}, 0);
    deepest.Add(false, {}, {}, {});
    EXPECT_EQ(deepest.Line(1), "9 New Item=");
}

TEST(ContentsDocument, DeleteSelectsTheLineNowAtItsPlace) {
    auto document = Document({"1 A", "1 B", "1 C"}, 1);
    ASSERT_TRUE(document.DeleteCurrent());
    EXPECT_EQ(document.CurrentItem(), 1);
    EXPECT_EQ(document.Line(1), "1 C");
    ASSERT_TRUE(document.DeleteCurrent());
    EXPECT_EQ(document.CurrentItem(), 0) << "past the end: the new last";
    ASSERT_TRUE(document.DeleteCurrent());
    EXPECT_EQ(document.CurrentItem(), -1);
    EXPECT_FALSE(document.DeleteCurrent());
}

// ---- levels ----------------------------------------------------------------------

TEST(ContentsDocument, MoveLeftTakesTheSubitemsOfABookAlong) {
    const TContentsLines lines{"1 Top", "2 Book", "3 Page=p", "4 Deep=d", "2 Next=n"};
    auto follow = Document(lines, 1);
    EXPECT_FALSE(follow.MoveRight(true)) << "at most one below the book above";
    ASSERT_TRUE(follow.CanMoveLeft(1));
    ASSERT_TRUE(follow.MoveLeft(true));
    EXPECT_EQ(follow.Lines(),
              (TContentsLines{"1 Top", "1 Book", "2 Page=p", "3 Deep=d", "2 Next=n"}));
    auto alone = Document(lines, 1);
    ASSERT_TRUE(alone.MoveLeft(false));
    EXPECT_EQ(alone.Lines(),
              (TContentsLines{"1 Top", "1 Book", "3 Page=p", "4 Deep=d", "2 Next=n"}));
    // Level 1 and include lines do not move left.
    EXPECT_FALSE(Document({"1 A"}, 0).CanMoveLeft(0));
    EXPECT_FALSE(Document({":INCLUDE x.cnt"}, 0).CanMoveLeft(0));
}

struct TMoveRightCase {
    const char* Above;
    const char* Line;
    bool Allowed;
};

class ContentsMoveRight : public ::testing::TestWithParam<TMoveRightCase> {};

TEST_P(ContentsMoveRight, AtMostOneBelowABookAndNeverBelowAPage) {
    const auto& c = GetParam();
    auto document = Document({c.Above, c.Line}, 1);
    EXPECT_EQ(document.MoveRight(false), c.Allowed);
    EXPECT_EQ(document.Line(1)[0] != c.Line[0], c.Allowed);
}

INSTANTIATE_TEST_SUITE_P(Table, ContentsMoveRight,
                         ::testing::Values(TMoveRightCase{"1 Book", "1 Page=p", true},
                                           TMoveRightCase{"1 Book", "2 Page=p", false},
                                           TMoveRightCase{"2 Page=a", "1 Page=p", true},
                                           TMoveRightCase{"2 Page=a", "2 Page=p", false},
                                           TMoveRightCase{":INCLUDE a.cnt", "1 Page=p", false},
                                           TMoveRightCase{"9 Book", "9 Page=p", false},
                                           TMoveRightCase{"1 Book", ":INCLUDE b.cnt", false}));

TEST(ContentsDocument, MoveRightWithSubitemsStopsAtNine) {
    auto document = Document({"2 Above", "1 Book", "2 Sub", "9 Deepest=d", "1 After"}, 1);
    ASSERT_TRUE(document.MoveRight(true));
    EXPECT_EQ(document.Lines(),
              (TContentsLines{"2 Above", "2 Book", "3 Sub", "9 Deepest=d", "1 After"}));
    EXPECT_FALSE(document.CanMoveRight(0)) << "the first line never moves right";
}

TEST(ContentsDocument, FixIndentsCutsWhatTheLineAboveDoesNotAllow) {
    auto books = Document({"1 A", "3 B", "5 C"}, 2);
    books.FixIndents();
    EXPECT_EQ(books.Lines(), (TContentsLines{"1 A", "2 B", "3 C"}));
    auto pages = Document({"1 P=p", "3 Q=q", ":INCLUDE i.cnt", "4 R", "2 S=s"});
    pages.FixIndents();
    EXPECT_EQ(pages.Lines(), (TContentsLines{"1 P=p", "1 Q=q", ":INCLUDE i.cnt", "1 R", "2 S=s"}));
    EXPECT_EQ(books.CurrentItem(), 2);
}

// ---- drag and drop ---------------------------------------------------------------

TEST(ContentsDocument, DropBelowABookMakesAChildAndSubitemsFollow) {
    const TContentsLines lines{"1 A", "2 a1=x", "1 C", "2 c1=y", "3 c2=z", "1 D"};
    // C (with its two subitems) dropped on a1 from below lands before a1,
    // under A: one level deeper, the subitems keeping their depth below it.
    auto follow = Document(lines);
    EXPECT_EQ(follow.Drop(2, 1, true), 1);
    EXPECT_EQ(follow.Lines(), (TContentsLines{"1 A", "2 C", "3 c1=y", "4 c2=z", "2 a1=x", "1 D"}));
    EXPECT_EQ(follow.CurrentItem(), 1);
    // Without "Subitems follow" only the book moves.
    auto alone = Document(lines);
    EXPECT_EQ(alone.Drop(2, 1, false), 1);
    EXPECT_EQ(alone.Lines(), (TContentsLines{"1 A", "2 C", "2 a1=x", "2 c1=y", "3 c2=z", "1 D"}));
    // Dropped downward on a book, the line goes after it, as its child.
    auto down = Document(lines);
    EXPECT_EQ(down.Drop(1, 5, true), 5);
    EXPECT_EQ(down.Lines(), (TContentsLines{"1 A", "1 C", "2 c1=y", "3 c2=z", "1 D", "2 a1=x"}));
    // On the first position: level 1. Past the end after a page: its level.
    auto first = Document(lines);
    EXPECT_EQ(first.Drop(3, 0, false), 0);
    EXPECT_EQ(first.Line(0), "1 c1=y");
    auto end = Document({"1 A", "2 a=x", "1 B"});
    EXPECT_EQ(end.Drop(0, 3, true), 1);
    EXPECT_EQ(end.Lines(), (TContentsLines{"1 B", "2 A", "3 a=x"}));
}

TEST(ContentsDocument, ABookIsNeverDroppedIntoItsOwnSubtree) {
    const TContentsLines lines{"1 A", "2 a1=x", "2 a2=y", "1 B"};
    auto document = Document(lines, 0);
    EXPECT_EQ(document.Drop(0, 1, true), -1);
    EXPECT_EQ(document.Drop(0, 2, true), -1);
    EXPECT_EQ(document.Drop(0, 0, true), -1);
    EXPECT_EQ(document.Lines(), lines);
    EXPECT_FALSE(document.CanUndo()) << "a refused drop records nothing";
    // Just below the subtree is fine.
    EXPECT_EQ(document.Drop(0, 3, true), 1);
    EXPECT_EQ(document.Lines(), (TContentsLines{"1 B", "2 A", "3 a1=x", "3 a2=y"}));
}

TEST(ContentsDocument, DropBelowAnIncludeLineStartsAtLevelOne) {
    auto document = Document({":INCLUDE a.cnt", "1 B", "3 X=x"});
    EXPECT_EQ(document.Drop(2, 1, false), 1);
    EXPECT_EQ(document.Line(1), "1 X=x");
}

// ---- the undo store --------------------------------------------------------------

TEST(ContentsDocument, ARunOfTypingInOneItemIsOneUndoStep) {
    auto document = Document({"1 A=a", "1 B=b"}, 0);
    for (const char* line : {"1 Al=a", "1 Alp=a", "1 Alph=a"})
        ASSERT_TRUE(document.SetCurrentLine(line));
    document.SetCurrentItem(1);
    ASSERT_TRUE(document.SetCurrentLine("1 Be=b"));
    document.SetCurrentItem(0);
    ASSERT_TRUE(document.SetCurrentLine("1 Alpha=a"));
    EXPECT_FALSE(document.SetCurrentLine("1 Alpha=a")) << "no change, no step";
    EXPECT_FALSE(document.SetCurrentLine("1 Alpha=a\t")) << "control characters go";

    document.Undo();
    EXPECT_EQ(document.Lines(), (TContentsLines{"1 Alph=a", "1 Be=b"}));
    document.Undo();
    EXPECT_EQ(document.Lines(), (TContentsLines{"1 Alph=a", "1 B=b"}));
    document.Undo();
    EXPECT_EQ(document.Lines(), (TContentsLines{"1 A=a", "1 B=b"})) << "before the first key";
    EXPECT_FALSE(document.CanUndo());
    ASSERT_TRUE(document.CanRedo());
    document.Redo();
    document.Redo();
    document.Redo();
    EXPECT_EQ(document.Lines(), (TContentsLines{"1 Alpha=a", "1 Be=b"}));
    EXPECT_FALSE(document.CanRedo());
    // Typing again after an undo is a step of its own.
    document.Undo();
    ASSERT_TRUE(document.SetCurrentLine("1 Alpine=a"));
    EXPECT_FALSE(document.CanRedo());
    document.Undo();
    EXPECT_EQ(document.Line(0), "1 Alph=a");
}

TEST(ContentsDocument, KeepsTheNewest99Steps) {
    auto document = Document({"1 Item=0"}, 0);
    for (int i = 1; i <= 150; ++i) {
        document.FixIndents(); // another action between, so each edit is a step
        ASSERT_TRUE(document.SetCurrentLine("1 Item=" + std::to_string(i)));
    }
    int steps = 0;
    std::string last;
    while (document.CanUndo()) {
        document.Undo();
        last = document.Line(0);
        ++steps;
    }
    // 300 recorded changes (a fix and an edit each): the newest 99 remain.
    EXPECT_EQ(steps, TContentsDocument::kMaxUndoSteps);
    EXPECT_EQ(last, "1 Item=100");
    EXPECT_LE(document.UndoCount(), TContentsDocument::kMaxSnapshots);
    for (int i = 0; i < TContentsDocument::kMaxUndoSteps; ++i)
        document.Redo();
    EXPECT_EQ(document.Line(0), "1 Item=150");
    EXPECT_FALSE(document.CanRedo());
}

TEST(ContentsDocument, RepeatedMovesAreOneStepAndUndoKeepsTheSelectionInRange) {
    auto document = Document({"1 A", "1 B", "1 C=c"}, 2);
    ASSERT_TRUE(document.MoveRight(true));
    document.SetCurrentItem(1);
    ASSERT_TRUE(document.MoveRight(true));
    EXPECT_EQ(document.Lines(), (TContentsLines{"1 A", "2 B", "3 C=c"}));
    document.Undo();
    EXPECT_EQ(document.Lines(), (TContentsLines{"1 A", "1 B", "1 C=c"}));
    EXPECT_FALSE(document.CanUndo());

    document.Redo();
    document.SetCurrentItem(2);
    ASSERT_TRUE(document.DeleteCurrent());
    document.SetCurrentItem(1);
    ASSERT_TRUE(document.DeleteCurrent());
    EXPECT_EQ(document.CurrentItem(), 0);
    document.Undo();
    document.Undo();
    EXPECT_EQ(document.Count(), 3);
    EXPECT_EQ(document.CurrentItem(), 0);
}

TEST(ContentsDocument, ClearingTheStoreForgetsTheLastAction) {
    auto document = Document({"1 A=a"}, 0);
    ASSERT_TRUE(document.SetCurrentLine("1 AB=a"));
    document.ClearUndoStates();
    EXPECT_FALSE(document.CanUndo());
    // The same item typed into again after a reopen is a new step.
    ASSERT_TRUE(document.SetCurrentLine("1 ABC=a"));
    ASSERT_TRUE(document.CanUndo());
    document.Undo();
    EXPECT_EQ(document.Line(0), "1 AB=a");
    // Loading forgets everything.
    document.Load({"1 X"});
    EXPECT_FALSE(document.CanUndo());
    EXPECT_FALSE(document.CanRedo());
    EXPECT_EQ(document.LastAction(), TContentsDocument::TAction::None);
}
