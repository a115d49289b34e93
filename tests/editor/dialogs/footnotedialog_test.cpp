#include <gtest/gtest.h>

#include "components/rtf/stringlisttransfer.h"
#include "editor/dialogs/footnotedialogmodel.h"

using namespace editor;
using helpproject::TBrindlewovenTopic;

namespace {

std::unique_ptr<helpproject::TBrindlewovenProject> Project(std::initializer_list<int> numbers) {
    auto p = std::make_unique<helpproject::TBrindlewovenProject>();
    p->ClearTopics();
    for (int n : numbers)
        p->AddTopic(n, "T" + std::to_string(n));
    return p;
}

TFootnoteDialogModel Dialog(helpproject::TBrindlewovenProject& project, int number) {
    return TFootnoteDialogModel(project, *project.TopicByNumber(number), {"pro"}, {"Writing"});
}

} // namespace

TEST(FootnoteDialog, ShowTakesTheTopicsFields) {
    auto project = Project({5});
    TBrindlewovenTopic& topic = *project->TopicByNumber(5);
    topic.TopicID.clear();
    topic.EntryMacro = "Back()";
    TFootnoteDialogModel dialog = Dialog(*project, 5);
    EXPECT_EQ(topic.TopicID, "Vellumar5");
    EXPECT_EQ(dialog.Context, "Vellumar5");
    EXPECT_EQ(dialog.Number(), 5);
    EXPECT_EQ(dialog.EntryMacro, "Back()");
    EXPECT_EQ(dialog.BuildTagList(), std::vector<std::string>{"pro"});
}

// The context string follows the number box while it is automatic.
TEST(FootnoteDialog, NumberBoxCarriesAnAutomaticContextString) {
    auto project = Project({5});
    TFootnoteDialogModel dialog = Dialog(*project, 5);
    dialog.SetNumber(9);
    EXPECT_EQ(dialog.Context, "Vellumar9");
    dialog.Context = "";
    dialog.SetNumber(8);
    EXPECT_EQ(dialog.Context, "Vellumar8");
    dialog.Context = "intro";
    dialog.SetNumber(7);
    EXPECT_EQ(dialog.Context, "intro");
}

// A changed number keeps every field of the topic; an automatic context
// string names the number actually taken, a custom one stays.
TEST(FootnoteDialog, RenumberingKeepsFieldsAndNamesTheNumberTaken) {
    struct Case {
        const char* id;
        int requested;
        bool updateLinks;
        int taken;
        const char* expectedID;
    };
    const Case cases[] = {
        {"Vellumar5", 9, true, 9, "Vellumar9"},
        {"intro", 9, true, 9, "intro"},
        {"Vellumar5", 20, true, 21, "Vellumar21"}, // 20 is taken
        {"vellumar5", 20, false, 21, "Vellumar21"},
    };
    for (const Case& c : cases) {
        auto project = Project({5, 20});
        TBrindlewovenTopic& topic = *project->TopicByNumber(5);
        topic.TopicID = c.id;
        topic.BKeywords = "TMyClass";
        topic.Window = "main";
        topic.Bookmark = true;
        topic.SetText(
            {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}", "{\\colortbl ;}", "\\pard\\f0 Body\\par }"});
        project->TopicByNumber(20)->SetText({"go \\{linkID=5\\}"});
        project->ContentsLines = {"1 T5=" + std::string(c.id)};

        TFootnoteDialogModel dialog = Dialog(*project, 5);
        dialog.SetNumber(c.requested);
        dialog.EntryMacro = "Back()";
        dialog.Ok(c.updateLinks);

        EXPECT_EQ(dialog.Topic().Number, c.taken);
        EXPECT_EQ(&dialog.Topic(), &topic);
        EXPECT_EQ(project->FindTopic(5), nullptr);
        EXPECT_EQ(topic.TopicID, c.expectedID) << c.id << " to " << c.requested;
        EXPECT_EQ(topic.BKeywords, "TMyClass");
        EXPECT_EQ(topic.Window, "main");
        EXPECT_TRUE(topic.Bookmark);
        EXPECT_EQ(topic.EntryMacro, "Back()");
        EXPECT_EQ(rtf::LoadFromStrings(topic.Text).Text(), "Body\r");
        EXPECT_EQ(project->TopicByNumber(20)->Text[0],
                  c.updateLinks ? "go \\{linkID=" + std::to_string(c.taken) + "\\}"
                                : "go \\{linkID=5\\}");
        EXPECT_EQ(project->ContentsLines[0], "1 T5=" + std::string(c.expectedID));
    }
}

TEST(FootnoteDialog, SameNumberTakesTheContextString) {
    auto project = Project({5});
    project->ContentsLines = {"1 T5=Vellumar5"};
    TFootnoteDialogModel dialog = Dialog(*project, 5);
    dialog.Context = "  start  ";
    dialog.Ok(true);
    EXPECT_EQ(dialog.Topic().TopicID, "start");
    EXPECT_EQ(project->ContentsLines[0], "1 T5=start");

    TFootnoteDialogModel again = Dialog(*project, 5);
    again.Context = "";
    again.Ok(true);
    EXPECT_EQ(again.Topic().TopicID, "start");
}

// The title in the text is replaced as text: never inside a control word,
// and written escaped.
TEST(FootnoteDialog, TitleInTheTextIsReplacedThroughTheEngine) {
    auto project = Project({5});
    TBrindlewovenTopic& topic = *project->TopicByNumber(5);
    topic.Title = "par";
    topic.SetText({"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}", "{\\colortbl ;}",
                   "\\pard\\plain\\f0 The par title\\par", "\\pard\\f0 par again\\par }"});
    TFootnoteDialogModel dialog = Dialog(*project, 5);
    dialog.Title = "New {x} \\ y";
    dialog.Ok(true);
    EXPECT_EQ(topic.Title, "New {x} \\ y");
    EXPECT_EQ(rtf::LoadFromStrings(topic.Text).Text(), "The New {x} \\ y title\rpar again\r");
    EXPECT_EQ(project->TopicsByTitle().front().Text, "New {x} \\ y (5)");
}
