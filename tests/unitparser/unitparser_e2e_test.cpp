// Runs the test driver's pascal commands on a real unit.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

struct RunResult {
    int status = -1;
    std::string out;
};

RunResult RunTool(const std::string& args) {
    RunResult result;
    std::string command = std::string(BW_TOOLS_DIR "/bwtool ") + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    result.status = pclose(pipe);
    return result;
}

std::string Data(const char* name) {
    return std::string(BW_TEST_DATA "/unitparser/") + name;
}

class BwtoolPascal : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(BW_TOOLS_DIR "/bwtool"))
            GTEST_SKIP() << "bwtool not built";
    }
};

TEST_F(BwtoolPascal, ListsWhatWasParsed) {
    RunResult r = RunTool("pascal " + Data("fptimer.pp"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.rfind("unit fptimer\nclass TFPCustomTimer component include=1 seealso=1 "
                          "tasks=1\n  heading TFPCustomTimer = class(TComponent)\n",
                          0),
              0u)
        << r.out;
    EXPECT_NE(r.out.find("class TFPTimerDriver class include=1 seealso=1 tasks=0\n"),
              std::string::npos);
}

TEST_F(BwtoolPascal, ReportsErrors) {
    RunResult r = RunTool("pascal " + Data("gstack.pp"));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("Error in line 22: '=' expected in type declaration"), std::string::npos)
        << r.out;
}

TEST_F(BwtoolPascal, GeneratesTopicsIntoAProject) {
    RunResult r = RunTool("pascal-topics " + Data("fptimer.pp") + " 1000");
    ASSERT_EQ(r.status, 0) << r.out;
    // The first topic created, then the listing of the whole project as
    // `bwtool dump` prints it: the new project's own topic 10 stays first.
    EXPECT_EQ(r.out.rfind("result 1000\n[options]\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("[topics] 41\n[topic 10]\nTopicID=Vellumar10\nTitle=<new topic>\n"),
              std::string::npos);
    EXPECT_NE(
        r.out.find("[topic 1010]\nTopicID=Vellumar1010\nTitle=TFPCustomTimer component\n"
                   "KKeywords=TFPCustomTimer\nAKeywords=TFPCustomTimer_Object;TFPCustomTimer\n"
                   "BKeywords=\nBuildTag=\nBrowseSequence=fptimer:001010\n"),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\\{linkID=%1015\\}"), std::string::npos); // its tasks topic
    EXPECT_NE(r.out.find("[topic 1015]\nTopicID=Vellumar1015\n"
                         "Title=About the TFPCustomTimer component\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("[contents] 16\n  1 TFPCustomTimer component\n"
                         "  2 TFPCustomTimer component Reference=Vellumar1010\n"
                         "  2 Methods\n  3 StartTimer method=Vellumar1020\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("  2 TFPTimer component Reference=Vellumar1030\n"), std::string::npos);
    // The program's folder is a bitmap folder: the member-list pictures are there.
    const std::string tools = std::filesystem::canonical(BW_TOOLS_DIR).string();
    EXPECT_NE(r.out.find("BitmapPaths=" + tools + "\n"), std::string::npos) << r.out;
}

TEST_F(BwtoolPascal, GeneratedHelpFindsEveryPicture) {
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("bw_pictures_" + std::to_string(::getpid()));
    std::filesystem::create_directories(out);
    RunResult made =
        RunTool("pascal-topics " + Data("fptimer.pp") + " 1000 --save " + (out / "u.bwv").string());
    ASSERT_EQ(made.status, 0) << made.out;
    // The member lists show the pictures, and the HTML output finds them.
    for (const char* picture : {"runtime.bmp", "key.bmp"})
        EXPECT_NE(made.out.find(std::string("bmct ") + picture), std::string::npos) << picture;
    RunResult html = RunTool("htmlhelp " + (out / "u.bwv").string() + " " + (out / "chm").string());
    EXPECT_EQ(html.status, 0) << html.out;
    EXPECT_EQ(html.out.find("MISSING IMAGES"), std::string::npos) << html.out;
    for (const char* picture : {"runtime", "key"}) {
        bool converted = false;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(out / "chm"))
            converted = converted || entry.path().stem() == picture;
        EXPECT_TRUE(converted) << picture;
    }
    // All three ship beside the program and read as pictures.
    RunResult images =
        RunTool("html-images " + (out / "u.bwv").string() + " " + (out / "images").string() +
                " --bitmap-paths " + BW_TOOLS_DIR + " runtime.bmp key.bmp protect.bmp");
    EXPECT_EQ(images.status, 0) << images.out;
    EXPECT_TRUE(images.out.size() >= 9 && images.out.substr(images.out.size() - 9) == "MISSING:\n")
        << images.out;
    const std::string listed = images.out.substr(0, images.out.rfind("MISSING:"));
    for (const char* picture : {"runtime", "key", "protect"})
        EXPECT_NE(listed.find(picture), std::string::npos) << images.out;
    std::filesystem::remove_all(out);
}

} // namespace
