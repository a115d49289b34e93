#include "editor/renumbercommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "components/scriptedmessenger.h"
#include "editorfixture_support.h"
#include "helpproject/shg.h"

namespace {

namespace fs = std::filesystem;
using editor::TMergeCriterion;
using editor::TMergeSelection;
using editor::TRenumberCommands;
using editor::TRenumberRequest;
using editor::TSameIDChoice;
using helpproject::TBrindlewovenProject;
using helpproject::TStringList;

std::string Link(std::int32_t number) {
    return "\\{linkID=" + std::to_string(number) + "\\}";
}

class TScriptHost : public editor::IRenumberHost {
public:
    bool RunRenumberDialog(editor::TRenumberDialogModel& model) override {
        ++renumberDialogs;
        return onRenumber && onRenumber(model);
    }
    std::optional<std::string> PromptMergeFile(const editor::TFileDialogSpec& dialog) override {
        titles.push_back(dialog.Title);
        return mergeFile;
    }
    bool RunMergeDialog(editor::TMergeDialogModel& model) override {
        return onMerge && onMerge(model);
    }
    void TopicsChanged() override { ++topicsChanged; }

    std::function<bool(editor::TRenumberDialogModel&)> onRenumber;
    std::function<bool(editor::TMergeDialogModel&)> onMerge;
    std::optional<std::string> mergeFile;
    std::vector<std::string> titles;
    int renumberDialogs = 0;
    int topicsChanged = 0;
};

class RenumberTest : public editortest::EditorFixture {
protected:
    void Open(std::initializer_list<std::int32_t> numbers) {
        EditorFixture::Open(numbers);
        commands = std::make_unique<TRenumberCommands>(*editor, messenger, host);
    }
    fs::path TempDir() {
        if (dir.empty()) {
            dir = fs::temp_directory_path() /
                  ("bw-renumber-" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
            fs::remove_all(dir);
            fs::create_directories(dir);
        }
        return dir;
    }
    void TearDown() override {
        if (!dir.empty())
            fs::remove_all(dir);
    }

    components::TScriptedMessenger messenger;
    TScriptHost host;
    std::unique_ptr<TRenumberCommands> commands;
    fs::path dir;
};

struct TRenumberCase {
    const char* name;
    std::vector<std::int32_t> topics;
    TRenumberRequest request;
    std::vector<std::int32_t> expected;
};

class RenumberTable : public RenumberTest, public ::testing::WithParamInterface<TRenumberCase> {};

TEST_P(RenumberTable, GivesTheRangeItsNumbers) {
    const TRenumberCase& c = GetParam();
    EditorFixture::Open({});
    session = std::make_unique<helpproject::TEditingSession>([&] {
        auto p = std::make_unique<TBrindlewovenProject>();
        p->ClearTopics();
        for (std::int32_t n : c.topics)
            p->AddTopic(n, "T" + std::to_string(n));
        return p;
    }());
    editor = std::make_unique<editor::TTopicEditor>(*session, view, styles, settings);
    commands = std::make_unique<TRenumberCommands>(*editor, messenger, host);
    commands->Renumber(c.request);
    EXPECT_EQ(Numbers(), c.expected);
    for (std::int32_t n : Numbers())
        EXPECT_EQ(Project().TopicByNumber(n)->Number, n);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenumberTable,
    ::testing::Values(
        TRenumberCase{"Shift", {10, 20, 30}, {10, 30, 20, 10}, {20, 30, 40}},
        // A new number held by a topic outside the range: the first free above.
        TRenumberCase{"AroundOthers", {10, 20, 30, 40}, {10, 20, 30, 10}, {30, 31, 40, 41}},
        TRenumberCase{"Down", {10, 20, 30}, {20, 30, 5, 5}, {5, 10, 11}},
        TRenumberCase{"Squeeze", {1, 2, 3, 100, 200}, {100, 200, 2, 1}, {1, 2, 3, 4, 5}},
        TRenumberCase{"EmptyRange", {10, 20}, {11, 19, 1, 1}, {10, 20}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RenumberTest, LinksFollowEachTopicOnce) {
    Open({10, 20, 30});
    Topic(10).Text = {"a " + Link(20) + " b " + Link(10), "\\{button Go,30\\} " + Link(40)};
    Topic(30).Text = {Link(30)};
    Project().ContentsLines = {"1 Ten=Vellumar10", "2 Thirty=Vellumar30>main", "2 Gone=Vellumar40"};
    commands->Renumber({10, 30, 20, 10});
    // 20 -> 30 and 30 -> 40: a link to 20 must not go on to 40; a link to
    // 40 (no topic) is nobody's and stays.
    EXPECT_EQ(Topic(20).Text,
              (TStringList{"a " + Link(30) + " b " + Link(20), "\\{button Go,40\\} " + Link(40)}));
    EXPECT_EQ(Topic(40).Text, TStringList{Link(40)});
    EXPECT_EQ(Project().ContentsLines,
              (TStringList{"1 Ten=Vellumar20", "2 Thirty=Vellumar40>main", "2 Gone=Vellumar40"}));
    EXPECT_EQ(Topic(20).TopicID, "Vellumar20");
    EXPECT_TRUE(session->Modified());
}

TEST_F(RenumberTest, OwnContextStringsStayAndTheCurrentTopicFollows) {
    Open({10, 20, 30});
    Topic(20).TopicID = "details";
    editor->GoToTopicID(20);
    editor->GoToTopicID(30);
    ASSERT_FALSE(editor->History()[1].Number == 0);
    editor->DeleteTopic(10);
    ASSERT_FALSE(editor->UndoMenu().Empty());
    commands->Renumber({20, 30, 100, 100});
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{100, 200}));
    EXPECT_EQ(Topic(100).TopicID, "details");
    EXPECT_EQ(Current(), 200);
    EXPECT_EQ(editor->PropertyBar().Number, 200);
    EXPECT_TRUE(editor->UndoMenu().Empty());
    EXPECT_TRUE(editor->RedoMenu().Empty());
    EXPECT_EQ(editor->History()[1].Number, 0);
    EXPECT_FALSE(editor->BulkUpdate());
}

TEST_F(RenumberTest, NumbersPastTheHighestAreRefusedBeforeAnyChange) {
    struct TCase {
        std::vector<std::int32_t> topics;
        TRenumberRequest request;
        std::string message;
    };
    const std::int32_t max = helpproject::MaxTopicNumber;
    const std::string advice = ".  Choose a lower first number or a smaller step.";
    for (const TCase& c :
         {TCase{{10, 20},
                {10, 20, max - 5, 10},
                "Renumbering 2 topics from 2147483642 in steps of 10 would pass the highest "
                "topic number 2147483647" +
                    advice},
          TCase{{10, max},
                {10, 10, max, 1},
                "Renumbering 1 topic from 2147483647 in steps of 1 would pass the highest topic "
                "number 2147483647: number 2147483647 is taken by a topic outside the range, "
                "and no higher number is free" +
                    advice},
          TCase{{10, 20, max - 1, max},
                {10, 20, max - 1, 1},
                "Renumbering 2 topics from 2147483646 in steps of 1 would pass the highest "
                "topic number 2147483647: number 2147483646 is taken by a topic outside the "
                "range, and no higher number is free" +
                    advice}}) {
        session = std::make_unique<helpproject::TEditingSession>([&] {
            auto p = std::make_unique<TBrindlewovenProject>();
            p->ClearTopics();
            for (std::int32_t n : c.topics)
                p->AddTopic(n, "T");
            return p;
        }());
        editor = std::make_unique<editor::TTopicEditor>(*session, view, styles, settings);
        commands = std::make_unique<TRenumberCommands>(*editor, messenger, host);
        try {
            commands->Renumber(c.request);
            ADD_FAILURE() << "renumbering to " << c.request.Start << " was not refused";
        } catch (const helpproject::EProjectError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
        EXPECT_EQ(Numbers(), c.topics);
        EXPECT_FALSE(session->Modified());
        EXPECT_FALSE(editor->BulkUpdate());
    }
}

TEST_F(RenumberTest, AbortLeavesTheProjectAsItWas) {
    Open({10, 20, 30});
    Topic(30).Text = {Link(10)};
    messenger.AbortAfter(2);
    EXPECT_THROW(commands->Renumber({10, 30, 100, 10}), components::EAbort);
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{10, 20, 30}));
    EXPECT_EQ(Topic(30).Text, TStringList{Link(10)});
    EXPECT_FALSE(session->Modified());
    EXPECT_FALSE(editor->BulkUpdate());
    EXPECT_FALSE(messenger.ProgressOpen);
}

TEST_F(RenumberTest, DialogOkRenumbersAndCancelChangesNothing) {
    Open({10, 20, 30});
    host.onRenumber = [](editor::TRenumberDialogModel& model) {
        EXPECT_EQ(model.Items(), (std::vector<std::string>{"10: T10", "20: T20", "30: T30"}));
        model.SetFromIndex(1);
        model.SetStart(50);
        return false;
    };
    commands->ProjectRenumber();
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{10, 20, 30}));
    host.onRenumber = [](editor::TRenumberDialogModel& model) {
        model.SetFromIndex(1);
        model.SetStart(50);
        model.SetGap(5);
        return true;
    };
    commands->ProjectRenumber();
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{10, 50, 55}));
    EXPECT_EQ(
        messenger.ProgressTexts,
        (std::vector<std::string>{"Setting up the renumber process...", "Renumbering topics...",
                                  "Gathering list of SHG files..."}));
}

