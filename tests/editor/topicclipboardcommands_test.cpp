#include "editor/topicclipboardcommands.h"

#include <gtest/gtest.h>

#include "editorfixture_support.h"
#include "helpproject/brindlewovenerror.h"
#include "helpproject/topicclipboard.h"

using namespace editor;
using editortest::EditorFixture;
using helpproject::EProjectError;
using helpproject::TBrindlewovenTopic;

namespace {

class TopicClipboardCommandsTest : public EditorFixture {
protected:
    void SetUp() override {
        Open({10, 12, 40});
        commands = std::make_unique<TTopicClipboardCommands>(*editor);
    }
    // Topic 12 with every field the record carries set.
    void FillTopic12(const std::string& id) {
        TBrindlewovenTopic& t = Topic(12);
        t.Title = "Copied topic";
        t.KKeywords = "alpha;beta";
        t.AKeywords = "a1";
        t.BKeywords = "TThing";
        t.BrowseSequence = "main:010";
        t.BuildTag = "pro";
        t.Status = "Done";
        t.Window = "wide";
        t.EntryMacro = "Back()";
        t.TopicID = id;
        t.Bookmark = true;
        t.SetText({"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}", "\\pard\\f0 Copied body\\par }"});
    }

    std::unique_ptr<TTopicClipboardCommands> commands;
};

} // namespace

TEST_F(TopicClipboardCommandsTest, CopyOfTheCurrentTopicHoldsWhatTheBarShows) {
    editor->GoToTopicID(12);
    editor->TitleTyped("Typed title");
    Type("typed text");
    const TTopicClipboardContent content = commands->Copy(12);
    EXPECT_EQ(content.Text, "Brindlewoven topic: Typed title");
    TBrindlewovenTopic probe(99, "x");
    helpproject::LoadFromClipboardData(probe, content.Record);
    EXPECT_EQ(probe.Title, "Typed title");
    bool found = false;
    for (const std::string& line : probe.Text)
        found = found || line.find("typed text") != std::string::npos;
    EXPECT_TRUE(found);
    EXPECT_EQ(Topic(12).Title, "Typed title"); // stored on the way
}

TEST_F(TopicClipboardCommandsTest, PasteKeepsNumbersAndOwnAutomaticID) {
    struct Case {
        const char* copiedID;
        const char* expectedID;
    };
    for (const Case& c : {Case{"Vellumar12", "Vellumar40"}, Case{"intro", "intro"}}) {
        SetUp();
        FillTopic12(c.copiedID);
        Topic(40).TopicID = TBrindlewovenTopic::AutomaticID(40);
        const TTopicClipboardContent content = commands->Copy(12);
        // Into another project: topic 40 of a fresh one, made current.
        Open({10, 40});
        commands = std::make_unique<TTopicClipboardCommands>(*editor);
        Topic(40).TopicID = TBrindlewovenTopic::AutomaticID(40);
        editor->GoToTopicID(40);
        commands->Paste(40, content.Record);
        const TBrindlewovenTopic& t = Topic(40);
        EXPECT_EQ(t.Number, 40);
        EXPECT_EQ(t.TopicID, c.expectedID) << c.copiedID;
        EXPECT_EQ(t.Title, "Copied topic");
        EXPECT_EQ(t.KKeywords, "alpha;beta");
        EXPECT_EQ(t.AKeywords, "a1");
        EXPECT_EQ(t.BKeywords, "TThing");
        EXPECT_EQ(t.BrowseSequence, "main:010");
        EXPECT_EQ(t.BuildTag, "pro");
        EXPECT_EQ(t.Status, "Done");
        EXPECT_EQ(t.Window, "wide");
        EXPECT_EQ(t.EntryMacro, "Back()");
        EXPECT_FALSE(t.Bookmark); // the record carries no bookmark
        EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{10, 40}));
        EXPECT_EQ(Project().TopicByNumber(40), &t);
        // Shown at once and left modified; the history names the new title.
        EXPECT_EQ(editor->PropertyBar().Title, "Copied topic");
        EXPECT_NE(EditorText().find("Copied body"), std::string::npos);
        EXPECT_TRUE(view.text.Modified());
        EXPECT_TRUE(session->Modified());
        EXPECT_EQ(editor->History()[0].Number, 40);
        EXPECT_EQ(editor->History()[0].Title, "Copied topic");
        // The sorted title list knows the new title.
        bool listed = false;
        for (const auto& item : Project().TopicsByTitle())
            listed = listed || (item.Topic == &t && item.Text.find("Copied topic") == 0);
        EXPECT_TRUE(listed);
    }
}

