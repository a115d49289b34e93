#include <gtest/gtest.h>

#include "editor/dialogs/buttondialogmodel.h"
#include "editor/dialogs/topicpicker.h"

using namespace editor;

namespace {

// Topics 10 "Zeta", 20 "Alpha" with ID intro, 30 "Mid".
std::unique_ptr<helpproject::TBrindlewovenProject> Project() {
    auto p = std::make_unique<helpproject::TBrindlewovenProject>();
    p->ClearTopics();
    p->AddTopic(10, "Zeta");
    p->AddTopic(20, "Alpha")->TopicID = "intro";
    p->AddTopic(30, "Mid");
    return p;
}

std::vector<std::string> Texts(const TTopicPicker& picker) {
    std::vector<std::string> out;
    for (const auto& item : picker.Items())
        out.push_back(item.Text);
    return out;
}

} // namespace

TEST(TopicPicker, TwoDisplayLists) {
    auto project = Project();
    TTopicPicker picker(*project);
    EXPECT_EQ(Texts(picker), (std::vector<std::string>{"Alpha (20)", "Mid (30)", "Zeta (10)"}));
    picker.SetNumberStyleKeepingNumber(true, false);
    EXPECT_EQ(Texts(picker), (std::vector<std::string>{"10: Zeta", "20: Alpha", "30: Mid"}));
    EXPECT_EQ(picker.SelectedIndex(), -1);
}

TEST(TopicPicker, SwitchingKeepsThePickedTopicOrTheTypedText) {
    auto project = Project();
    TTopicPicker picker(*project);
    picker.Select(0);
    EXPECT_EQ(picker.Number(), 20);
    EXPECT_EQ(picker.TopicID(), "intro");
    picker.SetNumberStyleKeepingID(true);
    EXPECT_EQ(picker.Text(), "20: Alpha");
    EXPECT_EQ(picker.SelectedIndex(), 1);
    picker.SetNumberStyleKeepingNumber(false, false);
    EXPECT_EQ(picker.Text(), "Alpha (20)");

    // A typed context string, or a number no topic has, stays as typed.
    for (const char* typed : {"my_topic", "99"}) {
        picker.SetText(typed);
        picker.SetNumberStyleKeepingID(true);
        EXPECT_EQ(picker.Text(), typed);
        EXPECT_EQ(picker.TopicID(), typed);
        picker.SetNumberStyleKeepingID(false);
    }
}

TEST(TopicPicker, ButtonDialogSelectsTheFirstTopicWhenNoneIs) {
    auto project = Project();
    TButtonDialogModel button(*project);
    button.Show();
    EXPECT_EQ(button.Topic().Text(), "Alpha (20)");
    button.Caption = "Go";
    EXPECT_EQ(button.Code(), "{button Go,20}");
    button.Topic().Select(2);
    button.SetSortByNumber(true);
    EXPECT_EQ(button.Topic().Text(), "10: Zeta");
    EXPECT_EQ(button.Code(), "{button Go,10}");
    button.LinkToTopic = false;
    button.Macro = "JumpID(\"a.hlp\",\"x\")";
    EXPECT_FALSE(button.TopicEnabled());
    EXPECT_TRUE(button.MacroEnabled());
    EXPECT_EQ(button.Code(), "{button Go,JumpID(\"a.hlp\",\"x\")}");
}