// A picture of 2 x 2 pixels with the given hotspot targets, written by the
// core's writer.
void WriteShg(const fs::path& file, const std::vector<std::string>& targets) {
    helpproject::TSHG shg;
    shg.Bitmap.SetSize(2, 2);
    shg.BitCount = 24;
    std::uint16_t left = 0;
    for (const std::string& target : targets) {
        helpproject::TBrindlewovenHotspot spot;
        spot.HotspotType = target.find('(') != std::string::npos ? helpproject::HotspotMacro
                                                                 : helpproject::HotspotJump;
        spot.Left = left++;
        spot.Width = 1;
        spot.Height = 1;
        spot.Name = "spot" + std::to_string(left);
        spot.Target = target;
        shg.Hotspots.push_back(spot);
    }
    shg.SaveToFile(file.string(), false);
}

std::vector<std::string> ShgTargets(const fs::path& file) {
    helpproject::TSHG shg;
    shg.LoadFromFile(file.string(), false);
    std::vector<std::string> targets;
    for (const auto& spot : shg.Hotspots)
        targets.push_back(spot.Target);
    return targets;
}

TEST_F(RenumberTest, HotspotsFollowTheirTopicsOnceAndOtherFilesStayUntouched) {
    Open({10, 20, 30});
    const fs::path folder = TempDir();
    fs::create_directories(folder / "pics");
    Project().FileName = (folder / "help.bwv").string();
    Project().BitmapPaths = (folder / "pics").string() + ", ," + (folder / "nowhere").string();
    Topic(10).Text = {"\\{bmc map.SHG\\} \\{bml other.shg\\}", "\\{bmct missing.shg\\}"};
    Topic(20).Text = {"\\{BMR map.shg\\} \\{bmr broken.shg\\}"};
    WriteShg(folder / "map.SHG", {"Vellumar30", "Vellumar20", "Vellumar10", "Vellumar20>win",
                                  "JumpID(`x.hlp',`a')", "vellumar10", "Vellumar999"});
    WriteShg(folder / "pics" / "other.shg", {"Vellumar999", "intro"});
    std::ofstream(folder / "broken.shg") << "not a picture";
    const auto before = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(folder / "pics" / "other.shg", before);

    commands->Renumber({10, 30, 20, 10});

    EXPECT_EQ(ShgTargets(folder / "map.SHG"),
              (std::vector<std::string>{"Vellumar40", "Vellumar30", "Vellumar20", "Vellumar20>win",
                                        "JumpID(`x.hlp',`a')", "vellumar10", "Vellumar999"}));
    EXPECT_EQ(fs::last_write_time(folder / "pics" / "other.shg"), before);
    EXPECT_EQ(messenger.Texts(components::TScriptedMessenger::TRecord::Warning).size(), 1u);
    EXPECT_EQ(messenger.ProgressTexts.back(), "Renumbering hotspots in SHG files...");
}

