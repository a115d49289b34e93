#include "setup/restart.h"

#include <gtest/gtest.h>

#include "components/scriptedmessenger.h"
#include "platform/machinerestart.h"
#include "setup/folders.h"
#include "setup_support.h"

namespace {

using namespace setuptest;

// Records restart requests instead of restarting anything.
class TRestartRecorder : public platform::IMachineRestart {
public:
    bool RestartMachine(std::string& error) override {
        ++calls;
        if (!succeed)
            error = "refused";
        return succeed;
    }
    int calls = 0;
    bool succeed = true;
};

class RestartTest : public ::testing::Test {
protected:
    // The files of a run lie inside the sandbox, where the next start may
    // change them.
    std::string In(const std::string& name) const {
        return sandbox.Roots().sandbox.string() + "/" + name;
    }
    void SetUp() override {
        WriteFile(In("new.tmp"), "new");
        WriteFile(In("target.txt"), "old");
        WriteFile(In("gone.txt"), "x");
        setup::TPendingFileOperations pending(sandbox.Roots().pendingRenames.string());
        pending.AddRename(In("new.tmp"), In("target.txt"));
        pending.AddDelete(In("gone.txt"));
    }

    TSandbox sandbox;
    components::TScriptedMessenger messenger;
    TRestartRecorder recorder;
};

TEST_F(RestartTest, CarriesOutThePendingOperationsAndOnlyOffersTheRestart) {
    setup::TRestartOutcome outcome =
        setup::RestartNow(sandbox.Roots(), "Demo", messenger, recorder);
    EXPECT_EQ(outcome.done, 2u);
    EXPECT_EQ(outcome.remaining, 0u);
    EXPECT_EQ(ReadFile(In("target.txt")), "new");
    EXPECT_FALSE(Exists(In("gone.txt")));
    // Nobody said yes: the safe answer never restarts the machine.
    EXPECT_FALSE(outcome.accepted);
    EXPECT_EQ(recorder.calls, 0);
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Text, setup::kRestartQuestion);
    EXPECT_EQ(messenger.Records[0].Caption, "Demo");
}

TEST_F(RestartTest, RestartsOnlyOnYes) {
    messenger.QueueAnswer(components::mrYes);
    setup::TRestartOutcome outcome =
        setup::RestartNow(sandbox.Roots(), "Demo", messenger, recorder);
    EXPECT_TRUE(outcome.accepted);
    EXPECT_TRUE(outcome.restarted);
    EXPECT_EQ(recorder.calls, 1);
    messenger.QueueAnswer(components::mrYes);
    recorder.succeed = false;
    outcome = setup::RestartNow(sandbox.Roots(), "Demo", messenger, recorder);
    EXPECT_FALSE(outcome.restarted);
    EXPECT_EQ(outcome.error, "refused");
}

TEST_F(RestartTest, NamesWhatStillWaitsForARestart) {
    // A folder where the replacement must go cannot be replaced now.
    std::filesystem::remove(In("target.txt"));
    std::filesystem::create_directories(In("target.txt/inside"));
    setup::TRestartOutcome outcome =
        setup::RestartNow(sandbox.Roots(), "Demo", messenger, recorder);
    EXPECT_EQ(outcome.done, 1u);
    EXPECT_EQ(outcome.remaining, 1u);
    ASSERT_EQ(messenger.Records.size(), 1u);
    EXPECT_EQ(messenger.Records[0].Text, "1 file operation can only be completed after a restart. "
                                         "Restart the computer now?");
    // A second one waiting (a folder cannot be deleted as a file): the plural.
    std::filesystem::create_directories(In("busy/inside"));
    setup::TPendingFileOperations(sandbox.Roots()).AddDelete(In("busy"));
    outcome = setup::RestartNow(sandbox.Roots(), "Demo", messenger, recorder);
    EXPECT_EQ(outcome.remaining, 2u);
    ASSERT_EQ(messenger.Records.size(), 2u);
    EXPECT_EQ(messenger.Records[1].Text, "2 file operations can only be completed after a "
                                         "restart. Restart the computer now?");
}

TEST(MachineRestartCommand, ReportsWhetherTheCommandWorked) {
    std::string error;
    EXPECT_TRUE(platform::TCommandMachineRestart({"true"}).RestartMachine(error)) << error;
    EXPECT_FALSE(platform::TCommandMachineRestart({"false"}).RestartMachine(error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(
        platform::TCommandMachineRestart({"/nonexistent/reboot-tool"}).RestartMachine(error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(platform::TCommandMachineRestart().Command(),
              (std::vector<std::string>{"systemctl", "reboot"}));
}

} // namespace

namespace {

TEST(SandboxRestart, ASandboxedRunOnlyRecordsTheRestart) {
    TSandbox sandbox;
    auto restart = setup::MachineRestartFor(sandbox.Roots());
    ASSERT_NE(dynamic_cast<setup::TRecordedMachineRestart*>(restart.get()), nullptr);
    std::string error;
    EXPECT_TRUE(restart->RestartMachine(error)) << error;
    const std::string record = setup::RestartRecordPath(sandbox.Roots());
    EXPECT_EQ(record.rfind(sandbox.Roots().sandbox.string() + "/", 0), 0u);
    EXPECT_EQ(ReadFile(record), "restart requested\n");
    // Outside a sandbox the platform's own restart is used.
    platform::SystemRoots real = sandbox.Roots();
    real.sandbox.clear();
    auto machine = setup::MachineRestartFor(real);
    EXPECT_NE(dynamic_cast<platform::TCommandMachineRestart*>(machine.get()), nullptr);
}

TEST(SandboxRestart, TheRecordIsNeverWrittenThroughALink) {
    TSandbox sandbox;
    WriteFile(sandbox.Path("outside"), "untouched");
    const std::string record = setup::RestartRecordPath(sandbox.Roots());
    std::filesystem::create_symlink(sandbox.Path("outside"), record);
    std::string error;
    EXPECT_FALSE(setup::MachineRestartFor(sandbox.Roots())->RestartMachine(error));
    EXPECT_EQ(error, "Cannot write " + record + ".");
    EXPECT_EQ(ReadFile(sandbox.Path("outside")), "untouched");
}

} // namespace
