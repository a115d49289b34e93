#include "editor/topiclisttext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "editorfixture_support.h"

using namespace editor;
using helpproject::TBrindlewovenProject;
using helpproject::TTopicColumn;

namespace {

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

} // namespace

TEST(TopicListTextTest, TopicListLines) {
    struct Case {
        std::int32_t number;
        bool bookmark;
        std::string title;
        std::string status;
        std::string expected;
    };
    const std::string long70(70, 'L');
    const Case cases[] = {
        {12, true, "Intro", "Done", ".....12.Intro" + std::string(57, '.') + "Done"},
        {12, false, "Intro", "Done", "     12 Intro" + std::string(57, ' ') + "Done"},
        // A title longer than 61 characters is cut: the status starts in column 71.
        {1234567, false, long70, "Draft", "1234567 " + long70.substr(0, 61) + " Draft"},
        {5, true, long70, "", "......5." + long70.substr(0, 61) + "."},
        {30, false, "", "", "     30" + std::string(63, ' ')},
    };
    for (const Case& c : cases) {
        helpproject::TBrindlewovenTopic topic(c.number, c.title);
        topic.Bookmark = c.bookmark;
        topic.Status = c.status;
        const std::string line = TopicListLine(topic);
        EXPECT_EQ(line, c.expected) << c.number << " " << c.title;
        EXPECT_EQ(line.substr(70), c.status);
    }
}

TEST(TopicListTextTest, LinesFollowTheSortedView) {
    auto project = editortest::ProjectWith({10, 20, 30});
    project->TopicByNumber(10)->Title = "Zeta";
    project->TopicByNumber(20)->Title = "Alpha";
    project->TopicByNumber(30)->Title = "Mu";
    project->SortBy({TTopicColumn::Title, false});
    const std::vector<std::string> lines = TopicListLines(*project);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 13), "     20 Alpha");
    EXPECT_EQ(lines[1].substr(0, 10), "     30 Mu");
    EXPECT_EQ(lines[2].substr(0, 12), "     10 Zeta");
}

TEST(TopicListTextTest, GridExportGolden) {
    auto project = editortest::ProjectWith({10, 200, 30});
    helpproject::TBrindlewovenTopic& a = *project->TopicByNumber(10);
    a.KKeywords = "one;two";
    a.BKeywords = "TOne";
    a.Status = "Done";
    helpproject::TBrindlewovenTopic& b = *project->TopicByNumber(30);
    b.Bookmark = true;
    b.BuildTag = "pro";
    project->SortBy({TTopicColumn::Number, true});
    TGridLayout layout;
    layout.ToggleColumn(TTopicColumn::KKeywords);
    layout.ToggleColumn(TTopicColumn::BKeywords); // exported with the B keywords
    layout.ToggleColumn(TTopicColumn::Status);

    const auto dir =
        std::filesystem::temp_directory_path() /
        ("bw_gridexport_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "grid.txt";
    {
        std::ofstream old(file, std::ios::binary);
        old << "old contents that are longer than the new file will be, old contents, old contents,"
               " old contents, old contents, old contents, old contents, old contents, old"
               " contents, old contents, old contents";
    }
    ExportGrid(*project, layout, file.string());
    const std::string expected = "   200   T200\r\n"
                                 "         \r\n"
                                 "         \r\n"
                                 "         Writing\r\n"
                                 "    30 * T30\r\n"
                                 "       * \r\n"
                                 "       * \r\n"
                                 "       * Writing\r\n"
                                 "    10   T10\r\n"
                                 "         one;two\r\n"
                                 "         TOne\r\n"
                                 "         Done\r\n";
    EXPECT_EQ(ReadAll(file), expected);
    std::filesystem::remove_all(dir);
}

TEST(TopicListTextTest, GridExportIntoAMissingFolderFailsAndWritesNothing) {
    auto project = editortest::ProjectWith({10});
    const auto missing = std::filesystem::temp_directory_path() / "bw_no_such_folder_k1" / "g.txt";
    EXPECT_ANY_THROW(ExportGrid(*project, TGridLayout(), missing.string()));
    EXPECT_FALSE(std::filesystem::exists(missing));
}
