#include <gtest/gtest.h>

#include <algorithm>

#include "components/rtf/stringlisttransfer.h"
#include "editor/dialogs/footnotedialogmodel.h"
#include "editorfixture_support.h"

using namespace editor;
using editortest::EditorFixture;
using helpproject::ENoSuchTopic;
using helpproject::EProjectError;
using helpproject::TBrindlewovenTopic;

namespace {

class TopicEditorTest : public EditorFixture {};

bool LinesHold(const helpproject::TStringList& lines, const std::string& what) {
    for (const auto& line : lines)
        if (line.find(what) != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST_F(TopicEditorTest, ShowTopicFillsTheBarAndTheEditor) {
    Open({10, 20});
    TBrindlewovenTopic& t = Topic(20);
    t.KKeywords = "k";
    t.BuildTag = "pro";
    t.SetText({"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}", "{\\colortbl ;}", "\\pard\\f0 Hello\\par",
               "\\pard\\f0 \\'b7\\tab x\\par }"});
    editor->GoToTopicID(20);
    EXPECT_EQ(editor->PropertyBar().Number, 20);
    EXPECT_EQ(editor->PropertyBar().Title, "T20");
    EXPECT_EQ(editor->PropertyBar().KKeywords, "k");
    EXPECT_EQ(editor->PropertyBar().BuildTag, "pro");
    // A bullet written as text (middle dot and tab) is dropped.
    EXPECT_EQ(EditorText(), "Hello\rx\r");
    EXPECT_FALSE(view.text.Modified());
}

// Typing a number in the number box moves the topic on the next store: to
// the first free number from the one typed, with every field kept, a custom
// context string kept and an automatic one made for the number taken; links
// follow only with UpdateLinks.
TEST_F(TopicEditorTest, NumberBoxRenumbers) {
    struct Case {
        const char* id;
        std::int32_t typed;
        bool updateLinks;
        std::int32_t taken;
        const char* expectedID;
    };
    const Case cases[] = {
        {"Vellumar10", 15, true, 15, "Vellumar15"},
        {"Vellumar10", 20, true, 21, "Vellumar21"}, // 20 is taken: the ID names 21
        {"VELLUMAR10", 20, true, 21, "Vellumar21"},
        {"intro", 20, true, 21, "intro"},
        {"Vellumarintro", 15, true, 15, "Vellumarintro"},
        {"Vellumar10", 15, false, 15, "Vellumar15"},
    };
    for (const Case& c : cases) {
        settings.UpdateLinks = c.updateLinks;
        Open({10, 20, 30});
        TBrindlewovenTopic& t = Topic(10);
        t.TopicID = c.id;
        t.BKeywords = "TMyClass";
        t.Window = "main";
        t.EntryMacro = "Back()";
        t.Bookmark = true;
        Topic(30).SetText({"See\\{linkID=10\\} and \\{linkID=100\\}"});
        editor->ShowTopic();

        editor->SetNumberBox(c.typed);
        editor->SetKKeywords("new keys");
        editor->GoToTopicID(30);

        std::vector<std::int32_t> expected{20, 30, c.taken};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Numbers(), expected) << "typed " << c.typed;
        ASSERT_NE(Project().FindTopic(c.taken), nullptr);
        const TBrindlewovenTopic& moved = Topic(c.taken);
        EXPECT_EQ(moved.TopicID, c.expectedID);
        EXPECT_EQ(moved.Title, "T10");
        EXPECT_EQ(moved.KKeywords, "new keys");
        EXPECT_EQ(moved.BKeywords, "TMyClass");
        EXPECT_EQ(moved.Window, "main");
        EXPECT_EQ(moved.EntryMacro, "Back()");
        EXPECT_TRUE(moved.Bookmark);
        const std::string link =
            "\\{linkID=" + std::to_string(c.updateLinks ? c.taken : 10) + "\\}";
        EXPECT_TRUE(LinesHold(Topic(30).Text, link)) << "typed " << c.typed;
        EXPECT_TRUE(LinesHold(Topic(30).Text, "\\{linkID=100\\}"));
        ASSERT_FALSE(editor->UndoMenu().Empty());
        EXPECT_EQ(editor->UndoMenu().Entries().front().Caption,
                  "Changes to #" + std::to_string(c.taken));
        EXPECT_TRUE(session->Modified());
    }
}

TEST_F(TopicEditorTest, StoringWithoutChangesRecordsNothing) {
    Open({10, 20});
    editor->StoreTopic();
    editor->GoToTopicID(20);
    EXPECT_TRUE(editor->UndoMenu().Empty());
    EXPECT_FALSE(session->Modified());
}

TEST_F(TopicEditorTest, BuildTagIsStoredAndOfferedInLowerCase) {
    Open({10, 20});
    editor->SetBuildTag("ProVersion");
    editor->SetStatus("Review");
    editor->StoreTopic();
    EXPECT_EQ(Topic(10).BuildTag, "proversion");
    EXPECT_EQ(editor->PropertyBar().BuildTag, "proversion");
    EXPECT_EQ(Topic(10).Status, "Review");
    EXPECT_EQ(editor->BuildTagList(), std::vector<std::string>{"proversion"});
    EXPECT_EQ(editor->StatusList(),
              (std::vector<std::string>{"Writing", "Testing", "Done", "Review"}));
}

TEST_F(TopicEditorTest, TypedTitleReplacesTheFirstLineAndTheContentsEntry) {
    Open({10, 20});
    Project().ContentsLines = {"1 T10=Vellumar10"};
    editor->ShowTopic();
    ASSERT_EQ(EditorText(), "T10\r\r");
    editor->TitleTyped("Intro");
    EXPECT_EQ(EditorText(), "Intro\r\r");
    EXPECT_EQ(Topic(10).Title, "T10"); // not stored yet
    editor->TitleTyped("");
    EXPECT_EQ(EditorText(), "{title}\r\r");
    editor->TitleTyped("Start");
    editor->StoreTopic();
    EXPECT_EQ(Topic(10).Title, "Start");
    EXPECT_EQ(Project().ContentsLines[0], "1 Start=Vellumar10");
    EXPECT_EQ(rtf::LoadFromStrings(Topic(10).Text).Text(), "Start\r\r");
}

TEST_F(TopicEditorTest, NewTopicIsNumberedAfterTheCurrentOneWithTheStandardText) {
    Open({10, 12, 50});
    editor->GoToTopicID(10);
    TBrindlewovenTopic* created = editor->NewTopic();
    EXPECT_EQ(created->Number, 11);
    EXPECT_EQ(Current(), 11);
    EXPECT_EQ(created->Title, "<new topic>");
    EXPECT_EQ(EditorText(), "<new topic>\r\r\r");
    const rtf::CharFormat title = view.text.Document().CharFormatAt(0);
    EXPECT_TRUE(title.bold);
    EXPECT_EQ(title.size, 32);
    EXPECT_EQ(title.color, rtf::Color::FromTColor(clBlue));
    const rtf::CharFormat text = view.text.Document().CharFormatAt(12);
    EXPECT_FALSE(text.bold);
    EXPECT_EQ(text.size, 20);
    EXPECT_EQ(view.text.SelStart(), view.text.TextLength() - 1);

    editor->GoToTopicID(50);
    EXPECT_EQ(editor->NewTopic()->Number, 60);
    EXPECT_TRUE(session->Modified());
}

TEST_F(TopicEditorTest, NewTopicAboveTheHighestNumberIsRefused) {
    Open({2147483640});
    EXPECT_THROW(editor->NewTopic(), EProjectError);
    EXPECT_EQ(Numbers(), std::vector<std::int32_t>{2147483640});
}

// The menu keeps the 16 newest records, newest first.
TEST_F(TopicEditorTest, SeventeenthUndoEntryDropsTheOldest) {
    Open({10});
    for (int i = 1; i <= 17; ++i) {
        editor->SetKKeywords("k" + std::to_string(i));
        editor->StoreTopic();
    }
    const auto& entries = editor->UndoMenu().Entries();
    ASSERT_EQ(entries.size(), 16u);
    // Each record holds the topic as it was before its store.
    EXPECT_EQ(entries.front().Copy->KKeywords, "k16");
    EXPECT_EQ(entries.back().Copy->KKeywords, "k1");
    EXPECT_EQ(entries.front().Caption, "Changes to #10");
    EXPECT_EQ(entries.front().Hint, "Changes made to topic #10: T10");
}

TEST_F(TopicEditorTest, UndoAndRedoChangesToATopic) {
    Open({10, 20});
    editor->SetKKeywords("changed");
    editor->GoToTopicID(20);
    ASSERT_EQ(editor->UndoMenu().Entries().size(), 1u);
    editor->UndoItemClick(0);
    EXPECT_EQ(Topic(10).KKeywords, "");
    EXPECT_EQ(Current(), 10);
    EXPECT_TRUE(editor->UndoMenu().Empty());
    ASSERT_EQ(editor->RedoMenu().Entries().size(), 1u);
    EXPECT_EQ(editor->RedoMenu().Entries().front().Hint, "Redo changes made to topic #10: T10");
    editor->RedoItemClick(0);
    EXPECT_EQ(Topic(10).KKeywords, "changed");
    ASSERT_EQ(editor->UndoMenu().Entries().size(), 1u);
    EXPECT_EQ(editor->UndoMenu().Entries().front().Hint, "Undo changes made to topic #10: T10");
}

// The deleted topic comes back at the number AddTopic gives it: when its
// old number was taken meanwhile, the topic that took it stays untouched.
TEST_F(TopicEditorTest, UndoOfADeletionUsesTheTopicAddedNow) {
    Open({10, 20, 30});
    editor->GoToTopicID(20);
    Topic(20).KKeywords = "deleted keys";
    editor->DeleteCurrentTopic();
    EXPECT_EQ(Current(), 30);
    EXPECT_EQ(editor->UndoMenu().Entries().front().Caption, "Delete #20");

    editor->GoToTopicID(10);
    editor->SetNumberBox(20);
    editor->GoToTopicID(30); // topic 10 is now 20
    ASSERT_EQ(editor->UndoMenu().Entries().size(), 2u);
    ASSERT_EQ(editor->UndoMenu().Entries()[1].Caption, "Delete #20");

    editor->UndoItemClick(1);
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{20, 21, 30}));
    EXPECT_EQ(Topic(20).Title, "T10");
    EXPECT_EQ(Topic(20).KKeywords, "");
    EXPECT_EQ(Topic(21).Title, "T20");
    EXPECT_EQ(Topic(21).KKeywords, "deleted keys");
    EXPECT_EQ(Current(), 21);
    ASSERT_EQ(editor->RedoMenu().Entries().size(), 1u);
    EXPECT_EQ(editor->RedoMenu().Entries().front().Caption, "Delete #21");
    EXPECT_EQ(editor->RedoMenu().Entries().front().Hint, "Delete topic #21 (T20) again");

