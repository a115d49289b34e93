// brindle-linkctl against the real program: Brindle runs offscreen as a
// separate process serving its link socket in a private runtime folder, and
// the client drives it as a script would.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/tempfolder.h"

namespace {

namespace fs = std::filesystem;

const std::string kBrindle = BW_BINARY_DIR "/apps/Brindle/Brindle";
const std::string kLinkCtl = BW_BINARY_DIR "/tests/tools/brindle-linkctl";

class BrindleLinkTest : public ::testing::Test {
protected:
    platform::TempFolder scratch{"bwlinke2e"};
    fs::path runtime = scratch.Path() / "runtime";
    pid_t brindle = -1;
    // The program's buffer limit per connection, when not its own.
    std::string bufferLimit;

    void SetUp() override {
        if (!fs::exists(kBrindle) || !fs::exists(kLinkCtl))
            GTEST_SKIP() << "Brindle or brindle-linkctl is not built";
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        fs::create_directories(scratch.Path() / "sandbox");
        fs::create_directories(scratch.Path() / "sandbox" / "registry");
        brindle = ::fork();
        ASSERT_GE(brindle, 0);
        if (brindle == 0) {
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::setenv("VEXLOR_SANDBOX", (scratch.Path() / "sandbox").c_str(), 1);
            ::setenv("VEXLOR_REGISTRY_DIR", (scratch.Path() / "sandbox" / "registry").c_str(), 1);
            if (!bufferLimit.empty())
                ::setenv("BRINDLE_LINK_BUFFER_LIMIT", bufferLimit.c_str(), 1);
            const std::string log = (scratch.Path() / "brindle.log").string();
            if (!std::freopen(log.c_str(), "w", stderr) || !std::freopen("/dev/null", "r", stdin))
                ::_exit(126);
            ::execl(kBrindle.c_str(), kBrindle.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const fs::path socket = runtime / "brindlewoven-link";
        for (int i = 0; i < 600 && !fs::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_TRUE(fs::exists(socket)) << "the program opened no link socket";
        struct stat info {};
        ASSERT_EQ(::stat(socket.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0077, 0u) << "others may connect";
    }

    void TearDown() override {
        if (brindle > 0) {
            ::kill(brindle, SIGKILL);
            ::waitpid(brindle, nullptr, 0);
        }
    }

    // Runs brindle-linkctl with `args`; its standard output.
    std::string LinkCtl(const std::string& args, int* status = nullptr) {
        const fs::path out = scratch.Path() / "linkctl.txt";
        const std::string command = "env XDG_RUNTIME_DIR='" + runtime.string() +
                                    "' /usr/bin/timeout 60 '" + kLinkCtl + "' " + args + " >'" +
                                    out.string() + "' 2>&1";
        const int raw = std::system(command.c_str());
        if (status)
            *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::ifstream in(out);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(BrindleLinkTest, ScriptDrivesTheRunningProgram) {
    const std::string out = LinkCtl("register list1 create 50 'From a script' 'k1;k2' '' seq tag "
                                    "Done main '' request 50 show 7 link 50 unregister");
    EXPECT_EQ(out, "result 1 1\n"
                   "reply 1\n"
                   "| <new topic> (10)\n"
                   "result 4 1\n"
                   "reply 1\n"
                   "| 10: <new topic>\n"
                   "result 6 50\n"
                   "result 7 1\n"
                   "reply 2\n"
                   "| 50\n"
                   "| From a script\n"
                   "| k1;k2\n"
                   "| \n"
                   "| seq\n"
                   "| tag\n"
                   "| Done\n"
                   "| main\n"
                   "| \n"
                   "result 5 1\n" // topic 50's new text is stored: the list again
                   "reply 1\n"
                   "| 10: <new topic>\n"
                   "| 50: From a script\n"
                   "result 8 0\n"
                   "result 2 1\n");
    // Another run: the link inserted into topic 10 is stored when topic 50
    // is shown, and the fresh list is sent.
    const std::string again = LinkCtl("--window 9 register list1 show 50");
    EXPECT_EQ(again, "result 1 1\nreply 1\n| <new topic> (10)\n| From a script (50)\n"
                     "result 4 1\nreply 1\n| 10: <new topic>\n| 50: From a script\n"
                     "result 5 1\nreply 1\n| 10: <new topic>\n| 50: From a script\n");
}

// A title longer than the title box takes is refused at once, the one the
// box takes is not.
TEST_F(BrindleLinkTest, AFieldLongerThanItsBoxIsRefused) {
    const std::string title(128, 'w');
    const std::string out = LinkCtl("create 0 " + title + " '' '' '' '' '' '' '' create 0 " +
                                    title.substr(1) + " '' '' '' '' '' '' '' list1");
    EXPECT_EQ(out, "result 6 0\n"
                   "result 6 20\n" // placed after topic 10, as New Topic does
                   "result 4 0\n");
}

// With a small limit set through the environment, a client that never reads
// is closed, and the program serves the next one.
class BrindleLinkBufferTest : public BrindleLinkTest {
protected:
    BrindleLinkBufferTest() { bufferLimit = "65536"; }
};

TEST_F(BrindleLinkBufferTest, AClientThatNeverReadsIsClosed) {
    // (The list that follows registering is left unread too.)
    EXPECT_EQ(LinkCtl("register flood 100000"), "result 1 1\n"
                                                "flood: closed by the program\n");
    EXPECT_EQ(LinkCtl("register"), "result 1 1\n"
                                   "reply 1\n"
                                   "| <new topic> (10)\n");
}

TEST_F(BrindleLinkTest, BadArgumentsAndMissingSocket) {
    int status = 0;
    LinkCtl("show", &status);
    EXPECT_EQ(status, 2);
    LinkCtl("--socket /nonexistent/socket register", &status);
    EXPECT_EQ(status, 2);
}

} // namespace
