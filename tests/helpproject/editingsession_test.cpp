#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "helpproject/editingsession.h"
#include "platform/tempfolder.h"

using namespace helpproject;

namespace {

// A project holding exactly the given topic numbers (titles "T<n>").
std::unique_ptr<TBrindlewovenProject> ProjectWith(std::initializer_list<std::int32_t> numbers) {
    auto p = std::make_unique<TBrindlewovenProject>();
    p->ClearTopics();
    for (std::int32_t n : numbers)
        p->AddTopic(n, "T" + std::to_string(n));
    return p;
}

std::vector<std::int32_t> GridNumbers(const TEditingSession& s) {
    std::vector<std::int32_t> out;
    for (const auto* t : s.Project().SortedTopics())
        out.push_back(t->Number);
    return out;
}

class EditingSessionTest : public ::testing::Test {
protected:
    platform::TempFolder dir{"bwsession"};
    std::string PathOf(const std::string& name) const { return (dir.Path() / name).string(); }
};

} // namespace

TEST_F(EditingSessionTest, NewSessionShowsTopic10Unmodified) {
    TEditingSession s;
    ASSERT_NE(s.CurrentTopic(), nullptr);
    EXPECT_EQ(s.CurrentTopic()->Number, 10);
    EXPECT_EQ(s.CurrentTopic()->Title, "<new topic>");
    EXPECT_FALSE(s.Modified());
    EXPECT_EQ(s.SortOrder(), TTopicSortOrder{});
}

// The start topic is the first one numbered above 1, else the first topic.
TEST_F(EditingSessionTest, StartTopicOfAProject) {
    struct Case {
        std::initializer_list<std::int32_t> numbers;
        std::int32_t current;
    };
    for (const Case& c : {Case{{1, 5, 9}, 5}, Case{{1}, 1}, Case{{2, 3}, 2}}) {
        TEditingSession s(ProjectWith(c.numbers));
        ASSERT_NE(s.CurrentTopic(), nullptr);
        EXPECT_EQ(s.CurrentTopic()->Number, c.current);
    }
    TEditingSession empty(ProjectWith({}));
    EXPECT_EQ(empty.CurrentTopic(), nullptr);
}

TEST_F(EditingSessionTest, ReplaceProjectHandsTheOldOneBack) {
    auto first = ProjectWith({1, 5, 9});
    TBrindlewovenProject* firstRaw = first.get();
    TEditingSession s(std::move(first));
    s.SortByColumn(TTopicColumn::Title);
    s.SetModified();

    auto second = ProjectWith({3, 7});
    TBrindlewovenProject* secondRaw = second.get();
    std::unique_ptr<TBrindlewovenProject> old = s.ReplaceProject(std::move(second));
    EXPECT_EQ(old.get(), firstRaw);
    EXPECT_EQ(&s.Project(), secondRaw);
    EXPECT_EQ(s.CurrentTopic(), secondRaw->TopicByNumber(3));
    EXPECT_FALSE(s.Modified());
    // The grid order is the new project's own, as for a freshly created one.
    EXPECT_EQ(s.SortOrder(), TTopicSortOrder{});

    s.SetModified();
    EXPECT_THROW(s.ReplaceProject(nullptr), EProjectError);
    EXPECT_EQ(&s.Project(), secondRaw);
    EXPECT_EQ(s.CurrentTopic()->Number, 3);
    EXPECT_TRUE(s.Modified());

    s.NewProject();
    EXPECT_EQ(s.Project().TopicCount(), 1);
    EXPECT_EQ(s.CurrentTopic()->Number, 10);
    EXPECT_FALSE(s.Modified());
}

TEST_F(EditingSessionTest, OpenAndSave) {
    const std::string file = PathOf("p.bwv");
    {
        auto p = ProjectWith({1, 20, 30});
        p->Title = "Saved";
        p->SaveToFile(file, nullptr);
    }
    TEditingSession s;
    s.SetModified();
    s.SortByColumn(TTopicColumn::Status);
    TTextStyleList styles;
    s.OpenProject(file, &styles);
    EXPECT_EQ(s.Project().Title, "Saved");
    EXPECT_EQ(s.Project().FileName, file);
    EXPECT_EQ(s.CurrentTopic()->Number, 20);
    EXPECT_FALSE(s.Modified());
    EXPECT_EQ(s.SortOrder(), TTopicSortOrder{});

    s.CurrentTopic()->Title = "changed";
    s.SetModified();
    const std::string copy = PathOf("copy.bwv");
    s.SaveProject(copy, &styles);
    EXPECT_FALSE(s.Modified());
    EXPECT_EQ(s.Project().FileName, copy);

    s.SetModified();
    EXPECT_THROW(s.SaveProject(PathOf("missing/folder/p.bwv"), &styles), EProjectError);
    EXPECT_TRUE(s.Modified());
    EXPECT_EQ(s.Project().FileName, copy);
}