    editor->RedoItemClick(0);
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{20, 30}));
    EXPECT_EQ(editor->UndoMenu().Entries().front().Caption, "Delete #21");
}

TEST_F(TopicEditorTest, DeletingTheOnlyTopicLeavesANewTopic10) {
    Open({7});
    editor->DeleteCurrentTopic();
    EXPECT_EQ(Numbers(), std::vector<std::int32_t>{10});
    EXPECT_EQ(Topic(10).Title, "<new topic>");
    EXPECT_EQ(Current(), 10);
    EXPECT_EQ(editor->UndoMenu().Entries().front().Caption, "Delete #7");
    EXPECT_TRUE(session->Modified());
}

TEST_F(TopicEditorTest, DeletingAnotherTopicKeepsTheCurrentOneAndDropsItsHistory) {
    Open({10, 20, 30});
    editor->GoToTopicID(20);
    editor->GoToTopicID(10);
    editor->DeleteTopic(20);
    EXPECT_EQ(Current(), 10);
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{10, 30}));
    EXPECT_TRUE(editor->HistoryMenu().empty());
}

TEST_F(TopicEditorTest, UndoAndRedoOfTheCurrentTopicsEdits) {
    Open({10});
    view.text.MoveCaretToEnd();
    Type("more");
    editor->SetAKeywords("a");
    editor->UndoCurrent();
    EXPECT_EQ(EditorText(), "T10\r\r");
    EXPECT_EQ(editor->PropertyBar().AKeywords, "");
    ASSERT_TRUE(editor->RedoCurrentEnabled());
    editor->RedoCurrent();
    EXPECT_FALSE(editor->RedoCurrentEnabled());
    EXPECT_EQ(editor->PropertyBar().AKeywords, "a");
    editor->StoreTopic();
    EXPECT_EQ(Topic(10).AKeywords, "a");
    EXPECT_EQ(rtf::LoadFromStrings(Topic(10).Text).Text(), "T10\rmore\r");
}