TEST(RenumberFolders, SearchOrderAndNames) {
    TBrindlewovenProject project;
    project.FileName = "/p/help.bwv";
    project.BitmapPaths = "/b/pics,/a/art/, /p/";
    EXPECT_EQ(editor::SHGFolders(project),
              (std::vector<std::string>{"/a/art/", "/b/pics/", "/p/"}));
    project.TopicByNumber(10)->Text = {"\\{bmc B.shg\\}\\{bml a.shg\\} \\{bmc b.SHG\\}",
                                       "\\{bmc c:\\\\x.shg\\} \\{bmx y.shg\\} \\{bmlt z.shg\\}"};
    EXPECT_EQ(editor::GatherSHGFiles(project),
              (std::vector<std::string>{"a.shg", "B.shg", "z.shg"}));
}

// ---- merge ------------------------------------------------------------------------------

class MergeTest : public RenumberTest {
protected:
    // Saves the other project: 10 "X10" (links to 20 and 30), 20 "X20" in
    // sequence "main" with status Done, 30 "X30" in "Other:000010",
    // 40 "X40" with browse field "nocolon".
    std::string OtherFile() {
        TBrindlewovenProject other;
        other.ClearTopics();
        other.Title = "Other help";
        for (std::int32_t n : {10, 20, 30, 40})
            other.AddTopic(n, "X" + std::to_string(n));
        other.TopicByNumber(10)->Text = {Link(20) + Link(30)};
        other.TopicByNumber(20)->BrowseSequence = "main:000010";
        other.TopicByNumber(20)->Status = "Done";
        other.TopicByNumber(30)->BrowseSequence = "Other:000010";
        other.TopicByNumber(40)->BrowseSequence = "nocolon";
        const std::string file = (TempDir() / "other.bwv").string();
        helpproject::TTextStyleList theirs;
        theirs.Add("Theirs", helpproject::TTextStyleMacro{});
        other.SaveToFile(file, &theirs);
        return file;
    }
    std::vector<std::string> Titles() {
        std::vector<std::string> titles;
        for (const auto& topic : Project().Topics())
            titles.push_back(std::to_string(topic->Number) + " " + topic->Title);
        return titles;
    }
};

