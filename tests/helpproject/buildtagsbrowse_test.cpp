#include <gtest/gtest.h>

#include "helpproject/brindlewovenproject.h"

using namespace helpproject;

namespace {

std::unique_ptr<TBrindlewovenProject> ProjectWith(std::initializer_list<std::int32_t> numbers) {
    auto p = std::make_unique<TBrindlewovenProject>();
    p->DeleteTopic(10);
    for (std::int32_t n : numbers)
        p->AddTopic(n, "T" + std::to_string(n));
    return p;
}

std::string What(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no exception)";
}

} // namespace

TEST(BuildTags, Filter) {
    struct Case {
        const char* projectTags;
        const char* topicTag;
        bool included;
    };
    for (const Case& c : {
             Case{"", "anything", true},
             Case{"Pro;Net", "net", true},
             Case{"Pro;Net", "", true},
             Case{"Pro;Net", "Lite", false},
             Case{"Pro;Net", "Lite;PRO", true},
             Case{"Version", "Pro Version", true},  // a space separates tags too
             Case{"Pro", "   ", true},              // splits into no tags at all
             Case{"Pro", "\"Pro Version\"", false}, // quotes group one tag
             Case{"\"Pro Version\"", "\"Pro Version\"", true},
         }) {
        auto p = ProjectWith({1, 2});
        p->BuildTags = c.projectTags;
        p->TopicByNumber(1)->BuildTag = c.topicTag;
        p->TopicByNumber(2)->BuildTag = ""; // keeps the build from failing
        p->FilterTopicsByBuildTags();
        EXPECT_EQ(p->TopicByNumber(1)->Included, c.included)
            << c.projectTags << " / " << c.topicTag;
        EXPECT_TRUE(p->TopicByNumber(2)->Included);
    }
}

TEST(BuildTags, AllExcludedStopsTheBuild) {
    auto p = ProjectWith({1, 2});
    p->BuildTags = "Pro";
    p->TopicByNumber(1)->BuildTag = "Lite";
    p->TopicByNumber(2)->BuildTag = "Net";
    EXPECT_EQ(What([&] { p->FilterTopicsByBuildTags(); }),
              "The build tag settings you specified caused all topics to be excluded from the "
              "help project.  Therefore, the help file has not been compiled.");
    EXPECT_FALSE(p->TopicByNumber(1)->Included);
    EXPECT_FALSE(p->TopicByNumber(2)->Included);
}

TEST(BuildTags, ListOfTags) {
    auto p = ProjectWith({1, 2, 3});
    p->TopicByNumber(1)->BuildTag = "Pro; Net";
    p->TopicByNumber(2)->BuildTag = " net ";
    p->TopicByNumber(3)->BuildTag = "Lite";
    TStringList list{"stale"};
    p->GetBuildTags(list, true);
    EXPECT_EQ(list, (TStringList{"Lite", "net", "Pro"}));
    p->GetBuildTags(list, false);
    EXPECT_EQ(list, (TStringList{"Lite", "net", "Pro; Net"}));
}

TEST(BrowseSequences, NamesAndStatuses) {
    auto p = ProjectWith({1, 2, 3, 4, 5});
    p->TopicByNumber(1)->BrowseSequence = "main:000010";
    p->TopicByNumber(2)->BrowseSequence = "extra:000010";
    p->TopicByNumber(3)->BrowseSequence = "main:000020";
    p->TopicByNumber(4)->BrowseSequence = "noposition";
    p->TopicByNumber(5)->BrowseSequence = "Zeta:000010";
    TStringList names;
    p->GetBrowseSequences(names);
    EXPECT_EQ(names, (TStringList{"main", "extra", "Zeta"})); // descending, byte-wise

    p->TopicByNumber(1)->Status = "Done";
    p->TopicByNumber(2)->Status = "done";
    p->TopicByNumber(3)->Status = "Testing";
    TStringList statuses;
    p->GetStatuses(statuses);
    EXPECT_EQ(statuses, (TStringList{"Writing", "Testing", "Done"}));
}

TEST(BrowseSequences, ReadAndWrite) {
    auto p = ProjectWith({1, 2, 3, 4});
    p->TopicByNumber(1)->BrowseSequence = "main:000030";
    p->TopicByNumber(2)->BrowseSequence = "other:000010";
    p->TopicByNumber(3)->BrowseSequence = "main:000010";
    p->TopicByNumber(4)->BrowseSequence = "mainly:000005";
    TStringList in, out;
    p->ReadBrowseSequence("main", in, out);
    EXPECT_EQ(in, (TStringList{"T3 (3)", "T1 (1)"}));
    EXPECT_EQ(out, (TStringList{"T2 (2)", "T4 (4)"}));

    p->WriteBrowseSequence("main", {"T1 (1)", "T2 (2)"}, {"T4 (4)", "x (y) T3 (3)", "T2 (2)"});
    EXPECT_EQ(p->TopicByNumber(1)->BrowseSequence, "");
    EXPECT_EQ(p->TopicByNumber(4)->BrowseSequence, "main:000010");
    EXPECT_EQ(p->TopicByNumber(3)->BrowseSequence, "main:000020");
    EXPECT_EQ(p->TopicByNumber(2)->BrowseSequence, "main:000030");
}