TEST_F(TopicEditorTest, HistoryListsTheTopicsShownBefore) {
    Open({10, 20, 30});
    editor->GoToTopicID(20);
    editor->GoToTopicID(30);
    editor->GoToTopicID(20);
    EXPECT_EQ(editor->History()[0].Number, 20);
    const auto menu = editor->HistoryMenu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].Caption, "&1 T30");
    EXPECT_EQ(menu[0].Number, 30);
    EXPECT_EQ(menu[1].Caption, "&2 T10");
}

TEST_F(TopicEditorTest, NavigationFollowsTheGridOrderWhileTheGridIsShown) {
    Open({10, 20, 30});
    Topic(10).Title = "c";
    Topic(20).Title = "a";
    Topic(30).Title = "b";
    for (auto* t : {&Topic(10), &Topic(20), &Topic(30)}) {
        Project().UpdateTopicLists(t);
        Project().UpdateSortedView(t);
    }
    editor->ShowTopic();
    session->SortByColumn(helpproject::TTopicColumn::Title); // 20, 30, 10
    editor->GoToTopicID(20);
    editor->GoToNext();
    EXPECT_EQ(Current(), 30);
    editor->GoToNext();
    editor->GoToNext(); // wraps
    EXPECT_EQ(Current(), 20);
    view.gridVisible = false;
    editor->GoToNext();
    EXPECT_EQ(Current(), 30);
    editor->GoToPrevious();
    EXPECT_EQ(Current(), 20);
    editor->GoToLast();
    EXPECT_EQ(Current(), 30);
    editor->GoToFirst();
    EXPECT_EQ(Current(), 10);
}

