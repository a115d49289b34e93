// Brindle run from a build script: a separate process with no display, under
// `timeout`, in a sandbox; the exit status tells what happened and nothing
// waits for a person.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/tempfolder.h"

namespace {

namespace fs = std::filesystem;

const std::string kBrindle = BW_BINARY_DIR "/apps/Brindle/Brindle";

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class BrindleBatchTest : public ::testing::Test {
protected:
    platform::TempFolder scratch{"bwbatch"};
    fs::path project = scratch.Path() / "project" / "sample.bwv";
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    std::string stderrText;

    void SetUp() override {
        if (!fs::exists(kBrindle))
            GTEST_SKIP() << kBrindle << " is not built";
        fs::create_directories(project.parent_path());
        const fs::path sample = BW_SOURCE_DIR "/examples/sample";
        for (const auto& entry : fs::directory_iterator(sample))
            fs::copy_file(entry.path(), project.parent_path() / entry.path().filename());
        fs::create_directories(scratch.Path() / "sandbox");
    }

    void SetRegistryCompiler(const std::string& name, const std::string& program) {
        fs::create_directories(scratch.Path() / "registry");
        std::ofstream(scratch.Path() / "registry" / "HKCU.reg")
            << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vexlor\\Brindlewoven\\Compiler "
               "paths]\r\n\""
            << name << "\"=\"" << program << "\"\r\n";
    }

    // Runs Brindle with `args`, no display, at most 120 s; its exit status.
    int Run(const std::string& args, const std::string& extraEnv = "") {
        const fs::path err = scratch.Path() / "stderr.txt";
        std::string env =
            "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH=" + Quote(path) +
            " VEXLOR_SANDBOX=" + Quote((scratch.Path() / "sandbox").string());
        if (fs::exists(scratch.Path() / "registry"))
            env += " VEXLOR_REGISTRY_DIR=" + Quote((scratch.Path() / "registry").string());
        const std::string command = env + " " + extraEnv + " /usr/bin/timeout 120 " +
                                    Quote(kBrindle) + " " + args + " </dev/null >/dev/null 2>" +
                                    Quote(err.string());
        const int status = std::system(command.c_str());
        std::ifstream in(err);
        std::stringstream text;
        text << in.rdbuf();
        stderrText = text.str();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string P() const { return Quote(project.string()); }
};

TEST_F(BrindleBatchTest, MissingProjectIsBadInput) {
    EXPECT_EQ(Run(Quote((scratch.Path() / "none.bwv").string()) + " /chtml /q"), 2);
    EXPECT_NE(stderrText.find("Cannot find the project you are trying to open"), std::string::npos);
}

TEST_F(BrindleBatchTest, WebHelpWithoutOutputFileIsBadInput) {
    EXPECT_EQ(Run(P() + " /cweb /q"), 2);
    EXPECT_NE(stderrText.find("No web help output file"), std::string::npos) << stderrText;
}

TEST_F(BrindleBatchTest, CompiledHtmlHelpThroughChmcmd) {
    if (std::system("command -v chmcmd >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "chmcmd is not installed";
    EXPECT_EQ(Run(P() + " /chtml /q"), 0) << stderrText;
    const fs::path chm = fs::path(project).replace_extension(".chm");
    ASSERT_TRUE(fs::exists(chm));
    EXPECT_GT(fs::file_size(chm), 0u);
}

TEST_F(BrindleBatchTest, WebHelp) {
    const fs::path out = scratch.Path() / "out" / "web" / "index.htm";
    EXPECT_EQ(Run(P() + " /cweb " + Quote(out.string()) + " /q"), 0) << stderrText;
    EXPECT_TRUE(fs::exists(out));
}

TEST_F(BrindleBatchTest, NoCompilerNeedsAPerson) {
    path = (scratch.Path() / "sandbox").string(); // no chmcmd on PATH
    EXPECT_EQ(Run(P() + " /chtml /q"), 3);
    EXPECT_NE(stderrText.find("Before your help project can be compiled"), std::string::npos)
        << stderrText;
}

TEST_F(BrindleBatchTest, FailingCompilerIsBuildFailed) {
    SetRegistryCompiler("HC95Sel", BW_SOURCE_DIR "/tests/tools/fakes/fake-hcrtf");
    EXPECT_EQ(Run(P() + " /c32 /q", "FAKE_HCRTF_MODE=fail"), 1) << stderrText;
    EXPECT_NE(stderrText.find("The help file was not created."), std::string::npos);
    SetRegistryCompiler("HC95Sel", BW_SOURCE_DIR "/tests/tools/fakes/fake-hcrtf");
    EXPECT_EQ(Run(P() + " /c32 /q"), 0) << stderrText;
}

} // namespace
