// Runs the regtool test tool the way scripts do, with the registry in a
// sandbox chosen by environment variables.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "platform/fileio.h"
#include "platform/tempfolder.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

const fs::path kRegtool = fs::path(BW_TOOLS_DIR) / "regtool";

struct Result {
    int status;
    std::string output;
};

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

Result RunTool(const std::string& env, const std::vector<std::string>& args) {
    // Leak checking at every exit of a short-lived tool only costs time here.
    std::string command = "ASAN_OPTIONS=detect_leaks=0 " + env + " " + Quote(kRegtool.string());
    for (const std::string& a : args) {
        command += " " + Quote(a);
    }
    command += " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    Result result{-1, {}};
    if (!pipe) {
        return result;
    }
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.output.append(buffer.data(), n);
    }
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class RegtoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kRegtool)) {
            GTEST_SKIP() << "regtool is not built";
        }
    }
    TempFolder temp{"bw-regtool"};
};

TEST_F(RegtoolTest, SetGetAndDumpInARegistryFolder) {
    const std::string env =
        "env -u VEXLOR_SANDBOX VEXLOR_REGISTRY_DIR=" + Quote(temp.Path().string());
    EXPECT_EQ(
        RunTool(env, {"set", "HKCU\\Software\\Vexlor\\Brindlewoven", "Title", "sz", "Caf\xC3\xA9"})
            .status,
        0);
    EXPECT_EQ(RunTool(env, {"set", "HKLM\\Software\\Vexlor", "Count", "dword", "0x10"}).status, 0);
    EXPECT_EQ(RunTool(env, {"set", "HKCR\\.bwv", "@", "sz", "Brindlewoven.Project"}).status, 0);
    EXPECT_EQ(RunTool(env, {"set", "HKCU\\X", "Bytes", "binary", "00,ff,10"}).status, 0);
    EXPECT_EQ(RunTool(env, {"set", "HKCU\\X", "List", "multi_sz", "a", "b"}).status, 0);
    EXPECT_NE(RunTool(env, {"set", "HKCU\\X", "Bad", "dword", "x"}).status, 0);
    EXPECT_NE(RunTool(env, {"set", "HKXX\\X", "Bad", "sz", "x"}).status, 0);

    EXPECT_EQ(RunTool(env, {"get", "hkcu\\software\\VEXLOR\\brindlewoven", "TITLE"}).output,
              "Caf\xC3\xA9\n");
    EXPECT_EQ(RunTool(env, {"get", "HKLM\\Software\\Vexlor", "Count"}).output, "16\n");
    EXPECT_EQ(RunTool(env, {"get", "HKCU\\X", "Bytes"}).output, "00,ff,10\n");
    EXPECT_EQ(RunTool(env, {"get", "HKCU\\X", "List"}).output, "a\nb\n");
    EXPECT_EQ(RunTool(env, {"get", "HKCU\\X", "Missing"}).status, 1);
}

TEST_F(RegtoolTest, DumpAndDelete) {
    const std::string env =
        "env -u VEXLOR_SANDBOX VEXLOR_REGISTRY_DIR=" + Quote(temp.Path().string());
    EXPECT_EQ(
        RunTool(env, {"set", "HKCU\\Software\\Vexlor\\Brindlewoven", "Title", "sz", "Caf\xC3\xA9"})
            .status,
        0);
    EXPECT_EQ(RunTool(env, {"set", "HKCR\\.bwv", "@", "sz", "Brindlewoven.Project"}).status, 0);
    EXPECT_EQ(RunTool(env, {"set", "HKCU\\X", "Bytes", "binary", "00,ff,10"}).status, 0);

    // The hive stores Windows-1252 bytes.
    EXPECT_NE(ReadFileBytes(temp.Path() / "HKCU.reg").find("\"Title\"=\"Caf\xE9\""),
              std::string::npos);
    const std::string dump = RunTool(env, {"dump", "HKLM"}).output;
    EXPECT_NE(
        dump.find("[HKEY_LOCAL_MACHINE\\Software\\Classes\\.bwv]\n@=\"Brindlewoven.Project\""),
        std::string::npos);
    EXPECT_EQ(dump.find("HKEY_CURRENT_USER"), std::string::npos);

    EXPECT_EQ(RunTool(env, {"delete", "HKCU\\X", "Bytes"}).status, 0);
    EXPECT_EQ(RunTool(env, {"get", "HKCU\\X", "Bytes"}).status, 1);
    EXPECT_EQ(RunTool(env, {"delete", "HKCU\\X"}).status, 0);
    EXPECT_EQ(RunTool(env, {"get", "HKCU\\X", "List"}).status, 1);
}

TEST_F(RegtoolTest, SandboxHoldsTheWholeRegistry) {
    const std::string env =
        "env -u VEXLOR_REGISTRY_DIR VEXLOR_SANDBOX=" + Quote(temp.Path().string());
    EXPECT_EQ(RunTool(env, {"set", "HKCU\\Software\\S", "V", "sz", "in sandbox"}).status, 0);
    EXPECT_EQ(RunTool(env, {"set", "HKLM\\Software\\S", "V", "sz", "machine"}).status, 0);
    EXPECT_EQ(RunTool(env, {"get", "HKCU\\Software\\S", "V"}).output, "in sandbox\n");
    EXPECT_TRUE(fs::exists(temp.Path() / "home/.config/vexlor/registry/HKCU.reg"));
    const bool root = ::geteuid() == 0;
    EXPECT_TRUE(fs::exists(root ? temp.Path() / "var/lib/vexlor/registry/HKLM.reg"
                                : temp.Path() / "home/.local/share/vexlor/registry/HKLM.reg"));
}

TEST_F(RegtoolTest, TwoToolsWritingAtOnceLoseNothing) {
    // Each run is its own process; two loops of them run side by side.
    const std::string dir = Quote(temp.Path().string());
    const std::string tool = Quote(kRegtool.string());
    auto loop = [&](const char* who) {
        return std::string(
                   "for i in $(seq 1 6); do ASAN_OPTIONS=detect_leaks=0 VEXLOR_REGISTRY_DIR=") +
               dir + " " + tool + " set 'HKCU\\Software\\Race' " + who +
               "$i dword $i || exit 1; done";
    };
    const std::string both = loop("A") + " & " + loop("B") + "; wait";
    ASSERT_EQ(std::system(("(" + both + ")").c_str()), 0);
    const std::string dump = RunTool("VEXLOR_REGISTRY_DIR=" + dir, {"dump", "HKCU"}).output;
    for (int i = 1; i <= 6; ++i) {
        EXPECT_NE(dump.find("\"A" + std::to_string(i) + "\"="), std::string::npos) << i;
        EXPECT_NE(dump.find("\"B" + std::to_string(i) + "\"="), std::string::npos) << i;
    }
}

} // namespace
