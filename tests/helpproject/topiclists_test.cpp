#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "helpproject/brindlewovenproject.h"

using namespace helpproject;

namespace {

// A project holding exactly the given topic numbers (titles "T<n>").
std::unique_ptr<TBrindlewovenProject> ProjectWith(std::initializer_list<std::int32_t> numbers) {
    auto p = std::make_unique<TBrindlewovenProject>();
    p->DeleteTopic(10);
    for (std::int32_t n : numbers)
        p->AddTopic(n, "T" + std::to_string(n));
    return p;
}

std::vector<std::int32_t> Numbers(const std::vector<TBrindlewovenTopic*>& view) {
    std::vector<std::int32_t> out;
    for (auto* t : view)
        out.push_back(t->Number);
    return out;
}

std::vector<std::int32_t> TopicNumbers(const TBrindlewovenProject& p) {
    std::vector<std::int32_t> out;
    for (const auto& t : p.Topics())
        out.push_back(t->Number);
    return out;
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

TEST(TopicLists, FirstFreeNumberAndAdd) {
    auto p = ProjectWith({1, 2, 3, 5});
    EXPECT_EQ(p->FirstFreeNumber(0), 4);
    EXPECT_EQ(p->FirstFreeNumber(5), 6);
    EXPECT_EQ(p->FirstFreeNumber(7), 7);
    auto q = ProjectWith({2});
    EXPECT_EQ(q->FirstFreeNumber(-7), 1);

    auto r = ProjectWith({10, 20});
    TBrindlewovenTopic* t = r->AddTopic(10, "new");
    EXPECT_EQ(t->Number, 11);
    EXPECT_EQ(TopicNumbers(*r), (std::vector<std::int32_t>{10, 11, 20}));
    EXPECT_EQ(r->TopicsByNumber()[1].Text, "11: new");
    EXPECT_EQ(Numbers(r->SortedTopics()), (std::vector<std::int32_t>{10, 11, 20}));
}

TEST(TopicLists, NumbersNearTheTopRefused) {
    auto p = ProjectWith({MaxTopicNumber - 1, MaxTopicNumber});
    EXPECT_EQ(What([&] { p->FirstFreeNumber(MaxTopicNumber - 1); }),
              "There is no free topic number from 2147483646 up to the highest topic number "
              "2147483647.");
    EXPECT_THROW(p->AddTopic(MaxTopicNumber, "x"), EProjectError);
    EXPECT_EQ(p->TopicCount(), 2);
    EXPECT_EQ(p->FirstFreeNumber(MaxTopicNumber - 2), MaxTopicNumber - 2);
    EXPECT_EQ(TBrindlewovenProject::IncreasedTopicNumber(100, 10), 110);
    EXPECT_EQ(TBrindlewovenProject::IncreasedTopicNumber(MaxTopicNumber - 10, 10), MaxTopicNumber);
    EXPECT_EQ(What([] { TBrindlewovenProject::IncreasedTopicNumber(MaxTopicNumber - 5, 10); }),
              "Topic number 2147483642 plus 10 is outside the topic numbers 1 to 2147483647.");
}

TEST(TopicLists, LookupsAndFailures) {
    auto p = ProjectWith({1, 5, 9});
    p->TopicByNumber(5)->TopicID = "Intro";
    p->TopicByNumber(9)->TopicID = "INTRO";
    EXPECT_EQ(p->TopicByNumber(9)->Number, 9);
    EXPECT_EQ(p->TopicByIndex(2)->Number, 5);
    EXPECT_EQ(p->TopicByID("intro")->Number, 5);
    EXPECT_EQ(p->NextTopicByID("intro", p->TopicByNumber(5))->Number, 9);
    EXPECT_THROW(p->NextTopicByID("intro", p->TopicByNumber(9)), ENoSuchTopic);
    EXPECT_EQ(What([&] { p->TopicByNumber(4); }), "No such topic");
    EXPECT_EQ(What([&] { p->TopicByID("none"); }), "No such topic");
    EXPECT_EQ(What([&] { p->TopicByIndex(0); }), "Topic index out of bounds");
    EXPECT_EQ(What([&] { p->TopicByIndex(4); }), "Topic index out of bounds");
    EXPECT_THROW(p->DeleteTopic(100), ENoSuchTopic);
    EXPECT_THROW(p->DeleteTopic(4), ENoSuchTopic);
    EXPECT_EQ(p->TopicCount(), 3);
    p->DeleteTopic(5);
    EXPECT_EQ(TopicNumbers(*p), (std::vector<std::int32_t>{1, 9}));
    EXPECT_EQ(Numbers(p->SortedTopics()), (std::vector<std::int32_t>{1, 9}));
    ASSERT_EQ(p->TopicsByNumber().size(), 2u);
    EXPECT_EQ(p->TopicsByNumber()[1].Text, "9: T9");
    ASSERT_EQ(p->TopicsByTitle().size(), 2u);
}

TEST(TopicLists, WalkingWrapsAround) {
    auto p = ProjectWith({10, 20, 30});
    struct Case {
        std::int32_t n, previous, next;
    };
    for (const Case& c : {Case{10, 30, 20}, Case{20, 10, 30}, Case{30, 20, 10}, Case{25, 20, 30},
                          Case{5, 30, 10}, Case{99, 30, 10}}) {
        EXPECT_EQ(p->PreviousTopic(c.n)->Number, c.previous) << c.n;
        EXPECT_EQ(p->NextTopic(c.n)->Number, c.next) << c.n;
    }
}

TEST(TopicLists, Bookmarks) {
    auto p = ProjectWith({10, 20, 30, 40, 50});
    EXPECT_EQ(p->NextBookmark(10)->Number, 50);
    EXPECT_EQ(p->PreviousBookmark(50)->Number, 10);
    p->TopicByNumber(20)->Bookmark = true;
    p->TopicByNumber(40)->Bookmark = true;
    EXPECT_EQ(p->NextBookmark(10)->Number, 20);
    EXPECT_EQ(p->NextBookmark(20)->Number, 40);
    EXPECT_EQ(p->NextBookmark(40)->Number, 50);
    EXPECT_EQ(p->PreviousBookmark(40)->Number, 20);
    EXPECT_EQ(p->PreviousBookmark(30)->Number, 20);
    EXPECT_EQ(p->PreviousBookmark(20)->Number, 10);
    auto empty = ProjectWith({});
    EXPECT_EQ(What([&] { empty->NextBookmark(1); }), "Topic not found");
    EXPECT_EQ(What([&] { empty->PreviousBookmark(1); }), "Topic not found");
}

TEST(TopicLists, SortByTitleExample) {
    auto p = ProjectWith({1, 2, 3});
    p->TopicByNumber(1)->Title = "beta";
    p->TopicByNumber(2)->Title = "Alpha";
    p->TopicByNumber(3)->Title = "alpha";
    p->SortBy({TTopicColumn::Title});
    EXPECT_EQ(Numbers(p->SortedTopics()), (std::vector<std::int32_t>{2, 3, 1}));
    p->SortBy({TTopicColumn::Title, true});
    EXPECT_EQ(Numbers(p->SortedTopics()), (std::vector<std::int32_t>{1, 3, 2}));
    p->SortBy({});
    EXPECT_EQ(Numbers(p->SortedTopics()), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(What([] { TopicColumnFromCode(8); }), "Sort column 8 does not exist");
    EXPECT_THROW(p->SortBy({static_cast<TTopicColumn>(8)}), EProjectError);
    EXPECT_EQ(p->SortOrder(), TTopicSortOrder{});
}

// Inserting one by one must give exactly the order a full sort gives, for
// every column in both directions.
TEST(TopicLists, SortedInsertionEqualsFullSort) {
    std::mt19937 rng(1234);
    const char* words[] = {"alpha", "Alpha", "beta", "", "\xE9t\xE9", "Zed", "zed", "m"};
    for (std::uint8_t column = 0; column <= kLastTopicColumn; ++column) {
        for (bool descending : {false, true}) {
            auto p = ProjectWith({});
            p->SortBy({static_cast<TTopicColumn>(column), descending});
            for (int i = 0; i < 300; ++i) {
                std::int32_t n = static_cast<std::int32_t>(rng() % 2000) + 1;
                if (p->FindTopic(n))
                    continue;
                auto topic = std::make_unique<TBrindlewovenTopic>(n, words[rng() % 8]);
                topic->KKeywords = words[rng() % 8];
                topic->AKeywords = words[rng() % 8];
                topic->BKeywords = words[rng() % 8];
                topic->BrowseSequence = words[rng() % 8];
                topic->BuildTag = words[rng() % 8];
                topic->Status = words[rng() % 8];
                p->InsertTopic(std::move(topic));
            }
            std::vector<TBrindlewovenTopic*> expected;
            for (const auto& t : p->Topics())
                expected.push_back(t.get());
            std::sort(expected.begin(), expected.end(),
                      [&](auto* a, auto* b) { return p->CompareTopics(a, b) < 0; });
            EXPECT_EQ(p->SortedTopics(), expected) << int(column) << descending;
            std::vector<TBrindlewovenTopic*> inserted = p->SortedTopics();
            p->RebuildSortedView();
            EXPECT_EQ(p->SortedTopics(), inserted);
        }
    }
}

TEST(TopicLists, SortedNeighboursAndBookmarks) {
    auto p = ProjectWith({1, 2, 3, 4});
    p->TopicByNumber(1)->Title = "d";
    p->TopicByNumber(2)->Title = "c";
    p->TopicByNumber(3)->Title = "b";
    p->TopicByNumber(4)->Title = "a";
    p->SortBy({TTopicColumn::Title}); // 4 3 2 1
    EXPECT_EQ(p->SortedIndexOf(4), 0);
    EXPECT_EQ(p->SortedTopic(2)->Number, 3);
    EXPECT_EQ(p->SortedPrevious(4)->Number, 1);
    EXPECT_EQ(p->SortedNext(1)->Number, 4);
    EXPECT_EQ(p->SortedNext(3)->Number, 2);
    EXPECT_EQ(p->SortedNextBookmark(4)->Number, 1);
    EXPECT_EQ(p->SortedPreviousBookmark(1)->Number, 4);
    p->TopicByNumber(2)->Bookmark = true;
    EXPECT_EQ(p->SortedNextBookmark(4)->Number, 2);
    EXPECT_EQ(p->SortedPreviousBookmark(1)->Number, 2);
    EXPECT_EQ(What([&] { p->SortedIndexOf(9); }), "Topic not in sorted list");
    EXPECT_EQ(What([&] { p->SortedNext(9); }), "Topic not in sorted list");
    EXPECT_EQ(What([&] { p->SortedTopic(5); }), "Topic index out of bounds");
    p->TopicByNumber(1)->Title = "0";
    p->UpdateSortedView(p->TopicByNumber(1));
    EXPECT_EQ(Numbers(p->SortedTopics()), (std::vector<std::int32_t>{1, 4, 3, 2}));
}

TEST(TopicLists, ChangeTopicNumberKeepsOrder) {
    auto p = ProjectWith({10, 20, 30});
    p->ChangeTopicNumber(10, 40);
    EXPECT_EQ(TopicNumbers(*p), (std::vector<std::int32_t>{20, 30, 40}));
    EXPECT_EQ(p->TopicsByNumber().back().Text, "40: T10");
    EXPECT_EQ(p->TopicListIndex(40, false), 0);
    EXPECT_THROW(p->ChangeTopicNumber(20, 30), EProjectError);
    EXPECT_EQ(TopicNumbers(*p), (std::vector<std::int32_t>{20, 30, 40}));
}

TEST(TopicLists, ChangeTopicNumbersAtOnce) {
    auto p = ProjectWith({10, 20, 30});
    TBrindlewovenTopic* ten = p->TopicByNumber(10);
    p->ChangeTopicNumbers({{10, 20}, {20, 10}, {30, 5}});
    EXPECT_EQ(p->TopicByNumber(20), ten);
    std::vector<std::int32_t> numbers;
    for (const auto& item : p->TopicsByNumber())
        numbers.push_back(item.Topic->Number);
    EXPECT_EQ(numbers, (std::vector<std::int32_t>{5, 10, 20}));
    EXPECT_EQ(p->TopicsByNumber().front().Text, "5: T30");
    EXPECT_EQ(p->SortedTopics().front()->Number, 5);
    // A number taken twice, or a topic that is not there: nothing changes.
    EXPECT_THROW(p->ChangeTopicNumbers({{5, 10}}), EProjectError);
    EXPECT_THROW(p->ChangeTopicNumbers({{5, 6}, {7, 8}}), ENoSuchTopic);
    EXPECT_EQ(p->TopicByNumber(5)->Title, "T30");
    EXPECT_EQ(p->FindTopic(6), nullptr);
}

TEST(TopicLists, RenumberLinks) {
    auto p = ProjectWith({12, 40});
    TBrindlewovenTopic* t = p->TopicByNumber(40);
    t->Text = {
        "Go\\{linkID=12\\} and \\{button Next,12\\} but not \\{linkID=120\\}",
        "\\{LinkID=*12>main\\}\\{linkid=%\\v 12\\v0 \\}",
        "\\{button Help,EF(`f12.hlp')\\} \\{linkID=f12.hlp\\} \\{linkID=012\\}",
        "plain 12 text",
        "\\{linkID=12",
    };
    p->TopicByNumber(12)->Text = {"no codes"};
    t->HtmlParagraphCache = {"cached"};
    p->TopicByNumber(12)->HtmlParagraphCache = {"cached"};
    p->ContentsLines = {"2 Intro=Vellumar12>main", "2 Other=Vellumar123", "1 Head",
                        "2 Again=Vellumar12"};
    p->RenumberTopicLinks(12, 40);
    EXPECT_EQ(t->Text[0], "Go\\{linkID=40\\} and \\{button Next,40\\} but not \\{linkID=120\\}");
    EXPECT_EQ(t->Text[1], "\\{LinkID=*40>main\\}\\{linkid=%40\\}");
    EXPECT_EQ(t->Text[2], "\\{button Help,EF(`f12.hlp')\\} \\{linkID=f12.hlp\\} \\{linkID=40\\}");
    EXPECT_EQ(t->Text[3], "plain 12 text");
    EXPECT_EQ(t->Text[4], "\\{linkID=40");
    EXPECT_TRUE(t->HtmlParagraphCache.empty());
    EXPECT_EQ(p->TopicByNumber(12)->HtmlParagraphCache, TStringList{"cached"});
    EXPECT_EQ(p->ContentsLines, (TStringList{"2 Intro=Vellumar40>main", "2 Other=Vellumar123",
                                             "1 Head", "2 Again=Vellumar40"}));
}

TEST(TopicLists, ContentsIDAndTitleChanges) {
    auto p = ProjectWith({1});
    p->ContentsLines = {"2 Intro=INTRO", "2 Intro=intro>main", "2 Intro=intro@x.hlp",
                        "2 Start=Xintro"};
    p->ReplaceContentsTopicID("intro", "start");
    EXPECT_EQ(p->ContentsLines, (TStringList{"2 Intro=start", "2 Intro=intro>main",
                                             "2 Intro=intro@x.hlp", "2 Start=Xintro"}));

    TBrindlewovenTopic* t = p->TopicByNumber(1);
    t->TopicID = "start";
    t->Title = "intro";
    p->ContentsLines = {"2 Intro=start", "2 Intro=start>main", "2 Other=start", "2 Intro=startx",
                        "1 Intro"};
    p->ReplaceContentsTopicTitle(*t, "Beginning");
    EXPECT_EQ(p->ContentsLines, (TStringList{"2 Beginning=start", "2 Beginning=start>main",
                                             "2 Other=start", "2 Intro=startx", "1 Intro"}));
}

TEST(TopicLists, GetTargetsIgnoresCase) {
    auto p = ProjectWith({1, 2});
    p->TopicByNumber(1)->Text = {"a\\{target=one\\} b\\{Target=t\\b wo\\b0 \\}",
                                 "\\{TARGET= one \\}\\{target=\\}"};
    p->TopicByNumber(2)->Text = {"\\{target=three"};
    TStringList list{"existing"};
    p->GetTargets(list);
    EXPECT_EQ(list, (TStringList{"existing", "one", "two", "three"}));
}

namespace {

// The rules the derived lists keep: the sorted view is the topics in the
// order CompareTopics gives, the number list runs in number order, and the
// title list holds every topic once, sorted by text.
void ExpectDerivedListsFollow(const TBrindlewovenProject& p, const std::string& step) {
    std::vector<TBrindlewovenTopic*> expected;
    for (const auto& t : p.Topics())
        expected.push_back(t.get());
    std::sort(expected.begin(), expected.end(),
              [&](auto* a, auto* b) { return p.CompareTopics(a, b) < 0; });
    EXPECT_EQ(p.SortedTopics(), expected) << step;
    ASSERT_EQ(p.TopicsByNumber().size(), p.Topics().size()) << step;
    ASSERT_EQ(p.TopicsByTitle().size(), p.Topics().size()) << step;
    for (std::size_t i = 0; i < p.Topics().size(); ++i) {
        const TBrindlewovenTopic* t = p.Topics()[i].get();
        EXPECT_EQ(p.TopicsByNumber()[i].Topic, t) << step;
        EXPECT_EQ(p.TopicsByNumber()[i].Text, NumberStyleText(t->Title, t->Number)) << step;
        EXPECT_GE(p.TopicListIndex(t->Number, false), 0) << step;
    }
}

} // namespace

// Every operation that adds, removes or renumbers a topic keeps the sorted
// view and the picker lists in step with the topic list.
TEST(TopicLists, DerivedListsFollowEveryOperation) {
    std::mt19937 rng(99);
    const char* titles[] = {"beta", "Alpha", "alpha", "", "Zed", "m"};
    auto p = ProjectWith({});
    p->SortBy({TTopicColumn::Title, true});
    for (int step = 0; step < 400; ++step) {
        const std::int32_t n = static_cast<std::int32_t>(rng() % 60) + 1;
        const std::string what = std::to_string(step);
        switch (rng() % 5) {
        case 0:
            p->AddTopic(n, titles[rng() % 6]);
            break;
        case 1:
            if (!p->FindTopic(n))
                p->InsertTopic(std::make_unique<TBrindlewovenTopic>(n, titles[rng() % 6]));
            break;
        case 2:
            if (p->FindTopic(n))
                p->DeleteTopic(n);
            break;
        case 3:
            if (p->TopicCount() > 0) {
                const std::int32_t from = p->TopicByIndex(1 + rng() % p->TopicCount())->Number;
                if (!p->FindTopic(n))
                    p->ChangeTopicNumber(from, n);
            }
            break;
        default:
            if (auto* t = p->FindTopic(n)) {
                TBrindlewovenProject::TTopicFields fields;
                fields.Title = titles[rng() % 6];
                fields.KKeywords = titles[rng() % 6];
                const std::int32_t to = static_cast<std::int32_t>(rng() % 60) + 1;
                if (rng() % 2 == 0 && !p->FindTopic(to))
                    fields.Number = to;
                p->SetTopicFields(*t, fields);
            }
            break;
        }
        ExpectDerivedListsFollow(*p, what);
        if (step == 150)
            p->SortBy({TTopicColumn::KKeywords});
        if (step == 250)
            p->SortBy({TTopicColumn::Number});
    }
    p->ClearTopics();
    EXPECT_EQ(p->TopicCount(), 0);
    EXPECT_TRUE(p->SortedTopics().empty());
    EXPECT_TRUE(p->TopicsByTitle().empty());
    EXPECT_TRUE(p->TopicsByNumber().empty());
    p->AddTopic(5, "again");
    ExpectDerivedListsFollow(*p, "after clear");
}

// A topic that is not the project's own is refused before any list changes.
TEST(TopicLists, UpdatesRefuseForeignTopics) {
    auto p = ProjectWith({1, 2});
    TBrindlewovenTopic stranger(2, "stranger");
    EXPECT_THROW(p->UpdateSortedView(&stranger), ENoSuchTopic);
    EXPECT_THROW(p->UpdateTopicLists(&stranger), ENoSuchTopic);
    EXPECT_THROW(p->UpdateSortedView(nullptr), ENoSuchTopic);
    TBrindlewovenProject::TTopicFields retitle;
    retitle.Title = "changed";
    EXPECT_THROW(p->SetTopicFields(stranger, retitle), ENoSuchTopic);
    // A taken number refuses the whole change.
    retitle.Number = 2;
    EXPECT_THROW(p->SetTopicFields(*p->FindTopic(1), retitle), EProjectError);
    EXPECT_EQ(p->FindTopic(1)->Title, "T1");
    ExpectDerivedListsFollow(*p, "foreign");
    EXPECT_EQ(p->TopicsByTitle()[1].Text, "T2 (2)");
}