TEST_F(MergeTest, ClashChoices) {
    struct TCase {
        TSameIDChoice choice;
        std::vector<std::string> titles;
    };
    for (const TCase& c :
         {TCase{TSameIDChoice::Overwrite, {"10 X10", "20 X20", "30 X30", "40 X40"}},
          TCase{TSameIDChoice::DoNotAdd, {"10 T10", "20 T20", "30 X30", "40 X40"}},
          TCase{TSameIDChoice::ChangeID,
                {"10 T10", "11 X10", "20 T20", "21 X20", "30 X30", "40 X40"}}}) {
        Open({10, 20});
        Topic(20).Text = {"mine"};
        TMergeSelection selection;
        selection.SameID = c.choice;
        commands->MergeFile(OtherFile(), selection);
        EXPECT_EQ(Titles(), c.titles) << static_cast<int>(c.choice);
        EXPECT_TRUE(session->Modified());
        if (c.choice == TSameIDChoice::DoNotAdd) {
            EXPECT_EQ(Topic(20).Text, TStringList{"mine"});
        }
        if (c.choice == TSameIDChoice::ChangeID) {
            EXPECT_EQ(Topic(11).Text, TStringList{Link(21) + Link(30)});
        }
        if (c.choice == TSameIDChoice::Overwrite) {
            EXPECT_EQ(Topic(20).Status, "Done");
            EXPECT_EQ(Topic(20).TopicID, "Vellumar20");
        }
        EXPECT_EQ(Current(), 10);
        EXPECT_EQ(editor->PropertyBar().Title, Topic(10).Title);
        ASSERT_EQ(Project().TopicsByNumber().size(), Project().Topics().size());
    }
}