TEST_F(TopicClipboardCommandsTest, PasteOnAnotherRowKeepsTheCurrentTopicAndTellsTheClients) {
    FillTopic12("intro");
    const TTopicClipboardContent content = commands->Copy(12);
    editor->GoToTopicID(10);
    const int storedBefore = view.stored;
    commands->Paste(40, content.Record);
    EXPECT_EQ(Current(), 10);
    EXPECT_EQ(editor->PropertyBar().Title, "T10");
    EXPECT_EQ(Topic(40).Title, "Copied topic");
    EXPECT_EQ(Topic(12).Title, "Copied topic");
    EXPECT_EQ(Topic(12).Number, 12);
    EXPECT_EQ(view.stored, storedBefore + 1);
    EXPECT_TRUE(session->Modified());
}

TEST_F(TopicClipboardCommandsTest, DamagedOrForeignRecordIsRefusedAndChangesNothing) {
    editor->GoToTopicID(40);
    Type("unstored");
    std::string tooLong = helpproject::SaveToClipboardData(Topic(12));
    tooLong[2560] = '\x7f'; // text length beyond the record
    for (const std::string& record : {std::string("Some other program's data"), tooLong}) {
        const std::string before = EditorText();
        try {
            commands->Paste(40, record);
            ADD_FAILURE() << "accepted a damaged record";
        } catch (const EProjectError& error) {
            EXPECT_EQ(
                std::string(error.what()).rfind("The clipboard does not hold a valid topic", 0), 0u)
                << error.what();
        }
        EXPECT_EQ(Current(), 40);
        EXPECT_EQ(Topic(40).Title, "T40");
        EXPECT_EQ(EditorText(), before);
    }
}

TEST_F(TopicClipboardCommandsTest, CutDeletesAndUndoBringsTheTopicBack) {
    FillTopic12("intro");
    // The current topic and another row.
    for (const bool current : {true, false}) {
        SetUp();
        FillTopic12("intro");
        editor->GoToTopicID(current ? 12 : 10);
        const TTopicClipboardContent content = commands->Cut(12);
        EXPECT_EQ(Project().FindTopic(12), nullptr);
        EXPECT_EQ(content.Text, "Brindlewoven topic: Copied topic");
        ASSERT_FALSE(editor->UndoMenu().Empty());
        editor->UndoItemClick(0);
        const TBrindlewovenTopic* back = Project().FindTopic(12);
        ASSERT_NE(back, nullptr) << current;
        EXPECT_EQ(back->Title, "Copied topic");
        EXPECT_EQ(back->KKeywords, "alpha;beta");
        EXPECT_EQ(back->TopicID, "intro");
    }
}

TEST_F(TopicClipboardCommandsTest, PasteRefusesFieldsLongerThanTheirBoxesTake) {
    struct Case {
        const char* name;
        std::string TBrindlewovenTopic::*field;
        std::size_t limit;
    };
    const Case cases[] = {
        {"title", &TBrindlewovenTopic::Title, 127},
        {"context string", &TBrindlewovenTopic::TopicID, 127},
        {"browse sequence", &TBrindlewovenTopic::BrowseSequence, 50},
        {"build tag", &TBrindlewovenTopic::BuildTag, 50},
        {"window", &TBrindlewovenTopic::Window, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        editor->GoToTopicID(40);
        const std::string before = EditorText();
        TBrindlewovenTopic source(12, "Source");
        source.*c.field = std::string(c.limit + 1, 'f');
        try {
            commands->Paste(40, helpproject::SaveToClipboardData(source));
            ADD_FAILURE() << "accepted";
        } catch (const EProjectError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "The topic on the clipboard cannot be pasted. The topic's " +
                          std::string(c.name) + " has " + std::to_string(c.limit + 1) +
                          " characters; its box takes at most " + std::to_string(c.limit) + ".");
        }
        EXPECT_EQ(Topic(40).Title, "T40");
        EXPECT_EQ(EditorText(), before);
        EXPECT_FALSE(session->Modified());
        // As long as the box takes, it is pasted.
        source.*c.field = std::string(c.limit, 'f');
        commands->Paste(40, helpproject::SaveToClipboardData(source));
        EXPECT_EQ(Topic(40).*c.field, std::string(c.limit, 'f'));
    }
    // The receiving topic's own context string is no part of the record's
    // fields: however long, it does not stop a paste that keeps it.
    SetUp();
    Topic(40).TopicID = std::string(200, 'c');
    commands->Paste(40, helpproject::SaveToClipboardData(TBrindlewovenTopic(12, "Auto ID")));
    EXPECT_EQ(Topic(40).Title, "Auto ID");
    EXPECT_EQ(Topic(40).TopicID, std::string(200, 'c'));
}
