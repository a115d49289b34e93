#include <gtest/gtest.h>

#include "components/scriptedmessenger.h"
#include "components/undobase.h"
#include "editor/keywordindex.h"

using editor::TKeywordIndex;
using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;

namespace {

class KeywordIndex : public ::testing::Test {
protected:
    KeywordIndex() : index(undo) { project.ClearTopics(); }

    TBrindlewovenTopic* Topic(std::int32_t number, const char* keywords) {
        TBrindlewovenTopic* topic = project.AddTopic(number, "T" + std::to_string(number));
        topic->KKeywords = keywords;
        return topic;
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (const auto& item : index.Items())
            rows.push_back(item.Text);
        return rows;
    }
    // The numbers of a row's topics, ascending.
    std::vector<std::int32_t> Numbers(int row) const {
        std::vector<std::int32_t> numbers;
        for (const TBrindlewovenTopic* topic : index.Item(row).Topics)
            numbers.push_back(topic->Number);
        std::sort(numbers.begin(), numbers.end());
        return numbers;
    }
    int Row(const char* text) const {
        const auto rows = Rows();
        const auto it = std::find(rows.begin(), rows.end(), text);
        return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
    }

    TBrindlewovenProject project;
    components::TUndoBase undo;
    TKeywordIndex index;
    components::TScriptedMessenger messenger;
};

using TRows = std::vector<std::string>;
using TNumbers = std::vector<std::int32_t>;

} // namespace

TEST_F(KeywordIndex, KeywordsAndSubKeywordsOfTheTopics) {
    Topic(10, "Printing,setup;Printing ;Fonts");
    Topic(20, " fonts ; printing , Margins;;  ;Zoom,");
    index.Build(project);
    // Sorted ignoring case; the topics are read from the last to the first,
    // and the spelling met first stays.
    EXPECT_EQ(Rows(), (TRows{"fonts", "printing", "     Margins", "     setup", "Zoom"}));
    EXPECT_EQ(Numbers(0), (TNumbers{10, 20}));
    EXPECT_EQ(Numbers(1), (TNumbers{10}));
    EXPECT_EQ(Numbers(2), (TNumbers{20}));
    EXPECT_EQ(Numbers(3), (TNumbers{10}));
    EXPECT_EQ(Numbers(4), (TNumbers{20})) << "an empty sub-keyword is the keyword itself";
}

TEST_F(KeywordIndex, OkWritesTheEntriesInIndexOrder) {
    Topic(10, "Printing,setup;Printing ;Fonts");
    Topic(20, "Zoom");
    index.Build(project);
    ASSERT_TRUE(index.ConfirmAndWrite(project, messenger));
    EXPECT_EQ(project.TopicByNumber(10)->KKeywords, "Fonts;Printing;Printing,setup;");
    EXPECT_EQ(project.TopicByNumber(20)->KKeywords, "Zoom;");
    EXPECT_TRUE(messenger.Records.empty());
}

TEST_F(KeywordIndex, NamesAsTyped) {
    index.Build(project);
    EXPECT_EQ(TKeywordIndex::KeywordName("A;B"), "AB");
    EXPECT_EQ(TKeywordIndex::KeywordName("  x, y ; "), "x y");
    EXPECT_EQ(TKeywordIndex::SubKeywordName(" a, b; "), "a, b");
    EXPECT_EQ(index.NewKeyword(" ;, "), -1);
    EXPECT_EQ(undo.GetUndoCount(), 0);

    components::TScriptedMessenger::TAnswer typed;
    typed.Result = components::mrOk;
    typed.Input = "A;B";
    typed.HasInput = true;
    messenger.QueueAnswer(typed);
    EXPECT_EQ(index.AskNewKeyword(messenger), 0);
    EXPECT_EQ(Rows(), (TRows{"AB"}));
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Caption, "New Keyword");
    EXPECT_EQ(messenger.Records[0].Text, "Please type in the new keyword:");
    // Cancel adds nothing.
    messenger.QueueAnswer(components::mrCancel);
    EXPECT_EQ(index.AskNewKeyword(messenger), -1);
    EXPECT_EQ(Rows(), (TRows{"AB"}));
}

TEST_F(KeywordIndex, NewKeywordsGoInOrderAndAnExistingOneIsFound) {
    Topic(10, "beta;delta,one");
    index.Build(project);
    EXPECT_EQ(index.NewKeyword("Charlie"), 1);
    EXPECT_EQ(index.NewKeyword("BETA"), 0) << "found, not added";
    EXPECT_EQ(index.NewSubKeyword(2, "zero"), 4) << "under the keyword of the row";
    EXPECT_EQ(index.NewSubKeyword(4, "ONE"), 3) << "found ignoring case";
    EXPECT_EQ(Rows(), (TRows{"beta", "Charlie", "delta", "     one", "     zero"}));
    EXPECT_EQ(undo.GetUndoCount(), 2);
    undo.Undo();
    undo.Undo();
    EXPECT_EQ(Rows(), (TRows{"beta", "delta", "     one"}));
    undo.Redo();
    undo.Redo();
    EXPECT_EQ(Rows(), (TRows{"beta", "Charlie", "delta", "     one", "     zero"}));
}