TEST_F(TopicEditorTest, GoToTopics) {
    Open({10, 20, 30});
    editor->GoToNumberFrom(15);
    EXPECT_EQ(Current(), 20);
    editor->GoToNumberFrom(31);
    EXPECT_EQ(Current(), 10);
    editor->GoToTopicIndex(3);
    EXPECT_EQ(Current(), 30);
    EXPECT_THROW(editor->GoToTopicID(99), ENoSuchTopic);
    EXPECT_THROW(editor->GoToTopicIndex(4), EProjectError);
    EXPECT_EQ(Current(), 30);
}

TEST_F(TopicEditorTest, ParsedTopicIsShownWithItsTitleAsText) {
    Open({10});
    TBrindlewovenTopic* parsed = editor->AddParsedTopic(1000, "TMyClass");
    EXPECT_EQ(parsed->Number, 1000);
    EXPECT_EQ(Current(), 1000);
    EXPECT_EQ(EditorText(), "TMyClass\r\r");
    EXPECT_TRUE(view.text.Document().CharFormatAt(0).bold);

    editor->SetBulkUpdate(true);
    editor->AddParsedTopic(2000, "TOther");
    EXPECT_EQ(EditorText(), "TOther\r\r"); // the topic's own two lines
    EXPECT_FALSE(view.text.Modified());
    editor->SetBulkUpdate(false);
}

// Reserved words bold, comments italic, strings plain; underscores and
// digits do not belong to words. The mask has a letter per character:
// B bold, I italic, . neither.
TEST_F(TopicEditorTest, HighlightSourceCode) {
    struct Case {
        const char* source;
        const char* mask;
    };
    const Case cases[] = {
        {"begin end;", "BBBBB.BBB."},
        {"my_begin", "...BBBBB"},
        {"s := 'begin';", "............."},
        {"{ if } then", "IIIIII.BBBB"},
        {"(* do *) x", "IIIIIIII.."},
        {"// for\rwhile", "IIIIII.BBBBB"},
        {"abc1begin", "........."},
        {"BEGIN", "BBBBB"},
        {"a/b(c)", "......"},
    };
    for (const Case& c : cases) {
        Open({10});
        view.text.LoadDocument(rtf::RtfDocument::FromPlainText(c.source));
        const std::size_t length = std::string_view(c.source).size();
        // What was bold or italic before is cleared first.
        view.text.SetRangeFormat(
            0, length,
            [] {
                rtf::CharFormat f;
                f.bold = true;
                f.italic = true;
                return f;
            }(),
            rtf::kCharBold | rtf::kCharItalic);
        view.text.SetSelection(0, length);
        editor->HighlightSourceCode();
        std::string mask;
        for (std::size_t i = 0; i < length; ++i) {
            const rtf::CharFormat f = view.text.Document().CharFormatAt(i);
            mask += f.bold ? 'B' : f.italic ? 'I' : '.';
        }
        EXPECT_EQ(mask, c.mask) << c.source;
    }
}

TEST_F(TopicEditorTest, SourceCodeStyleHighlightsAndOtherStylesDoNot) {
    Open({10});
    view.text.LoadDocument(rtf::RtfDocument::FromPlainText("begin x"));
    view.text.SetSelection(0, 7);
    editor->ApplyTextStyleMacro(*styles.BuiltIn("*SourceCode"));
    EXPECT_TRUE(view.text.Document().CharFormatAt(0).bold);
    EXPECT_EQ(view.text.Document().CharFormatAt(0).face, "Courier New");

    helpproject::TTextStyleMacro lookalike = *styles.BuiltIn("*SourceCode");
    view.text.LoadDocument(rtf::RtfDocument::FromPlainText("begin x"));
    view.text.SetSelection(0, 7);
    editor->ApplyTextStyleMacro(lookalike);
    EXPECT_FALSE(view.text.Document().CharFormatAt(0).bold);

    // The font alone: the paragraph keeps its alignment.
    helpproject::TTextStyleMacro centred = *styles.BuiltIn("*TopicTitle");
    centred.Alignment = 2;
    editor->ApplyMacroFont(centred);
    EXPECT_TRUE(view.text.Document().CharFormatAt(0).bold);
    EXPECT_EQ(view.text.Document().ParaFormatAt(0).alignment, rtf::Alignment::Left);
}