// A file that cannot be read leaves everything of the session as it was.
TEST_F(EditingSessionTest, FailedOpenChangesNothing) {
    const std::string bad = PathOf("bad.bwv");
    std::ofstream(bad, std::ios::binary) << "Brindlewoven project file.\r\n16\r\n...\r\nx\r\n";
    TEditingSession s(ProjectWith({1, 2, 3}));
    TBrindlewovenProject* before = &s.Project();
    s.GoToTopic(3);
    s.SetModified();
    s.SortByColumn(TTopicColumn::Title);
    TTextStyleList styles;
    styles.Add("Mine", TTextStyleMacro{});
    for (const std::string& name : {bad, PathOf("none.bwv")}) {
        EXPECT_THROW(s.OpenProject(name, &styles), EProjectError) << name;
        EXPECT_EQ(&s.Project(), before);
        EXPECT_EQ(s.CurrentTopic()->Number, 3);
        EXPECT_TRUE(s.Modified());
        EXPECT_EQ(s.SortOrder(), (TTopicSortOrder{TTopicColumn::Title, false}));
        EXPECT_NE(styles.Find("Mine"), nullptr);
    }
}

TEST_F(EditingSessionTest, CurrentTopicMustBelongToTheProject) {
    TEditingSession s(ProjectWith({1, 2, 3}));
    EXPECT_EQ(s.GoToTopic(1)->Number, 1);
    EXPECT_EQ(s.CurrentTopic()->Number, 1);
    EXPECT_THROW(s.GoToTopic(4), ENoSuchTopic);
    EXPECT_EQ(s.CurrentTopic()->Number, 1);

    TBrindlewovenTopic stranger(2, "same number, other object");
    EXPECT_THROW(s.SetCurrentTopic(&stranger), ENoSuchTopic);
    EXPECT_THROW(s.SetCurrentTopic(nullptr), ENoSuchTopic);
    EXPECT_EQ(s.CurrentTopic()->Number, 1);
    s.SetCurrentTopic(s.Project().TopicByNumber(3));
    EXPECT_EQ(s.CurrentTopic()->Number, 3);
    EXPECT_FALSE(s.Modified());
}

TEST_F(EditingSessionTest, DeleteTopicKeepsACurrentTopic) {
    TEditingSession s(ProjectWith({10, 20, 30}));
    s.GoToTopic(10);
    s.DeleteTopic(20); // not current: the current topic stays
    EXPECT_EQ(s.CurrentTopic()->Number, 10);
    EXPECT_TRUE(s.Modified());

    s.GoToTopic(30);
    s.DeleteTopic(30); // the last one: the next topic wraps to the first
    EXPECT_EQ(s.CurrentTopic()->Number, 10);
    EXPECT_EQ(GridNumbers(s), (std::vector<std::int32_t>{10}));

    s.SetModified(false);
    EXPECT_THROW(s.DeleteTopic(99), ENoSuchTopic);
    EXPECT_FALSE(s.Modified());

    s.Project().TopicByNumber(10)->Title = "only";
    s.DeleteTopic(10); // none left: a new topic 10 takes its place
    ASSERT_EQ(s.Project().TopicCount(), 1);
    EXPECT_EQ(s.CurrentTopic(), s.Project().TopicByNumber(10));
    EXPECT_EQ(s.CurrentTopic()->Title, "<new topic>");
    EXPECT_EQ(s.Project().TopicsByNumber().front().Text, "10: <new topic>");
}

// Clicking a header sorts by it ascending; the same header again reverses.
TEST_F(EditingSessionTest, HeaderClicksSortTheGrid) {
    TEditingSession s(ProjectWith({1, 2, 3}));
    s.Project().TopicByNumber(1)->Title = "beta";
    s.Project().TopicByNumber(2)->Title = "Alpha";
    s.Project().TopicByNumber(3)->Title = "alpha";
    s.Project().TopicByNumber(1)->Status = "a";
    s.Project().TopicByNumber(2)->Status = "c";
    s.Project().TopicByNumber(3)->Status = "b";
    TBrindlewovenTopic* current = s.GoToTopic(2);
    struct Click {
        TTopicColumn column;
        bool descending;
        std::vector<std::int32_t> order;
    };
    for (const Click& c : {
             Click{TTopicColumn::Title, false, {2, 3, 1}},
             Click{TTopicColumn::Title, true, {1, 3, 2}},
             Click{TTopicColumn::Title, false, {2, 3, 1}},
             Click{TTopicColumn::Status, false, {1, 3, 2}},
             Click{TTopicColumn::Number, false, {1, 2, 3}},
             Click{TTopicColumn::Number, true, {3, 2, 1}},
         }) {
        s.SortByColumn(c.column);
        EXPECT_EQ(s.SortOrder(), (TTopicSortOrder{c.column, c.descending}));
        EXPECT_EQ(GridNumbers(s), c.order) << static_cast<int>(c.column);
    }
    EXPECT_EQ(s.CurrentTopic(), current);
    EXPECT_FALSE(s.Modified());
}