TEST_F(KeywordIndex, DeletingAKeywordTakesItsSubKeywordsInOneStep) {
    Topic(10, "A;B,x;B,y;C");
    index.Build(project);
    EXPECT_EQ(index.DeleteRow(1), 1);
    EXPECT_EQ(Rows(), (TRows{"A", "C"}));
    ASSERT_EQ(undo.GetUndoCount(), 1);
    EXPECT_EQ(undo.GetUndoItem(0)->GetDescription(), "deleting keyword \"B\"");
    undo.Undo();
    EXPECT_EQ(Rows(), (TRows{"A", "B", "     x", "     y", "C"}));
    EXPECT_EQ(Numbers(3), (TNumbers{10}));
    index.DeleteRow(2);
    EXPECT_EQ(Rows(), (TRows{"A", "B", "     y", "C"}));
}

TEST_F(KeywordIndex, RenamingASubKeywordOntoASiblingMergesAndOneUndoRestoresBoth) {
    Topic(10, "K,alpha");
    Topic(20, "K,beta");
    Topic(30, "K,alpha;K,beta");
    index.Build(project);
    ASSERT_EQ(Rows(), (TRows{"K", "     alpha", "     beta"}));
    EXPECT_EQ(index.ChangeKeyword(1, "Beta"), 1);
    EXPECT_EQ(Rows(), (TRows{"K", "     beta"}));
    EXPECT_EQ(Numbers(1), (TNumbers{10, 20, 30}));
    ASSERT_EQ(undo.GetUndoCount(), 1);
    EXPECT_EQ(undo.GetUndoItem(0)->GetDescription(), "changing keyword \"alpha\" into \"Beta\"");

    undo.Undo();
    EXPECT_EQ(Rows(), (TRows{"K", "     alpha", "     beta"}));
    EXPECT_EQ(Numbers(1), (TNumbers{10, 30}));
    EXPECT_EQ(Numbers(2), (TNumbers{20, 30}));
    undo.Redo();
    EXPECT_EQ(Rows(), (TRows{"K", "     beta"}));
    EXPECT_EQ(Numbers(1), (TNumbers{10, 20, 30}));
}

TEST_F(KeywordIndex, RenamingAKeywordOntoAnotherMergesTheirSubKeywords) {
    Topic(10, "Print,setup;Print");
    Topic(20, "Printing,setup;Printing,paper");
    index.Build(project);
    const int row = index.ChangeKeyword(0, "printing");
    EXPECT_EQ(Rows(), (TRows{"Printing", "     paper", "     setup"}));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(Numbers(0), (TNumbers{10}));
    EXPECT_EQ(Numbers(2), (TNumbers{10, 20}));
    undo.Undo();
    EXPECT_EQ(Rows(), (TRows{"Print", "     setup", "Printing", "     paper", "     setup"}));
    EXPECT_EQ(Numbers(1), (TNumbers{10}));
    EXPECT_EQ(Numbers(4), (TNumbers{20}));
    // A new spelling of the same name only changes its case.
    EXPECT_EQ(index.ChangeKeyword(0, "PRINT"), 0);
    EXPECT_EQ(Rows()[0], "PRINT");
    EXPECT_EQ(Numbers(0), (TNumbers{10}));
}

TEST_F(KeywordIndex, TopicsAddedAndRemovedWithUndo) {
    TBrindlewovenTopic* a = Topic(10, "K");
    TBrindlewovenTopic* b = Topic(20, "");
    index.Build(project);
    EXPECT_TRUE(index.AddTopic(0, b));
    EXPECT_FALSE(index.AddTopic(0, b)) << "already there";
    EXPECT_TRUE(index.RemoveTopic(0, a));
    EXPECT_EQ(Numbers(0), (TNumbers{20}));
    ASSERT_EQ(undo.GetUndoCount(), 2);
    EXPECT_EQ(undo.GetUndoItem(0)->GetDescription(), "adding topic \"T20\" to keyword \"K\"");
    undo.Undo();
    undo.Undo();
    EXPECT_EQ(Numbers(0), (TNumbers{10}));
    // The first topic of a new keyword is part of adding it.
    const int row = index.NewKeyword("New");
    index.AddTopic(row, a);
    EXPECT_EQ(undo.GetUndoCount(), 1);
    undo.Undo();
    EXPECT_EQ(Rows(), (TRows{"K"}));
    undo.Redo();
    EXPECT_EQ(Numbers(1), (TNumbers{10}));
}

TEST_F(KeywordIndex, AKeywordWithoutTopicsButWithSubKeywordsIsQuestioned) {
    TBrindlewovenTopic* topic = Topic(10, "Main,Sub");
    Topic(20, "Other");
    index.Build(project);
    index.NewKeyword("Lonely"); // no topics, no sub-keywords: asks nothing
    messenger.QueueAnswer(components::mrNo);
    EXPECT_FALSE(index.ConfirmAndWrite(project, messenger));
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Text, TKeywordIndex::kSubKeywordQuestion);
    EXPECT_EQ(messenger.Records[0].Caption, "Index Editor");
    EXPECT_EQ(topic->KKeywords, "Main,Sub") << "No goes back to editing";
    // With nothing scripted the default button answers: No.
    EXPECT_FALSE(index.ConfirmAndWrite(project, messenger));
    messenger.QueueAnswer(components::mrYes);
    EXPECT_TRUE(index.ConfirmAndWrite(project, messenger));
    EXPECT_EQ(topic->KKeywords, "Main,Sub;");

    index.DeleteRow(index.KeywordRow(2)); // Main with its sub-keyword
    messenger.Records.clear();
    EXPECT_TRUE(index.ConfirmAndWrite(project, messenger));
    EXPECT_TRUE(messenger.Records.empty()) << "Lonely alone asks nothing";
    EXPECT_EQ(topic->KKeywords, "") << "and is written to no topic";
    EXPECT_EQ(project.TopicByNumber(20)->KKeywords, "Other;");
}