TEST(BrowseSequences, FailuresChangeNothing) {
    auto p = ProjectWith({1, 2});
    p->TopicByNumber(1)->BrowseSequence = "main:000010";
    p->TopicByNumber(2)->BrowseSequence = "main:abc";
    TStringList in{"keep"}, out{"keep"};
    EXPECT_EQ(What([&] { p->ReadBrowseSequence("main", in, out); }),
              "The browse sequence entry \"main:abc\" of topic #2 does not hold a position "
              "number.");
    EXPECT_EQ(in, TStringList{"keep"});
    try {
        p->ReadBrowseSequence("main", in, out);
    } catch (const EBrindlewoven& e) {
        EXPECT_EQ(e.TopicNumber(), 2);
    }

    // The first items are fine; a later one is not: no field changes.
    EXPECT_EQ(What([&] {
                  p->WriteBrowseSequence("main", {"T1 (1)"}, {"T2 (2)", "nothing"});
              }),
              "\"nothing\" does not name a topic number.");
    EXPECT_EQ(What([&] {
                  p->WriteBrowseSequence("main", {}, {"T2 (2)", "gone (9)"});
              }),
              "No such topic");
    EXPECT_EQ(p->TopicByNumber(1)->BrowseSequence, "main:000010");
    EXPECT_EQ(p->TopicByNumber(2)->BrowseSequence, "main:abc");
}

TEST(DisplayStrings, ParseAndFind) {
    struct Case {
        const char* text;
        bool numberStyle;
        std::int32_t number;
        const char* title;
    };
    for (const Case& c : {
             Case{"Intro (12)", false, 12, "Intro"},
             Case{"A (b) (7)", false, 7, "A (b)"},
             Case{"12: Intro", true, 12, "Intro"},
             Case{"12: A: b", true, 12, "A: b"},
             Case{"42", true, 42, ""},
             Case{"42", false, 42, ""},
             Case{"", true, -1, ""},
             Case{"Intro (12)", true, -1, ""},
             Case{"12: Intro", false, -1, ""},
             Case{"x (y)", false, -1, "x"},
         }) {
        EXPECT_EQ(TBrindlewovenProject::NumberFromListText(c.text, c.numberStyle), c.number)
            << c.text;
        EXPECT_EQ(TBrindlewovenProject::TitleFromListText(c.text, c.numberStyle), c.title)
            << c.text;
    }

    auto p = ProjectWith({3, 12});
    p->TopicByNumber(12)->Title = "Intro";
    p->TopicByNumber(12)->TopicID = "intro";
    p->UpdateTopicLists(p->TopicByNumber(12));
    EXPECT_EQ(p->IDFromListText("Intro (12)", false), "intro");
    EXPECT_EQ(p->IDFromListText("12: Intro", true), "intro");
    EXPECT_EQ(p->IDFromListText("some_id", true), "some_id");
    EXPECT_EQ(p->IDFromListText("", true), "");
    EXPECT_THROW(p->IDFromListText("Gone (99)", false), ENoSuchTopic);
    EXPECT_EQ(p->TopicListIndex(12, true), 1);
    EXPECT_EQ(p->TopicListIndex(12, false), 0); // "Intro (12)" before "T3 (3)"
    EXPECT_EQ(p->TopicListIndex(99, false), -1);
    EXPECT_EQ(p->ListTextFromID("INTRO", true), "12: Intro");
    EXPECT_EQ(p->ListTextFromID("intro", false), "Intro (12)");
    EXPECT_EQ(p->ListTextFromID("missing", false), "missing");
    TTopicList list;
    p->FillTopicList(list, true);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Text, "T3 (3)");
    EXPECT_EQ(list[1].Topic->Number, 12);
    p->FillTopicList(list, false);
    EXPECT_EQ(list[1].Text, "Intro");
}

TEST(DisplayStrings, PickerListOrder) {
    auto p = ProjectWith({1, 2, 3, 4});
    p->TopicByNumber(1)->Title = "\xC9"
                                 "clair"; // sorts beside E, not after z
    p->TopicByNumber(2)->Title = "zeta";
    p->TopicByNumber(3)->Title = "Delta";
    p->TopicByNumber(4)->Title = "echo";
    for (int n = 1; n <= 4; ++n)
        p->UpdateTopicLists(p->TopicByNumber(n));
    std::vector<std::string> texts;
    for (const auto& item : p->TopicsByTitle())
        texts.push_back(item.Text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Delta (3)", "echo (4)",
                                               "\xC9"
                                               "clair (1)",
                                               "zeta (2)"}));
    std::vector<std::string> numbers;
    for (const auto& item : p->TopicsByNumber())
        numbers.push_back(item.Text);
    EXPECT_EQ(numbers, (std::vector<std::string>{"1: \xC9"
                                                 "clair",
                                                 "2: zeta", "3: Delta", "4: echo"}));
}