TEST_F(MergeTest, SelectionCriteria) {
    struct TCase {
        TMergeCriterion criterion;
        std::int32_t from, to;
        std::vector<std::string> browse, statuses;
        std::vector<std::string> titles;
    };
    for (const TCase& c : {
             TCase{TMergeCriterion::All,
                   0,
                   0,
                   {},
                   {},
                   {"5 T5", "10 X10", "20 X20", "30 X30", "40 X40"}},
             TCase{TMergeCriterion::TopicID, 20, 30, {}, {}, {"5 T5", "20 X20", "30 X30"}},
             TCase{TMergeCriterion::TopicID, 20, 20, {}, {}, {"5 T5", "20 X20"}},
             // "nocolon" has no ":" and never counts as a sequence.
             TCase{TMergeCriterion::BrowseSequence,
                   0,
                   0,
                   {"OTHER", "nocolon"},
                   {},
                   {"5 T5", "30 X30"}},
             TCase{TMergeCriterion::Status,
                   0,
                   0,
                   {},
                   {"writing"},
                   {"5 T5", "10 X10", "30 X30", "40 X40"}},
         }) {
        Open({5});
        TMergeSelection selection;
        selection.Criterion = c.criterion;
        selection.From = c.from;
        selection.To = c.to;
        selection.BrowseSequences = c.browse;
        selection.Statuses = c.statuses;
        commands->MergeFile(OtherFile(), selection);
        EXPECT_EQ(Titles(), c.titles) << static_cast<int>(c.criterion);
    }
}

TEST_F(MergeTest, DialogFillsFromTheOtherProjectAndKeepsOurStyles) {
    Open({10});
    host.mergeFile = OtherFile();
    styles.Clear();
    styles.Add("Ours", helpproject::TTextStyleMacro{});
    host.onMerge = [](editor::TMergeDialogModel& model) {
        EXPECT_EQ(model.ProjectLabel(), "Other help - other.bwv");
        EXPECT_EQ(model.IDItems().front(), "10: X10");
        EXPECT_EQ(model.IDToIndex(), 3);
        EXPECT_EQ(model.BrowseSequences().size(), 2u);
        EXPECT_TRUE(model.OkEnabled());
        return false;
    };
    commands->ProjectMerge();
    EXPECT_EQ(host.titles,
              (std::vector<std::string>{"Select project to merge with the current project"}));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"10 T10"}));
    EXPECT_FALSE(session->Modified());
    host.onMerge = [](editor::TMergeDialogModel& model) {
        model.SetCriterion(1);
        model.SetIDFromIndex(3);
        model.SetIDToIndex(3);
        return true;
    };
    commands->ProjectMerge();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"10 T10", "40 X40"}));
    ASSERT_EQ(styles.Count(), 1u);
    EXPECT_EQ(styles.Items().front().Name, "Ours");
}

TEST_F(MergeTest, AFileThatCannotBeReadLeavesTheProject) {
    Open({10});
    std::ofstream(TempDir() / "bad.bwv") << "not a project\r\n";
    EXPECT_THROW(commands->MergeFile((TempDir() / "bad.bwv").string(), {}), std::exception);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"10 T10"}));
    EXPECT_FALSE(session->Modified());
}

} // namespace