TEST_F(TopicEditorTest, TopicPropertiesMovesTheCurrentTopicAndShowsIt) {
    Open({5, 9, 20});
    editor->GoToTopicID(5);
    editor->TopicProperties(5, [](TFootnoteDialogModel& dialog) {
        dialog.SetNumber(9);
        dialog.BuildTag = "net";
        return true;
    });
    EXPECT_EQ(Current(), 10);
    EXPECT_EQ(editor->PropertyBar().Number, 10);
    EXPECT_EQ(Topic(10).TopicID, "Vellumar10");
    EXPECT_EQ(editor->BuildTagList(), std::vector<std::string>{"net"});
    EXPECT_TRUE(session->Modified());
}

TEST_F(TopicEditorTest, HistoryFollowsATopicRenumberedThroughItsProperties) {
    Open({5, 9, 20});
    editor->GoToTopicID(9);
    editor->GoToTopicID(20);
    for (const std::int32_t number : {9, 20}) {
        SCOPED_TRACE(number);
        editor->TopicProperties(number, [number](TFootnoteDialogModel& dialog) {
            dialog.SetNumber(number + 100);
            return true;
        });
        bool seen = false;
        for (const auto& entry : editor->History()) {
            EXPECT_NE(entry.Number, number);
            seen = seen || entry.Number == number + 100;
        }
        EXPECT_TRUE(seen);
    }
    const auto menu = editor->HistoryMenu();
    ASSERT_FALSE(menu.empty());
    EXPECT_EQ(menu[0].Number, 109);
    editor->GoToTopicID(menu[0].Number);
    EXPECT_EQ(Current(), 109);
}

TEST(PropertyBarFilters, BrowseAndBuildTagRefuseCodeCharacters) {
    using helpproject::TTopicColumn;
    for (TTopicColumn column : {TTopicColumn::BrowseSequence, TTopicColumn::BuildTag}) {
        const TKeyFilter filter = TTopicEditor::PropertyFilter(column);
        EXPECT_EQ(filter.FilterInserted("main:(10) #x@y\\z"), "main:(10) xyz");
        EXPECT_EQ(filter.MaxLength(), 50u);
    }
    EXPECT_EQ(TTopicEditor::PropertyFilter(TTopicColumn::KKeywords).MaxLength(), 16383u);
    EXPECT_TRUE(TTopicEditor::PropertyFilter(TTopicColumn::Status).AcceptsKey('#'));
}

// A topic whose text the editor cannot hold (nested too deeply) shows a
// read-only notice; nothing typed or kept in the editor ever reaches that
// topic, not through a store, a renumbering, Undo or Redo.
TEST_F(TopicEditorTest, TextThatCannotBeShownIsNeverOverwritten) {
    Open({10, 20});
    const helpproject::TStringList deep = {
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}",
        std::string(1100, '{') + "deep" + std::string(1100, '}') + "\\par", "}"};
    Topic(20).SetText(deep);
    Type("text of topic 10");
    editor->GoToTopicID(20);
    EXPECT_FALSE(editor->TextLoaded());
    EXPECT_TRUE(view.text.ReadOnly());
    EXPECT_EQ(EditorText().rfind(std::string(kTextNotShown), 0), 0u) << EditorText();
    EXPECT_EQ(EditorText().find("text of topic 10"), std::string::npos);
    EXPECT_TRUE(LinesHold(Topic(10).Text, "text of topic 10"));

    // What commands put into the editor anyway is not stored; the bar is.
    Type("typed over the notice");
    editor->SetKKeywords("kept");
    editor->SetNumberBox(25);
    editor->StoreTopic();
    EXPECT_EQ(Topic(25).Text, deep);
    EXPECT_EQ(Topic(25).KKeywords, "kept");
    editor->UndoCurrent();
    editor->RedoCurrent();
    editor->StoreTopic();
    EXPECT_EQ(Topic(25).Text, deep);

    // Another topic shows as before.
    editor->GoToTopicID(10);
    EXPECT_TRUE(editor->TextLoaded());
    EXPECT_FALSE(view.text.ReadOnly());
    EXPECT_NE(EditorText().find("text of topic 10"), std::string::npos);
}
