// The fake help compilers that the compiler-run tests use, driven through the
// runner as the build drives the real ones.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "components/apprunner.h"

namespace {

using components::TAppRunner;
using components::TQueuedExecutor;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kFakes = BW_SOURCE_DIR "/tests/tools/fakes/";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class FakeCompilersTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "bwfakes.XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        project = root / "in put";
        work = root / "work";
        fs::create_directories(project);
        fs::create_directories(work);
        std::ofstream(project / "topics.rtf", std::ios::binary)
            << "{\\rtf1\\ansi\r\n{\\up #}{\\footnote {\\up #} intro}\r\nA\\par\r\n{\\page}\r\n"
               "{\\up #}{\\footnote {\\up #} two}\r\nB\\par }\r\n";
        hpj = project / "help file.hpj";
        log = root / "error log.txt";
        std::ofstream(hpj, std::ios::binary)
            << "; My Help\r\n\r\n[OPTIONS]\r\nERRORLOG=" << log.string()
            << "\r\nREPORT=YES\r\nROOT=" << project.string() << "\r\nTITLE=My Help\r\n\r\n"
            << "[FILES]\r\n"
            << (project / "topics.rtf").string() << "\r\n\r\n";
    }
    void TearDown() override { fs::remove_all(root); }

    // Runs a fake with one mode switch through env, as an explicit argv.
    int Run(const std::string& modeVariable, const std::string& mode,
            std::vector<std::string> arguments) {
        std::vector<std::string> argv = {"/usr/bin/env", modeVariable + "=" + mode,
                                         "FAKE_COMPILER_RECORD=" + (root / "record").string()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        TAppRunner runner(executor);
        runner.SetCommandLine(argv);
        runner.SetCurrentDirectory(work.string());
        runner.SetKillGrace(100ms);
        EXPECT_TRUE(runner.Run()) << runner.LastError();
        if (mode == "hang") {
            EXPECT_FALSE(executor.PumpUntil([&] { return runner.Terminated(); }, 300ms));
            runner.Cancel();
        }
        EXPECT_TRUE(executor.PumpUntil([&] { return runner.Terminated(); }, 10s));
        return runner.ExitCode();
    }

    TQueuedExecutor executor;
    fs::path root, project, work, hpj, log;
};

TEST_F(FakeCompilersTest, ThirtyTwoBitCompilerWritesHelpFileBesideTheProjectAndALog) {
    EXPECT_EQ(Run("FAKE_HCRTF_MODE", "ok", {kFakes + "fake-hcrtf", "-x", hpj.string()}), 0);
    EXPECT_EQ(ReadFile(project / "help file.hlp"),
              "FAKE WINHELP 32\r\nTITLE=My Help\r\nTOPICS=2\r\n");
    const std::string text = ReadFile(log);
    EXPECT_NE(text.find("2 topic(s)"), std::string::npos) << text;
    EXPECT_NE(text.find("0 error(s)"), std::string::npos) << text;
    EXPECT_EQ(ReadFile(root / "record"), "hcrtf|" + work.string() + "|-x|" + hpj.string() + "\n");
}

TEST_F(FakeCompilersTest, SixteenBitCompilerWritesIntoItsWorkingFolder) {
    EXPECT_EQ(Run("FAKE_HC31_MODE", "ok", {kFakes + "fake-hc31", hpj.string()}), 0);
    EXPECT_EQ(ReadFile(work / "help file.hlp"), "FAKE WINHELP 16\r\nTITLE=My Help\r\nTOPICS=2\r\n");
    EXPECT_FALSE(fs::exists(project / "help file.hlp"));
}

TEST_F(FakeCompilersTest, KeywordGeneratorWritesItsFileBesideTheProject) {
    EXPECT_EQ(Run("FAKE_KWGEN_MODE", "ok", {kFakes + "fake-kwgen", hpj.string()}), 0);
    EXPECT_TRUE(fs::exists(project / "help file.kwf"));
}

TEST_F(FakeCompilersTest, SwitchesMakeThemFail) {
    struct Case {
        const char* mode;
        int exitCode;
        bool output;      // the help file exists afterwards
        bool emptyOutput; // ... with 0 bytes
        const char* logText;
    };
    const Case cases[] = {
        {"fail", 1, false, false, "Error: the fake compiler was told to fail."},
        {"empty", 0, false, false, nullptr},
        {"zero", 0, true, true, "0 error(s)"},
        {"crash", 128 + SIGSEGV, false, false, nullptr},
        {"hang", 128 + SIGTERM, false, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        fs::remove(log);
        fs::remove(project / "help file.hlp");
        EXPECT_EQ(Run("FAKE_HCRTF_MODE", c.mode, {kFakes + "fake-hcrtf", "-x", hpj.string()}),
                  c.exitCode);
        EXPECT_EQ(fs::exists(project / "help file.hlp"), c.output);
        if (c.output) {
            EXPECT_EQ(fs::file_size(project / "help file.hlp") == 0, c.emptyOutput);
        }
        if (c.logText) {
            EXPECT_NE(ReadFile(log).find(c.logText), std::string::npos);
        } else {
            EXPECT_FALSE(fs::exists(log));
        }
    }
}

TEST_F(FakeCompilersTest, AMissingTopicFileFailsTheCompile) {
    fs::remove(project / "topics.rtf");
    EXPECT_EQ(Run("FAKE_HCRTF_MODE", "ok", {kFakes + "fake-hcrtf", "-x", hpj.string()}), 1);
    EXPECT_NE(ReadFile(log).find("cannot open the topic file"), std::string::npos);
    EXPECT_FALSE(fs::exists(project / "help file.hlp"));
}

} // namespace
